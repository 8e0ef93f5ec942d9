// The placement arithmetic and fixed-field copies that the Win32 shell relies on.
#include "engine/base/FixedText.h"
#include "engine/base/Placement.h"
#include "engine/base/SetupData.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Placement, FractionsAreClamped)
{
    Placement centre = PlaceByFractions(1000, 800, 200, 100, 1, 2, 1, 2);
    EXPECT_EQ(centre.left, 400);
    EXPECT_EQ(centre.top, 350);
    Placement left = PlaceByFractions(1000, 800, 200, 100, 0, 1, 0, 1);
    EXPECT_EQ(left.left, 0);
    EXPECT_EQ(left.top, 0);
    Placement right = PlaceByFractions(1000, 800, 200, 100, 1, 1, 1, 1);
    EXPECT_EQ(right.left, 800);
    EXPECT_EQ(right.top, 700);
    // Large owners do not overflow the product.
    Placement big = PlaceByFractions(2000000000, 2000000000, 10, 10, 3, 4, 1, 4);
    EXPECT_EQ(big.left, 1500000000 - 5);
    EXPECT_EQ(big.top, 500000000 - 5);
}

TEST(FixedText, CutsAndTerminates)
{
    SetupData data;
    std::memset(&data, 'x', sizeof data);
    EXPECT_TRUE(CopyText(data.ReNameExt, "VIR"));
    EXPECT_STREQ(data.ReNameExt, "VIR");
    EXPECT_FALSE(CopyText(data.ReNameExt, "0123456789abcdefXYZ"));
    EXPECT_EQ(std::strlen(data.ReNameExt), 15u);
    EXPECT_EQ(data.ConnectionMethod, 0x78787878); // the next field is untouched
    EXPECT_EQ(TextOf(data.ReNameExt), "0123456789abcde");
}

} // namespace
