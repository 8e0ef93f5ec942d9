#include "archive/StoredCodec.h"

#include "framework/Exceptions.h"

#include <algorithm>

namespace archive {

StoredCodec::StoredCodec() : buffer_(new uint8_t[kBufferSize]) {}

void StoredCodec::Compress()
{
    for (;;) {
        std::size_t n = ReadBlock(buffer_.get(), kBufferSize);
        if (n == 0) break;
        WriteBlock(buffer_.get(), n);
    }
}

void StoredCodec::Expand(uint32_t stored, uint32_t expanded)
{
    // Both sizes are equal in a sound member; the smaller one bounds the read
    // so that a damaged header never makes us read past the member.
    uint32_t left = expanded;
    uint32_t available = stored;
    while (left != 0 && !Aborted()) {
        std::size_t want = std::min<std::size_t>(std::min(left, available), kBufferSize);
        std::size_t n = want ? ReadBlock(buffer_.get(), want) : 0;
        if (n == 0) throw fw::FileException(fw::kFileEndOfFile);
        WriteBlock(buffer_.get(), n);
        left -= static_cast<uint32_t>(n);
        available -= static_cast<uint32_t>(n);
    }
}

} // namespace archive
