#include "config/placement/FilePlacement.h"

#include "config/log/RunOutcome.h"
#include "config/placement/SystemTextFile.h"
#include "config/placement/WininitRename.h"
#include "engine/journal/CopyJournal.h"
#include "engine/journal/UndoLog.h"
#include "engine/base/FileVersion.h"
#include "engine/base/PathName.h"
#include "framework/Exceptions.h"

#include <windows.h>

#include <vector>

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The extracted file keeps the member's attributes, read-only among them.
void DeleteTemporary(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string FindExisting(const FileEntry& entry)
{
    if (entry.DestinationId == -2 || entry.DestinationId == -3) {
        std::string fileName = PathName(entry.DestinationPath).FileName();
        for (PathName::Kind kind : {PathName::kWindowsDirectory, PathName::kSystemDirectory}) {
            PathName candidate(kind);
            if (candidate.Empty()) continue;
            candidate.SetFileName(fileName);
            if (Exists(candidate.Text())) return candidate.Text();
        }
        return {};
    }
    return Exists(entry.DestinationPath) ? entry.DestinationPath : std::string();
}

// A copy moved out of the way, kept until the new file is in place.
struct SetAside {
    std::string original;
    std::string aside;
    DWORD attributes;
};

bool MoveAside(const std::string& path, std::vector<SetAside>& moved)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    PathName aside(path);
    // Journalled first: a setup killed right after the move puts it back.
    const bool named = aside.MakeUniqueName(true, 1000);
    if (named) copyjournal::NoteSetAside(aside.Text(), path, attributes);
    if (!named || !MoveFileA(path.c_str(), aside.Text().c_str())) {
        // Left where it was, as it was.
        if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(path.c_str(), attributes);
        return false;
    }
    moved.push_back({path, aside.Text(), attributes});
    return true;
}

void PutBack(std::vector<SetAside>& moved)
{
    for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
        if (MoveFileA(it->aside.c_str(), it->original.c_str()) && it->attributes != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(it->original.c_str(), it->attributes);
    }
    moved.clear();
}

bool MoveIn(FileEntry& entry)
{
    if (!MoveFileA(entry.TempPath.c_str(), entry.DestinationPath.c_str())) return false;
    entry.Placed = 1;
    SetFileAttributesA(entry.DestinationPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    return true;
}

// A file another program holds open without sharing hides its version
// resource as well; only then is "no version" not the answer.
bool Readable(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// The copy in the way cannot be moved now: the restart replaces it, or, when
// that cannot be scheduled, the user keeps it and the new file goes.
void ScheduleOrKeep(FileEntry& entry, const std::string& existing)
{
    if (ReplaceAtRestart(existing, entry.TempPath)) return;
    DeleteTemporary(entry.TempPath);
    entry.Replaced = 0;
    entry.ErrorCause = fw::kFileSharingViolation;
}

} // namespace

bool ShouldReplace(const FileEntry& entry, const std::string& existingPath)
{
    if (entry.Rule.find("Newer") == std::string::npos) return true;
    FileVersion existing;
    FileVersion incoming;
    bool existingHas = existing.Read(existingPath);
    bool incomingHas = incoming.Read(entry.TempPath);
    // An existing copy in use whose version cannot be read: the dates decide,
    // so that a lower version cannot replace it unseen.
    bool existingKnown = existingHas || Readable(existingPath);
    if (existingKnown) {
        if (existingHas && !incomingHas) return false;
        if (incomingHas && !existingHas) return true;
        if (existingHas && incoming.IsNewerThan(existing)) return true;
    }
    return PathName(existingPath).ModificationTime() < PathName(entry.TempPath).ModificationTime();
}

void PlaceFile(FileEntry& entry)
{
    std::string existing = FindExisting(entry);
    std::vector<SetAside> moved;
    // Noted before anything moves: a failed or cancelled run takes the new
    // file away and puts the old one back.
    if ((existing.empty() || !SamePath(existing, entry.TempPath)) && !undojournal::RecordFile(entry.DestinationPath)) {
        DeleteTemporary(entry.TempPath);
        entry.ErrorCause = fw::kFileHardIo;
        return;
    }
    if (!existing.empty()) {
        // A temporary path naming the installed file itself: deleting the
        // "new" file would delete the only copy.
        if (SamePath(existing, entry.TempPath)) return;
        if (!ShouldReplace(entry, existing)) {
            DeleteTemporary(entry.TempPath);
            return;
        }
        // The copy it replaces is kept until the run ends.
        if (!SamePath(existing, entry.DestinationPath) && !undojournal::RecordFile(existing)) {
            DeleteTemporary(entry.TempPath);
            entry.ErrorCause = fw::kFileHardIo;
            return;
        }
        entry.Replaced = 1;
        if (!MoveAside(existing, moved)) {
            ScheduleOrKeep(entry, existing);
            return;
        }
        // A System-directory file found in the Windows directory: a second
        // copy at the destination itself is in the way as well.
        if (!SamePath(existing, entry.DestinationPath) && Exists(entry.DestinationPath) &&
            !MoveAside(entry.DestinationPath, moved)) {
            PutBack(moved);
            ScheduleOrKeep(entry, entry.DestinationPath);
            return;
        }
    }
    if (!MoveIn(entry)) {
        PutBack(moved);
        DeleteTemporary(entry.TempPath);
        return;
    }
    // Copies in use by a running program stay set aside: Windows 95 would
    // delete them from under it.
    for (const SetAside& copy : moved)
        if (!PathName(copy.aside).HeldOpen()) DeleteFileA(copy.aside.c_str());
}

namespace {

// One "key=value" line in [rename] of the Windows directory's WININIT.INI.
bool AddWininitLine(const std::string& key, const std::string& value)
{
    PathName ini(PathName::kWindowsDirectory);
    if (ini.Empty()) return false;
    ini.SetFileName("WININIT.INI");
    std::string text;
    if (!ReadSystemTextFile(ini.Text(), kMaxWininitSize, text)) return false;
    if (!undojournal::RecordWininitLine(ini.Text(), key + "=" + value)) return false;
    if (!ReplaceSystemTextFile(ini.Text(), AddRenameEntry(text, key, value))) return false;
    NoteRestartPending(); // it takes effect at the next start of Windows
    return true;
}

} // namespace

bool ReplaceAtRestart(const std::string& existingPath, const std::string& replacementPath)
{
    std::string existing = PathName(existingPath).ShortText();
    std::string replacement = PathName(replacementPath).ShortText();
    if (existing.empty() || replacement.empty()) return false;
    if (!AddWininitLine(existing, replacement)) return false;
    copyjournal::Release(replacementPath); // from here the restart owns it
    return true;
}

bool DeleteAtRestart(const std::string& path)
{
    std::string shortPath = PathName(path).ShortText();
    return !shortPath.empty() && AddWininitLine("NUL", shortPath);
}
