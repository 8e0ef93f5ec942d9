// Round trips of every method, the factory, and the deflate and stored
// methods' handling of short, long and empty data.
#include "SampleData.h"
#include "engine/base/XException.h"
#include "archive/Checksum.h"
#include "archive/Codec.h"
#include "archive/DeflateCodec.h"
#include "archive/LzhCodec.h"
#include "archive/MemoryFileSystem.h"
#include "archive/StoredCodec.h"
#include "archive/VolumeWriter.h"
#include "archive/ZlibCheck.h"
#include "framework/Exceptions.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace archive;

namespace {

std::vector<uint8_t> Expand(int method, const std::vector<uint8_t>& stored, uint32_t expanded)
{
    auto codec = CreateCodec(method, 0);
    std::vector<uint8_t> out;
    MemorySource in(stored.data(), stored.size());
    VectorSink sink(out);
    codec->ExpandStreams(in, sink, static_cast<uint32_t>(stored.size()), expanded);
    return out;
}

// Counts the reads a codec makes.
class CountingSource final : public DataSource {
public:
    explicit CountingSource(const std::vector<uint8_t>& d) : in_(d.data(), d.size()) {}
    std::size_t ReadData(void* b, std::size_t n) override
    {
        sizes.push_back(n);
        return in_.ReadData(b, n);
    }
    std::vector<std::size_t> sizes;

private:
    MemorySource in_;
};

template <class E> int32_t CauseOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const E& e) {
        return e.Cause();
    }
    return -999;
}

} // namespace

TEST(Checksum, KnownValueAndShiftOfSix)
{
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(Checksum::Of(abc, 3), 0x3E105F31u);
    EXPECT_NE(Checksum::Of(abc, 3), crc32(0, abc, 3));
    EXPECT_EQ(Checksum::Of(abc, 0), 0u);
    // Piecewise updates give the same register as one pass.
    auto data = sample::Mixed(100000);
    Checksum c;
    c.Update(data.data(), 12345);
    c.Update(data.data() + 12345, data.size() - 12345);
    EXPECT_EQ(c.Value(), Checksum::Of(data.data(), data.size()));
}

TEST(Checksum, FoldGivesTheBytewiseRegisterAtEveryLengthAndAlignment)
{
    auto data = sample::Random(4096 + 16, 9);
    for (std::size_t align = 0; align < 16; ++align) {
        const uint8_t* p = data.data() + align;
        // From 0, and from other registers with their top bits set.
        uint32_t start = align % 2 ? 0xC0000000u | uint32_t(align * 0x9E3779B9u) : 0;
        uint32_t want = start;
        for (std::size_t n = 0; n <= 4096; ++n) {
            ASSERT_EQ(Checksum::Fold(start, p, n), want) << "length " << n << " alignment " << align;
            if (n < 4096) want = Checksum::FoldBytewise(want, p + n, 1);
        }
    }
}

TEST(Codec, FactoryKnowsThreeMethods)
{
    EXPECT_NE(dynamic_cast<StoredCodec*>(CreateCodec(2, 77).get()), nullptr);
    EXPECT_NE(dynamic_cast<LzhCodec*>(CreateCodec(3, 0).get()), nullptr);
    EXPECT_NE(dynamic_cast<DeflateCodec*>(CreateCodec(4, -1).get()), nullptr);
    for (int m : {0, 1, 5, -1, 1000}) EXPECT_EQ(CreateCodec(m, 0), nullptr) << m;
}

TEST(Codec, EveryMethodRoundTripsEveryKind)
{
    for (const char* kind : {"text", "random", "runs", "mixed"}) {
        for (std::size_t n : {0u, 1u, 2u, 3u, 255u, 4096u, 8192u, 8193u, 70000u, 300000u}) {
            auto data = sample::Make(kind, n);
            for (int method : {2, 3, 4}) {
                auto stored = CompressBytes(data.data(), data.size(), method);
                EXPECT_EQ(Expand(method, stored, static_cast<uint32_t>(n)), data)
                    << kind << " " << n << " method " << method;
            }
        }
    }
}

TEST(Codec, LzhCompressesLikeAnLzhEncoder)
{
    auto text = sample::Text(200000);
    auto runs = sample::Runs(200000);
    EXPECT_LT(CompressBytes(text.data(), text.size(), 3).size(), text.size() / 3);
    EXPECT_LT(CompressBytes(runs.data(), runs.size(), 3).size(), runs.size() / 50);
    // Incompressible data grows by little.
    auto rnd = sample::Random(100000);
    EXPECT_LT(CompressBytes(rnd.data(), rnd.size(), 3).size(), rnd.size() + rnd.size() / 50);
}

