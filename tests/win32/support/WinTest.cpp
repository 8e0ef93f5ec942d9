#include "tests/win32/support/WinTest.h"

#include "wizard/Pages.h"

#include "framework/App.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>

namespace wintest {

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return condition();
            }
            fw::DispatchOne(msg);
            if (condition()) return true;
        }
        if (condition()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string WindowsDirectory()
{
    char buf[MAX_PATH + 1] = {};
    GetWindowsDirectoryA(buf, MAX_PATH);
    return std::string(buf) + "\\";
}

std::string SystemDirectory()
{
    char buf[MAX_PATH + 1] = {};
    GetSystemDirectoryA(buf, MAX_PATH);
    return std::string(buf) + "\\";
}

std::string ProgramsFolder()
{
    char buf[MAX_PATH + 1] = {};
    SHGetSpecialFolderPathA(nullptr, buf, CSIDL_PROGRAMS, FALSE);
    return std::string(buf) + "\\";
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        fw::DispatchOne(msg);
    }
}

namespace {
void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(dir + name + "\\");
            else {
                SetFileAttributesA((dir + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA((dir + name).c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}
} // namespace

TempDir::TempDir()
{
    char base[MAX_PATH + 1];
    GetTempPathA(sizeof base, base);
    static int counter = 0;
    char name[64];
    std::snprintf(name, sizeof name, "wt%lu_%d\\", GetCurrentProcessId(), ++counter);
    path_ = std::string(base) + name;
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string ModuleDirectory()
{
    char buf[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string s = buf;
    return s.substr(0, s.find_last_of('\\') + 1);
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

bool WriteFileText(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

std::string WindowText(HWND window)
{
    char buf[1024] = {};
    GetWindowTextA(window, buf, sizeof buf);
    return buf;
}

std::vector<std::string> FileNames(const std::string& directoryWithSlash)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((directoryWithSlash + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

const std::string& ScratchDirectory()
{
    static TempDir scratch;
    return scratch.Path();
}

std::string HostPath(const std::string& unixPath)
{
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

HANDLE StartProgram(const std::string& commandLine, DWORD flags, HANDLE* thread)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi))
        return nullptr;
    if (thread)
        *thread = pi.hThread;
    else
        CloseHandle(pi.hThread);
    return pi.hProcess;
}

FileHolder::FileHolder(const char* mode, const std::string& path)
{
    static int counter = 0;
    std::string base = "KorHold" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    ready_ = CreateEventA(nullptr, TRUE, FALSE, (base + "r").c_str());
    release_ = CreateEventA(nullptr, TRUE, FALSE, (base + "x").c_str());
    std::string command =
        "\"" + ModuleDirectory() + "holdfile.exe\" " + mode + " \"" + path + "\" " + base + "r " + base + "x";
    process_ = StartProgram(command);
    if (!process_) return;
    HANDLE both[2] = {ready_, process_};
    holding_ = WaitForMultipleObjects(2, both, FALSE, 20000) == WAIT_OBJECT_0;
}

void FileHolder::Release()
{
    if (process_) {
        SetEvent(release_);
        WaitForSingleObject(process_, 20000);
        CloseHandle(process_);
        process_ = nullptr;
    }
    for (HANDLE* event : {&ready_, &release_}) {
        if (*event) CloseHandle(*event);
        *event = nullptr;
    }
}

std::string RegistryValue(HKEY root, const std::string& path, const char* name, DWORD* type)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char data[4096];
    DWORD size = sizeof data;
    LONG status = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return "<no value>";
    return std::string(data, size);
}

std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < text.size()) lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Noise(std::size_t n, unsigned seed)
{
    std::string s(n, '\0');
    unsigned x = seed;
    for (char& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

void UseStandInPages(std::initializer_list<int32_t> ids, const PageMaker& make)
{
    std::vector<PageRow> rows = StandardPageTable();
    for (PageRow& row : rows) {
        for (int32_t id : ids) {
            if (row.id != id) continue;
            row.make = make;
            row.next = kEndWizard;
            row.nextRule = nullptr;
        }
    }
    SetPageTable(rows);
}

void UseStandardPages() { SetPageTable(StandardPageTable()); }

} // namespace wintest
