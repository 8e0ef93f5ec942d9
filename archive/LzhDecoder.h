// Decoder of -lh5- streams (LzhFormat.h) with bounded input: it takes at most
// the stored size from its source and fails with "End of file." when the
// stream needs bits beyond it. Damaged tables raise CMultiFileException 4.
#pragma once
#include "archive/ByteStream.h"
#include "archive/LzhFormat.h"

#include <cstddef>
#include <cstdint>

namespace archive::lzh {

// A canonical Huffman decoding table. Codes up to kFastBits are looked up in
// one step, longer ones by length.
struct DecodeTable {
    static constexpr int kFastBits = 10;
    // fast entry: symbol << 5 | length; length 0 = look further
    uint16_t fast[1u << kFastBits];
    uint16_t first[kMaxCodeLength + 2];  // first code of each length
    uint16_t count[kMaxCodeLength + 2];  // codes of each length
    uint16_t offset[kMaxCodeLength + 2]; // index into sorted of each length
    uint16_t sorted[kNC];
    int constant = -1; // >= 0: the only symbol, sent with no bits

    // False when the lengths do not make exactly one complete code.
    bool Build(const uint8_t* lengths, int n);
    void SetConstant(int symbol) { constant = symbol; }
};

class Decoder {
public:
    Decoder(DataSource& source, uint32_t storedSize);
    // Produces exactly count bytes (or raises).
    void Decode(uint8_t* out, std::size_t count);
    // Raises "End of file." if any bit beyond the stored data was used.
    void CheckInputEnd() const;

private:
    void Refill();
    uint8_t FetchByte();
    uint32_t Peek(int n) const { return static_cast<uint32_t>(bitbuf_ >> (64 - n)); }
    void Skip(int n)
    {
        bitbuf_ <<= n;
        bitcount_ -= n;
    }
    uint32_t GetBits(int n);
    int DecodeSymbol(const DecodeTable& t);
    void ReadBlockHeader();
    void ReadPtLengths(int nn, int nbit, int special);
    void ReadCLengths();

    DataSource& source_;
    uint32_t storedLeft_;
    uint32_t zeroBytes_ = 0; // zero bytes fed after the stored data
    uint8_t in_[4096];
    std::size_t inPos_ = 0, inEnd_ = 0;
    uint64_t bitbuf_ = 0;
    int bitcount_ = 0;

    uint8_t window_[kDictSize];
    uint32_t wpos_ = 0;
    uint32_t matchLeft_ = 0, matchFrom_ = 0;
    uint32_t blockLeft_ = 0;

    uint8_t ptLen_[kNT];
    uint8_t cLen_[kNC];
    DecodeTable pt_, c_;
};

} // namespace archive::lzh
