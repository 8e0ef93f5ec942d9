// What the undo tests compare before a change and after its rollback: the
// files under a directory (with contents and attributes, and times except for
// profile files, which an undo rewrites) and the registry below the test keys.
// Shared by the tests and the process they kill.
#pragma once
#include "tests/win32/support/WinTest.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace undotest {

const char kTestKey[] = "Software\\KorUndoTest";

inline bool SetValue(HKEY root, const std::string& subkey, const std::string& name, DWORD type,
                     const std::string& bytes)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

inline std::string Hex(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        out += "0123456789abcdef"[c >> 4];
        out += "0123456789abcdef"[c & 15];
    }
    return out;
}

inline void DumpKey(HKEY parent, const std::string& subkey, const std::string& label, std::vector<std::string>& out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    out.push_back("key " + label);
    std::vector<std::string> subkeys;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back(name);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, type = 0, dataSize = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS) break;
        std::string data(dataSize, '\0');
        nameSize = sizeof name;
        RegEnumValueA(key, i, name, &nameSize, nullptr, &type, dataSize ? reinterpret_cast<BYTE*>(&data[0]) : nullptr,
                      &dataSize);
        out.push_back("value " + label + " [" + Hex(std::string(name, nameSize)) + "] " + std::to_string(type) + ":" +
                      Hex(data.substr(0, dataSize)));
    }
    RegCloseKey(key);
    for (const std::string& sub : subkeys) DumpKey(parent, subkey + "\\" + sub, label + "\\" + sub, out);
}

inline void DumpFiles(const std::string& dir, const std::string& label, std::vector<std::string>& out)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back("dir " + label + name);
            DumpFiles(dir + name + "\\", label + name + "\\", out);
            continue;
        }
        std::string line = "file " + label + name + " " + std::to_string(fd.dwFileAttributes) + " " +
            Hex(wintest::ReadFileText(dir + name));
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper.size() < 4 || upper.substr(upper.size() - 4) != ".INI")
            line += " " + std::to_string(fd.ftLastWriteTime.dwHighDateTime) + "." +
                std::to_string(fd.ftLastWriteTime.dwLowDateTime);
        out.push_back(line);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

// The files under `dir` (ending in a backslash) and the test keys of both roots.
inline std::string State(const std::string& dir)
{
    std::vector<std::string> lines;
    DumpFiles(dir, "", lines);
    DumpKey(HKEY_LOCAL_MACHINE, kTestKey, "HKLM", lines);
    DumpKey(HKEY_CURRENT_USER, kTestKey, "HKCU", lines);
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

} // namespace undotest
