// FileSystem over the C run-time library: the native build, the media tool
// (both builds) and the tests. Errors carry the cause mapped from errno.
#include "archive/ByteStream.h"

#include "framework/Exceptions.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <utime.h>
#ifdef _WIN32
#include <io.h>
#endif

namespace archive {
namespace {

[[noreturn]] void Fail(const std::string& path, int err)
{
    int32_t cause = fw::FileException::CauseFromErrno(err);
    throw fw::FileException(cause == fw::kFileNone ? fw::kFileGeneric : cause, path);
}

int Seek64(std::FILE* f, uint64_t pos)
{
#ifdef _WIN32
    return _fseeki64(f, static_cast<long long>(pos), SEEK_SET);
#else
    return fseeko(f, static_cast<off_t>(pos), SEEK_SET);
#endif
}

class StdioReadFile final : public ReadFile {
public:
    StdioReadFile(std::FILE* f, std::string path) : f_(f), path_(std::move(path)) {}
    ~StdioReadFile() override { (void)std::fclose(f_); } // nothing was written: a failed close loses nothing

    std::size_t ReadData(void* buffer, std::size_t count) override
    {
        std::size_t got = std::fread(buffer, 1, count, f_);
        if (got < count && std::ferror(f_)) Fail(path_, errno ? errno : EIO);
        return got;
    }
    void Seek(uint64_t position) override
    {
        if (Seek64(f_, position) != 0) Fail(path_, errno);
    }
    uint64_t Size() override
    {
        struct stat st;
        if (fstat(fileno(f_), &st) != 0) Fail(path_, errno);
        return static_cast<uint64_t>(st.st_size);
    }

private:
    std::FILE* f_;
    std::string path_;
};

class StdioWriteFile final : public WriteFile {
public:
    StdioWriteFile(std::FILE* f, std::string path) : f_(f), path_(std::move(path)) {}
    ~StdioWriteFile() override
    {
        // Only an abandoned file gets here (Close reports its errors): it is
        // incomplete whether or not this close works.
        if (f_) (void)std::fclose(f_);
    }
    void WriteData(const void* buffer, std::size_t count) override
    {
        if (!f_) throw fw::FileException(fw::kFileInvalid, path_);
        if (count && std::fwrite(buffer, 1, count, f_) != count) Fail(path_, errno ? errno : EIO);
    }
    void Close() override
    {
        if (!f_) return;
        std::FILE* f = f_;
        f_ = nullptr;
        if (std::fclose(f) != 0) Fail(path_, errno ? errno : EIO);
    }

private:
    std::FILE* f_;
    std::string path_;
};

class StdioFs final : public FileSystem {
public:
    std::unique_ptr<ReadFile> OpenRead(const std::string& path) override
    {
        errno = 0;
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) Fail(path, errno);
        struct stat st;
        if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
            (void)std::fclose(f); // opened only to be refused
            Fail(path, EACCES);
        }
        return std::make_unique<StdioReadFile>(f, path);
    }
    std::unique_ptr<WriteFile> OpenWrite(const std::string& path) override
    {
        errno = 0;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) Fail(path, errno);
        return std::make_unique<StdioWriteFile>(f, path);
    }
    bool Exists(const std::string& path) override
    {
        struct stat st;
        return stat(path.c_str(), &st) == 0;
    }
    void Remove(const std::string& path) override { (void)std::remove(path.c_str()); }
    void SetTimeAndAttributes(const std::string& path, int32_t mtime, uint8_t attributes) override
    {
        struct utimbuf t;
        t.actime = mtime;
        t.modtime = mtime;
        if (utime(path.c_str(), &t) != 0) Fail(path, errno);
        // Read-only is the one DOS attribute with a stdio meaning.
        struct stat st;
        if (stat(path.c_str(), &st) != 0) Fail(path, errno);
        int mode = static_cast<int>(st.st_mode & 0777);
        int want = (attributes & 0x01) ? (mode & ~0222) : (mode | 0200);
        if (want != mode && chmod(path.c_str(), want) != 0) Fail(path, errno);
    }
    char Separator() const override
    {
#ifdef _WIN32
        return '\\';
#else
        return '/';
#endif
    }
};

} // namespace

FileSystem& StdioFileSystem()
{
    static StdioFs fs;
    return fs;
}

std::string JoinPath(const FileSystem& fs, const std::string& dir, const std::string& name)
{
    if (dir.empty()) return name;
    char last = dir.back();
    if (last == '/' || last == '\\' || last == ':') return dir + name;
    return dir + fs.Separator() + name;
}

} // namespace archive
