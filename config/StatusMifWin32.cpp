#include "config/StatusMif.h"

#include "engine/FixedText.h"

#include <windows.h>

#include <cstdio>

void WriteStatusMif(SetupData& data, int failed, const char* description)
{
    if (data.StatusFile[0] == '\0') {
        char windows[257] = {};
        UINT n = GetWindowsDirectoryA(windows, 256);
        if (n == 0 || n > 256) return;
        std::string path = std::string(windows) + "\\KORVISAN.MIF";
        if (!CopyText(data.StatusFile, path)) {
            data.StatusFile[0] = '\0';
            return;
        }
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    MifTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    std::string text = BuildStatusMif(failed, description, "", time);

    // Text mode: every line feed is written as CR LF.
    FILE* file = std::fopen(data.StatusFile, "w");
    if (file == nullptr) return;
    std::fputs(text.c_str(), file);
    std::fclose(file);
}
