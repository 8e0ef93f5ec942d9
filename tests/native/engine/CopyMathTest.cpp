// Progress numbers of the copy page, in the sizes where 32 bits break.
#include "engine/CopyProgress.h"
#include "engine/IntervalGate.h"
#include "product/BillboardIndex.h"

#include <gtest/gtest.h>

namespace {

TEST(CopyProgress, MemberPercentages)
{
    EXPECT_EQ(MemberPercent(0, 0), 100);
    EXPECT_EQ(MemberPercent(0, 10), 0);
    EXPECT_EQ(MemberPercent(5, 10), 50);
    EXPECT_EQ(MemberPercent(12, 10), 100);
    // A 100 MB member: written * 100 overflows 32 bits past 42 MB.
    uint64_t big = 100ull * 1024 * 1024;
    EXPECT_EQ(MemberPercent(big / 2, big), 50);
    EXPECT_EQ(MemberPercent(big - 1, big), 99);
    EXPECT_EQ(MemberPercent(4000000000ull, 4294967295ull), 93);
    EXPECT_EQ(MemberProgressText("C:\\AV\\korvi95.exe", 1, 4), "C:\\AV\\korvi95.exe (25%)");
}

TEST(IntervalGate, OpensOncePerIntervalAcrossTheClockWrap)
{
    IntervalGate gate(10);
    EXPECT_TRUE(gate.Due(500)); // the first step always goes through
    EXPECT_FALSE(gate.Due(500));
    EXPECT_FALSE(gate.Due(509));
    EXPECT_TRUE(gate.Due(510));
    EXPECT_FALSE(gate.Due(515));
    // The tick count wraps after 49.7 days; a signed or naive compare would
    // stop the gate there for good or open it at every step.
    IntervalGate wrap(10);
    EXPECT_TRUE(wrap.Due(0xFFFFFFFAu));
    EXPECT_FALSE(wrap.Due(0xFFFFFFFFu));
    EXPECT_FALSE(wrap.Due(3));
    EXPECT_TRUE(wrap.Due(4));
    EXPECT_FALSE(wrap.Due(5));
}

TEST(BillboardIndex, SpreadOverTheTotal)
{
    EXPECT_EQ(BillboardIndex(0, 0), 0);
    EXPECT_EQ(BillboardIndex(12345, 0), 0);
    EXPECT_EQ(BillboardIndex(0, 1000), 0);
    EXPECT_EQ(BillboardIndex(249, 1000), 0);
    EXPECT_EQ(BillboardIndex(250, 1000), 1);
    EXPECT_EQ(BillboardIndex(999, 1000), 3);
    EXPECT_EQ(BillboardIndex(1000, 1000), 3); // the total is index 3, not 4
    EXPECT_EQ(BillboardIndex(5000, 1000), 3);
    uint64_t gb3 = 3ull * 1024 * 1024 * 1024;
    EXPECT_EQ(BillboardIndex(gb3 / 2, gb3), 2);
    int changes = 0, last = -1;
    for (uint64_t c = 0; c <= gb3; c += gb3 / 1000) {
        int i = BillboardIndex(c, gb3);
        EXPECT_GE(i, last);
        if (i != last) ++changes;
        last = i;
    }
    EXPECT_EQ(changes, 4);
}

} // namespace
