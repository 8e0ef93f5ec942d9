#include "engine/archive/MultiFile.h"

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
        std::size_t toBoundary = blockSize_ - static_cast<std::size_t>(position_ % blockSize_);
        std::size_t want = std::min(count - delivered, toBoundary);
        std::size_t got = volume_ ? volume_->ReadData(out + delivered, want) : 0;
        delivered += got;
        position_ += got;
        if (got && position_ % blockSize_ == 0) OnBlock();
        if (got < want && OnVolumeEnd()) break;
    }
    return delivered;
}

void MultiFile::OnBlock() {}

bool MultiFile::OnVolumeEnd() { return true; }

} // namespace archive
