// Streams written by independent implementations (tests/vectors, made by
// scripts/make-vectors.sh): jlha's -lh5- streams and Python's zlib streams
// decode to the sample inputs; our encoder still writes exactly the streams
// that lhasa extracted correctly when the vectors were made.
#include "SampleData.h"
#include "archive/Codec.h"
#include "archive/MemoryFileSystem.h"
#include "archive/VolumeWriter.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

using namespace archive;

namespace {

struct Vector {
    std::string file, method, kind;
    std::size_t size;
};

std::vector<Vector> Manifest()
{
    std::ifstream in(std::string(VECTOR_DIR) + "/MANIFEST");
    std::vector<Vector> v;
    Vector x;
    while (in >> x.file >> x.method >> x.kind >> x.size) v.push_back(x);
    return v;
}

std::vector<uint8_t> Load(const std::string& file)
{
    std::ifstream in(std::string(VECTOR_DIR) + "/" + file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(PeerVectors, AllKindsArePresent)
{
    auto m = Manifest();
    int jlha = 0, ours = 0, zlib = 0;
    bool big = false;
    for (auto& v : m) {
        jlha += v.file.rfind("jlha-", 0) == 0;
        ours += v.file.rfind("ours-", 0) == 0;
        zlib += v.file.rfind("zlib-", 0) == 0;
        big = big || v.size > 65536;
    }
    EXPECT_GE(jlha, 4);
    EXPECT_GE(ours, 5);
    EXPECT_GE(zlib, 8);
    EXPECT_TRUE(big);
}

TEST(PeerVectors, DecodeToTheOriginals)
{
    for (auto& v : Manifest()) {
        auto stored = Load(v.file);
        ASSERT_FALSE(stored.empty()) << v.file;
        auto original = sample::Make(v.kind, v.size);
        int method = v.method == "lzh" ? kMethodLzh : kMethodDeflate;
        std::vector<uint8_t> out;
        MemorySource in(stored.data(), stored.size());
        VectorSink sink(out);
        CreateCodec(method, 0)->ExpandStreams(in, sink, static_cast<uint32_t>(stored.size()),
                                              static_cast<uint32_t>(v.size));
        EXPECT_EQ(out, original) << v.file;
    }
}

TEST(PeerVectors, OurEncoderWritesTheCheckedStreams)
{
    for (auto& v : Manifest()) {
        if (v.file.rfind("ours-", 0) != 0) continue;
        auto original = sample::Make(v.kind, v.size);
        EXPECT_EQ(CompressBytes(original.data(), original.size(), kMethodLzh), Load(v.file)) << v.file;
    }
}
