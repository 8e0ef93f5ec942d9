// What a stand-in was given, recorded as lines of a text file, so that tests
// can check the real calls after the fact: NAME.REC in the Windows directory
// (RecordWindowsLine), or, for the older stand-ins, a file beside the program.
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
inline void AppendRecordLine(const std::string& path, const std::string& line)
{
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFilePointer(file, 0, nullptr, FILE_END);
    std::string text = line + "\r\n";
    DWORD done = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    CloseHandle(file);
}

inline void RecordLine(const std::string& fileName, const std::string& line)
{
    AppendRecordLine(ProgramDirectory() + fileName, line);
}

// The Windows directory, ending in a backslash.
inline std::string WindowsDirectoryPath()
{
    char path[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    std::string dir(path, n < MAX_PATH ? n : 0);
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

// Appends one line to NAME.REC in the Windows directory (a program that is
// deleted after its run, like the engine, leaves its record there).
inline void RecordWindowsLine(const std::string& recordName, const std::string& line)
{
    AppendRecordLine(WindowsDirectoryPath() + recordName, line);
}
