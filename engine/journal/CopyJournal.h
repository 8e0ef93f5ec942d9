// The copy journal: while a member is installed, a small file in the
// temporary directory names its temporary file and every existing copy that
// placement has moved aside. A setup killed in the middle of a member leaves
// the journal behind, and the next start puts the set-aside copies back and
// deletes the temporary file, so that neither the user's file nor our debris
// stays where it should not be.
//
// Journal text, one entry a line (CR LF or LF):
//   temp=<temporary file>
//   aside=<attributes>|<set-aside copy>|<original path>
//
// A journal is acted on only when every line is sound: absolute paths without
// control characters, "." or ".." parts, shorter than 260 characters; the
// temporary and set-aside names are the copy engine's random names (eight
// hexadecimal digits and the original extension); a set-aside copy lies in
// the directory of its original. Anything else is a damaged journal, which is
// deleted without touching a file.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct JournalEntry {
    enum Kind { kTemporary, kSetAside };
    Kind kind = kTemporary;
    std::string path;        // the temporary file or the set-aside copy
    std::string original;    // set-aside only: where the copy came from
    uint32_t attributes = 0; // set-aside only: the original's attributes
};

std::string FormatJournal(const std::vector<JournalEntry>& entries);

// False (and no entries) when any line is damaged.
bool ParseJournal(std::string_view text, std::vector<JournalEntry>& entries);

struct RecoveryAction {
    enum Kind { kDelete, kMoveBack };
    Kind kind = kDelete;
    std::string path;        // the file to delete or to move back
    std::string target;      // move back: the original path
    uint32_t attributes = 0; // move back: attributes to restore
};

// What to do with a journal left by a killed setup, in order: set-aside
// copies, latest first, go back to their original path when nothing is there
// (else they were replaced and are deleted, as placement would have done);
// then temporary files still present are deleted.
std::vector<RecoveryAction> PlanRecovery(const std::vector<JournalEntry>& entries,
                                         const std::function<bool(const std::string&)>& exists);

// The process-wide journal (Win32; the file is KORSETUP.JNL in the temporary
// directory, kept open from the first member to the end of the copy run and
// guarded by a named mutex, so that a second setup never recovers the journal
// of one that is still running).
namespace copyjournal {
// A member's temporary file is about to be created: the journal names it.
void Track(const std::string& temporaryPath);
// Placement moved an existing copy aside.
void NoteSetAside(const std::string& asidePath, const std::string& originalPath, uint32_t attributes);
// The temporary file now waits for the restart (WININIT.INI): never delete it.
void Release(const std::string& temporaryPath);
// The member is done, whichever way: the journal forgets the files that are
// gone and keeps naming any that could not be deleted.
void Finish();
// The copy run is over: another setup may copy. The journal goes, unless it
// still names files that could not be deleted: the next start deletes them.
void Close();
// At start-up: carries out a journal left by a setup that was killed. Returns
// the number of files put back or deleted; a damaged journal is deleted.
int Recover();
// The journal's path.
std::string JournalPath();
} // namespace copyjournal
