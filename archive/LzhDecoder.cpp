#include "archive/LzhDecoder.h"

#include "engine/base/XException.h"
#include "framework/Exceptions.h"

#include <algorithm>
#include <cstring>

namespace archive::lzh {
namespace {

[[noreturn]] void Corrupt() { throw CMultiFileException(kMfCorruptTable); }

constexpr int kRefillBelow = 44; // a c code, a p code and 12 extra bits

} // namespace

bool DecodeTable::Build(const uint8_t* lengths, int n)
{
    constant = -1;
    std::memset(count, 0, sizeof count);
    for (int s = 0; s < n; ++s) {
        if (lengths[s] > kMaxCodeLength) return false;
        ++count[lengths[s]];
    }
    count[0] = 0;
    // Exactly complete: the Kraft sum of the lengths is one.
    int32_t left = 1;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        left = left * 2 - count[len];
        if (left < 0) return false;
    }
    if (left != 0) return false;

    uint32_t code = 0;
    uint16_t index = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        code = (code + count[len - 1]) << 1;
        first[len] = static_cast<uint16_t>(code);
        offset[len] = index;
        index = static_cast<uint16_t>(index + count[len]);
    }
    std::memset(fast, 0, sizeof fast);
    uint16_t next[kMaxCodeLength + 2];
    std::memcpy(next, offset, sizeof next);
    uint32_t nextCode[kMaxCodeLength + 2];
    for (int len = 1; len <= kMaxCodeLength; ++len) nextCode[len] = first[len];
    for (int s = 0; s < n; ++s) {
        int len = lengths[s];
        if (!len) continue;
        sorted[next[len]++] = static_cast<uint16_t>(s);
        uint32_t c = nextCode[len]++;
        if (len <= kFastBits) {
            uint32_t from = c << (kFastBits - len);
            uint32_t span = 1u << (kFastBits - len);
            uint16_t entry = static_cast<uint16_t>(s << 5 | len);
            for (uint32_t k = 0; k < span; ++k) fast[from + k] = entry;
        }
    }
    return true;
}

Decoder::Decoder(DataSource& source, uint32_t storedSize) : source_(source), storedLeft_(storedSize)
{
    std::memset(window_, kWindowFill, sizeof window_);
}

uint8_t Decoder::FetchByte()
{
    if (inPos_ == inEnd_) {
        std::size_t want = std::min<std::size_t>(storedLeft_, sizeof in_);
        std::size_t got = want ? source_.ReadData(in_, want) : 0;
        if (got == 0) {
            // Past the stored data: zero bits, as long as none of them is used.
            storedLeft_ = 0;
            if (uint64_t(zeroBytes_) * 8 > uint64_t(bitcount_)) throw fw::FileException(fw::kFileEndOfFile);
            ++zeroBytes_;
            return 0;
        }
        storedLeft_ -= static_cast<uint32_t>(got);
        inPos_ = 0;
        inEnd_ = got;
    }
    return in_[inPos_++];
}

void Decoder::CheckInputEnd() const
{
    if (uint64_t(zeroBytes_) * 8 > uint64_t(bitcount_)) throw fw::FileException(fw::kFileEndOfFile);
}

void Decoder::Refill()
{
    while (bitcount_ <= 56) {
        uint8_t b = inPos_ < inEnd_ ? in_[inPos_++] : FetchByte();
        bitbuf_ |= uint64_t(b) << (56 - bitcount_);
        bitcount_ += 8;
    }
}

uint32_t Decoder::GetBits(int n)
{
    if (n == 0) return 0;
    if (bitcount_ < n) Refill();
    uint32_t v = Peek(n);
    Skip(n);
    return v;
}

