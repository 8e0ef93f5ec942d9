#include "engine/base/TextCase.h"
#include "engine/base/XException.h"
#include "engine/profile/Destinations.h"
#include "engine/profile/InstallRecord.h"
#include "engine/profile/ProfileFileWin32.h"
#include "engine/profile/ProfileLoaders.h"
#include "engine/profile/ProfileSection.h"
#include "tests/support/Outcome.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

namespace {

std::string MakeProfile(const char* name, const std::string& text)
{
    std::string path = wintest::ScratchDirectory() + name;
    wintest::WriteFileText(path, text);
    return path;
}

} // namespace

TEST(ProfileFile, ThousandsOfKeysInFileOrderThroughTheProfileApi)
{
    std::string text = "[Main]\r\n";
    for (int i = 3000; i > 0; --i) text += "file" + std::to_string(i) + ".dat=" + std::to_string(i) + "|0|1|1|0\r\n";
    PrivateProfileFile file(MakeProfile("many.ini", text));
    ProfileSection section;
    ASSERT_TRUE(section.Open(file, "Main"));
    std::string key, value;
    int expected = 3000;
    while (section.Next(key, value)) {
        EXPECT_EQ(key, "file" + std::to_string(expected) + ".dat");
        EXPECT_EQ(value, std::to_string(expected) + "|0|1|1|0");
        --expected;
    }
    EXPECT_EQ(expected, 0);
}

TEST(ProfileFile, OverlongValueCutAt254)
{
    PrivateProfileFile file(MakeProfile("long.ini", "[groups]\r\nMain=" + std::string(600, 'T') + "|x\r\n"));
    GroupTable groups;
    LoadGroups(file, groups);
    EXPECT_EQ(groups["Main"].Title, std::string(254, 'T'));
    EXPECT_EQ(groups["Main"].Text2, "");
}

// Reading the value of a key of 32767 characters faults inside the platform's
// reader: such keys are a damaged profile, refused before their value is read.
TEST(ProfileFile, OverlongKeysAreADamagedProfile)
{
    const std::string head = "[destinations]\r\n0=|-1|\r\n[groups]\r\nMain=M|T|1|1|0\r\n[targets]\r\n"
                             "A.EXE=0|0|0|T|||\r\n[diskettes]\r\n1=Disk|\r\n";
    for (const char* section : {"destinations", "groups", "targets", "diskettes"}) {
        SCOPED_TRACE(section);
        std::string text = head;
        std::string header = std::string("[") + section + "]\r\n";
        text.insert(text.find(header) + header.size(), std::string(40000, '7') + "=1|x\r\n");
        PrivateProfileFile file(MakeProfile("longkey.ini", text));
        EXPECT_EQ(Outcome([&] {
                      DestinationTable d;
                      GroupTable g;
                      TargetTable t;
                      ArchiveList a;
                      DisketteTable k;
                      LoadDestinations(file, d);
                      LoadGroups(file, g);
                      LoadTargets(file, t);
                      LoadArchiveItems(file, g, a);
                      LoadDiskettes(file, k);
                  }),
                  "CInstallProfileException 0");
    }
    // As long as a key may sensibly be: read.
    PrivateProfileFile file(MakeProfile("key256.ini", "[groups]\r\n" + std::string(256, 'G') + "=M|T|1|1|0\r\n"));
    GroupTable groups;
    LoadGroups(file, groups);
    EXPECT_EQ(groups.count(std::string(256, 'G')), 1u);
}

TEST(ProfileFile, MissingFileIsCauseZero)
{
    PrivateProfileFile file(wintest::ScratchDirectory() + "absent.ini");
    DestinationTable table;
    try {
        LoadDestinations(file, table);
        FAIL() << "no exception";
    } catch (const CInstallProfileException& e) {
        EXPECT_EQ(e.Cause(), 0);
    }
    GroupTable groups;
    LoadGroups(file, groups);
    EXPECT_TRUE(groups.empty());
}

