#include "engine/profile/Destinations.h"
#include "engine/profile/InstallRecord.h"
#include "engine/profile/ProfileLoaders.h"
#include "tests/support/MemoryProfile.h"
#include "tests/support/Outcome.h"

#include <gtest/gtest.h>

TEST(InstallRecord, LinesInTheirFormatsAndReadBackByTheLoaders)
{
    MemoryProfile profile("[destinations]\n0=|-1|\n2=Bin|0|\n[groups]\nMain=Manager|Main program|1|0|1\n"
                          "[targets]\nkorvi95.exe=1|-1|0|Brantoke AntiVirus|/x||\nnotcopied.exe=0|0|0|T|||\n");
    DestinationTable d;
    SetDestinationPath(d, -2, "C:\\WINDOWS");
    LoadDestinations(profile, d);
    SetDestinationPath(d, 0, "C:\\AV");
    ResolveDestinations(d);
    GroupTable g;
    LoadGroups(profile, g);
    TargetTable t;
    LoadTargets(profile, t);
    FindTarget(t, "KORVI95.EXE")->Path.Set("C:\\AV\\korvi95.exe");

    MemoryProfile record;
    WriteInstallRecord(record, d, g, t);
    EXPECT_TRUE(WriteInstalledFile(record, "Main", "korvi95.exe", 0, true, false));
    EXPECT_TRUE(WriteInstalledFile(record, "Main", "bshell.dll", -3, false, true));

    EXPECT_EQ(record.Value("destinations", "0"), "|-1|C:\\AV\\");
    EXPECT_EQ(record.Value("destinations", "2"), "Bin|0|C:\\AV\\Bin\\");
    EXPECT_EQ(record.Value("destinations", "-2"), ""); // fixed directories are not recorded
    EXPECT_EQ(record.Value("groups", "Main"), "Manager|Main program|1|0|1");
    EXPECT_EQ(record.Value("targets", "KORVI95.EXE"), "1|-1|0|Brantoke AntiVirus|/x||C:\\AV\\korvi95.exe");
    EXPECT_EQ(record.Value("targets", "NOTCOPIED.EXE"), "");
    EXPECT_EQ(record.Value("Main", "korvi95.exe"), "0|1|0");
    EXPECT_EQ(record.Value("Main", "bshell.dll"), "-3|0|1");

    // Writing again replaces, never duplicates.
    EXPECT_TRUE(WriteInstalledFile(record, "Main", "korvi95.exe", 2, false, false));
    EXPECT_EQ(record.Value("Main", "korvi95.exe"), "2|0|0");

    // The removal reads the record through the same loaders.
    DestinationTable d2;
    LoadDestinations(record, d2);
    ResolveDestinations(d2);
    EXPECT_EQ(DestinationPath(d2, 2), "C:\\AV\\Bin\\");
    TargetTable t2;
    LoadTargets(record, t2);
    ASSERT_NE(FindTarget(t2, "korvi95.exe"), nullptr);
    EXPECT_EQ(FindTarget(t2, "korvi95.exe")->Path.Text(), "C:\\AV\\korvi95.exe");
    GroupTable g2;
    LoadGroups(record, g2);
    EXPECT_EQ(g2["Main"].Optional, 1);
}

TEST(InstallRecord, ValuesTheLoadersWouldCutAreRefused)
{
    // 254 characters read back whole; 255 would come back cut.
    for (std::size_t length : {254u, 255u}) {
        SCOPED_TRACE(length);
        DestinationTable d;
        SetDestinationPath(d, 0, "C:\\" + std::string(length - 8, 'p') + "\\");
        d[0].ParentId = -1;
        MemoryProfile record;
        std::string outcome = Outcome([&] { WriteInstallRecord(record, d, {}, {}); });
        if (length == 254) {
            EXPECT_EQ(outcome, "none");
            EXPECT_EQ(record.Value("destinations", "0").size(), 254u);
        } else {
            EXPECT_EQ(outcome, "CXFileException 3");
            EXPECT_EQ(record.Value("destinations", "0"), "");
        }
    }
    MemoryProfile record;
    EXPECT_EQ(Outcome([&] { WriteInstalledFile(record, "Main", std::string(300, 'f'), 0, true, false); }),
              "CXFileException 3");
}
