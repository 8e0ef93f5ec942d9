#include "config/AutoDownload.h"

#include "engine/journal/UndoLog.h"

#include "config/DownloadSchedule.h"
#include "config/ConfigProblem.h"
#include "config/log/InstallLog.h"
#include "config/ProductSettings.h"
#include "config/Registry.h"
#include "engine/base/FixedText.h"
#include "engine/base/PathName.h"

#include <string>
#include <string_view>

namespace {

void Check(LONG status, const char* value)
{
    if (status != ERROR_SUCCESS) ConfigProblem("Cannot write %s\\%s (error %ld)", kAutoDownloadKey, value, status);
}

void WriteDword(const char* value, int32_t number)
{
    Check(CfgWriteDword(kAutoDownloadKey, nullptr, value, static_cast<DWORD>(number)), value);
}

void WriteString(const char* value, std::string_view text)
{
    Check(CfgWriteString(kAutoDownloadKey, nullptr, value, std::string(text).c_str()), value);
}

HANDLE StartDistributionAgent(const SetupData& data)
{
    const std::string program = PathName(HomePath(data, "\\vgdist.exe")).ShortText();
    if (program.empty()) {
        LogMessage("Cannot start %s: not found", HomePath(data, "\\vgdist.exe").c_str());
        return nullptr;
    }
    std::string commandLine = program;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        LogMessage("Cannot start %s (error %lu)", program.c_str(), GetLastError());
        return nullptr;
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

} // namespace

void WriteAutoDownloadSchedule(const SetupData& data, HANDLE* agentProcess)
{
    if (agentProcess) *agentProcess = nullptr;
    if (data.AutoDownloadAgent != 0) {
        const std::string agent = HomePath(data, "\\autodl95.exe");
        LONG status = CfgWriteString(kRunKey, nullptr, "Brantoke AutoDownload", agent.c_str());
        if (status != ERROR_SUCCESS)
            ConfigProblem("Cannot write %s\\Brantoke AutoDownload (error %ld)", kRunKey, status);
    }

    const std::string date(TextOf(data.NextDownloadDate));
    const std::string time(TextOf(data.NextDownloadTime));
    if (!date.empty() && !time.empty()) {
        uint64_t fileTime = 0;
        if (ScheduleFileTime(date.c_str(), time.c_str(), fileTime)) {
            const std::array<uint8_t, 8> bytes = FileTimeBytes(fileTime);
            Check(CfgWriteBinary(kAutoDownloadKey, nullptr, "NextDownload", bytes.data(), 8), "NextDownload");
        } else {
            LogMessage("Next download %s %s is no date and time (month/day/year with four digits, hour:minute): "
                       "NextDownload not written",
                       date.c_str(), time.c_str());
        }
    }
    int hour = 0, minute = 0;
    ReadHourMinute(std::string(TextOf(data.DownloadTime)).c_str(), hour, minute);
    WriteDword("DownloadAtHour", hour);
    WriteDword("DownloadAtMin", minute);
    WriteDword("ConnectionMethod", data.ConnectionMethod);
    WriteDword("DownloadOnDays", data.DownloadOnDay);
    WriteDword("SkipMonths", data.SkipMonths);
    WriteString("FtpHostName", TextOf(data.FtpHostName));
    WriteString("FtpUserEMailAddress", TextOf(data.FtpUserEMailAddress));
    WriteString("FtpUserName", TextOf(data.FtpUserName));
    WriteDword("FtpFastConnection", data.FtpFastConnection);
    WriteString("DadOVOHomeDir", TextOf(data.InstallPath));
    std::string downloadPath(TextOf(data.DownloadPath));
    if (downloadPath.empty()) downloadPath = HomePath(data, "\\GBBSData");
    WriteString("DownloadPath", downloadPath);
    if (!undojournal::RecordDirectories(downloadPath) ||
        (!CreateDirectoryA(downloadPath.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS))
        ConfigProblem("Cannot create %s (error %lu)", downloadPath.c_str(), GetLastError());

    HANDLE process = StartDistributionAgent(data);
    if (agentProcess)
        *agentProcess = process;
    else if (process)
        CloseHandle(process);
}
