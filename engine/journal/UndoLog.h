// The process-wide undo journal (Win32): KORSETUP.UND in the temporary
// directory, open from Begin to Commit or Rollback and guarded by a named
// mutex, so that a second setup never takes back the changes of one that is
// still running.
//
// Each Record function is called right before its change. It reads the state
// it needs itself (the old registry value or INI entry, whether a key,
// directory or file exists), appends the entry and returns once the entry is
// on disk (the file is opened written through and flushed after each line).
// Without an active journal the functions record nothing and return true.
// False means the entry could not be made durable: the change would not be
// undone, so the caller must not make it.
//
// Undo steps use plain system calls; what needs a higher layer (Program
// Manager over DDE, the product libraries) goes through the handlers the
// caller passes. Each step that cannot be completed is logged and the
// rollback goes on with the next one.
//
// After a successful run, the journal must not be undone by anybody any
// more: Commit marks it so, then deletes the kept old copies and the journal.
// A kill in between leaves a committed journal, whose recovery only finishes
// the deleting.
#pragma once
#include "engine/journal/UndoJournal.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace undojournal {

struct Handlers {
    std::function<bool(const std::string& group, bool common)> deleteGroup;
    std::function<bool(const std::string& group, const std::string& item)> deleteItem;
    // A library call recorded with RecordCall.
    std::function<bool(const std::string& name, const std::string& argument)> undoCall;
    // One line for the install log.
    std::function<void(const std::string& line)> log;
};

struct Report {
    bool found = false;     // Recover: a journal of another run was there
    bool committed = false; // Recover: that run had succeeded; only its kept copies went
    int undone = 0;         // steps completed (including those with nothing left to do)
    int failed = 0;         // steps not completed and damaged lines, each logged
    // Kept copies that could not be deleted (a program holds them): the
    // caller may schedule their deletion for the restart.
    std::vector<std::string> leftovers;
};

// Takes the mutex and creates the journal. False when another setup owns
// it, or a journal is still there (Recover first), or it cannot be created.
bool Begin();
bool Active();
// Called each time an entry is on disk, right before its change is made
// (kill tests stop setup there); null for none.
void SetNotedObserver(std::function<void()> observer);

// A file is about to be placed at `path`. `kept` names where the copy it
// replaces is about to be set aside (a random name beside it, attributes of
// that copy in `keptAttributes`); when `kept` is empty and a file is at
// `path`, the journal keeps a copy of it itself. Without a file at `path` the
// undo deletes it.
bool RecordFile(const std::string& path, const std::string& kept = std::string(), uint32_t keptAttributes = 0);
// A directory (with its missing parents) is about to be created: records
// each part that does not exist yet.
bool RecordDirectories(const std::string& path);
// A key is about to be created: records each part of it that does not exist.
bool RecordKey(RegRoot root, const std::string& subkey);
// A value is about to be written or deleted (also a shared-use count): its
// key as RecordKey, then the value as it is now, or its absence.
bool RecordValue(RegRoot root, const std::string& subkey, const std::string& name);
// The same for a root given as a handle (HKEY_LOCAL_MACHINE, ...); a root
// the journal does not know records nothing and answers false.
bool RecordKey(void* rootKey, const std::string& subkey);
bool RecordValue(void* rootKey, const std::string& subkey, const std::string& name);
// An INI entry is about to be written or deleted: a missing file or section
// is recorded as created, then the entry's value or its absence.
bool RecordIniEntry(const std::string& path, const std::string& section, const std::string& key);
// A system text file (WIN.INI, SYSTEM.INI, AUTOEXEC.BAT) is about to be
// replaced: the journal keeps a copy beside it, or notes that there was none.
bool RecordTextFile(const std::string& path);
// `line` ("DEST=SRC", "NUL=PATH") is about to be added to [rename] of the
// WININIT.INI at `wininitPath`; a missing file is recorded as created.
bool RecordWininitLine(const std::string& wininitPath, const std::string& line);
// A Program Manager group or item is about to be created (call only when it
// did not exist).
bool RecordGroup(const std::string& group, bool common);
bool RecordItem(const std::string& group, const std::string& item);
// A library call with side effects; `name` is what the undo handler is told.
bool RecordCall(const std::string& name, const std::string& argument);

// The run succeeded: marks the journal committed, deletes the kept copies
// and the journal, and lets go of the mutex. Returns the kept copies that
// could not be deleted.
std::vector<std::string> Commit();
// The run failed or was cancelled: undoes the journal in reverse order, then
// deletes it and lets go of the mutex.
Report Rollback(const Handlers& handlers);
// At start-up: takes back the changes of a run that was killed (or finishes
// the commit of one killed after success), then deletes its journal. A
// journal whose setup still runs is left alone; a file that is not a journal
// is deleted without acting on it.
Report Recover(const Handlers& handlers);

std::string JournalPath();

} // namespace undojournal
