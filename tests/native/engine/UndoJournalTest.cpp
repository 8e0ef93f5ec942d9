// The undo journal's text and the rollback plan: what a journal left by a
// failed or killed run makes the next start do, and what damaged or cut
// lines may not.
#include "engine/journal/UndoJournal.h"

#include <gtest/gtest.h>

namespace {

UndoEntry File(const std::string& path, const std::string& kept = "", uint32_t attributes = 0,
               UndoKind kind = UndoKind::kFile)
{
    UndoEntry e;
    e.kind = kind;
    e.path = path;
    e.kept = kept;
    e.attributes = attributes;
    return e;
}

UndoEntry Dir(const std::string& path)
{
    UndoEntry e;
    e.kind = UndoKind::kDirectory;
    e.path = path;
    return e;
}

UndoEntry Key(RegRoot root, const std::string& subkey)
{
    UndoEntry e;
    e.kind = UndoKind::kKey;
    e.root = root;
    e.path = subkey;
    return e;
}

OldValue Old(uint32_t type, const std::string& bytes)
{
    OldValue old;
    old.present = true;
    old.type = type;
    old.bytes = bytes;
    return old;
}

UndoEntry Value(RegRoot root, const std::string& subkey, const std::string& name, OldValue old = OldValue())
{
    UndoEntry e = Key(root, subkey);
    e.kind = UndoKind::kValue;
    e.name = name;
    e.old = old;
    return e;
}

UndoEntry Ini(const std::string& path, const std::string& section, const std::string& key, OldValue old = OldValue())
{
    UndoEntry e;
    e.kind = UndoKind::kIniEntry;
    e.path = path;
    e.section = section;
    e.name = key;
    e.old = old;
    return e;
}

UndoEntry Other(UndoKind kind, const std::string& a, const std::string& b = "", uint32_t count = 0)
{
    UndoEntry e;
    e.kind = kind;
    e.count = count;
    switch (kind) {
    case UndoKind::kIniSection: e.path = a, e.section = b; break;
    case UndoKind::kWininitLine: e.path = a, e.text = b; break;
    case UndoKind::kGroup: e.group = a; break;
    case UndoKind::kItem: e.group = a, e.name = b; break;
    default: e.name = a, e.text = b; break;
    }
    return e;
}

std::string Journal(const std::vector<UndoEntry>& entries)
{
    std::string text = UndoJournalHeader();
    for (const UndoEntry& e : entries) text += FormatUndoLine(e);
    return text;
}

void ExpectSame(const UndoEntry& a, const UndoEntry& b)
{
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.path, b.path);
    EXPECT_EQ(a.root, b.root);
    EXPECT_EQ(a.kept, b.kept);
    EXPECT_EQ(a.attributes, b.attributes);
    EXPECT_EQ(a.section, b.section);
    EXPECT_EQ(a.group, b.group);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.old.present, b.old.present);
    EXPECT_EQ(a.old.type, b.old.type);
    EXPECT_EQ(a.old.bytes, b.old.bytes);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.count, b.count);
}

std::string AllBytes()
{
    std::string s;
    for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
    return s;
}

const std::string kWininit = "C:\\WINDOWS\\WININIT.INI";

