#include "engine/journal/CopyJournal.h"

#include "engine/base/PathName.h"
#include "engine/journal/JournalMutex.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr DWORD kMaxJournalSize = 64 * 1024;
const char* const kMutexName = "KorvisanSetupCopyJournal";

struct State {
    HANDLE mutex = nullptr;
    HANDLE file = INVALID_HANDLE_VALUE; // open while this process owns the journal
    bool owned = false;                 // this process holds the mutex and writes the journal
    std::vector<JournalEntry> entries;
};

State& Journal()
{
    static State state;
    return state;
}

bool TakeMutex(State& s) { return TakeJournalMutex(s.mutex, kMutexName); }

// Rewritten in place through the handle kept open: creating and deleting the
// file at every member would cost as much as copying a small file.
void Write(State& s)
{
    if (s.file == INVALID_HANDLE_VALUE) return; // without a journal only the clean-up after a kill is lost
    std::string text = FormatJournal(s.entries);
    DWORD written = 0;
    SetFilePointer(s.file, 0, nullptr, FILE_BEGIN);
    if (!text.empty()) WriteFile(s.file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    SetEndOfFile(s.file);
}

bool ReadJournal(std::string& text)
{
    HANDLE f = CreateFileA(copyjournal::JournalPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD size = GetFileSize(f, &high);
    bool ok = size != INVALID_FILE_SIZE && high == 0 && size <= kMaxJournalSize;
    if (ok) {
        text.assign(size, '\0');
        DWORD got = 0;
        ok = size == 0 || (ReadFile(f, &text[0], size, &got, nullptr) && got == size);
    }
    CloseHandle(f);
    return ok;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace

namespace copyjournal {

std::string JournalPath()
{
    PathName path(PathName::kTempDirectory);
    path.SetFileName("KORSETUP.JNL");
    return path.Text();
}

void Track(const std::string& temporaryPath)
{
    State& s = Journal();
    if (!s.owned) {
        s.owned = TakeMutex(s);
        if (!s.owned) return; // another setup is copying
        s.file = CreateFileA(JournalPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    JournalEntry e;
    e.kind = JournalEntry::kTemporary;
    e.path = temporaryPath;
    s.entries.push_back(e);
    Write(s);
}

void NoteSetAside(const std::string& asidePath, const std::string& originalPath, uint32_t attributes)
{
    State& s = Journal();
    if (!s.owned || s.entries.empty()) return;
    JournalEntry e;
    e.kind = JournalEntry::kSetAside;
    e.path = asidePath;
    e.original = originalPath;
    e.attributes = attributes;
    s.entries.push_back(e);
    Write(s);
}

void Release(const std::string& temporaryPath)
{
    State& s = Journal();
    if (!s.owned) return;
    auto it = std::remove_if(s.entries.begin(), s.entries.end(), [&](const JournalEntry& e) {
        return e.kind == JournalEntry::kTemporary && lstrcmpiA(e.path.c_str(), temporaryPath.c_str()) == 0;
    });
    if (it == s.entries.end()) return;
    s.entries.erase(it, s.entries.end());
    Write(s);
}

void Finish()
{
    State& s = Journal();
    if (!s.owned || s.entries.empty()) return;
    // A file that could not be deleted stays named, for the next start.
    auto gone =
        std::remove_if(s.entries.begin(), s.entries.end(), [](const JournalEntry& e) { return !Exists(e.path); });
    if (gone == s.entries.end()) return;
    s.entries.erase(gone, s.entries.end());
    Write(s);
}

void Close()
{
    State& s = Journal();
    if (!s.owned) return;
    Finish();
    const bool debris = !s.entries.empty();
    s.entries.clear();
    if (s.file != INVALID_HANDLE_VALUE) CloseHandle(s.file);
    s.file = INVALID_HANDLE_VALUE;
    if (!debris) DeleteFileA(JournalPath().c_str());
    ReleaseMutex(s.mutex);
    s.owned = false;
}

int Recover()
{
    State& s = Journal();
    if (s.owned || !Exists(JournalPath()) || !TakeMutex(s)) return 0;
    int done = 0;
    std::string text;
    std::vector<JournalEntry> entries;
    if (ReadJournal(text) && ParseJournal(text, entries)) {
        for (const RecoveryAction& a : PlanRecovery(entries, Exists)) {
            if (a.kind == RecoveryAction::kMoveBack) {
                if (!MoveFileA(a.path.c_str(), a.target.c_str())) continue;
                SetFileAttributesA(a.target.c_str(), a.attributes);
            } else {
                SetFileAttributesA(a.path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (!DeleteFileA(a.path.c_str())) continue;
            }
            ++done;
        }
    }
    DeleteFileA(JournalPath().c_str());
    ReleaseMutex(s.mutex);
    return done;
}

} // namespace copyjournal