TEST(StoredCodec, ReadsAtMostSixteenKiBAndFailsShort)
{
    auto data = sample::Random(16385);
    CountingSource in(data);
    std::vector<uint8_t> out;
    VectorSink sink(out);
    StoredCodec c;
    c.ExpandStreams(in, sink, 16385, 16385);
    EXPECT_EQ(in.sizes, (std::vector<std::size_t>{16384, 1}));
    EXPECT_EQ(out, data);

    // Fewer bytes than the header says: end of file.
    EXPECT_EQ(CauseOf<fw::FileException>([&] { Expand(2, std::vector<uint8_t>(10), 20); }), fw::kFileEndOfFile);
    // Never more than the stored size, even if the expanded size says so.
    CountingSource in2(data);
    std::vector<uint8_t> out2;
    VectorSink sink2(out2);
    StoredCodec c2;
    EXPECT_THROW(c2.ExpandStreams(in2, sink2, 100, 200), fw::FileException);
    EXPECT_EQ(out2.size(), 100u);
    // Nothing to expand: nothing read or written.
    CountingSource in3(data);
    std::vector<uint8_t> out3;
    VectorSink sink3(out3);
    StoredCodec c3;
    c3.ExpandStreams(in3, sink3, 0, 0);
    EXPECT_TRUE(in3.sizes.empty());
    EXPECT_TRUE(out3.empty());
}

TEST(DeflateCodec, ShortLongAndEmptyStreams)
{
    auto data = sample::Text(50000);
    auto z = CompressBytes(data.data(), data.size(), 4);

    // Expanded size beyond what the stream holds: data error, not a short file.
    EXPECT_EQ(CauseOf<CZLibException>([&] { Expand(4, z, 50001); }), kZDataError);
    // Expanded size below it: the stream would run past it.
    EXPECT_EQ(CauseOf<CZLibException>([&] { Expand(4, z, 49999); }), kZDataError);
    // Truncated input: the buffer error of the result check.
    std::vector<uint8_t> cut(z.begin(), z.begin() + z.size() / 2);
    EXPECT_EQ(CauseOf<CZLibException>([&] { Expand(4, cut, 50000); }), kZBufferError);
    // Trailer missing: every byte is out but the stream never ends.
    std::vector<uint8_t> noTrailer(z.begin(), z.end() - 4);
    EXPECT_EQ(CauseOf<CZLibException>([&] { Expand(4, noTrailer, 50000); }), kZBufferError);
    // Garbage: data error.
    std::vector<uint8_t> junk(100, 0xFF);
    EXPECT_EQ(CauseOf<CZLibException>([&] { Expand(4, junk, 100); }), kZDataError);
    // Expanded size 0: initialise and end only, nothing written or read.
    std::vector<uint8_t> none;
    EXPECT_TRUE(Expand(4, none, 0).empty());
}

TEST(DeflateCodec, ReadsNoFurtherThanTheStoredSize)
{
    auto data = sample::Mixed(100000);
    auto z = CompressBytes(data.data(), data.size(), 4);
    std::vector<uint8_t> withTail = z;
    withTail.resize(z.size() + 5000, 0xAB); // the next member's header would be here
    CountingSource in(withTail);
    std::vector<uint8_t> out;
    VectorSink sink(out);
    DeflateCodec c;
    c.ExpandStreams(in, sink, static_cast<uint32_t>(z.size()), static_cast<uint32_t>(data.size()));
    std::size_t total = 0;
    for (auto s : in.sizes) {
        EXPECT_LE(s, 4096u);
        total += s;
    }
    EXPECT_LE(total, z.size());
    EXPECT_EQ(out, data);
}

TEST(ZlibCheck, TableOfResults)
{
    EXPECT_NO_THROW(CheckZlibResult(Z_OK));
    EXPECT_NO_THROW(CheckZlibResult(Z_STREAM_END));
    EXPECT_EQ(CauseOf<CZLibException>([] { CheckZlibResult(Z_STREAM_ERROR); }), kZStreamError);
    EXPECT_EQ(CauseOf<CZLibException>([] { CheckZlibResult(Z_DATA_ERROR); }), kZDataError);
    EXPECT_EQ(CauseOf<CZLibException>([] { CheckZlibResult(Z_BUF_ERROR); }), kZBufferError);
    EXPECT_EQ(CauseOf<CZLibException>([] { CheckZlibResult(Z_NEED_DICT); }), kZUnknown);
    EXPECT_EQ(CauseOf<CZLibException>([] { CheckZlibResult(Z_VERSION_ERROR); }), kZUnknown);
    EXPECT_THROW(CheckZlibResult(Z_MEM_ERROR), fw::MemoryException);
    errno = ENOSPC;
    EXPECT_EQ(CauseOf<fw::FileException>([] { CheckZlibResult(Z_ERRNO); }), fw::kFileDiskFull);
}
