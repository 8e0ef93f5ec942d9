// Hostile -lh5- streams: every one ends in the archive's exceptions or in
// output bounded by the expanded size (ASan and UBSan watch the buffers).
#include "SampleData.h"
#include "engine/base/XException.h"
#include "archive/LzhCodec.h"
#include "archive/MemoryFileSystem.h"
#include "archive/VolumeWriter.h"
#include "framework/Exceptions.h"

#include <gtest/gtest.h>

using namespace archive;

namespace {

class Bits {
public:
    Bits& Put(int n, uint32_t v)
    {
        for (int i = n - 1; i >= 0; --i) {
            acc_ = static_cast<uint8_t>(acc_ << 1 | ((v >> i) & 1));
            if (++count_ == 8) {
                bytes_.push_back(acc_);
                acc_ = 0;
                count_ = 0;
            }
        }
        return *this;
    }
    std::vector<uint8_t> Done()
    {
        std::vector<uint8_t> b = bytes_;
        if (count_) b.push_back(static_cast<uint8_t>(acc_ << (8 - count_)));
        return b;
    }

private:
    std::vector<uint8_t> bytes_;
    uint8_t acc_ = 0;
    int count_ = 0;
};

// Expands and returns "ok" or "<class> <cause>".
std::string Expand(const std::vector<uint8_t>& stream, uint32_t expanded, std::vector<uint8_t>* out = nullptr)
{
    std::vector<uint8_t> local;
    std::vector<uint8_t>& o = out ? *out : local;
    try {
        LzhCodec c;
        MemorySource in(stream.data(), stream.size());
        VectorSink sink(o);
        c.ExpandStreams(in, sink, static_cast<uint32_t>(stream.size()), expanded);
    } catch (...) {
        auto e = ConvertCurrentException();
        return std::string(e->ClassName()) + " " + std::to_string(e->Cause());
    }
    return "ok";
}

// A block header with single-symbol tables: no bits per symbol.
Bits ConstantBlock(uint32_t count, uint32_t c, uint32_t p)
{
    Bits b;
    b.Put(16, count).Put(5, 0).Put(5, 0).Put(9, 0).Put(9, c).Put(4, 0).Put(4, p);
    return b;
}

const std::string kCorrupt = "CMultiFileException 4";
const std::string kEof = "CXFileException 14";

} // namespace

TEST(LzhHazard, SymbolCountsAboveTheAlphabet)
{
    // 19-symbol table: n of 20 and 31.
    for (uint32_t n : {20u, 31u}) EXPECT_EQ(Expand(Bits().Put(16, 1).Put(5, n).Put(32, 0).Done(), 10), kCorrupt) << n;
    // 510-symbol table: n of 511.
    EXPECT_EQ(Expand(Bits().Put(16, 1).Put(5, 0).Put(5, 0).Put(9, 511).Put(32, 0).Done(), 10), kCorrupt);
    // 14-symbol table: n of 15.
    EXPECT_EQ(Expand(Bits().Put(16, 1).Put(5, 0).Put(5, 0).Put(9, 0).Put(9, 65).Put(4, 15).Put(32, 0).Done(), 10),
              kCorrupt);
    // Single symbols outside their alphabets.
    EXPECT_EQ(Expand(Bits().Put(16, 1).Put(5, 0).Put(5, 19).Put(32, 0).Done(), 10), kCorrupt);
    EXPECT_EQ(Expand(ConstantBlock(1, 510, 0).Done(), 10), kCorrupt);
    EXPECT_EQ(Expand(ConstantBlock(1, 65, 14).Done(), 10), kCorrupt);
}

TEST(LzhHazard, ZeroRunsPastTheEndOfALengthTable)
{
    // c lengths: pt table gives symbol 2 (a run of 20 + 9 bits) a 1-bit code
    // and symbol 3 the other; a run of 20 + 511 zeros passes 510.
    Bits b;
    b.Put(16, 1).Put(5, 4).Put(3, 0).Put(3, 0).Put(3, 1).Put(2, 0).Put(3, 1); // pt: len[2]=1, len[3]=1
    b.Put(9, 510).Put(1, 0).Put(9, 511);                                      // symbol 2, run 531
    b.Put(32, 0);
    EXPECT_EQ(Expand(b.Done(), 10), kCorrupt);
    // A run that lands exactly on 510 passes the check and the table is then incomplete.
    Bits e;
    e.Put(16, 1).Put(5, 4).Put(3, 0).Put(3, 0).Put(3, 1).Put(2, 0).Put(3, 1);
    e.Put(9, 510).Put(1, 0).Put(9, 490).Put(32, 0);
    EXPECT_EQ(Expand(e.Done(), 10), kCorrupt);
    // The pt zero run after the third length may reach index 6 but not past 19.
    Bits f;
    f.Put(16, 3).Put(5, 3).Put(3, 1).Put(3, 1).Put(3, 0).Put(2, 3); // n = 3 with a run of 3: accepted
    f.Put(9, 0).Put(9, 65).Put(4, 0).Put(4, 0);                     // then constant c 'A'
    EXPECT_EQ(Expand(f.Done(), 3), "ok");
}

