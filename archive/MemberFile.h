// The output side of one archive member: its header, where the header was
// found, the destination the expanded bytes go to and the running checksum
// of those bytes. The destination is either a file path (opened by the
// archive reader when it extracts) or a caller's DataSink.
#pragma once
#include "archive/ArchiveFormat.h"
#include "archive/ByteStream.h"
#include "archive/Checksum.h"

#include <memory>
#include <string>

namespace archive {

class MemberFile : public DataSink {
public:
    MemberFile() = default;
    ~MemberFile() override;

    MemberHeader header;
    uint64_t position = kArchiveHeaderSize; // where the next header is expected (current volume)

    // The name and extension to create; CMultiFileException 4 when the name
    // field has no terminating zero or leaves no usable file name.
    std::string FileName() const;

    // Where Extract writes: a path it opens (create, replace) ...
    void SetDestinationPath(const std::string& path);
    // ... or a sink that stays the caller's.
    void SetDestinationSink(DataSink* sink);
    const std::string& DestinationPath() const { return path_; }

    // Used by the archive reader around an extraction.
    virtual void OpenDestination(FileSystem& fs);
    virtual void CloseDestination();
    // Closes the destination after a failure, ignoring further errors.
    virtual void AbandonDestination();
    void WriteData(const void* buffer, std::size_t count) override;
    uint32_t ChecksumValue() const { return checksum_.Value(); }

private:
    std::string path_;
    DataSink* sink_ = nullptr;
    std::unique_ptr<WriteFile> file_;
    Checksum checksum_;
};

} // namespace archive