TEST(ProfileFile, WholeProfileLoadsAndRecordIsWrittenForReal)
{
    PrivateProfileFile profile(
        MakeProfile("setup.ini",
                    "[destinations]\r\n0=|-1|\r\n2=Bin|0|\r\n[groups]\r\nMain=Manager|Main program|1|1|1\r\n"
                    "[targets]\r\nKorvi95.exe=0|-1|0|Brantoke AntiVirus|||\r\n[Main]\r\nmain.mf=5000|1|3|-2|0|\r\n"
                    "readme.txt=100|0|1|2|0|\r\n[diskettes]\r\n1=Disk 1\r\n2=Disk 2\r\n"));
    DestinationTable d;
    GroupTable g;
    TargetTable t;
    ArchiveList a;
    DisketteTable k;
    LoadDestinations(profile, d);
    LoadGroups(profile, g);
    LoadTargets(profile, t);
    LoadArchiveItems(profile, g, a);
    LoadDiskettes(profile, k);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a.front().FileName, "readme.txt");
    EXPECT_EQ(a.back().FileName, "main.mf");
    ASSERT_EQ(k.size(), 3u);
    EXPECT_EQ(k[2].Label, "Disk 2");
    SetDestinationPath(d, 0, "C:\\AV");
    ResolveDestinations(d);
    ASSERT_NE(FindTarget(t, "KORVI95.EXE"), nullptr);
    FindTarget(t, "korvi95.EXE")->Path.Set("C:\\AV\\KORVI95.EXE");

    std::string recordPath = wintest::ScratchDirectory() + "myapp.log";
    DeleteFileA(recordPath.c_str());
    PrivateProfileFile record(recordPath);
    WriteInstallRecord(record, d, g, t);
    WriteInstalledFile(record, "Main", "KORVI95.EXE", 0, true, false);
    WriteInstalledFile(record, "Main", "KORVI95.EXE", 0, true, true); // replaced, not repeated
    // Lines written in one go merge the same way, and a section too long for
    // one read (Windows 95: 32 KB) is written key by key.
    WriteInstalledFile(record, "Batch", "KORCMD.EXE", 0, true, false);
    ASSERT_TRUE(record.WriteStrings(
        "Batch", {InstalledFileLine("korcmd.exe", 2, true, true), InstalledFileLine("a.dll", 2, true, false)}));
    auto longName = [](int i) { return std::string(200, 'f') + std::to_string(i) + ".txt"; };
    ProfileStore::Entries many;
    for (int i = 0; i < 170; ++i) many.push_back(InstalledFileLine(longName(i), 0, true, false));
    ASSERT_TRUE(record.WriteStrings("Many", many));
    ASSERT_TRUE(record.WriteStrings("Many", {InstalledFileLine(UpperCase(longName(7)), 2, false, false)}));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, recordPath.c_str()); // flush the profile cache

    std::string text = wintest::ReadFileText(recordPath);
    EXPECT_NE(text.find("0=|-1|C:\\AV\\"), std::string::npos) << text;
    EXPECT_NE(text.find("2=Bin|0|C:\\AV\\Bin\\"), std::string::npos) << text;
    EXPECT_NE(text.find("Main=Manager|Main program|1|1|1"), std::string::npos) << text;
    EXPECT_NE(text.find("KORVI95.EXE=0|-1|0|Brantoke AntiVirus|||C:\\AV\\KORVI95.EXE"), std::string::npos) << text;
    EXPECT_NE(text.find("KORVI95.EXE=0|1|1"), std::string::npos) << text;
    EXPECT_EQ(text.find("KORVI95.EXE=0|1|0"), std::string::npos) << text;
    EXPECT_NE(text.find("[Batch]\r\nKORCMD.EXE=2|1|1\r\na.dll=2|1|0\r\n"), std::string::npos) << text;
    EXPECT_EQ(record.GetInt("Many", longName(169).c_str(), -1), 0);
    EXPECT_EQ(record.GetInt("Many", longName(7).c_str(), -1), 2);

    DestinationTable d2;
    LoadDestinations(record, d2);
    ResolveDestinations(d2);
    EXPECT_EQ(DestinationPath(d2, 2), "C:\\AV\\Bin\\");
}
