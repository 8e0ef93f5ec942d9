#include "engine/base/XException.h"
#include "engine/profile/ProfileLoaders.h"
#include "tests/support/MemoryProfile.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Names(const ArchiveList& list)
{
    std::vector<std::string> out;
    for (const auto& item : list) out.push_back(item.FileName);
    return out;
}

int CauseOf(void (*load)(MemoryProfile&), MemoryProfile& p)
{
    try {
        load(p);
    } catch (const CInstallProfileException& e) {
        return e.Cause();
    }
    return -100;
}

} // namespace

TEST(LoadDestinations, FieldsAndMissingParent)
{
    MemoryProfile p("[destinations]\n0=AV|-1|C:\\AV\n2=Bin|0|\n5=Data\n");
    DestinationTable t;
    LoadDestinations(p, t);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].Path.Text(), "C:\\AV\\");
    EXPECT_EQ(t[2].Name, "Bin");
    EXPECT_EQ(t[2].ParentId, 0);
    EXPECT_TRUE(t[2].Path.Empty());
    EXPECT_EQ(t[5].Name, "Data");
    EXPECT_EQ(t[5].ParentId, -1);
    EXPECT_TRUE(t[5].Path.Empty());
}

TEST(LoadDestinations, MissingOrEmptySectionIsCauseZero)
{
    MemoryProfile noFile("");
    EXPECT_EQ(CauseOf(
                  [](MemoryProfile& p) {
                      DestinationTable t;
                      LoadDestinations(p, t);
                  },
                  noFile),
              0);
    MemoryProfile empty("[destinations]\n[groups]\nMain=x\n");
    EXPECT_EQ(CauseOf(
                  [](MemoryProfile& p) {
                      DestinationTable t;
                      LoadDestinations(p, t);
                  },
                  empty),
              0);
}

TEST(LoadGroups, FlagsReducedAndSelectionCleared)
{
    MemoryProfile p("[groups]\nMain=Manager|The program|1|5|0\nEngine=Engine|\n");
    GroupTable t;
    t["Main"].Selected = 1;
    LoadGroups(p, t);
    EXPECT_EQ(t["Main"].Title, "Manager");
    EXPECT_EQ(t["Main"].Text2, "The program");
    EXPECT_EQ(t["Main"].Flag1, 1);
    EXPECT_EQ(t["Main"].Flag2, 1);
    EXPECT_EQ(t["Main"].Optional, 0);
    EXPECT_EQ(t["Main"].Selected, 0);
    EXPECT_EQ(t["Engine"].Flag1, 0);
    MemoryProfile none("");
    GroupTable empty;
    LoadGroups(none, empty);
    EXPECT_TRUE(empty.empty());
}

TEST(LoadTargets, KeysInUpperCaseMatchAnyCase)
{
    MemoryProfile p("[targets]\nKorvi95.Exe=2|-1|1|@Brantoke AntiVirus|/s|kv.ico|\nscan.exe=0\n");
    TargetTable t;
    LoadTargets(p, t);
    ASSERT_EQ(t.size(), 2u);
    Target* k = FindTarget(t, "KORVI95.exe");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k, FindTarget(t, "korvi95.EXE"));
    EXPECT_EQ(t.count("KORVI95.EXE"), 1u);
    EXPECT_EQ(k->IconIndex, 2);
    EXPECT_EQ(k->HotKey, -1);
    EXPECT_EQ(k->Minimized, 1);
    EXPECT_EQ(k->Title, "@Brantoke AntiVirus");
    EXPECT_EQ(k->Arguments, "/s");
    EXPECT_EQ(k->IconFile, "kv.ico");
    EXPECT_TRUE(k->Path.Empty());
    Target* s = FindTarget(t, "SCAN.EXE");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->HotKey, -1); // missing: no hot key
    EXPECT_EQ(FindTarget(t, "other.exe"), nullptr);
}

TEST(LoadArchiveItems, OrderedByDisketteContinuingItemLast)
{
    MemoryProfile p("[groups]\nMain=M\nEngine=E\n"
                    "[Main]\nbig.mf=1000|1|10|-3|0|x\nsmall.mf=10|1|1|3|0\nfirst.mf=5|1|1|1\n"
                    "[Engine]\nreadme.txt=7|0|1|3|0\ntwo.mf=1|1|2|2\nnothing.dat=1|2|1|1|0\n");
    GroupTable g;
    LoadGroups(p, g);
    ArchiveList list;
    LoadArchiveItems(p, g, list);
    // Engine's section is read first (table order); equal keys keep load order.
    EXPECT_EQ(Names(list),
              (std::vector<std::string>{"nothing.dat", "first.mf", "two.mf", "readme.txt", "small.mf", "big.mf"}));
    const ArchiveItem& big = list.back();
    EXPECT_EQ(big.Diskette, 3);
    EXPECT_EQ(big.Continues, 1);
    EXPECT_EQ(big.Size, 1000);
    EXPECT_EQ(big.FileCount, 10);
    EXPECT_EQ(big.Text, "x");
    EXPECT_EQ(big.OwnerGroup, &g["Main"]);
    EXPECT_EQ(list.front().Kind, 2);
    for (const auto& item : list) {
        if (item.FileName == "first.mf") {
            EXPECT_EQ(item.DestinationId, -1);
        }
    }
}

TEST(InsertArchiveItem, PlainBeforeContinuingOnSameDiskette)
{
    ArchiveList list;
    ArchiveItem a;
    a.FileName = "cont";
    a.Diskette = 3;
    a.Continues = 1;
    InsertArchiveItem(list, a);
    ArchiveItem b;
    b.FileName = "plain";
    b.Diskette = 3;
    InsertArchiveItem(list, b);
    ArchiveItem c;
    c.FileName = "low";
    c.Diskette = 1;
    c.Continues = 1;
    InsertArchiveItem(list, c);
    ArchiveItem d;
    d.FileName = "cont2";
    d.Diskette = 3;
    d.Continues = 1;
    InsertArchiveItem(list, d);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"low", "plain", "cont", "cont2"}));
}

TEST(LoadArchiveItems, HostileNumbersStayInRange)
{
    MemoryProfile p("[groups]\nMain=M\n[Main]\na=-5|99999|-1|-2147483648|-99999\nb=x|y|z|w|v\n");
    GroupTable g;
    LoadGroups(p, g);
    ArchiveList list;
    LoadArchiveItems(p, g, list);
    ASSERT_EQ(list.size(), 2u);
    const ArchiveItem& b = list.front();
    EXPECT_EQ(b.FileName, "b");
    EXPECT_EQ(b.Size, 0);
    EXPECT_EQ(b.Diskette, 0);
    const ArchiveItem& a = list.back();
    EXPECT_EQ(a.Kind, INT16_MAX);
    EXPECT_EQ(a.Diskette, INT16_MAX);
    EXPECT_EQ(a.Continues, 1);
    EXPECT_EQ(a.DestinationId, INT16_MIN);
}

TEST(LoadDiskettes, IndexedByNumberIgnoringImpossibleNumbers)
{
    MemoryProfile p("[diskettes]\n1=Disk 1|a\n3=Disk 3\n-1=bad\n2000000000=huge\nx=zero\n");
    DisketteTable t;
    LoadDiskettes(p, t);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].Label, "zero");
    EXPECT_EQ(t[1].Label, "Disk 1");
    EXPECT_EQ(t[1].Text2, "a");
    EXPECT_EQ(t[2].Label, "");
    EXPECT_EQ(t[3].Label, "Disk 3");
}
