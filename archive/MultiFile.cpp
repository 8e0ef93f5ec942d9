#include "archive/MultiFile.h"

#include <algorithm>

namespace archive {

MultiFile::MultiFile(FileSystem& fs, uint32_t blockSize) : fs_(fs), blockSize_(blockSize ? blockSize : 1) {}

MultiFile::~MultiFile() = default;

void MultiFile::OpenVolume(const std::string& path)
{
    volume_.reset();
    path_ = path;
    volume_ = fs_.OpenRead(path);
}

void MultiFile::CloseVolume() { volume_.reset(); }

std::size_t MultiFile::ReadPlain(void* buffer, std::size_t count)
{
    return volume_ ? volume_->ReadData(buffer, count) : 0;
}

void MultiFile::SeekPlain(uint64_t position)
{
    if (volume_) volume_->Seek(position);
}

std::size_t MultiFile::ReadData(void* buffer, std::size_t count)
{
    uint8_t* out = static_cast<uint8_t*>(buffer);
    std::size_t delivered = 0;
    while (delivered < count) {
        std::size_t want = count - delivered;
        std::size_t got = volume_ ? volume_->ReadData(out + delivered, want) : 0;
        delivered += got;
        // Fewer, larger reads; the hooks still see each multiple in turn.
        uint64_t end = position_ + got;
        for (uint64_t next = position_ - position_ % blockSize_ + blockSize_; next <= end; next += blockSize_) {
            position_ = next;
            OnBlock();
        }
        position_ = end;
        if (got < want && OnVolumeEnd()) break;
    }
    return delivered;
}

void MultiFile::OnBlock() {}

bool MultiFile::OnVolumeEnd() { return true; }

} // namespace archive
