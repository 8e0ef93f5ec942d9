// The archive reader: opening, walking members, extracting across volumes,
// and every failure of a damaged or hostile archive.
#include "ArchiveTestKit.h"
#include "engine/base/XException.h"
#include "tests/support/Outcome.h"
#include "archive/ArchiveReader.h"
#include "archive/Checksum.h"
#include "archive/Extractor.h"
#include "framework/Exceptions.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace archive;

namespace {

ExtractOptions ToDir(const std::string& dir)
{
    ExtractOptions o;
    o.destination = [dir](int16_t id, std::string& d) {
        d = dir + "/" + std::to_string(id);
        return true;
    };
    return o;
}

std::vector<uint8_t> Bytes(MemoryFileSystem& fs, const std::string& p)
{
    const auto* b = fs.Get(p);
    return b ? *b : std::vector<uint8_t>{};
}

} // namespace

TEST(ArchiveReader, ExtractsEveryMethodAndSetsTimeAndAttributes)
{
    MemoryFileSystem fs;
    auto a = sample::Text(50000), b = sample::Random(9000), c = sample::Runs(100000);
    auto vols =
        kit::Write(fs, {kit::Member("A.TXT", a, 2), kit::Member("dir\\B.BIN", b, 3, 2), kit::Member("C.DAT", c, 4)});
    ASSERT_EQ(vols.size(), 1u);
    auto r = ExtractArchive(fs, vols[0], ToDir("out"));
    EXPECT_EQ(r.extracted, 3);
    EXPECT_EQ(Bytes(fs, "out/0/A.TXT"), a);
    EXPECT_EQ(Bytes(fs, "out/2/B.BIN"), b); // directory parts of the name dropped
    EXPECT_EQ(Bytes(fs, "out/0/C.DAT"), c);
    EXPECT_EQ(fs.TimeOf("out/0/A.TXT"), 1000000000);
    EXPECT_EQ(fs.AttributesOf("out/2/B.BIN"), 0x21);
}

TEST(ArchiveReader, MembersSpanVolumesForEveryMethod)
{
    for (int method : {2, 3, 4}) {
        MemoryFileSystem fs;
        std::vector<PackedMember> ms;
        std::vector<std::vector<uint8_t>> data;
        for (int i = 0; i < 6; ++i) {
            data.push_back(sample::Mixed(5000 + 4000 * i, i + 10));
            ms.push_back(kit::Member("F" + std::to_string(i) + ".BIN", data.back(), method));
        }
        ms.push_back(kit::Member("EMPTY.TXT", {}, method));
        data.push_back({});
        auto vols = kit::Write(fs, ms, 7000, "in/ARC.MFA");
        ASSERT_GE(vols.size(), 3u) << method;
        for (auto& v : vols) EXPECT_LE(fs.Get(v)->size(), 7000u);
        EXPECT_EQ(vols[1], "in/ARC.MFB");
        std::vector<uint64_t> blocks;
        ExtractOptions o = ToDir("out");
        o.progress = [&](uint64_t pos) {
            blocks.push_back(pos);
            return true;
        };
        ExtractResult r;
        EXPECT_EQ(Outcome([&] { r = ExtractArchive(fs, vols[0], o); }), "none") << method;
        EXPECT_EQ(r.extracted, 7) << method;
        for (std::size_t i = 0; i < data.size(); ++i)
            EXPECT_EQ(Bytes(fs, "out/0/" + (i < 6 ? "F" + std::to_string(i) + ".BIN" : std::string("EMPTY.TXT"))),
                      data[i])
                << method << " " << i;
        // Progress at every multiple of 4096 of member data.
        ASSERT_FALSE(blocks.empty());
        for (std::size_t i = 0; i < blocks.size(); ++i) EXPECT_EQ(blocks[i], 4096u * (i + 1));
    }
}

