#include "config/InstallLog.h"

#include "config/StatusMif.h"
#include "resources/ids.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace {

// How long a writer keeps trying while others hold the end of the log.
constexpr DWORD kAppendPatienceMs = 10000;

} // namespace

bool AppendLogLine(const char* path, const std::string& message)
{
    // 253 characters, CR LF and the terminator fill the 256-byte line buffer.
    std::string line = message.substr(0, 253);
    line += "\r\n";

    HANDLE file = CreateFileA(path, GENERIC_WRITE | GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;

    const DWORD length = static_cast<DWORD>(line.size());
    const DWORD start = GetTickCount();
    bool written = false;
    for (;;) {
        DWORD end = GetFileSize(file, nullptr);
        if (end == INVALID_FILE_SIZE) break;
        if (LockFile(file, end, 0, length, 0)) {
            // Another writer may have appended between the size and the lock.
            if (GetFileSize(file, nullptr) == end &&
                SetFilePointer(file, static_cast<LONG>(end), nullptr, FILE_BEGIN) == end) {
                DWORD done = 0;
                written = WriteFile(file, line.data(), length, &done, nullptr) && done == length;
                UnlockFile(file, end, 0, length, 0);
                break;
            }
            UnlockFile(file, end, 0, length, 0);
        }
        if (GetTickCount() - start > kAppendPatienceMs) break;
        Sleep(1);
    }
    CloseHandle(file);
    return written;
}

void LogMessage(const char* format, ...)
{
    char buffer[254];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) return;
    AppendLogLine(kInstallLogPath, buffer);
}

void ReportSetupError(SetupData& data, int code)
{
    if (data.StatusReporting == 0) return;
    char text[256];
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_SETUP_ERROR, text, sizeof text) <= 0)
        lstrcpynA(text, "Setup Error", sizeof text);
    LogMessage("%s:%d", text, code);
    WriteStatusMif(data, code, "Error During Install");
}