TEST(UndoJournal, EveryKindReadsBackExactly)
{
    const std::vector<UndoEntry> entries = {
        File("C:\\Program Files\\AV\\KORVI95.EXE"),
        File("C:\\WINDOWS\\SYSTEM\\KSHARED.DLL", "C:\\WINDOWS\\SYSTEM\\0a1b2c3d.DLL", 4294967295u),
        File("\\\\server\\share\\av\\k.ini", "\\\\server\\share\\av\\ffff0000.und", 33),
        File("C:\\AUTOEXEC.BAT", "C:\\1234abcd.BAT", 32, UndoKind::kTextFile),
        File("C:\\WINDOWS\\SYSTEM.INI", "", 0, UndoKind::kTextFile),
        Dir("C:\\Program Files\\AV"),
        Key(RegRoot::kLocalMachine, "Software\\Brantoke\\Korvisan 95"),
        Key(RegRoot::kClassesRoot, "CLSID\\{0}"),
        Value(RegRoot::kLocalMachine, "Software\\Brantoke", "Binary", Old(3, AllBytes())),
        Value(RegRoot::kCurrentUser, "Software\\Brantoke", "Text", Old(1, std::string("a|b%c\r\n\0d", 9))),
        Value(RegRoot::kUsers, ".DEFAULT\\Software", "Empty", Old(1, "")),
        Value(RegRoot::kLocalMachine, "Software\\Brantoke", "Absent"),
        Value(RegRoot::kLocalMachine, "Software\\Brantoke", ""), // the key's default
        Value(RegRoot::kLocalMachine, "Software\\Brantoke", "we|ird\t%name\x7f", Old(4, "\x01\0\0\0")),
        Value(RegRoot::kLocalMachine, "System\\CurrentControlSet\\Services\\VxD\\KORVXD", "StaticVxD",
              Old(4294967295u, std::string(kMaxValueBytes, '\xff'))),
        Ini("C:\\WINDOWS\\KORVISAN.INI", "Options", "Sound", Old(0, "")),
        Ini("C:\\WINDOWS\\KORVISAN.INI", "Options", "Absent"),
        Ini("C:\\WINDOWS\\WIN.INI", "windows", "load", Old(0, "C:\\A.EXE\t%|x\xe4")),
        Other(UndoKind::kIniSection, "C:\\WINDOWS\\KORVISAN.INI", "New Section"),
        Other(UndoKind::kWininitLine, kWininit, "C:\\WINDOWS\\SYSTEM\\KSHARED.DLL=C:\\WINDOWS\\SYSTEM\\0A1B2C3D.DLL",
              2),
        Other(UndoKind::kWininitLine, kWininit, "NUL=C:\\TEMP\\X.TMP"),
        Other(UndoKind::kGroup, "Brantoke AntiVirus", "", 1),
        Other(UndoKind::kItem, "Brantoke AntiVirus", "Scanner | 95 %"),
        Other(UndoKind::kCall, "VSE32ENG.DLL#12", AllBytes().substr(1)),
        Other(UndoKind::kCall, "rescue.dll", ""),
    };
    for (const UndoEntry& e : entries) {
        SCOPED_TRACE(FormatUndoLine(e).substr(0, 80));
        EXPECT_TRUE(IsSoundUndoEntry(e));
        // One line: no line end or control character before its own CR LF.
        std::string line = FormatUndoLine(e);
        ASSERT_GE(line.size(), 2u);
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
        for (std::size_t i = 0; i + 2 < line.size(); ++i)
            EXPECT_GE(static_cast<unsigned char>(line[i]), 32) << "at " << i;
    }
    UndoJournalText back = ParseUndoJournal(Journal(entries));
    EXPECT_TRUE(back.ours);
    EXPECT_FALSE(back.torn);
    EXPECT_FALSE(back.committed);
    EXPECT_TRUE(back.damaged.empty());
    ASSERT_EQ(back.entries.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectSame(back.entries[i], entries[i]);
    }
    EXPECT_EQ(FormatUndoLine(Value(RegRoot::kLocalMachine, "S", "n", Old(3, std::string("\x00\xff|", 3)))),
              "value|HKLM|S|n|3:00ff7c\r\n");
    EXPECT_EQ(FormatUndoLine(Ini("C:\\A.INI", "s", "k")), "ini|C:\\A.INI|s|k|-\r\n");
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
    const UndoEntry before = Dir("C:\\AV"), after = File("C:\\AV\\A.EXE");
    for (const char* line : damaged) {
        SCOPED_TRACE(line);
        std::string text = UndoJournalHeader() + FormatUndoLine(before) + line + "\r\n" + FormatUndoLine(after);
        UndoJournalText j = ParseUndoJournal(text);
        EXPECT_TRUE(j.ours);
        EXPECT_EQ(j.damaged, std::vector<int>{3});
        ASSERT_EQ(j.entries.size(), 2u); // the sound lines around it still count
        EXPECT_EQ(j.entries[1].path, "C:\\AV\\A.EXE");
    }
    // Present but empty is not absent.
    UndoEntry empty;
    EXPECT_TRUE(ParseUndoLine("value|HKLM|Software|n|1:", empty));
    EXPECT_TRUE(empty.old.present && empty.old.bytes.empty());
    // Too long: paths of 260 characters, names of 256, data over the limit.
    EXPECT_FALSE(IsSoundUndoEntry(Dir("C:\\" + std::string(257, 'a'))));
    EXPECT_TRUE(IsSoundUndoEntry(Dir("C:\\" + std::string(256, 'a'))));
    EXPECT_FALSE(IsSoundUndoEntry(Key(RegRoot::kLocalMachine, std::string(256, 'k'))));
    EXPECT_FALSE(IsSoundUndoEntry(Value(RegRoot::kLocalMachine, "S", std::string(256, 'n'))));
    EXPECT_FALSE(IsSoundUndoEntry(Value(RegRoot::kLocalMachine, "S", "n", Old(3, std::string(kMaxValueBytes + 1, 0)))));
    EXPECT_FALSE(IsSoundUndoEntry(Ini("C:\\A.INI", "s", "k", Old(0, std::string(kMaxIniText + 1, 'v')))));
    // Without the header nothing is ours, whatever follows.
    for (std::string text : {std::string("KORSETUP UNDO 2\r\n"), std::string("KORSETUP UNDO 1\n"), std::string(),
                             std::string("dir|C:\\AV\r\n")}) {
        UndoJournalText j = ParseUndoJournal(text + FormatUndoLine(before));
        EXPECT_FALSE(j.ours);
        EXPECT_TRUE(j.entries.empty());
    }
}