TEST(ArchiveReader, HeaderFailures)
{
    MemoryFileSystem fs;
    fs.Put("short", kit::Raw("mflh"));
    fs.Put("notarc", kit::Raw(std::string("MZ\x90\x00xxxxxxxxxxxx", 16)));
    EXPECT_EQ(Outcome([&] { ArchiveReader(fs).Open("short"); }), "CXFileException 14");
    EXPECT_EQ(Outcome([&] { ArchiveReader(fs).Open("notarc"); }), "CMultiFileException 2");
    EXPECT_EQ(Outcome([&] { ArchiveReader(fs).Open("missing"); }), "CXFileException 2");

    // A full header without "mfen": 3. A partial one: the quiet end.
    std::vector<uint8_t> v = kit::Raw("mflh\0\0\0\0");
    v.resize(8 + kMemberHeaderSize, 'x');
    fs.Put("noentry", v);
    EXPECT_EQ(Outcome([&] {
                  ArchiveReader r(fs);
                  r.Open("noentry");
                  MemberFile m;
                  r.NextMember(m);
              }),
              "CMultiFileException 3");
    v.resize(8 + kMemberHeaderSize - 1);
    fs.Put("partial", v);
    fs.Put("empty", kit::Raw(std::string("mflh\0\0\0\0", 8)));
    for (const char* name : {"partial", "empty"}) {
        ArchiveReader r(fs);
        r.Open(name);
        MemberFile m;
        EXPECT_FALSE(r.NextMember(m)) << name;
    }
}

TEST(ArchiveReader, MemberFailures)
{
    auto data = sample::Text(30000);
    auto run = [&](const std::function<void(PackedMember&)>& damage) {
        MemoryFileSystem fs;
        PackedMember m = kit::Member("A.TXT", data, 3);
        damage(m);
        auto vols = kit::Write(fs, {m});
        return Outcome([&] { ExtractArchive(fs, vols[0], ToDir("out")); });
    };
    EXPECT_EQ(run([](PackedMember& m) { m.header.SetMethod(5); }), "CMultiFileException 1");
    EXPECT_EQ(run([](PackedMember& m) { m.header.SetChecksum(m.header.Checksum() ^ 1); }), "CMultiFileException 5");
    EXPECT_EQ(run([](PackedMember& m) { m.stored[m.stored.size() / 2] ^= 0x10; }).substr(0, 19), "CMultiFileException");
    // Checksum 0 is never checked, even over damaged data.
    EXPECT_EQ(run([](PackedMember& m) {
                  m.header.SetChecksum(0);
                  m.header.SetExpandedSize(m.header.ExpandedSize() - 1);
              }),
              "none");
    // A name field without its zero, or with nothing but directory parts.
    EXPECT_EQ(run([](PackedMember& m) { std::memset(m.header.raw + 16, 'a', kNameFieldSize); }),
              "CMultiFileException 4");
    EXPECT_EQ(run([](PackedMember& m) { m.header.SetName("..\\..\\"); }), "CMultiFileException 4");
    EXPECT_EQ(run([](PackedMember& m) { m.header.SetName("C:\\WINDOWS\\.."); }), "CMultiFileException 4");
    // Names of devices: writing there would reach the printer or the console.
    for (const char* device : {"LPT1", "con.txt", "Aux.Dat", "NUL", "COM9.", "prn .x"}) {
        SCOPED_TRACE(device);
        EXPECT_EQ(run([&](PackedMember& m) { m.header.SetName(device); }), "CMultiFileException 4");
    }
    // Names the install record would read back as another key, or not at all.
    for (const char* key : {"a=b.txt", ";c.txt", "[x].txt", " lead.txt", "trail.txt "}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(run([&](PackedMember& m) { m.header.SetName(key); }), "CMultiFileException 4");
    }
    EXPECT_EQ(run([](PackedMember& m) { m.header.SetName("x[1];y.txt"); }), "none");
    EXPECT_EQ(run([](PackedMember& m) { m.header.SetName("CONFIG.SYS"); }), "none");
    EXPECT_EQ(run([](PackedMember& m) { m.header.SetName("COM10.TXT"); }), "none");
    EXPECT_EQ(run([](PackedMember& m) { m.header.SetName("LPT0"); }), "none");
    // Stored size beyond the volume, no continuation: the data ends early.
    EXPECT_EQ(run([](PackedMember& m) {
                  m.header.SetMethod(2);
                  m.header.SetStoredSize(0x7FFFFFF0);
                  m.header.SetExpandedSize(0x7FFFFFF0);
              }),
              "CXFileException 14");
    // An expanded size in the gigabytes from a small LZH stream ends at the
    // end of its input, with nothing sized by the header.
    EXPECT_EQ(run([](PackedMember& m) { m.header.SetExpandedSize(0xF0000000u); }), "CXFileException 14");
}

