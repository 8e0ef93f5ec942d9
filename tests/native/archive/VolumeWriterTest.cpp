// Where volumes may break, and the volume names of a chain.
#include "archive/ArchiveFormat.h"
#include "archive/VolumeWriter.h"

#include <gtest/gtest.h>

using namespace archive;

TEST(VolumePlan, BreaksFallInsideDataWithABytesLeft)
{
    const uint64_t H = kMemberHeaderSize;
    VolumePlan plan({100, 0, 50});
    // stream: H [H,H+100) H [2H+100] H [3H+100, 3H+150)
    uint64_t at = 0;
    // A limit inside the first member's data: there.
    ASSERT_TRUE(plan.LargestBreak(0, H + 10, at));
    EXPECT_EQ(at, H + 10);
    // A limit exactly at the end of its data: one byte back.
    ASSERT_TRUE(plan.LargestBreak(0, H + 100, at));
    EXPECT_EQ(at, H + 99);
    // A limit inside the empty member's header: back to the first member.
    ASSERT_TRUE(plan.LargestBreak(0, 2 * H + 120, at));
    EXPECT_EQ(at, H + 99);
    // At the start of the last member's data: allowed (its header ends the volume).
    ASSERT_TRUE(plan.LargestBreak(0, 3 * H + 100, at));
    EXPECT_EQ(at, 3 * H + 100);
    // Nothing valid after `from`.
    EXPECT_FALSE(plan.LargestBreak(H + 99, 2 * H + 120, at));
    EXPECT_FALSE(plan.LargestBreak(0, H - 1, at));
}

TEST(VolumePlan, PlansEveryVolumeOrRefuses)
{
    VolumePlan plan({5000, 5000, 5000});
    std::vector<uint64_t> breaks;
    ASSERT_TRUE(plan.Plan([](std::size_t) { return 4000; }, breaks));
    uint64_t prev = 0;
    for (uint64_t b : breaks) {
        EXPECT_LE(b - prev, 4000u - kArchiveHeaderSize);
        prev = b;
    }
    EXPECT_LE(plan.StreamSize() - prev, 4000u - kArchiveHeaderSize);
    // Room for less than a header: refused.
    EXPECT_FALSE(plan.Plan([](std::size_t) { return 300; }, breaks));
    // All fits: no break.
    ASSERT_TRUE(plan.Plan([](std::size_t) { return 1u << 20; }, breaks));
    EXPECT_TRUE(breaks.empty());
    // Empty members only: nothing can carry over.
    VolumePlan empty({0, 0, 0, 0});
    EXPECT_FALSE(empty.Plan([](std::size_t) { return 1000; }, breaks));
}

TEST(VolumeNames, LastCharacterPlusOne)
{
    std::string n;
    ASSERT_TRUE(NextVolumeName("DISK01\\MAIN.MF1", n));
    EXPECT_EQ(n, "DISK01\\MAIN.MF2");
    ASSERT_TRUE(NextVolumeName("A.Z0A", n));
    EXPECT_EQ(n, "A.Z0B");
    for (const char* bad : {"MAIN.MF9", "MAIN.MFZ", "MAIN.MF{", "MAIN.", "DIR\\", "", "A.B~"})
        EXPECT_FALSE(NextVolumeName(bad, n)) << bad;
}

TEST(MemberHeader, FieldsAtTheirOffsets)
{
    MemberHeader h;
    h.Init();
    h.SetTime(0x01020304);
    ASSERT_TRUE(h.SetName("KORW95.EXE"));
    h.SetExpandedSize(0x11223344);
    h.SetStoredSize(0x55667788);
    h.SetChecksum(0x99AABBCC);
    h.SetMethod(3, 7);
    h.SetDestinationId(-3);
    h.SetAttributes(0x0121);
    h.SetContinues(true);
    ASSERT_TRUE(h.SetRule("Newer"));
    const uint8_t* r = h.raw;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r), 4), "mfen");
    EXPECT_EQ(r[4], 1);
    EXPECT_EQ(r[6] | r[7] << 8, 346);
    EXPECT_EQ(r[8], 0x04);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 16)), "KORW95.EXE");
    EXPECT_EQ(r[276], 0x44);
    EXPECT_EQ(r[280], 0x88);
    EXPECT_EQ(r[284], 0xCC);
    EXPECT_EQ(r[292], 3);
    EXPECT_EQ(r[296], 7);
    EXPECT_EQ(r[300], 0xFD);
    EXPECT_EQ(r[301], 0xFF);
    EXPECT_EQ(r[302], 0x21);
    EXPECT_EQ(r[304], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 306)), "Newer");
    EXPECT_EQ(h.DestinationId(), -3);
    // Texts that do not fit with their zero are refused.
    EXPECT_FALSE(h.SetName(std::string(260, 'a')));
    EXPECT_TRUE(h.SetName(std::string(259, 'a')));
    EXPECT_FALSE(h.SetRule(std::string(40, 'r')));
}
