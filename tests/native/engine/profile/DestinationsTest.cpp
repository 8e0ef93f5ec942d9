#include "engine/base/XException.h"
#include "engine/profile/Destinations.h"
#include "engine/profile/ProfileLoaders.h"
#include "engine/profile/ProfileQueries.h"
#include "tests/support/MemoryProfile.h"

#include <gtest/gtest.h>

namespace {

DestinationTable Load(const std::string& lines)
{
    MemoryProfile p("[destinations]\n" + lines);
    DestinationTable t;
    SetDestinationPath(t, -2, "C:\\WINDOWS");
    LoadDestinations(p, t);
    return t;
}

int ResolveCause(DestinationTable& t)
{
    try {
        ResolveDestinations(t);
    } catch (const CInstallProfileException& e) {
        return e.Cause();
    }
    return -100;
}

} // namespace

TEST(ResolveDestinations, ChildOfHomeDirectory)
{
    DestinationTable t = Load("2=Bin|0|\n5=Data\n");
    SetDestinationPath(t, 0, "C:\\AV");
    ResolveDestinations(t);
    EXPECT_EQ(DestinationPath(t, 2), "C:\\AV\\Bin\\");
    EXPECT_EQ(DestinationPath(t, 0), "C:\\AV\\");
    EXPECT_EQ(DestinationPath(t, 5), ""); // no parent, no path: resolved as empty
    EXPECT_EQ(DestinationPath(t, 9), "");
    EXPECT_EQ(DestinationPath(t, -2), "C:\\WINDOWS\\");
}

TEST(ResolveDestinations, ChainNeedsSeveralPasses)
{
    // Visited in id order, so each pass resolves one more level.
    DestinationTable t = Load("1=D|2|\n2=C|3|\n3=B|4|\n4=A|0|\n");
    SetDestinationPath(t, 0, "D:\\Prog");
    ResolveDestinations(t);
    EXPECT_EQ(DestinationPath(t, 1), "D:\\Prog\\A\\B\\C\\D\\");
    EXPECT_EQ(DestinationPath(t, 4), "D:\\Prog\\A\\");
}

TEST(ResolveDestinations, CyclesAndMissingParentsAreCauseOne)
{
    DestinationTable self = Load("0=Home|-1|C:\\AV\n7=Loop|7|\n");
    EXPECT_EQ(ResolveCause(self), 1);
    DestinationTable mutual = Load("0=Home|-1|C:\\AV\n7=A|8|\n8=B|7|\n");
    EXPECT_EQ(ResolveCause(mutual), 1);
    DestinationTable orphan = Load("0=Home|-1|C:\\AV\n7=A|42|\n");
    EXPECT_EQ(ResolveCause(orphan), 1);
    // Home not yet known: its children cannot be resolved either.
    DestinationTable early = Load("2=Bin|0|\n");
    EXPECT_EQ(ResolveCause(early), 1);
}

TEST(ResolveDestinations, NamesThatLeaveTheParentAreCauseOne)
{
    for (const char* name :
         {"..", "..\\..\\WINDOWS", "Data\\..\\..", "C:\\", "D:Data", "\\WINDOWS", "/etc", ". .", "..."}) {
        SCOPED_TRACE(name);
        DestinationTable t = Load(std::string("2=") + name + "|0|\n");
        SetDestinationPath(t, 0, "C:\\AV");
        EXPECT_EQ(ResolveCause(t), 1);
    }
    DestinationTable t = Load("2=Data\\Virus.defs|0|\n3=..Old|0|\n");
    SetDestinationPath(t, 0, "C:\\AV");
    ResolveDestinations(t);
    EXPECT_EQ(DestinationPath(t, 2), "C:\\AV\\Data\\Virus.defs\\");
    EXPECT_EQ(DestinationPath(t, 3), "C:\\AV\\..Old\\");
}

TEST(ResolveDestinations, GivenPathWinsOverParent)
{
    DestinationTable t = Load("3=Common|0|E:\\Shared\n");
    SetDestinationPath(t, 0, "C:\\AV\\");
    ResolveDestinations(t);
    EXPECT_EQ(DestinationPath(t, 3), "E:\\Shared\\");
}

TEST(SpaceNeeded, EstimatePerItemAndSelection)
{
    GroupTable groups;
    groups["Main"].Selected = 1;
    groups["Netware"].Selected = 0;
    ArchiveList list;
    auto add = [&](const char* group, int32_t size, int16_t count) {
        ArchiveItem i;
        i.Size = size;
        i.FileCount = count;
        i.OwnerGroup = &groups[group];
        list.push_back(i);
    };
    add("Main", 1000, 1);   // rounded up to 4096
    add("Main", 10000, 5);  // 4096*5/2 + 10000 = 20240
    add("Netware", 100, 0); // 4096
    EXPECT_EQ(ItemSpaceEstimate(list.front(), 0), 1000u);
    EXPECT_EQ(ItemSpaceEstimate(list.front(), 4096), 4096u);
    EXPECT_EQ(SpaceNeeded(list, 4096, true), 4096u + 20240u);
    EXPECT_EQ(SpaceNeeded(list, 4096, false), 4096u + 20240u + 4096u);
    EXPECT_EQ(SpaceNeeded(list, 0, false), 1000u + 10000u + 100u);
}

TEST(SpaceNeeded, LargeProductsDoNotWrap)
{
    GroupTable groups;
    groups["Main"].Selected = 1;
    ArchiveList list;
    for (int i = 0; i < 3; ++i) {
        ArchiveItem item;
        item.Size = 2000000000;
        item.FileCount = 30000;
        item.OwnerGroup = &groups["Main"];
        list.push_back(item);
    }
    ArchiveItem odd; // a damaged line: negative numbers count as nothing
    odd.Size = -50;
    odd.FileCount = -4;
    odd.OwnerGroup = &groups["Main"];
    list.push_back(odd);
    const uint64_t perItem = uint64_t(65536) * 30000 / 2 + 2000000000;
    EXPECT_EQ(SpaceNeeded(list, 65536, true), 3 * perItem);
    EXPECT_EQ(ItemSpaceEstimate(odd, 512), 0u);
    ArchiveItem rounded;
    rounded.Size = INT32_MAX;
    EXPECT_EQ(ItemSpaceEstimate(rounded, 0x80000000u), 0x80000000ull);
}

TEST(SelectGroup, OnlyKnownNames)
{
    GroupTable t;
    t["Main"].Name = "Main";
    SelectGroup(t, "Main", 1);
    SelectGroup(t, "Realtime", 1);
    EXPECT_EQ(t["Main"].Selected, 1);
    EXPECT_EQ(t.count("Realtime"), 0u);
    SelectGroup(t, "Main", 0);
    EXPECT_EQ(t["Main"].Selected, 0);
    SelectGroup(t, "MAIN", 1); // names match in any case
    EXPECT_EQ(t["Main"].Selected, 1);
}
