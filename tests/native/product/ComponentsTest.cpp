// The rules behind the choice pages: setup types, component choices and the
// components page's list; the removal's plan from the install record.
#include "product/Components.h"
#include "product/Removal.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// name, Flag1, Flag2, Optional
GroupTable Groups(std::initializer_list<std::tuple<const char*, int, int, int>> rows)
{
    GroupTable t;
    for (const auto& [name, f1, f2, optional] : rows) {
        Group& g = t[name];
        g.Name = name;
        g.Title = std::string("T ") + name;
        g.Flag1 = f1;
        g.Flag2 = f2;
        g.Optional = optional;
    }
    return t;
}

SetupData Blank()
{
    SetupData d;
    std::memset(&d, 0, sizeof d);
    return d;
}

} // namespace

TEST(Components, SetupTypesCopyTheirFlag)
{
    GroupTable t = Groups({{"A", 1, 0, 1}, {"B", 0, 1, 0}});
    const struct {
        int type;
        int a, b;
    } cases[] = {{0, 0, 0}, {1, 1, 0}, {2, 0, 1}, {3, 1, 0}, {4, 1, 1}, {9, 0, 0}};
    for (const auto& c : cases) {
        ApplySetupType(t, c.type);
        EXPECT_EQ(t["A"].Selected, c.a) << c.type;
        EXPECT_EQ(t["B"].Selected, c.b) << c.type;
    }
}

TEST(Components, ChoicesMakeTheMaskAndSelectGroupsOfAnyCase)
{
    GroupTable t = Groups(
        {{"MAIN", 0, 0, 1}, {"realtime", 0, 0, 1}, {"DadOVO", 0, 0, 1}, {"Netware", 0, 1, 1}, {"Uninstall", 0, 0, 0}});
    SetupData d = Blank();
    d.InstallManager = 1;
    d.InstallRealtime = 1;
    d.InstallAutoDownload = 0;
    d.NetwareSupport = 0;
    d.InstallUninstall = 0;
    ApplyComponentChoices(d, t);
    EXPECT_EQ(d.ComponentMask, kComponentManager | kComponentRealtime);
    EXPECT_EQ(t["MAIN"].Selected, 1);
    EXPECT_EQ(t["realtime"].Selected, 1);
    EXPECT_EQ(t["DadOVO"].Selected, 0);
    EXPECT_EQ(t["Netware"].Selected, 0);
    EXPECT_EQ(t["Uninstall"].Selected, 1); // selected in every setup type
    d.InstallUninstall = 1;
    ApplyComponentChoices(d, t);
    EXPECT_EQ(d.ComponentMask, kComponentManager | kComponentRealtime | kComponentUninstall);
}

TEST(Components, OfferedListFollowsTheMask)
{
    GroupTable t = Groups({{"Main", 0, 0, 1}, {"Realtime", 0, 0, 1}, {"Public", 1, 1, 1}, {"Engine", 1, 1, 0}});
    std::vector<Group*> offered = OfferedComponents(t, kComponentRealtime);
    ASSERT_EQ(offered.size(), 2u); // Public is optional but no component
    EXPECT_EQ(t["Main"].Checked, 0);
    EXPECT_EQ(t["Realtime"].Checked, 1);
    // An empty mask lists nothing and checks every optional group.
    EXPECT_TRUE(OfferedComponents(t, 0).empty());
    EXPECT_EQ(t["Main"].Checked, 1);
    EXPECT_EQ(t["Public"].Checked, 1);
    EXPECT_EQ(t["Engine"].Checked, 0);
}

TEST(Components, StoringTheCheckedGroups)
{
    GroupTable t = Groups(
        {{"Main", 0, 0, 1}, {"DadOVO", 0, 0, 1}, {"Public", 0, 0, 1}, {"Netware", 0, 0, 1}, {"Engine", 0, 0, 0}});
    SetupData d = Blank();
    d.InstallAutoDownload = 1;
    d.InstallUninstall = 1;
    t["Main"].Checked = 1;
    EXPECT_TRUE(StoreCheckedComponents(d, t));
    EXPECT_EQ(d.InstallManager, 1);
    EXPECT_EQ(d.InstallAutoDownload, 0); // unchecked clears flag and bit
    EXPECT_EQ(d.ComponentMask, kComponentManager | kComponentUninstall);
    EXPECT_EQ(t["Public"].Selected, 1); // unchecked but always installed
    EXPECT_EQ(t["Engine"].Selected, 1); // not listed, always installed
    EXPECT_EQ(t["Netware"].Selected, 0);
    t["Main"].Checked = 0;
    EXPECT_FALSE(StoreCheckedComponents(d, t));
}

TEST(Removal, RecordNamesAreData)
{
    DestinationTable t;
    t[0] = Destination{0, "", -1, PathName("C:\\KORAV\\")};
    t[-3] = Destination{-3, "", -1, PathName("C:\\WINDOWS\\SYSTEM\\")};
    t[4] = Destination{4, "", -1, PathName("relative\\")};
    const struct {
        const char* name;
        const char* value;
        const char* path; // null: skipped
        bool shared;
    } cases[] = {
        {"korvi95.exe", "0|1|0", "C:\\KORAV\\korvi95.exe", false},
        {"bshell.dll", "-3|1|1", "C:\\WINDOWS\\SYSTEM\\bshell.dll", true},
        {"..", "0|1|0", nullptr, false},
        {"...", "0|1|0", nullptr, false},
        {"..\\autoexec.bat", "0|1|0", nullptr, false},
        {"C:autoexec.bat", "0|1|0", nullptr, false},
        {"", "0|1|0", nullptr, false},
        {"a.txt", "7|1|0", nullptr, false}, // no such destination
        {"a.txt", "4|1|0", nullptr, false}, // not a full path
        {"a.txt", "", nullptr, false},      // no destination at all
    };
    for (const auto& c : cases) {
        RemovalFile file;
        ASSERT_EQ(PlanRemovalFile(t, c.name, c.value, file), c.path != nullptr) << c.name << "=" << c.value;
        if (c.path) {
            EXPECT_EQ(file.path, c.path);
            EXPECT_EQ(file.shared, c.shared);
        }
    }
}

TEST(Removal, DirectoriesDeepestFirstNeverARoot)
{
    DestinationTable t;
    t[0] = Destination{0, "", -1, PathName("C:\\KORAV\\")};
    t[2] = Destination{2, "Data", 0, PathName("C:\\KORAV\\Data\\Deep\\")};
    t[3] = Destination{3, "", -1, PathName("C:\\KORAV\\Data\\")};
    t[5] = Destination{5, "", -1, PathName("D:\\")};
    t[6] = Destination{6, "", -1, PathName("C:\\KORAV\\")};
    t[-2] = Destination{-2, "", -1, PathName("C:\\WINDOWS\\")};
    EXPECT_EQ(RemovalDirectories(t),
              (std::vector<std::string>{"C:\\KORAV\\Data\\Deep", "C:\\KORAV\\Data", "C:\\KORAV"}));
}
