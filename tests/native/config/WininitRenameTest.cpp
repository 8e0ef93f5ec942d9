// Adding an entry to [rename] keeps every other byte of WININIT.INI.
#include "config/placement/WininitRename.h"

#include <gtest/gtest.h>

namespace {

TEST(WininitRename, EarlierEntriesWithTheSameKeySurvive)
{
    const std::string before = "[rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n";
    EXPECT_EQ(AddRenameEntry(before, "C:\\WINDOWS\\SYSTEM\\X.DLL", "C:\\WINDOWS\\SYSTEM\\1A2B3C4D.DLL"),
              before + "C:\\WINDOWS\\SYSTEM\\X.DLL=C:\\WINDOWS\\SYSTEM\\1A2B3C4D.DLL\r\n");
    // The same key twice: both lines stay, in order.
    std::string twice = AddRenameEntry(AddRenameEntry("", "C:\\X.DLL", "C:\\A.TMP"), "C:\\X.DLL", "C:\\B.TMP");
    EXPECT_EQ(twice, "[rename]\r\nC:\\X.DLL=C:\\A.TMP\r\nC:\\X.DLL=C:\\B.TMP\r\n");
}

TEST(WininitRename, OtherSectionsAndOddLinesStayByteForByte)
{
    const std::string head = "; written by another setup\r\n[Other]\r\n a = b \r\nflag\r\n\r\n";
    const std::string rename = "  [ ReName ]  \r\nNUL=C:\\A.TMP\r\n";
    const std::string tail = "\r\n\r\n[after]\r\nx=1\r\n";
    EXPECT_EQ(AddRenameEntry(head + rename + tail, "K", "V"), head + rename + "K=V\r\n" + tail);
}

TEST(WininitRename, SectionMissingOrEmptyOrFileEmpty)
{
    EXPECT_EQ(AddRenameEntry("", "K", "V"), "[rename]\r\nK=V\r\n");
    EXPECT_EQ(AddRenameEntry("[a]\r\nx=1", "K", "V"), "[a]\r\nx=1\r\n[rename]\r\nK=V\r\n");
    EXPECT_EQ(AddRenameEntry("[rename]\r\n[b]\r\n", "K", "V"), "[rename]\r\nK=V\r\n[b]\r\n");
    // The header is the file's last line, without a line end.
    EXPECT_EQ(AddRenameEntry("[rename]", "K", "V"), "[rename]\r\nK=V\r\n");
    // Only the first [rename] gets the entry.
    EXPECT_EQ(AddRenameEntry("[rename]\r\nA=1\r\n[rename]\r\nB=2\r\n", "K", "V"),
              "[rename]\r\nA=1\r\nK=V\r\n[rename]\r\nB=2\r\n");
}

TEST(WininitRename, LineEndsFollowTheFile)
{
    EXPECT_EQ(AddRenameEntry("[rename]\nNUL=C:\\A\n", "K", "V"), "[rename]\nNUL=C:\\A\nK=V\n");
    EXPECT_EQ(AddRenameEntry("[x]\n", "K", "V"), "[x]\n[rename]\nK=V\n");
    // Last entry without a line end gets one before the new entry.
    EXPECT_EQ(AddRenameEntry("[rename]\r\nNUL=C:\\A", "K", "V"), "[rename]\r\nNUL=C:\\A\r\nK=V\r\n");
}

TEST(WininitRename, BinaryJunkIsCarriedThrough)
{
    const std::string junk("\x00\xff\r\n[rename\r\n\x1a", 14);
    // "[rename" without the bracket still names the section; the control
    // character is its last entry, without a line end.
    EXPECT_EQ(AddRenameEntry(junk, "K", "V"), junk + "\r\nK=V\r\n");
    std::string noSection("\x00\x01\x02", 3);
    EXPECT_EQ(AddRenameEntry(noSection, "K", "V"), noSection + "\r\n[rename]\r\nK=V\r\n");
}

} // namespace
