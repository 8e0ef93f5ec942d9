#include "archive/LzhCodec.h"

#include "archive/LzhDecoder.h"
#include "archive/LzhEncoder.h"

#include <algorithm>

namespace archive {
namespace {

// Routes the encoder's and decoder's traffic through the codec's own
// read and write operations.
class CodecSource final : public DataSource {
public:
    explicit CodecSource(Codec& c) : c_(c) {}
    std::size_t ReadData(void* buffer, std::size_t count) override { return c_.ReadBlock(buffer, count); }

private:
    Codec& c_;
};

class CodecSink final : public DataSink {
public:
    explicit CodecSink(Codec& c) : c_(c) {}
    void WriteData(const void* buffer, std::size_t count) override { c_.WriteBlock(buffer, count); }

private:
    Codec& c_;
};

} // namespace

LzhCodec::LzhCodec() : block_(new uint8_t[kBlockSize]) {}

void LzhCodec::Compress()
{
    CodecSource in(*this);
    CodecSink out(*this);
    lzh::Encoder(out).Encode(in);
}

void LzhCodec::Expand(uint32_t stored, uint32_t expanded)
{
    CodecSource in(*this);
    auto decoder = std::make_unique<lzh::Decoder>(in, stored);
    uint32_t left = expanded;
    while (left != 0 && !abort_) {
        std::size_t n = std::min<std::size_t>(left, kBlockSize);
        decoder->Decode(block_.get(), n);
        WriteBlock(block_.get(), n);
        left -= static_cast<uint32_t>(n);
    }
    if (!abort_) decoder->CheckInputEnd();
}

} // namespace archive
