// Method 3: the -lh5- LZH stream (LzhFormat.h), our own decoder and encoder.
#pragma once
#include "archive/Codec.h"

namespace archive {

class LzhCodec final : public Codec {
public:
    static constexpr std::size_t kBlockSize = 8192;
    LzhCodec();
    void Compress() override;
    // Stops between output blocks when aborted.
    void Expand(uint32_t stored, uint32_t expanded) override;

private:
    std::unique_ptr<uint8_t[]> block_;
};

} // namespace archive