TEST(LzhHazard, CodeLengthsAboveSixteen)
{
    // 7 followed by ten 1 bits: length 17.
    Bits b;
    b.Put(16, 1).Put(5, 2).Put(3, 7).Put(10, 0x3FF).Put(1, 0).Put(3, 1).Put(32, 0);
    EXPECT_EQ(Expand(b.Done(), 10), kCorrupt);
    // Endless 1 bits stop at the limit, not at the end of the input.
    Bits c;
    c.Put(16, 1).Put(5, 2).Put(3, 7);
    for (int i = 0; i < 100; ++i) c.Put(8, 0xFF);
    EXPECT_EQ(Expand(c.Done(), 10), kCorrupt);
}

TEST(LzhHazard, TablesThatAreNotExactlyComplete)
{
    // Incomplete: one symbol of length 1.
    EXPECT_EQ(Expand(Bits().Put(16, 1).Put(5, 1).Put(3, 1).Put(32, 0).Done(), 10), kCorrupt);
    // Over-subscribed: three symbols of length 1.
    EXPECT_EQ(Expand(Bits().Put(16, 1).Put(5, 3).Put(3, 1).Put(3, 1).Put(3, 1).Put(2, 0).Put(32, 0).Done(), 10),
              kCorrupt);
    // All lengths zero.
    EXPECT_EQ(Expand(Bits().Put(16, 1).Put(5, 2).Put(3, 0).Put(3, 0).Put(32, 0).Done(), 10), kCorrupt);
}

TEST(LzhHazard, BlocksThatConsumeNoInput)
{
    // Empty blocks forever (an all-zero stream): ends at the end of the input.
    EXPECT_EQ(Expand(std::vector<uint8_t>(1000, 0), 100), kEof);
    EXPECT_EQ(Expand(std::vector<uint8_t>(1, 0), 0xFFFFFFF0u), kEof);
    // Zero-bit symbols of 256-byte matches: output bounded by the expanded size.
    std::vector<uint8_t> out;
    EXPECT_EQ(Expand(ConstantBlock(65535, 509, 0).Done(), 5000000, &out), "ok");
    EXPECT_EQ(out.size(), 5000000u);
    // ... and when the expanded size wants more than the blocks hold, the
    // next block header is past the input.
    EXPECT_EQ(Expand(ConstantBlock(2, 509, 0).Done(), 1000), kEof);
}

TEST(LzhHazard, MatchesBeforeTheStartReadBlanks)
{
    // Match of length 47 at distance 8192 from an empty window.
    Bits b = ConstantBlock(1, 300, 13);
    b.Put(12, 0xFFF);
    std::vector<uint8_t> out;
    EXPECT_EQ(Expand(b.Done(), 47, &out), "ok");
    EXPECT_EQ(out, std::vector<uint8_t>(47, 0x20));
}

TEST(LzhHazard, TruncatedAndDamagedStreams)
{
    auto data = sample::Mixed(200000, 7);
    auto z = CompressBytes(data.data(), data.size(), 3);
    for (std::size_t cut : {std::size_t(0), std::size_t(1), std::size_t(10), z.size() / 2, z.size() - 1}) {
        std::vector<uint8_t> t(z.begin(), z.begin() + cut);
        EXPECT_EQ(Expand(t, static_cast<uint32_t>(data.size())), kEof) << cut;
    }
    // Bit flips: an exception of the family or wrong bytes (the checksum's
    // job), never a fault.
    uint64_t s = 99;
    for (int i = 0; i < 300; ++i) {
        auto d = z;
        for (int k = 0; k < 1 + i % 4; ++k)
            d[sample::Next(s) % d.size()] ^= static_cast<uint8_t>(1 << (sample::Next(s) % 8));
        std::vector<uint8_t> out;
        std::string r = Expand(d, static_cast<uint32_t>(data.size()), &out);
        if (r == "ok")
            EXPECT_EQ(out.size(), data.size());
        else
            EXPECT_TRUE(r == kCorrupt || r == kEof) << r;
    }
}

TEST(LzhHazard, NeverReadsPastTheStoredSize)
{
    auto data = sample::Text(30000);
    auto z = CompressBytes(data.data(), data.size(), 3);
    auto withTail = z;
    withTail.resize(z.size() + 8192, 0x55);
    LzhCodec c;
    MemorySource in(withTail.data(), withTail.size());
    std::vector<uint8_t> out;
    VectorSink sink(out);
    c.ExpandStreams(in, sink, static_cast<uint32_t>(z.size()), static_cast<uint32_t>(data.size()));
    EXPECT_EQ(out, data);
    std::vector<uint8_t> rest(8192);
    EXPECT_EQ(in.ReadData(rest.data(), rest.size()), 8192u); // the tail is untouched
}
