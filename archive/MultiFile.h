// A file whose data reads run on from one volume file into the next.
//
// The data position counts the bytes delivered by ReadData since the object
// was made (it goes on across volumes). ReadData asks the volume for the
// whole count at once, then calls OnBlock once for every multiple of the
// block size the data position passed, with the position set to that
// multiple, just as a read split at each multiple would (nothing is written
// between them either way). It calls OnVolumeEnd when the current volume
// gives fewer bytes than asked: true stops the read, false means the hook
// opened the next volume and reading goes on there. ReadPlain reads the
// current volume only, without moving the data position or calling hooks;
// headers are read with it, so they never span volumes.
#pragma once
#include "archive/ArchiveFormat.h"
#include "archive/ByteStream.h"

#include <memory>
#include <string>

namespace archive {

class MultiFile : public DataSource {
public:
    explicit MultiFile(FileSystem& fs, uint32_t blockSize = kBlockSize);
    ~MultiFile() override;

    // Opens a volume in place of the current one (file exception on failure).
    void OpenVolume(const std::string& path);
    void CloseVolume();
    bool IsOpen() const { return volume_ != nullptr; }
    const std::string& VolumePath() const { return path_; }

    std::size_t ReadData(void* buffer, std::size_t count) override;
    std::size_t ReadPlain(void* buffer, std::size_t count);
    void SeekPlain(uint64_t position);

    uint64_t DataPosition() const { return position_; }
    uint32_t BlockSize() const { return blockSize_; }
    FileSystem& Files() const { return fs_; }

protected:
    virtual void OnBlock();
    virtual bool OnVolumeEnd();

private:
    FileSystem& fs_;
    std::unique_ptr<ReadFile> volume_;
    std::string path_;
    uint64_t position_ = 0;
    uint32_t blockSize_;
};

} // namespace archive
