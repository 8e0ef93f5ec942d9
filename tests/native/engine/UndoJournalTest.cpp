// The undo journal's text and the rollback plan: what a journal left by a
// failed or killed run makes the next start do, and what damaged or cut
// lines may not.
#include "engine/journal/UndoJournal.h"

#include <gtest/gtest.h>

namespace {

std::string Journal(const std::vector<std::string>& lines)
{
    std::string text = UndoJournalHeader();
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

// Sound lines of every kind, as the journal writes them.
const std::vector<std::string> kSound = {
    "file|C:\\Program Files\\AV\\KORVI95.EXE||0",
    "file|C:\\WINDOWS\\SYSTEM\\KSHARED.DLL|C:\\WINDOWS\\SYSTEM\\0a1b2c3d.DLL|4294967295",
    "file|\\\\server\\share\\av\\k.ini|\\\\server\\share\\av\\ffff0000.und|33",
    "text|C:\\AUTOEXEC.BAT|C:\\1234abcd.BAT|32",
    "text|C:\\WINDOWS\\SYSTEM.INI||0",
    "dir|C:\\Program Files\\AV",
    "key|HKLM|Software\\Brantoke\\Korvisan 95",
    "key|HKCR|CLSID\\{0}",
    "value|HKCU|Software\\Brantoke|we%7Cird%09%25name%7F|4:01000000",
    "value|HKU|.DEFAULT\\Software|Empty|1:",
    "value|HKLM|Software\\Brantoke|Absent|-",
    "value|HKLM|Software\\Brantoke||1:6100", // the key's default value
    "ini|C:\\WINDOWS\\KORVISAN.INI|Options|Sound|=",
    "ini|C:\\WINDOWS\\KORVISAN.INI|Options|Absent|-",
    "section|C:\\WINDOWS\\KORVISAN.INI|New Section",
    "wininit|C:\\WINDOWS\\WININIT.INI|2|C:\\W\\K.DLL=C:\\W\\0A1B2C3D.DLL",
    "wininit|C:\\WINDOWS\\WININIT.INI|0|NUL=C:\\TEMP\\X.TMP",
    "group|1|Brantoke AntiVirus",
    "item|Brantoke AntiVirus|Scanner %7C 95 %25",
    "call|rescue.dll|A:\\",
};

TEST(UndoJournal, EveryKindReadsBackExactly)
{
    for (const std::string& line : kSound) {
        SCOPED_TRACE(line);
        UndoEntry e;
        ASSERT_TRUE(ParseUndoLine(line, e));
        EXPECT_EQ(FormatUndoLine(e), line + "\r\n");
    }
    UndoJournalText all = ParseUndoJournal(Journal(kSound));
    EXPECT_TRUE(all.ours && !all.torn && !all.committed && all.damaged.empty());
    EXPECT_EQ(all.entries.size(), kSound.size());
    EXPECT_EQ(all.entries[8].name, "we|ird\t%name\x7f");
    EXPECT_EQ(all.entries[11].old.bytes, std::string("a\0", 2));
    EXPECT_TRUE(all.entries[9].old.present && all.entries[9].old.bytes.empty()); // empty is not absent
    EXPECT_FALSE(all.entries[10].old.present);

    // Any bytes in data, names and arguments come back, each entry on one line.
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    UndoEntry value, ini, call;
    value.kind = UndoKind::kValue;
    value.path = "Software";
    value.name = bytes.substr(1, 255);
    value.old = {true, 3, bytes + std::string(kMaxValueBytes - 256, '\xff')};
    ini.kind = UndoKind::kIniEntry;
    ini.path = "C:\\WINDOWS\\WIN.INI";
    ini.section = "windows";
    ini.name = "load";
    ini.old = {true, 0, "C:\\A.EXE\t%|\x01\xe4"};
    call.kind = UndoKind::kCall;
    call.name = "VSE32ENG.DLL#12";
    call.text = bytes.substr(1);
    for (const UndoEntry& e : {value, ini, call}) {
        const std::string line = FormatUndoLine(e);
        EXPECT_EQ(line.find_first_of(bytes.substr(0, 32) + "\x7f"), line.size() - 2); // its CR LF
        UndoEntry back;
        ASSERT_TRUE(ParseUndoLine(line.substr(0, line.size() - 2), back));
        EXPECT_EQ(back.name, e.name);
        EXPECT_EQ(back.old.bytes, e.old.bytes);
        EXPECT_EQ(back.text, e.text);
    }
}

TEST(UndoJournal, DamagedLinesAreReportedAndTheSoundOnesKept)
{
    const char* damaged[] = {
        "",                                         // blank
        "File|C:\\AV\\A.EXE||0",                    // kinds are exact
        "file|AV\\A.EXE||0",                        // relative
        "file|C:A.EXE||0",                          // drive-relative
        "file|C:\\AV\\..\\A.EXE||0",                // climbs
        "file|C:\\AV\\\\A.EXE||0",                  // empty part
        "file|C:\\AV\\A.EXE:stream||0",             //
        "file|C:\\AV\\A%09.EXE||0",                 // control character
        "file|C:\\AV\\A.EXE||1",                    // attributes without a kept copy
        "file|C:\\AV\\A.EXE|C:\\AV\\kept.EXE|1",    // not a random name
        "file|C:\\AV\\A.EXE|C:\\OTHER\\0a1b2c3d|1", // another directory
        "file|C:\\AV\\0a1b2c3d|C:\\AV\\0A1B2C3D|1", // onto itself
        "file|C:\\AV\\A.EXE|C:\\AV\\0a1b2c3d|01",   // not canonical
        "file|C:\\AV\\A.EXE|C:\\AV\\0a1b2c3d|4294967296",
        "file|C:\\AV\\A.EXE||",                         // field missing
        "file|C:\\AV\\A.EXE||0|",                       // one too many
        "dir|C:\\AV%7C",                                // '|' in a path
        "dir|C:\\A%41",                                 // escaped without need
        "dir|C:\\A%4",                                  // cut escape
        "dir|C:\\A%zz",                                 //
        "key|HKXX|Software",                            // unknown root
        "key|hklm|Software",                            //
        "key|HKLM|",                                    // no subkey
        "key|HKLM|\\Software",                          // empty parts
        "key|HKLM|Software\\\\Brantoke",                //
        "key|HKLM|Software\\",                          //
        "value|HKLM|Software|n|1:6",                    // odd hex
        "value|HKLM|Software|n|1:6A",                   // upper-case hex
        "value|HKLM|Software|n|:00",                    // no type
        "value|HKLM|Software|n|absent",                 //
        "value|HKLM|Software|n%00|-",                   // NUL in a name
        "ini|C:\\A.INI|s|k|:6",                         // registry form for an INI entry
        "ini|C:\\A.INI|s|k|=0d",                        // CR in an INI value
        "ini|C:\\A.INI|s]|k|-",                         // ']' in a section
        "ini|C:\\A.INI|s|k=|-",                         // '=' in a key
        "ini|C:\\A.INI| s|k|-",                         // blanks the profile functions drop
        "ini|C:\\A.INI||k|-",                           // no section
        "section|C:\\A.INI|",                           //
        "wininit|C:\\WINDOWS\\SYSTEM.INI|0|A=B",        // not WININIT.INI
        "wininit|C:\\WINDOWS\\WININIT.INI|0|AB",        // no '='
        "wininit|C:\\WINDOWS\\WININIT.INI|0|=B",        //
        "wininit|C:\\WINDOWS\\WININIT.INI|0|[rename]=", //
        "group|2|Brantoke",                             // common is 0 or 1
        "group|1|",                                     //
        "item|Brantoke|",                               //
        "call||x",                                      // nameless
        "call|a b|x",                                   // blank in a name
        "rubbish",                                      //
    };
    for (const char* line : damaged) {
        SCOPED_TRACE(line);
        UndoJournalText j = ParseUndoJournal(Journal({"dir|C:\\AV", line, "file|C:\\AV\\A.EXE||0"}));
        EXPECT_TRUE(j.ours);
        EXPECT_EQ(j.damaged, std::vector<int>{3});
        ASSERT_EQ(j.entries.size(), 2u); // the sound lines around it still count
        EXPECT_EQ(j.entries[1].path, "C:\\AV\\A.EXE");
    }
    // Too long: a path of 260 characters, names of 256, data over the limit.
    std::string a256(256, 'a');
    for (const std::string& line : {"dir|C:\\" + a256 + "a", "key|HKLM|" + a256, "value|HKLM|S|" + a256 + "|-",
                                    "value|HKLM|S|n|3:" + std::string(2 * kMaxValueBytes + 2, '0'),
                                    "ini|C:\\A.INI|s|k|=" + std::string(2 * kMaxIniText + 2, '6')}) {
        UndoEntry e;
        EXPECT_FALSE(ParseUndoLine(line, e)) << line.substr(0, 40);
    }
    UndoEntry longest;
    EXPECT_TRUE(ParseUndoLine("dir|C:\\" + a256, longest));
    // Without the header nothing is ours, whatever follows.
    for (std::string text : {std::string("KORSETUP UNDO 2\r\n"), std::string("KORSETUP UNDO 1\n"), std::string(),
                             std::string("dir|C:\\AV\r\n")}) {
        UndoJournalText j = ParseUndoJournal(text + "dir|C:\\AV\r\n");
        EXPECT_FALSE(j.ours);
        EXPECT_TRUE(j.entries.empty());
    }
}

TEST(UndoJournal, ALineCutByAKillIsIgnoredWhereverItWasCut)
{
    // Cut, each of these reads as a sound line naming something else.
    for (const std::string line : {"dir|C:\\AV\\SUB\r\n", "file|C:\\AV\\KORVI95.EXE||0\r\n",
                                   "value|HKLM|Software\\B|n|3:1234\r\n", "commit\r\n"}) {
        for (std::size_t cut = 1; cut < line.size(); ++cut) {
            SCOPED_TRACE(line.substr(0, cut));
            UndoJournalText j = ParseUndoJournal(Journal({"dir|C:\\AV"}) + line.substr(0, cut));
            EXPECT_TRUE(j.torn);
            EXPECT_FALSE(j.committed);
            EXPECT_TRUE(j.damaged.empty());
            ASSERT_EQ(j.entries.size(), 1u);
            EXPECT_EQ(j.entries[0].path, "C:\\AV");
        }
    }
    // A cut header: nothing was recorded yet.
    EXPECT_FALSE(ParseUndoJournal(UndoJournalHeader().substr(0, 8)).ours);
}

TEST(UndoJournal, RollbackRunsBackwardsAndCommitKeepsOnlyTheNewState)
{
    const std::vector<std::string> lines = {
        "dir|C:\\AV",
        "file|C:\\AV\\A.EXE||0",
        "file|C:\\WINDOWS\\K.DLL|C:\\WINDOWS\\0a1b2c3d.DLL|33",
        "key|HKLM|Software\\B",
        "value|HKLM|Software\\B|new|-",
        "value|HKLM|Software\\B|old|1:7800",
        "ini|C:\\WINDOWS\\K.INI|s|new|-",
        "ini|C:\\WINDOWS\\K.INI|s|old|=",
        "section|C:\\WINDOWS\\K.INI|s",
        "text|C:\\AUTOEXEC.BAT|C:\\0a1b2c3d.BAT|32",
        "text|C:\\CONFIG.SYS||0",
        "wininit|C:\\WINDOWS\\WININIT.INI|0|NUL=C:\\X",
        "group|0|G",
        "item|G|I",
        "call|rescue.dll|A:",
    };
    const UndoStep::Action expected[] = {
        UndoStep::kUndoCall,       UndoStep::kDeleteItem, UndoStep::kDeleteGroup,      UndoStep::kRemoveWininitLine,
        UndoStep::kDeleteFile,     UndoStep::kPutBack,    UndoStep::kDeleteIniSection, UndoStep::kSetIniEntry,
        UndoStep::kDeleteIniEntry, UndoStep::kSetValue,   UndoStep::kDeleteValue,      UndoStep::kDeleteKey,
        UndoStep::kPutBack,        UndoStep::kDeleteFile, UndoStep::kRemoveDirectory,
    };
    const UndoJournalText journal = ParseUndoJournal(Journal(lines));
    std::vector<UndoStep> plan = PlanRollback(journal.entries);
    ASSERT_EQ(plan.size(), lines.size());
    for (std::size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE(DescribeUndoStep(plan[i]));
        EXPECT_EQ(plan[i].action, expected[i]);
        EXPECT_EQ(FormatUndoLine(plan[i].entry), lines[lines.size() - 1 - i] + "\r\n");
    }
    EXPECT_EQ(DescribeUndoStep(plan[5]), "put C:\\0a1b2c3d.BAT back as C:\\AUTOEXEC.BAT");
    EXPECT_EQ(PlanCommit(journal.entries), (std::vector<std::string>{"C:\\WINDOWS\\0a1b2c3d.DLL", "C:\\0a1b2c3d.BAT"}));

    // Committed: nothing is to be undone; whatever follows the commit is damaged.
    UndoJournalText j = ParseUndoJournal(Journal(lines) + UndoCommitLine() + lines[0] + "\r\n");
    EXPECT_TRUE(j.committed);
    EXPECT_EQ(j.entries.size(), lines.size());
    EXPECT_EQ(j.damaged, std::vector<int>{static_cast<int>(lines.size()) + 3});
}

TEST(UndoJournal, AWininitLineComesOutOfRenameOnlyOnce)
{
    const std::string line = "C:\\W\\K.DLL=C:\\W\\0A1B2C3D.DLL";
    struct Case {
        std::string text;
        std::size_t count;
        std::string removed;
    } cases[] = {
        {"[rename]\r\n" + line + "\r\n", 1, "[rename]\r\n"},
        {"[rename]\r\n" + line, 1, "[rename]\r\n"}, // no line end at the end of the file
        {"[Rename]\n" + line + "\nNUL=C:\\X\n", 1, "[Rename]\nNUL=C:\\X\n"},
        // The last of several: ours came last.
        {"[rename]\r\n" + line + "\r\nNUL=C:\\X\r\n" + line + "\r\n", 2, "[rename]\r\n" + line + "\r\nNUL=C:\\X\r\n"},
        // Outside [rename], changed or indented it is another line.
        {"[other]\r\n" + line + "\r\n[ rename ]\r\n " + line + "\r\n" + line + "x\r\n", 0, ""},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CountRenameLines(c.text, line), c.count);
        EXPECT_EQ(RemoveLastRenameLine(c.text, line), c.count ? c.removed : c.text);
    }
}

} // namespace
