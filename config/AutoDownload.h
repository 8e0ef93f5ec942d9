// The auto-download agent's schedule: the Run value of the agent, the
// schedule and FTP values in its key, the download directory, and one start
// of the distribution agent vgdist.exe, which reads that key. The values are
// written before vgdist.exe starts, so it never sees an older schedule.
// Nothing stops the installation; what fails is logged.
#pragma once
#include "config/ProductSettings.h" // kAutoDownloadKey
#include "engine/base/SetupData.h"

#include <windows.h>

// With `agentProcess` the caller gets the handle of the started vgdist.exe
// (null when it did not start) and closes it; setup itself never waits.
// A next-download date or time that names no moment is logged and
// "NextDownload" is not written.
void WriteAutoDownloadSchedule(const SetupData& data, HANDLE* agentProcess = nullptr);
