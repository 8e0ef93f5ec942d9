#include "config/log/StatusMif.h"

#include "engine/base/FixedText.h"

#include <windows.h>

#include <cstdio>

std::string StatusFilePath(SetupData& data)
{
    if (data.StatusFile[0] == '\0') {
        char windows[257] = {};
        UINT n = GetWindowsDirectoryA(windows, 256);
        if (n == 0 || n > 256) return {};
        std::string path = std::string(windows) + "\\KORVISAN.MIF";
        if (!CopyText(data.StatusFile, path)) {
            data.StatusFile[0] = '\0';
            return {};
        }
    }
    return std::string(TextOf(data.StatusFile));
}

namespace {

// Text mode: every line feed is written as CR LF.
bool WriteWhole(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return false;
    bool ok = std::fputs(text.c_str(), file) >= 0;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

// Windows 95 has no MoveFileEx (a stub that fails): delete, then move, the
// shortest gap the platform allows.
bool ReplaceWith(const std::string& work, const std::string& path)
{
    DeleteFileA(path.c_str());
    return MoveFileA(work.c_str(), path.c_str()) != 0;
}

} // namespace

void WriteStatusMif(SetupData& data, int failed, const char* description)
{
    const std::string path = StatusFilePath(data);
    if (path.empty()) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    MifTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    const std::string text = BuildStatusMif(failed, description, "", time);

    std::size_t slash = path.find_last_of("\\/");
    std::string directory = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    if (directory.empty() || directory.back() == ':') directory += '\\';
    char work[MAX_PATH] = {};
    if (GetTempFileNameA(directory.c_str(), "mif", 0, work) != 0) {
        if (WriteWhole(work, text) && ReplaceWith(work, path)) return;
        DeleteFileA(work);
    }
    DeleteFileA(path.c_str());
}
