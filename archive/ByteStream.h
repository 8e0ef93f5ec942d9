// The byte streams the archive code runs on. The archive reader, the codecs
// and the media tool only see these interfaces, so the same code runs over
// stdio files (native build and tool), Win32 files (setup.exe) and memory
// (tests, fuzzing). Failures are fw::FileException with the platform's cause.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace archive {

// Where a codec reads its input from.
class DataSource {
public:
    virtual ~DataSource() = default;
    // Up to count bytes; fewer only at the end of the data.
    virtual std::size_t ReadData(void* buffer, std::size_t count) = 0;
};

// Where a codec writes its output to. Writes all or raises.
class DataSink {
public:
    virtual ~DataSink() = default;
    virtual void WriteData(const void* buffer, std::size_t count) = 0;
};

// An open file read sequentially, with seeking for positioned member reads.
class ReadFile : public DataSource {
public:
    virtual void Seek(uint64_t position) = 0;
    virtual uint64_t Size() = 0;
};

// A file being written. Close flushes and reports a late write failure.
class WriteFile : public DataSink {
public:
    virtual void Close() = 0;
};

// Opens files by path. One implementation per platform plus one in memory.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Binary read; others may read and write meanwhile.
    virtual std::unique_ptr<ReadFile> OpenRead(const std::string& path) = 0;
    // Binary write, created or truncated.
    virtual std::unique_ptr<WriteFile> OpenWrite(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Best effort: it clears away incomplete output, and a file that stays is
    // no worse than the failure that left it.
    virtual void Remove(const std::string& path) = 0;
    // Seconds since 1970 and the DOS attribute byte (only read-only has a
    // meaning outside Windows).
    virtual void SetTimeAndAttributes(const std::string& path, int32_t mtime, uint8_t attributes) = 0;
    // Separator appended between a directory and a name.
    virtual char Separator() const = 0;
};

// Joins a directory and a name with the file system's separator.
std::string JoinPath(const FileSystem& fs, const std::string& dir, const std::string& name);

// The stdio file system of the platform-free build.
FileSystem& StdioFileSystem();

} // namespace archive
