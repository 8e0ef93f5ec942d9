// The home directory's checks and the free-space verdict of page 104.
#include "wizard/HomeDirectory.h"

#include <gtest/gtest.h>

TEST(HomeDirectory, NormalisedOrRefused)
{
    const struct {
        const char* typed;
        const char* home; // null: refused
    } cases[] = {
        {"C:\\KORAV", "C:\\KORAV"},
        {"  c:/korav//sub\\ ", "C:\\korav\\sub"},
        {"D:\\Program Files\\AV\\\\", "D:\\Program Files\\AV"},
        {"C:\\", nullptr},    // a root
        {"C:KORAV", nullptr}, // relative to the drive's current directory
        {"KORAV", nullptr},
        {"\\\\server\\share\\av", nullptr},
        {"C:\\a\\..\\b", nullptr},
        {"C:\\a?b", nullptr},
        {"C:\\a\\dots.", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        std::string home = "unchanged";
        EXPECT_EQ(NormaliseHomeDirectory(c.typed, 200, home), c.home != nullptr) << c.typed;
        if (c.home) {
            EXPECT_EQ(home, c.home);
        }
    }
    std::string home;
    EXPECT_TRUE(NormaliseHomeDirectory("C:\\" + std::string(97, 'x'), 100, home));
    EXPECT_FALSE(NormaliseHomeDirectory("C:\\" + std::string(98, 'x'), 100, home));
}

TEST(HomeDirectory, RoomForTheDeepestProductPath)
{
    DestinationTable t;
    t[0].Id = 0;
    EXPECT_EQ(MaxHomeDirectoryLength(t), 260u - 1 - 9 - 13); // "\GBBSData" is deepest
    t[2] = Destination{2, "Data\\Signatures\\Archive", 0, PathName()};
    t[5] = Destination{5, "Elsewhere\\Very\\Long\\Directory\\Name", -1, PathName()};
    EXPECT_EQ(MaxHomeDirectoryLength(t), 260u - 1 - 24 - 13);
}

TEST(HomeDirectory, FreeSpaceInSixtyFourBits)
{
    ArchiveList items;
    for (int i = 0; i < 3; ++i) {
        ArchiveItem item;
        item.Size = 2000000000;
        item.FileCount = 1;
        items.push_back(item);
    }
    Group selected;
    selected.Selected = 1;
    for (ArchiveItem& item : items) item.OwnerGroup = &selected;
    const std::string notEnough = "need %d on %c: has %d";
    const std::string unknown = "%c: cannot tell, need %d";
    std::string question;
    // Each item rounded up to whole 4096-byte clusters: 1464846 clusters.
    EXPECT_TRUE(CheckFreeSpace(items, 'C', {true, 4096, 1464846}, notEnough, unknown, question));
    EXPECT_FALSE(CheckFreeSpace(items, 'C', {true, 4096, 1464845}, notEnough, unknown, question));
    EXPECT_EQ(question, "need 6000009216 on C: has 6000005120");
    EXPECT_FALSE(CheckFreeSpace(items, 'D', {}, notEnough, unknown, question));
    EXPECT_EQ(question, "D: cannot tell, need 6000000000");
    EXPECT_EQ(FillPlaceholders("%d%% of %s, %x", {"5", "all"}), "5% of all, %x");
}
