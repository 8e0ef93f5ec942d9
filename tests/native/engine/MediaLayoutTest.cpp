#include "engine/GaugeMath.h"
#include "engine/MediaLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(MediaLayout, SiblingDirectories)
{
    EXPECT_EQ(SiblingDisketteDirectory("\\SETUP\\DISK01", 3).value(), "\\SETUP\\DISK03");
    EXPECT_EQ(SiblingDisketteDirectory("\\SETUP\\DISK01\\", 12).value(), "\\SETUP\\DISK12");
    // Above 99 the name grows by one character.
    EXPECT_EQ(SiblingDisketteDirectory("\\SETUP\\DISK01", 100).value(), "\\SETUP\\DISK100");
    // 00, letters, or a short directory: no sibling.
    EXPECT_FALSE(SiblingDisketteDirectory("\\SETUP\\DISK00", 3).has_value());
    EXPECT_FALSE(SiblingDisketteDirectory("\\SETUP\\DISKAB", 3).has_value());
    EXPECT_FALSE(SiblingDisketteDirectory("\\", 3).has_value());
    EXPECT_FALSE(SiblingDisketteDirectory("\\1", 3).has_value());
    EXPECT_FALSE(SiblingDisketteDirectory("", 3).has_value());
    // The two characters are read like atoi: "5X" is 5, "X5" is 0.
    EXPECT_EQ(SiblingDisketteDirectory("\\CD5X", 2).value(), "\\CD02");
    EXPECT_FALSE(SiblingDisketteDirectory("\\CDX5", 2).has_value());
    EXPECT_EQ(SiblingDisketteDirectory("\\D07", 1).value(), "\\D01");
}

TEST(MediaLayout, PromptTexts)
{
    EXPECT_EQ(DisketteRequestText("", 4, "A"), "Please insert diskette 4 in drive A:");
    EXPECT_EQ(DisketteRequestText("Program Disk 2", 2, "B"),
              "Please insert the diskette labelled 'Program Disk 2' in drive B:");
    std::string huge(2000, 'L');
    EXPECT_LT(DisketteRequestText(huge, 1, "A").size(), 512u); // cut, never overflows
}

TEST(GaugeMath, PercentsAndFills)
{
    EXPECT_EQ(GaugePercent(0, 0, 5), 0);
    EXPECT_EQ(GaugePercent(0, 200, 100), 50);
    EXPECT_EQ(GaugePercent(1, 101, 1), 0);
    EXPECT_EQ(GaugePercent(0, 100, 150), 100);
    EXPECT_EQ(GaugePercent(10, 20, 0), 0);
    // An install of 5 GB: 32-bit products would overflow long before this.
    int64_t total = 5LL * 1024 * 1024 * 1024;
    EXPECT_EQ(GaugePercent(1, total, total / 2), 49);
    EXPECT_EQ(GaugePercent(1, total, total), 100);
    EXPECT_EQ(GaugeFill(300, 50), 150);
    EXPECT_EQ(GaugeFill(301, 33), 99);
    EXPECT_EQ(ClampPosition(-5, 0, 10), 0);
    EXPECT_EQ(ClampPosition(15, 0, 10), 10);
}

} // namespace
