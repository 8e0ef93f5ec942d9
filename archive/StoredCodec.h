// Method 2: the data is stored as it is.
#pragma once
#include "archive/Codec.h"

namespace archive {

class StoredCodec final : public Codec {
public:
    static constexpr std::size_t kBufferSize = 16384;
    StoredCodec();
    void Compress() override;
    void Expand(uint32_t stored, uint32_t expanded) override;

private:
    std::unique_ptr<uint8_t[]> buffer_;
};

} // namespace archive
