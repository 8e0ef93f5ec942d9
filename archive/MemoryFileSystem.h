// A FileSystem held in memory: archive volumes for tests and fuzzing, and a
// place the media tool can build volumes in before they are sized.
#pragma once
#include "archive/ByteStream.h"

#include <map>
#include <vector>

namespace archive {

class MemoryFileSystem final : public FileSystem {
public:
    using Bytes = std::vector<uint8_t>;

    // Writes beyond this many bytes in one file fail with "Disk full".
    explicit MemoryFileSystem(std::size_t fileLimit = SIZE_MAX) : limit_(fileLimit) {}

    void Put(const std::string& path, Bytes bytes) { files_[path] = std::move(bytes); }
    const Bytes* Get(const std::string& path) const;
    const std::map<std::string, Bytes>& Files() const { return files_; }

    std::unique_ptr<ReadFile> OpenRead(const std::string& path) override;
    std::unique_ptr<WriteFile> OpenWrite(const std::string& path) override;
    bool Exists(const std::string& path) override { return files_.count(path) != 0; }
    void Remove(const std::string& path) override { files_.erase(path); }
    void SetTimeAndAttributes(const std::string& path, int32_t mtime, uint8_t attributes) override;
    char Separator() const override { return '/'; }

    int32_t TimeOf(const std::string& path) const;
    uint8_t AttributesOf(const std::string& path) const;

private:
    std::map<std::string, Bytes> files_;
    std::map<std::string, std::pair<int32_t, uint8_t>> stamps_;
    std::size_t limit_;
};

} // namespace archive

namespace archive {

// Reads from a byte range it does not own.
class MemorySource final : public DataSource {
public:
    MemorySource(const void* data, std::size_t size) : p_(static_cast<const uint8_t*>(data)), left_(size) {}
    std::size_t ReadData(void* buffer, std::size_t count) override;

private:
    const uint8_t* p_;
    std::size_t left_;
};

// Appends to a vector; throws "Disk full" past its limit.
class VectorSink final : public DataSink {
public:
    explicit VectorSink(std::vector<uint8_t>& out, std::size_t limit = SIZE_MAX) : out_(out), limit_(limit) {}
    void WriteData(const void* buffer, std::size_t count) override;

private:
    std::vector<uint8_t>& out_;
    std::size_t limit_;
};

} // namespace archive
