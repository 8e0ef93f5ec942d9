// The undo journal: every change an installation makes to the machine is
// written to a small file in the temporary directory before it is made, so
// that a failed, cancelled or killed installation can be taken back. This
// part is platform-free: the entries, their text, its checks and the plan of
// a rollback. The journal file itself is UndoLog.h.
//
// Journal text: the header line, then one entry a line, each ending in CR LF:
//   KORSETUP UNDO 1
//   file|<path>|<kept>|<attributes>   a file placed at path; kept: the copy it
//                                     replaced, set aside beside it (empty:
//                                     there was none)
//   dir|<path>                        a directory created
//   key|<root>|<subkey>               a registry key created
//   value|<root>|<subkey>|<name>|<old>  a registry value written or deleted;
//                                     old: "-" (absent) or <type>:<hex bytes>
//   ini|<path>|<section>|<key>|<old>  an INI entry written; old: "-" or =<hex>
//   section|<path>|<section>          an INI section created
//   text|<path>|<kept>|<attributes>   a system text file replaced; kept: a
//                                     copy of the old one beside it
//   wininit|<path>|<count>|<line>     a line added to [rename] of WININIT.INI,
//                                     which held it <count> times before
//   group|<common>|<group>            a Program Manager group created
//   item|<group>|<item>               a Program Manager item created
//   call|<name>|<argument>            a library call with side effects
//   commit                            the run succeeded: nothing is undone
// Fields are text with '%', '|', control characters and DEL written as %XX;
// roots are HKCR, HKCU, HKLM or HKU. Values are hex so that any bytes, and
// "absent" as opposed to empty, come back exactly.
//
// Checks, line by line: known kinds and roots, the field count, canonical
// escapes and numbers, absolute paths (no control characters, "." or "..",
// shorter than 260 characters), kept copies with the copy engine's random
// names in the directory of their file, registry paths of at most 255
// characters without empty parts, names within the system's limits.
//
// A kill during an append leaves the last line without its line end: that
// line is ignored (its change was never made, and a cut line may still look
// sound, naming a shorter path). Any other line that fails the checks is
// damaged. Unlike the copy journal, whose worst case when it does nothing is
// a stray temporary file, doing nothing here would leave a half installation:
// Run and VxD keys that load missing programs at the next start, WININIT.INI
// lines that replace system files at the restart. Each sound line stands on
// its own and only undoes what it names, and a journal is only ever appended
// to, so a damaged line in the middle (a bad sector, another program) says
// nothing about the lines around it. The sound lines are therefore undone and
// every damaged line is reported, so that what could not be undone is in the
// log. A file without the header is no journal of ours: nothing is done.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class RegRoot { kClassesRoot, kCurrentUser, kLocalMachine, kUsers };

enum class UndoKind {
    kFile,
    kDirectory,
    kKey,
    kValue,
    kIniEntry,
    kIniSection,
    kTextFile,
    kWininitLine,
    kGroup,
    kItem,
    kCall
};

// The state of a registry value or INI entry before the change.
struct OldValue {
    bool present = false; // false: there was none
    uint32_t type = 0;    // registry type (REG_SZ 1, REG_BINARY 3, REG_DWORD 4, ...); 0 for INI entries
    std::string bytes;    // registry data exactly as stored (terminator included); INI: the text
};

struct UndoEntry {
    UndoKind kind = UndoKind::kFile;
    // kFile, kDirectory, kTextFile: the path; kIniEntry, kIniSection: the INI
    // file; kWininitLine: WININIT.INI; kKey, kValue: the subkey.
    std::string path;
    RegRoot root = RegRoot::kLocalMachine; // kKey, kValue
    std::string kept;                      // kFile, kTextFile: the old copy, empty when there was none
    uint32_t attributes = 0;               // kFile, kTextFile: the old copy's attributes
    std::string section;                   // kIniEntry, kIniSection
    std::string group;                     // kGroup, kItem
    std::string name;                      // kValue: value name; kIniEntry: key; kItem: item; kCall: what was called
    OldValue old;                          // kValue, kIniEntry
    std::string text;                      // kWininitLine: the line; kCall: its argument
    uint32_t count = 0;                    // kWininitLine: the line's occurrences before; kGroup: 1 when common
};

constexpr std::size_t kMaxUndoPath = 260;     // file system paths: shorter than this
constexpr std::size_t kMaxRegistryName = 255; // subkeys, value names, INI sections and keys, groups, items
constexpr std::size_t kMaxValueBytes = std::size_t{64} * 1024; // registry data
constexpr std::size_t kMaxIniText = 4095;                      // INI values; also WININIT lines and call arguments
constexpr std::size_t kMaxUndoJournalSize = std::size_t{4} * 1024 * 1024;

// The first line, with its line end.
std::string UndoJournalHeader();
// One entry as a line, with its line end. Only a sound entry formats to a
// line that parses back (FormatUndoLine does not check).
std::string FormatUndoLine(const UndoEntry& entry);
// The line that marks a run as committed, with its line end.
std::string UndoCommitLine();

// One line without its line end; false when it is not sound.
bool ParseUndoLine(std::string_view line, UndoEntry& entry);
bool IsSoundUndoEntry(const UndoEntry& entry);

struct UndoJournalText {
    bool ours = false;              // the first line is the header
    std::vector<UndoEntry> entries; // the sound lines, in order
    std::vector<int> damaged;       // numbers (1 = header) of the lines that are not sound
    bool torn = false;              // the last line lacks its line end; ignored
    bool committed = false;         // the commit line closes the journal
};

UndoJournalText ParseUndoJournal(std::string_view text);

// One step of a rollback.
struct UndoStep {
    enum Action {
        kDeleteFile,        // entry.path, when present
        kPutBack,           // when entry.kept is present: entry.path goes, the kept copy comes back
        kRemoveDirectory,   // when present and empty
        kDeleteKey,         // when present and without subkeys (Windows 95 would delete them too)
        kSetValue,          // entry.old, creating the key if need be
        kDeleteValue,       // when present
        kSetIniEntry,       // entry.old.bytes
        kDeleteIniEntry,    // when the file is present
        kDeleteIniSection,  // when it holds no entries
        kRemoveWininitLine, // one occurrence, while there are more than entry.count
        kDeleteGroup,       // through the caller's handler
        kDeleteItem,        // through the caller's handler
        kUndoCall,          // through the caller's handler
    };
    Action action = kDeleteFile;
    UndoEntry entry;
};

// The rollback: the entries in reverse order, each turned into its step.
// Every step is harmless when its change was never made or was already
// undone, so a rollback that is itself cut short can run again.
std::vector<UndoStep> PlanRollback(const std::vector<UndoEntry>& entries);

// After success: the kept copies to delete.
std::vector<std::string> PlanCommit(const std::vector<UndoEntry>& entries);

// "delete the file C:\...", "restore the registry value \"name\" of HKLM\...", ...
// for the log.
std::string DescribeUndoStep(const UndoStep& step);

// WININIT.INI's [rename] sections: how often `line` occurs there, and the text
// with its last occurrence (and that line's end) removed. Lines compare exactly
// after their line ends (CR LF or LF) are taken off.
std::size_t CountRenameLines(std::string_view text, std::string_view line);
std::string RemoveLastRenameLine(std::string_view text, std::string_view line);