TEST(ArchiveReader, NamesWithDirectoryPartsStayInTheirDestination)
{
    MemoryFileSystem fs;
    auto d = sample::Text(100);
    auto vols = kit::Write(fs,
                           {kit::Member("..\\..\\WINDOWS\\WIN.INI", d, 2), kit::Member("/etc/passwd", d, 2),
                            kit::Member("C:AUTOEXEC.BAT", d, 2)});
    ExtractArchive(fs, vols[0], ToDir("out"));
    std::vector<std::string> written;
    for (auto& f : fs.Files())
        if (f.first.rfind("in/", 0) != 0) written.push_back(f.first);
    EXPECT_EQ(written, (std::vector<std::string>{"out/0/AUTOEXEC.BAT", "out/0/WIN.INI", "out/0/passwd"}));
}

TEST(ArchiveReader, SkippedMembersKeepTheNextHeaderInPlace)
{
    MemoryFileSystem fs;
    auto a = sample::Random(20000), b = sample::Text(5000);
    // A member not installed (-1) that carries data, spanning into the next volume.
    auto vols = kit::Write(fs, {kit::Member("SKIP.BIN", a, 2, -1), kit::Member("B.TXT", b, 3)}, 9000);
    ASSERT_GE(vols.size(), 2u);
    auto r = ExtractArchive(fs, vols[0], ToDir("out"));
    EXPECT_EQ(r.skipped, 1);
    EXPECT_EQ(r.extracted, 1);
    EXPECT_FALSE(fs.Exists("out/-1/SKIP.BIN"));
    EXPECT_EQ(Bytes(fs, "out/0/B.TXT"), b);
}

TEST(ArchiveReader, VolumeEndsWithoutContinuationEndsTheMemberShort)
{
    MemoryFileSystem fs;
    auto a = sample::Random(20000);
    for (int method : {2, 3, 4}) {
        auto vols = kit::Write(fs, {kit::Member("A.BIN", a, method)}, 9000);
        // Clear the flag in the first volume's header.
        auto v = *fs.Get(vols[0]);
        v[8 + 304] = 0;
        fs.Put(vols[0], v);
        std::string o = Outcome([&] { ExtractArchive(fs, vols[0], ToDir("out")); });
        EXPECT_TRUE(o == "CXFileException 14" || o == "CZLibException 4") << method << " " << o;
    }
}

TEST(ArchiveReader, MissingOrForeignNextVolume)
{
    MemoryFileSystem fs;
    auto a = sample::Random(20000);
    auto vols = kit::Write(fs, {kit::Member("A.BIN", a, 2)}, 9000);
    // The locate hook may refuse (a cancelled diskette prompt): the member ends short.
    ExtractOptions o = ToDir("out");
    o.locateVolume = [](std::string&) { return false; };
    EXPECT_EQ(Outcome([&] { ExtractArchive(fs, vols[0], o); }), "CXFileException 14");
    // The next volume is not an archive.
    fs.Put(vols[1], kit::Raw("garbage!garbage!"));
    EXPECT_EQ(Outcome([&] { ExtractArchive(fs, vols[0], ToDir("out")); }), "CMultiFileException 2");
    // It is gone.
    fs.Remove(vols[1]);
    EXPECT_EQ(Outcome([&] { ExtractArchive(fs, vols[0], ToDir("out")); }), "CXFileException 2");
}

