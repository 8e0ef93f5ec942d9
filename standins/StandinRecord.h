// What a stand-in was given, recorded as lines of a text file beside the
// stand-in's own program file, so that tests can check the real calls.
#pragma once
#include <windows.h>

#include <string>

// The directory of the running program, ending in a backslash.
inline std::string ProgramDirectory()
{
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    std::size_t slash = dir.find_last_of('\\');
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

// Appends one line (CR LF) to the record file; the file is opened and closed
// for each line so that every line is on disk before the next event.
inline void RecordLine(const std::string& fileName, const std::string& line)
{
    HANDLE file = CreateFileA((ProgramDirectory() + fileName).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFilePointer(file, 0, nullptr, FILE_END);
    std::string text = line + "\r\n";
    DWORD done = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    CloseHandle(file);
}
