// The install log "C:\KORSETUP.LOG": one line per noteworthy event, appended
// by the setup and by other processes of the product, never truncated.
//
// Format: lines of at most 253 characters, each ending in CR LF.
// Appending: each writer locks the byte range its line will occupy at the
// current end of the file, and writes only if the end has not moved while it
// took the lock; otherwise it lets go and tries again at the new end. So
// concurrent writers never take the same offset and no line is lost or split.
#pragma once
#include "engine/base/SetupData.h"

#include <cstdarg>
#include <string>

constexpr const char* kInstallLogPath = "C:\\KORSETUP.LOG";

// Formats (printf) and appends one line. An unwritable log is skipped.
void LogMessage(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// LogMessage with its arguments as a va_list: the line appended (cut to 253
// characters), empty when they cannot be formatted.
std::string LogMessageV(const char* format, va_list args);

// Appends one formatted line to the given file; false when it could not.
bool AppendLogLine(const char* path, const std::string& message);

// With StatusReporting on: the log line "Setup Error:<code>" and a failed
// status file "Error During Install".
void ReportSetupError(SetupData& data, int code);