TEST(UndoJournal, ALineCutByAKillIsIgnoredWhereverItWasCut)
{
    const UndoEntry first = Dir("C:\\AV");
    // Cut, each of these reads as a sound line naming something else.
    for (const UndoEntry& last : {Dir("C:\\AV\\SUB"), File("C:\\AV\\KORVI95.EXE"),
                                  Value(RegRoot::kLocalMachine, "Software\\B", "n", Old(3, "\x12\x34"))}) {
        const std::string line = FormatUndoLine(last);
        for (std::size_t cut = 1; cut < line.size(); ++cut) {
            SCOPED_TRACE(line.substr(0, cut));
            UndoJournalText j = ParseUndoJournal(UndoJournalHeader() + FormatUndoLine(first) + line.substr(0, cut));
            EXPECT_TRUE(j.torn);
            EXPECT_TRUE(j.damaged.empty());
            ASSERT_EQ(j.entries.size(), 1u);
            EXPECT_EQ(j.entries[0].path, "C:\\AV");
        }
    }
    // A cut commit line commits nothing.
    UndoJournalText j = ParseUndoJournal(UndoJournalHeader() + FormatUndoLine(first) + "commit\r");
    EXPECT_FALSE(j.committed);
    EXPECT_EQ(j.entries.size(), 1u);
    // A cut header: nothing was recorded yet.
    EXPECT_FALSE(ParseUndoJournal(UndoJournalHeader().substr(0, 8)).ours);
}

TEST(UndoJournal, RollbackRunsBackwardsAndCommitKeepsOnlyTheNewState)
{
    const std::vector<UndoEntry> entries = {
        Dir("C:\\AV"),
        File("C:\\AV\\A.EXE"),
        File("C:\\WINDOWS\\K.DLL", "C:\\WINDOWS\\0a1b2c3d.DLL", 33),
        Key(RegRoot::kLocalMachine, "Software\\B"),
        Value(RegRoot::kLocalMachine, "Software\\B", "new"),
        Value(RegRoot::kLocalMachine, "Software\\B", "old", Old(1, "x")),
        Ini("C:\\WINDOWS\\K.INI", "s", "new"),
        Ini("C:\\WINDOWS\\K.INI", "s", "old", Old(0, "")),
        Other(UndoKind::kIniSection, "C:\\WINDOWS\\K.INI", "s"),
        File("C:\\AUTOEXEC.BAT", "C:\\0a1b2c3d.BAT", 32, UndoKind::kTextFile),
        File("C:\\CONFIG.SYS", "", 0, UndoKind::kTextFile),
        Other(UndoKind::kWininitLine, kWininit, "NUL=C:\\X"),
        Other(UndoKind::kGroup, "G"),
        Other(UndoKind::kItem, "G", "I"),
        Other(UndoKind::kCall, "rescue.dll", "A:"),
    };
    const UndoStep::Action expected[] = {
        UndoStep::kUndoCall,       UndoStep::kDeleteItem, UndoStep::kDeleteGroup,      UndoStep::kRemoveWininitLine,
        UndoStep::kDeleteFile,     UndoStep::kPutBack,    UndoStep::kDeleteIniSection, UndoStep::kSetIniEntry,
        UndoStep::kDeleteIniEntry, UndoStep::kSetValue,   UndoStep::kDeleteValue,      UndoStep::kDeleteKey,
        UndoStep::kPutBack,        UndoStep::kDeleteFile, UndoStep::kRemoveDirectory,
    };
    std::vector<UndoStep> plan = PlanRollback(ParseUndoJournal(Journal(entries)).entries);
    ASSERT_EQ(plan.size(), entries.size());
    for (std::size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE(DescribeUndoStep(plan[i]));
        EXPECT_EQ(plan[i].action, expected[i]);
        ExpectSame(plan[i].entry, entries[entries.size() - 1 - i]);
    }
    EXPECT_EQ(DescribeUndoStep(plan[5]), "put C:\\0a1b2c3d.BAT back as C:\\AUTOEXEC.BAT");
    EXPECT_EQ(PlanCommit(entries), (std::vector<std::string>{"C:\\WINDOWS\\0a1b2c3d.DLL", "C:\\0a1b2c3d.BAT"}));

    // Committed: nothing is to be undone; whatever follows the commit is damaged.
    UndoJournalText j = ParseUndoJournal(Journal(entries) + UndoCommitLine() + FormatUndoLine(entries[0]));
    EXPECT_TRUE(j.committed);
    EXPECT_EQ(j.entries.size(), entries.size());
    EXPECT_EQ(j.damaged, std::vector<int>{static_cast<int>(entries.size()) + 3});
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
