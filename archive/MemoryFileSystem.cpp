#include "archive/MemoryFileSystem.h"

#include "framework/Exceptions.h"

#include <algorithm>
#include <cstring>

namespace archive {
namespace {

class MemoryReadFile final : public ReadFile {
public:
    explicit MemoryReadFile(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    std::size_t ReadData(void* buffer, std::size_t count) override
    {
        std::size_t left = pos_ < bytes_.size() ? bytes_.size() - pos_ : 0;
        std::size_t n = std::min(count, left);
        if (n) std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    void Seek(uint64_t position) override { pos_ = position; }
    uint64_t Size() override { return bytes_.size(); }

private:
    // A copy: the file stays readable if the file system entry is replaced.
    std::vector<uint8_t> bytes_;
    uint64_t pos_ = 0;
};

class MemoryWriteFile final : public WriteFile {
public:
    MemoryWriteFile(std::vector<uint8_t>& target, std::size_t limit) : target_(target), limit_(limit) {}
    void WriteData(const void* buffer, std::size_t count) override
    {
        if (count > limit_ - target_.size()) throw fw::FileException(fw::kFileDiskFull);
        const uint8_t* p = static_cast<const uint8_t*>(buffer);
        target_.insert(target_.end(), p, p + count);
    }
    void Close() override {}

private:
    std::vector<uint8_t>& target_;
    std::size_t limit_;
};

} // namespace

const MemoryFileSystem::Bytes* MemoryFileSystem::Get(const std::string& path) const
{
    auto it = files_.find(path);
    return it == files_.end() ? nullptr : &it->second;
}

std::unique_ptr<ReadFile> MemoryFileSystem::OpenRead(const std::string& path)
{
    auto it = files_.find(path);
    if (it == files_.end()) throw fw::FileException(fw::kFileNotFound, path);
    return std::make_unique<MemoryReadFile>(it->second);
}

std::unique_ptr<WriteFile> MemoryFileSystem::OpenWrite(const std::string& path)
{
    Bytes& b = files_[path];
    b.clear();
    return std::make_unique<MemoryWriteFile>(b, limit_);
}

void MemoryFileSystem::SetTimeAndAttributes(const std::string& path, int32_t mtime, uint8_t attributes)
{
    if (!files_.count(path)) throw fw::FileException(fw::kFileNotFound, path);
    stamps_[path] = {mtime, attributes};
}

int32_t MemoryFileSystem::TimeOf(const std::string& path) const
{
    auto it = stamps_.find(path);
    return it == stamps_.end() ? 0 : it->second.first;
}

uint8_t MemoryFileSystem::AttributesOf(const std::string& path) const
{
    auto it = stamps_.find(path);
    return it == stamps_.end() ? 0 : it->second.second;
}

} // namespace archive

namespace archive {

std::size_t MemorySource::ReadData(void* buffer, std::size_t count)
{
    std::size_t n = std::min(count, left_);
    if (n) std::memcpy(buffer, p_, n);
    p_ += n;
    left_ -= n;
    return n;
}

void VectorSink::WriteData(const void* buffer, std::size_t count)
{
    if (count > limit_ - out_.size()) throw fw::FileException(fw::kFileDiskFull);
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    out_.insert(out_.end(), p, p + count);
}

} // namespace archive
