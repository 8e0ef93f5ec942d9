// The copy journal's text and the recovery plan: what a killed setup's
// journal may make the next start do, and what a damaged one may not.
#include "engine/journal/CopyJournal.h"

#include <gtest/gtest.h>

#include <set>

namespace {

JournalEntry Temp(const std::string& path)
{
    JournalEntry e;
    e.path = path;
    return e;
}

JournalEntry Aside(const std::string& path, const std::string& original, uint32_t attributes = 1)
{
    JournalEntry e;
    e.kind = JournalEntry::kSetAside;
    e.path = path;
    e.original = original;
    e.attributes = attributes;
    return e;
}

TEST(CopyJournal, TextRoundTrip)
{
    std::vector<JournalEntry> entries = {
        Temp("C:\\Program Files\\AV\\0a1b2c3d.exe"),
        Aside("C:\\WINDOWS\\SYSTEM\\1234abcd.dll", "C:\\WINDOWS\\SYSTEM\\kshared.dll", 4294967295u),
        Aside("\\\\server\\share\\av\\ffff0000.ini", "\\\\server\\share\\av\\k.ini")};
    std::string text = FormatJournal(entries);
    EXPECT_EQ(text.substr(0, 42), "temp=C:\\Program Files\\AV\\0a1b2c3d.exe\r\nasi");
    std::vector<JournalEntry> back;
    ASSERT_TRUE(ParseJournal(text, back));
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[1].kind, JournalEntry::kSetAside);
    EXPECT_EQ(back[1].attributes, 4294967295u);
    EXPECT_EQ(back[1].original, "C:\\WINDOWS\\SYSTEM\\kshared.dll");
    EXPECT_EQ(back[2].path, entries[2].path);
    // LF line ends and blank lines are read as well; an empty journal is sound.
    ASSERT_TRUE(ParseJournal("\ntemp=D:\\X\\0a1b2c3d\n\n", back));
    EXPECT_EQ(back.size(), 1u);
    ASSERT_TRUE(ParseJournal("", back));
    EXPECT_TRUE(back.empty());
}

TEST(CopyJournal, DamagedJournalsAreRefusedWhole)
{
    const char* damaged[] = {
        "temp=C:\\AV\\korvi95.exe",      // a user's name
        "temp=AV\\0a1b2c3d.exe",         // relative
        "temp=C:0a1b2c3d.exe",           // drive-relative
        "temp=C:\\AV\\..\\0a1b2c3d.exe", // climbs
        "temp=C:\\AV\\.\\0a1b2c3d.exe",
        "temp=C:\\AV\\\\0a1b2c3d.exe", // empty part
        "temp=C:\\A\tV\\0a1b2c3d.exe", // control character
        "temp=C:\\AV\\0a1b2c3d.exe:stream",
        "temp=\\\\\\0a1b2c3d.exe",
        "Temp=C:\\AV\\0a1b2c3d.exe",                         // keys are exact
        "aside=1|C:\\AV\\0a1b2c3d.exe|C:\\OTHER\\k.exe",     // another directory
        "aside=1|C:\\AV\\0a1b2c3d.exe|C:\\AV\\0A1B2C3D.EXE", // onto itself
        "aside=1|C:\\AV\\k.exe|C:\\AV\\korvi95.exe",         // not a random name
        "aside=4294967296|C:\\AV\\0a1b2c3d.exe|C:\\AV\\k.exe",
        "aside=-1|C:\\AV\\0a1b2c3d.exe|C:\\AV\\k.exe",
        "aside=|C:\\AV\\0a1b2c3d.exe|C:\\AV\\k.exe",
        "aside=1|C:\\AV\\0a1b2c3d.exe",
        "aside=1|C:\\AV\\0a1b2c3d.exe|C:\\AV\\k|x.exe",
    };
    for (const char* line : damaged) {
        SCOPED_TRACE(line);
        std::vector<JournalEntry> entries = {Temp("C:\\X\\00000000")};
        // One damaged line spoils the sound ones around it.
        EXPECT_FALSE(ParseJournal(std::string("temp=C:\\AV\\11111111.exe\r\n") + line + "\r\n", entries));
        EXPECT_TRUE(entries.empty());
    }
    std::string longPath = "temp=C:\\" + std::string(250, 'a') + "\\0a1b2c3d.exe";
    std::vector<JournalEntry> entries;
    EXPECT_FALSE(ParseJournal(longPath, entries));
}

TEST(CopyJournal, RecoveryPutsAsideCopiesBackBeforeDeletingTemporaries)
{
    std::set<std::string> present = {"C:\\W\\S\\aaaaaaaa.dll", "C:\\W\\bbbbbbbb.dll", "C:\\W\\S\\cccccccc.dll",
                                     "C:\\W\\S\\k.dll"};
    auto exists = [&](const std::string& p) { return present.count(p) != 0; };
    std::vector<JournalEntry> entries = {
        Temp("C:\\W\\S\\cccccccc.dll"),
        Temp("C:\\W\\S\\dddddddd.dll"),                     // already moved in: gone
        Aside("C:\\W\\bbbbbbbb.dll", "C:\\W\\k.dll", 33),   // nothing at its place: back
        Aside("C:\\W\\S\\aaaaaaaa.dll", "C:\\W\\S\\k.dll"), // replaced: deleted
        Aside("C:\\W\\S\\eeeeeeee.dll", "C:\\W\\S\\x.dll"), // never moved
    };
    std::vector<RecoveryAction> plan = PlanRecovery(entries, exists);
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[0].kind, RecoveryAction::kDelete); // latest set-aside first
    EXPECT_EQ(plan[0].path, "C:\\W\\S\\aaaaaaaa.dll");
    EXPECT_EQ(plan[1].kind, RecoveryAction::kMoveBack);
    EXPECT_EQ(plan[1].path, "C:\\W\\bbbbbbbb.dll");
    EXPECT_EQ(plan[1].target, "C:\\W\\k.dll");
    EXPECT_EQ(plan[1].attributes, 33u);
    EXPECT_EQ(plan[2].kind, RecoveryAction::kDelete);
    EXPECT_EQ(plan[2].path, "C:\\W\\S\\cccccccc.dll");
    EXPECT_TRUE(PlanRecovery({}, exists).empty());
}

} // namespace
