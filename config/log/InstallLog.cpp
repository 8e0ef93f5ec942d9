#include "config/log/InstallLog.h"

#include "config/log/StatusMif.h"
#include "resources/ids.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace {

// How long one run waits in all for others to let go of the end of the log:
// a stuck reader must not stretch an unattended install by seconds per line.
constexpr DWORD kAppendPatienceMs = 10000;
DWORD g_waitedMs = 0;
bool g_lockAbandoned = false;

bool WriteAtEnd(HANDLE file, const std::string& line)
{
    if (SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) return false;
    DWORD done = 0;
    return WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &done, nullptr) && done == line.size();
}

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
    DWORD start = GetTickCount();
    bool written = false;
    bool gaveUp = false;
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
        DWORD now = GetTickCount();
        g_waitedMs += now - start;
        start = now;
        if (g_waitedMs > kAppendPatienceMs) {
            // Patience spent: one try per line from now on. Said once, in the
            // log itself, so that a reader knows why lines may interleave.
            if (!g_lockAbandoned) WriteAtEnd(file, "Install log locked too long: lines appended without the lock\r\n");
            g_lockAbandoned = gaveUp = true;
            break;
        }
        Sleep(1);
    }
    if (gaveUp) written = WriteAtEnd(file, line);
    CloseHandle(file);
    return written;
}

std::string LogMessageV(const char* format, va_list args)
{
    char buffer[254];
    if (std::vsnprintf(buffer, sizeof buffer, format, args) < 0) return {};
    std::string line = buffer;
    AppendLogLine(kInstallLogPath, line);
    return line;
}

void LogMessage(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    LogMessageV(format, args);
    va_end(args);
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
