// The framework's exception family: what the Win32 layer and the platform-free
// file code raise. The setup engine converts these into its own CX family
// before reporting them (engine/XException.h). Free of <windows.h>.
#pragma once
#include <cstdint>
#include <string>

namespace fw {

class Exception {
public:
    virtual ~Exception() = default;
    virtual const char* ClassName() const = 0;
};

class MemoryException : public Exception {
public:
    const char* ClassName() const override { return "MemoryException"; }
};

// Causes as the classic C run-time library numbers them; the error table of
// the setup keys its texts on these numbers.
enum FileCause : int32_t {
    kFileNone = 0,
    kFileGeneric = 1,
    kFileNotFound = 2,
    kFileBadPath = 3,
    kFileTooManyOpen = 4,
    kFileAccessDenied = 5,
    kFileInvalid = 6,
    kFileRemoveCurrentDir = 7,
    kFileDirectoryFull = 8,
    kFileBadSeek = 9,
    kFileHardIo = 10,
    kFileSharingViolation = 11,
    kFileLockViolation = 12,
    kFileDiskFull = 13,
    kFileEndOfFile = 14,
};

class FileException : public Exception {
public:
    explicit FileException(int32_t cause, std::string fileName = {}) : cause_(cause), fileName_(std::move(fileName)) {}
    const char* ClassName() const override { return "FileException"; }
    int32_t Cause() const { return cause_; }
    const std::string& FileName() const { return fileName_; }

    static int32_t CauseFromErrno(int err);
    static int32_t CauseFromOsError(uint32_t win32Error);

private:
    int32_t cause_;
    std::string fileName_;
};

class ArchiveException : public Exception {
public:
    explicit ArchiveException(int32_t cause) : cause_(cause) {}
    const char* ClassName() const override { return "ArchiveException"; }
    int32_t Cause() const { return cause_; }

private:
    int32_t cause_;
};

class ResourceException : public Exception {
public:
    const char* ClassName() const override { return "ResourceException"; }
};

class UserException : public Exception {
public:
    const char* ClassName() const override { return "UserException"; }
};

class NotSupportedException : public Exception {
public:
    const char* ClassName() const override { return "NotSupportedException"; }
};

} // namespace fw