TEST(ArchiveReader, HeadersAreNeverReadAcrossVolumes)
{
    MemoryFileSystem fs;
    auto a = sample::Random(1000);
    auto vols = kit::Write(fs, {kit::Member("A.BIN", a, 2)});
    // A second header cut in two: its first part ends the first volume.
    PackedMember b = kit::Member("B.BIN", a, 2);
    auto v = *fs.Get(vols[0]);
    v.insert(v.end(), b.header.raw, b.header.raw + 100);
    fs.Put(vols[0], v);
    std::vector<uint8_t> v2 = kit::Raw(std::string("mflh\0\0\0\0", 8));
    v2.insert(v2.end(), b.header.raw + 100, b.header.raw + kMemberHeaderSize);
    fs.Put("in/ARC.MF2", v2);
    auto r = ExtractArchive(fs, vols[0], ToDir("out"));
    EXPECT_EQ(r.extracted, 1);
}

TEST(ArchiveReader, CancelStopsLzhAfterTheCurrentBlock)
{
    MemoryFileSystem fs;
    auto big = sample::Mixed(1000000);
    auto vols = kit::Write(fs, {kit::Member("BIG.BIN", big, 3)});
    ExtractOptions o = ToDir("out");
    o.progress = [](uint64_t) { return false; };
    EXPECT_EQ(Outcome([&] { ExtractArchive(fs, vols[0], o); }), "CXUserException 1");
    EXPECT_LE(fs.Get("out/0/BIG.BIN")->size(), 8192u);
    // Stored and deflate members stop after the read in hand as well.
    for (int method : {2, 4}) {
        vols = kit::Write(fs, {kit::Member("BIG.BIN", big, method)});
        EXPECT_EQ(Outcome([&] { ExtractArchive(fs, vols[0], o); }), "CXUserException 1");
        EXPECT_LE(fs.Get("out/0/BIG.BIN")->size(), 16384u) << method;
    }
}

TEST(ArchiveReader, SeekFlagPositionsAtTheExpectedHeader)
{
    MemoryFileSystem fs;
    auto a = sample::Text(3000), b = sample::Text(4000, 9);
    auto vols = kit::Write(fs, {kit::Member("A.TXT", a, 3), kit::Member("B.TXT", b, 4)});
    ArchiveReader r(fs);
    r.Open(vols[0]);
    MemberFile m;
    ASSERT_TRUE(r.NextMember(m));
    // Read a little of the data only; the seek finds the next header anyway.
    uint8_t scratch[10];
    r.ReadData(scratch, sizeof scratch);
    ASSERT_TRUE(r.NextMember(m, true));
    EXPECT_EQ(m.FileName(), "B.TXT");
    std::vector<uint8_t> out;
    VectorSink sink(out);
    m.SetDestinationSink(&sink);
    r.ExtractMember(m);
    EXPECT_EQ(out, b);
    EXPECT_FALSE(r.NextMember(m));
}

TEST(MultiFile, ReadsSplitAtBlockBoundariesAndPlainReadsStayPut)
{
    MemoryFileSystem fs;
    fs.Put("v", sample::Random(10000));
    struct Probe : MultiFile {
        using MultiFile::MultiFile;
        std::vector<uint64_t> blocks;
        int ends = 0;
        void OnBlock() override { blocks.push_back(DataPosition()); }
        bool OnVolumeEnd() override
        {
            ++ends;
            return true;
        }
    } f(fs);
    f.OpenVolume("v");
    std::vector<uint8_t> buf(20000);
    EXPECT_EQ(f.ReadPlain(buf.data(), 100), 100u);
    EXPECT_EQ(f.DataPosition(), 0u);
    EXPECT_EQ(f.ReadData(buf.data(), 20000), 9900u);
    EXPECT_EQ(f.DataPosition(), 9900u);
    // Each multiple in turn, as if the read had stopped there.
    EXPECT_EQ(f.blocks, (std::vector<uint64_t>{4096, 8192}));
    EXPECT_EQ(f.ends, 1);
}
