// The main window's gradient: its palette entries and its rows.
#include "wizard/base/Gradient.h"

#include <gtest/gtest.h>

TEST(Gradient, PaletteEntriesAfterTheDefaults)
{
    auto entries = GradientPaletteEntries(256, 20, kGradientTop, kGradientBottom);
    ASSERT_EQ(entries.size(), 236u);
    EXPECT_EQ(entries[0].blue, 255);
    EXPECT_EQ(entries[1].blue, 255 - 255 * 1 / 236);
    EXPECT_EQ(entries[235].blue, 255 - 255 * 235 / 236);
    for (const Rgb& e : entries) {
        EXPECT_EQ(e.red, 0);
        EXPECT_EQ(e.green, 0);
    }
    // A display without a palette, or one no larger than the defaults: none.
    EXPECT_TRUE(GradientPaletteEntries(0, 20, kGradientTop, kGradientBottom).empty());
    EXPECT_TRUE(GradientPaletteEntries(16, 20, kGradientTop, kGradientBottom).empty());
}

TEST(Gradient, RowsTruncateTowardsZero)
{
    EXPECT_EQ(GradientRow(0, 768, kGradientTop, kGradientBottom).blue, 255);
    EXPECT_EQ(GradientRow(767, 768, kGradientTop, kGradientBottom).blue, 1); // 255 - 254.66 -> 255 - 254
    EXPECT_EQ(GradientRow(384, 768, kGradientTop, kGradientBottom).blue, 128);
    EXPECT_EQ(GradientRow(1, 3, kGradientTop, kGradientBottom).blue, 170);
}
