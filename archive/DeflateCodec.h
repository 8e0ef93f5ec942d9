// Method 4: a zlib stream (deflate, 15-bit window) inflated through zlib's
// stream interface with 4096-byte input and output buffers.
#pragma once
#include "archive/Codec.h"

namespace archive {

class DeflateCodec final : public Codec {
public:
    static constexpr std::size_t kBufferSize = 4096;
    DeflateCodec();
    void Compress() override;
    void Expand(uint32_t stored, uint32_t expanded) override;

private:
    std::unique_ptr<uint8_t[]> in_;
    std::unique_ptr<uint8_t[]> out_;
};

} // namespace archive