inline int Decoder::DecodeSymbol(const DecodeTable& t)
{
    if (t.constant >= 0) return t.constant;
    uint32_t peek = Peek(16);
    uint16_t e = t.fast[peek >> (16 - DecodeTable::kFastBits)];
    if (e & 31) {
        Skip(e & 31);
        return e >> 5;
    }
    for (int len = DecodeTable::kFastBits + 1; len <= kMaxCodeLength; ++len) {
        uint32_t d = (peek >> (16 - len)) - t.first[len];
        if (d < t.count[len]) {
            Skip(len);
            return t.sorted[t.offset[len] + d];
        }
    }
    Corrupt(); // cannot happen with a complete code
}

void Decoder::ReadPtLengths(int nn, int nbit, int special)
{
    int n = static_cast<int>(GetBits(nbit));
    if (n == 0) {
        int c = static_cast<int>(GetBits(nbit));
        if (c >= nn) Corrupt();
        pt_.SetConstant(c);
        return;
    }
    if (n > nn) Corrupt();
    std::memset(ptLen_, 0, sizeof ptLen_);
    int i = 0;
    while (i < n) {
        if (bitcount_ < 32) Refill();
        int c = static_cast<int>(Peek(3));
        Skip(3);
        if (c == 7) {
            while (Peek(1)) {
                Skip(1);
                if (++c > kMaxCodeLength) Corrupt();
            }
            Skip(1);
        }
        ptLen_[i++] = static_cast<uint8_t>(c);
        if (i == special) {
            int zeros = static_cast<int>(GetBits(2));
            if (i + zeros > nn) Corrupt();
            i += zeros; // already zero
        }
    }
    if (!pt_.Build(ptLen_, nn)) Corrupt();
}

void Decoder::ReadCLengths()
{
    int n = static_cast<int>(GetBits(kCBit));
    if (n == 0) {
        int c = static_cast<int>(GetBits(kCBit));
        if (c >= kNC) Corrupt();
        c_.SetConstant(c);
        return;
    }
    if (n > kNC) Corrupt();
    std::memset(cLen_, 0, sizeof cLen_);
    int i = 0;
    while (i < n) {
        if (bitcount_ < 32) Refill();
        int c = DecodeSymbol(pt_);
        if (c <= 2) {
            int zeros = c == 0 ? 1 : c == 1 ? static_cast<int>(GetBits(4)) + 3 : static_cast<int>(GetBits(kCBit)) + 20;
            if (i + zeros > kNC) Corrupt();
            i += zeros;
        } else {
            cLen_[i++] = static_cast<uint8_t>(c - 2);
        }
    }
    if (!c_.Build(cLen_, kNC)) Corrupt();
}

void Decoder::ReadBlockHeader()
{
    blockLeft_ = GetBits(16);
    ReadPtLengths(kNT, kTBit, 3);
    ReadCLengths();
    ReadPtLengths(kNP, kPBit, -1);
}

void Decoder::Decode(uint8_t* out, std::size_t count)
{
    constexpr uint32_t mask = kDictSize - 1;
    while (count) {
        if (matchLeft_) {
            std::size_t k = std::min<std::size_t>(matchLeft_, count);
            matchLeft_ -= static_cast<uint32_t>(k);
            count -= k;
            uint32_t from = matchFrom_, to = wpos_;
            for (std::size_t i = 0; i < k; ++i) {
                uint8_t b = window_[from++ & mask];
                window_[to++ & mask] = b;
                *out++ = b;
            }
            matchFrom_ = from;
            wpos_ = to;
            continue;
        }
        if (blockLeft_ == 0) {
            ReadBlockHeader();
            continue;
        }
        if (bitcount_ < kRefillBelow) Refill();
        int c = DecodeSymbol(c_);
        --blockLeft_;
        if (c < 256) {
            window_[wpos_++ & mask] = static_cast<uint8_t>(c);
            *out++ = static_cast<uint8_t>(c);
            --count;
        } else {
            uint32_t j = static_cast<uint32_t>(DecodeSymbol(pt_));
            if (j > 1) j = (1u << (j - 1)) + GetBits(static_cast<int>(j - 1));
            matchLeft_ = static_cast<uint32_t>(c - (256 - kMinMatch));
            matchFrom_ = wpos_ - j - 1;
        }
    }
}

} // namespace archive::lzh
