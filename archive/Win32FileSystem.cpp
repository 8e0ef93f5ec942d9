#include "archive/Win32FileSystem.h"

#include "framework/Exceptions.h"

#include <windows.h>

namespace archive {
namespace {

[[noreturn]] void Fail(const std::string& path)
{
    int32_t cause = fw::FileException::CauseFromOsError(GetLastError());
    throw fw::FileException(cause == fw::kFileNone ? fw::kFileGeneric : cause, path);
}

class Win32ReadFile final : public ReadFile {
public:
    Win32ReadFile(HANDLE h, std::string path) : h_(h), path_(std::move(path)) {}
    ~Win32ReadFile() override { CloseHandle(h_); }
    std::size_t ReadData(void* buffer, std::size_t count) override
    {
        DWORD got = 0;
        if (!::ReadFile(h_, buffer, static_cast<DWORD>(count), &got, nullptr)) Fail(path_);
        return got;
    }
    void Seek(uint64_t position) override
    {
        LONG high = static_cast<LONG>(position >> 32);
        SetLastError(NO_ERROR);
        DWORD low = SetFilePointer(h_, static_cast<LONG>(position & 0xFFFFFFFFu), &high, FILE_BEGIN);
        if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) Fail(path_);
    }
    uint64_t Size() override
    {
        DWORD high = 0;
        SetLastError(NO_ERROR);
        DWORD low = GetFileSize(h_, &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) Fail(path_);
        return (uint64_t(high) << 32) | low;
    }

private:
    HANDLE h_;
    std::string path_;
};

class Win32WriteFile final : public WriteFile {
public:
    Win32WriteFile(HANDLE h, std::string path) : h_(h), path_(std::move(path)) {}
    ~Win32WriteFile() override
    {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    void WriteData(const void* buffer, std::size_t count) override
    {
        if (h_ == INVALID_HANDLE_VALUE) throw fw::FileException(fw::kFileInvalid, path_);
        DWORD done = 0;
        if (count && (!::WriteFile(h_, buffer, static_cast<DWORD>(count), &done, nullptr) || done != count)) {
            if (GetLastError() == NO_ERROR) SetLastError(ERROR_DISK_FULL);
            Fail(path_);
        }
    }
    void Close() override
    {
        if (h_ == INVALID_HANDLE_VALUE) return;
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        if (!CloseHandle(h)) Fail(path_);
    }

private:
    HANDLE h_;
    std::string path_;
};

class Win32Fs final : public FileSystem {
public:
    std::unique_ptr<ReadFile> OpenRead(const std::string& path) override
    {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) Fail(path);
        return std::make_unique<Win32ReadFile>(h, path);
    }
    std::unique_ptr<WriteFile> OpenWrite(const std::string& path) override
    {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) Fail(path);
        return std::make_unique<Win32WriteFile>(h, path);
    }
    bool Exists(const std::string& path) override
    {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void Remove(const std::string& path) override
    {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    void SetTimeAndAttributes(const std::string& path, int32_t mtime, uint8_t attributes) override
    {
        // Seconds since 1970 to 100-ns units since 1601.
        uint64_t t = (uint64_t(int64_t(mtime) + 11644473600LL)) * 10000000ULL;
        FILETIME ft;
        ft.dwLowDateTime = static_cast<DWORD>(t);
        ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) Fail(path);
        BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
        CloseHandle(h);
        if (!ok) Fail(path);
        DWORD attr = attributes &
            (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        if (!SetFileAttributesA(path.c_str(), attr ? attr : FILE_ATTRIBUTE_NORMAL)) Fail(path);
    }
    char Separator() const override { return '\\'; }
};

} // namespace

FileSystem& Win32FileSystem()
{
    static Win32Fs fs;
    return fs;
}

} // namespace archive
