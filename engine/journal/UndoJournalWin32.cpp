#include "engine/base/PathName.h"
#include "engine/base/TextCase.h"
#include "engine/journal/UndoLog.h"
#include "engine/journal/JournalMutex.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <utility>

namespace {

const char* const kMutexName = "KorvisanSetupUndoJournal";
const char* const kAbsentIni = "\x01KorvisanSetupAbsent\x02";
constexpr DWORD kMaxTextFile = 1 << 20;

struct State {
    HANDLE mutex = nullptr;
    HANDLE file = INVALID_HANDLE_VALUE;
    bool active = false;
    bool broken = false; // an append could not be taken back: nothing more can be recorded
    DWORD size = 0;
    std::vector<UndoEntry> entries;
    std::function<void()> noted;
};

State& Journal()
{
    static State state;
    return state;
}

bool TakeMutex(State& s) { return TakeJournalMutex(s.mutex, kMutexName); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

HKEY RootKey(RegRoot root)
{
    switch (root) {
    case RegRoot::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::kUsers: return HKEY_USERS;
    }
    return HKEY_LOCAL_MACHINE;
}

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// ERROR_SUCCESS with the key, or the system's status.
LONG OpenKey(RegRoot root, const std::string& subkey, REGSAM access, Key& key)
{
    HKEY raw = nullptr;
    LONG status = RegOpenKeyExA(RootKey(root), subkey.c_str(), 0, access, &raw);
    key.reset(status == ERROR_SUCCESS ? raw : nullptr);
    return status;
}

bool Gone(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

std::string ErrorText(DWORD error) { return "error " + std::to_string(error); }

// The whole file; false when it cannot be read or is larger than `limit`.
bool ReadWhole(const std::string& path, DWORD limit, std::string& text)
{
    text.clear();
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD size = GetFileSize(f, &high);
    bool ok = size != INVALID_FILE_SIZE && high == 0 && size <= limit;
    if (ok && size > 0) {
        text.assign(size, '\0');
        DWORD got = 0;
        ok = ReadFile(f, &text[0], size, &got, nullptr) && got == size;
    }
    CloseHandle(f);
    return ok;
}

bool WriteAll(HANDLE f, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 16));
        DWORD written = 0;
        if (!WriteFile(f, text.data() + done, chunk, &written, nullptr) || written != chunk) return false;
        done += written;
    }
    return FlushFileBuffers(f) != FALSE;
}

// A free random name beside `path` (the kind the journal's checks accept).
bool FreeNameBeside(const std::string& path, std::string& out)
{
    PathName name(path);
    if (name.Extension().empty()) name.SetExtension("und");
    if (!name.MakeUniqueName(true, 1000)) return false;
    out = name.Text();
    return true;
}

// A copy on disk before this returns, with the original's times (the version
// rule compares dates).
bool CopyWrittenThrough(const std::string& from, const std::string& to)
{
    HANDLE in = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    HANDLE out = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return false;
    }
    bool ok = true;
    std::string buffer(1 << 16, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, &buffer[0], static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        DWORD written = 0;
        if (!WriteFile(out, buffer.data(), got, &written, nullptr) || written != got) {
            ok = false;
            break;
        }
    }
    FILETIME created, accessed, written;
    if (ok && GetFileTime(in, &created, &accessed, &written)) SetFileTime(out, &created, &accessed, &written);
    ok = ok && FlushFileBuffers(out);
    CloseHandle(in);
    ok = CloseHandle(out) && ok;
    if (!ok) DeleteFileA(to.c_str());
    return ok;
}

// Replaced through a work file, so that a failure leaves the old text.
bool ReplaceText(const std::string& path, const std::string& text, std::string& why)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    std::string work, old;
    if (!FreeNameBeside(path, work) || !FreeNameBeside(path, old)) {
        why = "no free name beside it";
        return false;
    }
    HANDLE f = CreateFileA(work.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    bool ok = f != INVALID_HANDLE_VALUE && WriteAll(f, text);
    DWORD error = GetLastError();
    if (f != INVALID_HANDLE_VALUE) ok = CloseHandle(f) && ok;
    if (!ok) {
        DeleteFileA(work.c_str());
        why = "the new text cannot be written, " + ErrorText(error);
        return false;
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileA(path.c_str(), old.c_str())) {
        why = "the file cannot be set aside, " + ErrorText(GetLastError());
        SetFileAttributesA(path.c_str(), attributes);
        DeleteFileA(work.c_str());
        return false;
    }
    if (!MoveFileA(work.c_str(), path.c_str())) {
        why = "the new text cannot be moved in, " + ErrorText(GetLastError());
        MoveFileA(old.c_str(), path.c_str());
        SetFileAttributesA(path.c_str(), attributes);
        DeleteFileA(work.c_str());
        return false;
    }
    SetFileAttributesA(path.c_str(), attributes);
    DeleteFileA(old.c_str());
    return true;
}

// Appends one line and makes it durable. A line only partly written is cut
// off again, so that it cannot become a damaged line in the middle.
bool AppendLine(State& s, const std::string& line)
{
    if (s.broken || s.file == INVALID_HANDLE_VALUE) return false;
    if (s.size + line.size() > kMaxUndoJournalSize) return false;
    DWORD written = 0;
    bool ok = SetFilePointer(s.file, static_cast<LONG>(s.size), nullptr, FILE_BEGIN) == s.size &&
        WriteFile(s.file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) && written == line.size() &&
        FlushFileBuffers(s.file);
    if (ok) {
        s.size += static_cast<DWORD>(line.size());
        return true;
    }
    if (SetFilePointer(s.file, static_cast<LONG>(s.size), nullptr, FILE_BEGIN) != s.size || !SetEndOfFile(s.file) ||
        !FlushFileBuffers(s.file))
        s.broken = true;
    return false;
}

bool Append(const UndoEntry& entry)
{
    State& s = Journal();
    if (!IsSoundUndoEntry(entry)) return false; // it would not read back
    if (!AppendLine(s, FormatUndoLine(entry))) return false;
    s.entries.push_back(entry);
    if (s.noted) s.noted();
    return true;
}

bool RecordFileAs(UndoKind kind, const std::string& path, const std::string& kept, uint32_t keptAttributes)
{
    // The first entry of a file takes it back to how it was before the run;
    // a later one for the same file adds nothing.
    for (const UndoEntry& earlier : Journal().entries)
        if ((earlier.kind == UndoKind::kFile || earlier.kind == UndoKind::kTextFile) && EqualNoCase(earlier.path, path))
            return true;
    UndoEntry e;
    e.kind = kind;
    e.path = path;
    e.kept = kept;
    e.attributes = keptAttributes;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (kept.empty() && attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
        // Kept before it is named: a copy the journal names is always whole.
        if (!FreeNameBeside(path, e.kept) || !CopyWrittenThrough(path, e.kept)) return false;
        e.attributes = attributes;
        if (Append(e)) return true;
        DeleteFileA(e.kept.c_str());
        return false;
    }
    return Append(e);
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

// The parts of a path after its root, each as the path up to it.
std::vector<std::string> Prefixes(const std::string& path, char separator, std::size_t rootLength)
{
    std::vector<std::string> out;
    for (std::size_t i = rootLength; i <= path.size(); ++i)
        if (i == path.size() || path[i] == separator || (separator == '\\' && path[i] == '/'))
            if (i > rootLength && path[i - 1] != separator) out.push_back(path.substr(0, i));
    return out;
}

std::size_t RootLength(const std::string& path)
{
    if (path.size() >= 3 && path[1] == ':') return 3;
    if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/')) {
        // \\server\share\ is the root of a network path
        std::size_t server = path.find_first_of("\\/", 2);
        if (server == std::string::npos) return path.size();
        std::size_t share = path.find_first_of("\\/", server + 1);
        return share == std::string::npos ? path.size() : share + 1;
    }
    return 0;
}

bool SectionExists(const std::string& path, const std::string& section)
{
    std::string names(64 * 1024, '\0');
    DWORD n = GetPrivateProfileSectionNamesA(&names[0], static_cast<DWORD>(names.size()), path.c_str());
    if (n >= names.size() - 2) return true; // cut short: assume it is there, the harmless way
    for (std::size_t at = 0; at < n;) {
        std::size_t end = names.find('\0', at);
        if (EqualNoCase(std::string_view(names).substr(at, end - at), section)) return true;
        at = end + 1;
    }
    return false;
}

enum class IniRead { kAbsent, kPresent, kTooLong };

IniRead ReadIniEntry(const std::string& path, const std::string& section, const std::string& key, std::string& value)
{
    value.assign(kMaxIniText + 2, '\0');
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsentIni, &value[0],
                                       static_cast<DWORD>(value.size()), path.c_str());
    if (n > kMaxIniText) return IniRead::kTooLong;
    value.resize(n);
    return value == kAbsentIni ? IniRead::kAbsent : IniRead::kPresent;
}

bool SectionHasEntries(const std::string& path, const std::string& section)
{
    char keys[4];
    return GetPrivateProfileStringA(section.c_str(), nullptr, "", keys, sizeof keys, path.c_str()) > 0;
}

// Windows 95 keeps a profile file in a cache: written out before the file
// is deleted or read by others.
void FlushProfile(const std::string& path) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); }

bool HeldOpen(const std::string& path) { return PathName(path).HeldOpen(); }

// A file of ours goes; one a program still holds stays (Windows 95 would
// pull it from under the program).
bool DeleteOurs(const std::string& path, std::string& why)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        why = "a directory is there";
        return false;
    }
    if (HeldOpen(path)) {
        why = "a program holds it open";
        return false;
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.c_str())) return true;
    why = ErrorText(GetLastError());
    SetFileAttributesA(path.c_str(), attributes);
    return false;
}

bool DeleteKey(const UndoEntry& e, std::string& why)
{
    Key key;
    LONG status = OpenKey(e.root, e.path, KEY_READ, key);
    if (Gone(status)) return true;
    DWORD subkeys = 0;
    if (status == ERROR_SUCCESS)
        status = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr);
    key.reset();
    if (status != ERROR_SUCCESS) {
        why = ErrorText(status);
        return false;
    }
    if (subkeys > 0) { // Windows 95 would delete them with it
        why = "it holds keys setup did not create";
        return false;
    }
    std::size_t slash = e.path.rfind('\\');
    Key parent;
    HKEY from = RootKey(e.root);
    if (slash != std::string::npos) {
        status = OpenKey(e.root, e.path.substr(0, slash), KEY_ALL_ACCESS, parent);
        if (status != ERROR_SUCCESS) {
            why = ErrorText(status);
            return false;
        }
        from = parent.get();
    }
    status = RegDeleteKeyA(from, e.path.substr(slash == std::string::npos ? 0 : slash + 1).c_str());
    if (status == ERROR_SUCCESS || Gone(status)) return true;
    why = ErrorText(status);
    return false;
}

bool SetValue(const UndoEntry& e, std::string& why)
{
    HKEY raw = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExA(RootKey(e.root), e.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &raw, &disposition);
    if (status == ERROR_SUCCESS) {
        Key key(raw);
        status =
            RegSetValueExA(key.get(), e.name.c_str(), 0, e.old.type, reinterpret_cast<const BYTE*>(e.old.bytes.data()),
                           static_cast<DWORD>(e.old.bytes.size()));
    }
    if (status == ERROR_SUCCESS) return true;
    why = ErrorText(status);
    return false;
}

bool DeleteValue(const UndoEntry& e, std::string& why)
{
    Key key;
    LONG status = OpenKey(e.root, e.path, KEY_ALL_ACCESS, key);
    if (status == ERROR_SUCCESS) status = RegDeleteValueA(key.get(), e.name.c_str());
    if (status == ERROR_SUCCESS || Gone(status)) return true;
    why = ErrorText(status);
    return false;
}

bool RemoveWininitLine(const UndoEntry& e, std::string& why)
{
    if (!Exists(e.path)) return true;
    std::string text;
    if (!ReadWhole(e.path, kMaxTextFile, text)) {
        why = "it cannot be read";
        return false;
    }
    // More than before: the line is ours (an earlier undo may have removed it).
    if (CountRenameLines(text, e.text) <= e.count) return true;
    return ReplaceText(e.path, RemoveLastRenameLine(text, e.text), why);
}

bool Handled(const std::function<bool()>& call, bool present, std::string& why)
{
    if (!present) {
        why = "setup cannot undo it here";
        return false;
    }
    if (call()) return true;
    why = "the undo failed";
    return false;
}

bool Carry(const UndoStep& step, const undojournal::Handlers& h, std::string& why)
{
    const UndoEntry& e = step.entry;
    switch (step.action) {
    case UndoStep::kDeleteFile: return DeleteOurs(e.path, why);
    case UndoStep::kPutBack:
        if (!Exists(e.kept)) return true; // never set aside, or already back
        if (!DeleteOurs(e.path, why)) return false;
        if (!MoveFileA(e.kept.c_str(), e.path.c_str())) {
            why = ErrorText(GetLastError());
            return false;
        }
        if (e.attributes != 0) SetFileAttributesA(e.path.c_str(), e.attributes);
        return true;
    case UndoStep::kRemoveDirectory:
        if (!Exists(e.path) || RemoveDirectoryA(e.path.c_str())) return true;
        why = "it is not empty or in use, " + ErrorText(GetLastError());
        return false;
    case UndoStep::kDeleteKey: return DeleteKey(e, why);
    case UndoStep::kSetValue: return SetValue(e, why);
    case UndoStep::kDeleteValue: return DeleteValue(e, why);
    case UndoStep::kSetIniEntry:
    case UndoStep::kDeleteIniEntry: {
        if (step.action == UndoStep::kDeleteIniEntry && !Exists(e.path)) return true;
        // Already as it was (the write never happened): a file that cannot
        // be written is no failure to undo.
        std::string now;
        const IniRead read = ReadIniEntry(e.path, e.section, e.name, now);
        if (step.action == UndoStep::kSetIniEntry ? read == IniRead::kPresent && now == e.old.bytes
                                                  : read == IniRead::kAbsent)
            return true;
        const char* value = step.action == UndoStep::kSetIniEntry ? e.old.bytes.c_str() : nullptr;
        bool ok = WritePrivateProfileStringA(e.section.c_str(), e.name.c_str(), value, e.path.c_str()) != FALSE;
        if (!ok) why = ErrorText(GetLastError());
        FlushProfile(e.path);
        return ok;
    }
    case UndoStep::kDeleteIniSection: {
        if (!Exists(e.path) || !SectionExists(e.path, e.section)) return true;
        if (SectionHasEntries(e.path, e.section)) {
            why = "it holds entries setup did not write";
            return false;
        }
        bool ok = WritePrivateProfileStringA(e.section.c_str(), nullptr, nullptr, e.path.c_str()) != FALSE;
        if (!ok) why = ErrorText(GetLastError());
        FlushProfile(e.path);
        return ok;
    }
    case UndoStep::kRemoveWininitLine: return RemoveWininitLine(e, why);
    case UndoStep::kDeleteGroup:
        return Handled([&] { return h.deleteGroup(e.group, e.count != 0); }, bool(h.deleteGroup), why);
    case UndoStep::kDeleteItem: return Handled([&] { return h.deleteItem(e.group, e.name); }, bool(h.deleteItem), why);
    case UndoStep::kUndoCall: return Handled([&] { return h.undoCall(e.name, e.text); }, bool(h.undoCall), why);
    }
    return false;
}

void Log(const undojournal::Handlers& h, const std::string& line)
{
    if (h.log) h.log(line);
}

void RunRollback(const std::vector<UndoEntry>& entries, const undojournal::Handlers& h, undojournal::Report& report)
{
    // The profile functions cache the files they write (Windows 95 as Wine):
    // written out and let go first, so that a cached copy cannot come back
    // after its undo. Setup writes INI files and the install record (.log)
    // through them.
    for (const UndoEntry& e : entries) {
        const std::string extension = e.path.size() > 4 ? e.path.substr(e.path.size() - 4) : std::string();
        if (e.kind == UndoKind::kIniEntry || e.kind == UndoKind::kIniSection ||
            (e.kind == UndoKind::kFile && (EqualNoCase(extension, ".ini") || EqualNoCase(extension, ".log"))))
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, e.path.c_str());
    }
    for (const UndoStep& step : PlanRollback(entries)) {
        std::string why;
        if (Carry(step, h, why)) {
            ++report.undone;
        } else {
            ++report.failed;
            Log(h, "Cannot " + DescribeUndoStep(step) + ": " + why);
        }
    }
}

std::vector<std::string> DeleteKept(const std::vector<UndoEntry>& entries)
{
    std::vector<std::string> leftovers;
    for (const std::string& kept : PlanCommit(entries)) {
        std::string why;
        if (!DeleteOurs(kept, why)) leftovers.push_back(kept);
    }
    return leftovers;
}

// Closes and deletes this process's journal and lets go of the mutex.
void End(State& s)
{
    if (s.file != INVALID_HANDLE_VALUE) CloseHandle(s.file);
    s.file = INVALID_HANDLE_VALUE;
    DeleteFileA(undojournal::JournalPath().c_str());
    s.entries.clear();
    s.active = false;
    s.broken = false;
    s.size = 0;
    ReleaseMutex(s.mutex);
}

} // namespace

namespace undojournal {

std::string JournalPath()
{
    PathName path(PathName::kTempDirectory);
    path.SetFileName("KORSETUP.UND");
    return path.Text();
}

bool Begin()
{
    State& s = Journal();
    if (s.active) return true;
    if (!TakeMutex(s)) return false;
    // CREATE_NEW: a journal still there holds another run's changes.
    s.file = CreateFileA(JournalPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (s.file == INVALID_HANDLE_VALUE) {
        ReleaseMutex(s.mutex);
        return false;
    }
    s.size = 0;
    s.broken = false;
    s.entries.clear();
    if (!AppendLine(s, UndoJournalHeader())) {
        CloseHandle(s.file);
        s.file = INVALID_HANDLE_VALUE;
        DeleteFileA(JournalPath().c_str());
        ReleaseMutex(s.mutex);
        return false;
    }
    s.active = true;
    return true;
}

bool Active() { return Journal().active; }

void SetNotedObserver(std::function<void()> observer) { Journal().noted = std::move(observer); }

bool RecordFile(const std::string& path, const std::string& kept, uint32_t keptAttributes)
{
    if (!Active()) return true;
    return RecordFileAs(UndoKind::kFile, path, kept, keptAttributes);
}

bool RecordTextFile(const std::string& path)
{
    if (!Active()) return true;
    return RecordFileAs(UndoKind::kTextFile, path, std::string(), 0);
}

bool RecordDirectories(const std::string& path)
{
    if (!Active()) return true;
    const std::string full = WithoutTrailingSlash(path);
    bool missing = false;
    for (const std::string& part : Prefixes(full, '\\', RootLength(full))) {
        if (!missing) {
            DWORD attributes = GetFileAttributesA(part.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES) {
                if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false; // a file in the way: no directory comes
                continue;
            }
            missing = true; // and so is everything below it
        }
        UndoEntry e;
        e.kind = UndoKind::kDirectory;
        e.path = part;
        if (!Append(e)) return false;
    }
    return true;
}

bool RecordKey(RegRoot root, const std::string& subkey)
{
    if (!Active()) return true;
    bool missing = false;
    for (const std::string& part : Prefixes(subkey, '\\', 0)) {
        if (!missing) {
            Key key;
            LONG status = OpenKey(root, part, KEY_READ, key);
            if (status == ERROR_SUCCESS) continue;
            if (!Gone(status)) return false; // cannot tell: better not claim it
            missing = true;
        }
        UndoEntry e;
        e.kind = UndoKind::kKey;
        e.root = root;
        e.path = part;
        if (!Append(e)) return false;
    }
    return true;
}

namespace {
bool RootOf(void* rootKey, RegRoot& root)
{
    const HKEY key = static_cast<HKEY>(rootKey);
    if (key == HKEY_LOCAL_MACHINE)
        root = RegRoot::kLocalMachine;
    else if (key == HKEY_CURRENT_USER)
        root = RegRoot::kCurrentUser;
    else if (key == HKEY_CLASSES_ROOT)
        root = RegRoot::kClassesRoot;
    else if (key == HKEY_USERS)
        root = RegRoot::kUsers;
    else
        return false;
    return true;
}
} // namespace

bool RecordKey(void* rootKey, const std::string& subkey)
{
    RegRoot root;
    if (!Active()) return true;
    return RootOf(rootKey, root) && RecordKey(root, subkey);
}

bool RecordValue(void* rootKey, const std::string& subkey, const std::string& name)
{
    RegRoot root;
    if (!Active()) return true;
    return RootOf(rootKey, root) && RecordValue(root, subkey, name);
}

bool RecordValue(RegRoot root, const std::string& subkey, const std::string& name)
{
    if (!Active()) return true;
    UndoEntry e;
    e.kind = UndoKind::kValue;
    e.root = root;
    e.path = subkey;
    e.name = name;
    if (!IsSoundUndoEntry(e) || !RecordKey(root, subkey)) return false;
    Key key;
    LONG status = OpenKey(root, subkey, KEY_QUERY_VALUE, key);
    if (status == ERROR_SUCCESS) {
        DWORD type = 0, size = 0;
        status = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_SUCCESS) {
            if (size > kMaxValueBytes) return false;
            e.old.present = true;
            e.old.type = type;
            e.old.bytes.assign(size, '\0');
            status = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                      size ? reinterpret_cast<BYTE*>(&e.old.bytes[0]) : nullptr, &size);
            e.old.bytes.resize(size);
            e.old.type = type;
        }
    }
    if (status != ERROR_SUCCESS && !Gone(status)) return false;
    if (status != ERROR_SUCCESS) e.old = OldValue();
    return Append(e);
}

bool RecordIniEntry(const std::string& path, const std::string& section, const std::string& key)
{
    if (!Active()) return true;
    UndoEntry e;
    e.kind = UndoKind::kIniEntry;
    e.path = path;
    e.section = section;
    e.name = key;
    if (!IsSoundUndoEntry(e)) return false;
    if (!Exists(path)) {
        if (!RecordFile(path)) return false;
    } else if (!SectionExists(path, section)) {
        UndoEntry s;
        s.kind = UndoKind::kIniSection;
        s.path = path;
        s.section = section;
        if (!Append(s)) return false;
    }
    std::string value;
    const IniRead read = ReadIniEntry(path, section, key, value);
    if (read == IniRead::kTooLong) return false; // too long to keep
    if (read == IniRead::kPresent) {
        e.old.present = true;
        e.old.bytes = value;
    }
    return Append(e);
}

bool RecordWininitLine(const std::string& wininitPath, const std::string& line)
{
    if (!Active()) return true;
    UndoEntry e;
    e.kind = UndoKind::kWininitLine;
    e.path = wininitPath;
    e.text = line;
    if (!IsSoundUndoEntry(e)) return false;
    if (!Exists(wininitPath)) {
        if (!RecordFile(wininitPath)) return false;
    } else {
        std::string text;
        if (!ReadWhole(wininitPath, kMaxTextFile, text)) return false;
        e.count = static_cast<uint32_t>(CountRenameLines(text, line));
    }
    return Append(e);
}

bool RecordGroup(const std::string& group, bool common)
{
    if (!Active()) return true;
    UndoEntry e;
    e.kind = UndoKind::kGroup;
    e.group = group;
    e.count = common ? 1 : 0;
    return Append(e);
}

bool RecordItem(const std::string& group, const std::string& item)
{
    if (!Active()) return true;
    UndoEntry e;
    e.kind = UndoKind::kItem;
    e.group = group;
    e.name = item;
    return Append(e);
}

bool RecordCall(const std::string& name, const std::string& argument)
{
    if (!Active()) return true;
    UndoEntry e;
    e.kind = UndoKind::kCall;
    e.name = name;
    e.text = argument;
    return Append(e);
}

std::vector<std::string> Commit()
{
    State& s = Journal();
    if (!s.active) return {};
    const std::vector<UndoEntry> entries = s.entries;
    // Without the commit line on disk, the journal goes first: a kill while the
    // kept copies go must not leave a journal that takes back half a success.
    if (!AppendLine(s, UndoCommitLine())) End(s);
    std::vector<std::string> leftovers = DeleteKept(entries);
    if (s.active) End(s);
    return leftovers;
}

Report Rollback(const Handlers& handlers)
{
    State& s = Journal();
    Report report;
    if (!s.active) return report;
    RunRollback(s.entries, handlers, report);
    End(s);
    return report;
}

Report Recover(const Handlers& handlers)
{
    State& s = Journal();
    Report report;
    const std::string path = JournalPath();
    if (s.active || !Exists(path) || !TakeMutex(s)) return report;
    report.found = true;
    std::string text;
    UndoJournalText journal;
    if (ReadWhole(path, kMaxUndoJournalSize, text)) journal = ParseUndoJournal(text);
    if (!journal.ours) {
        Log(handlers, "Setup found " + path + ", which is no undo journal, and deleted it without acting on it");
    } else if (journal.committed) {
        report.committed = true;
        report.leftovers = DeleteKept(journal.entries);
        Log(handlers, "Setup finished the clean-up of an installation that succeeded before it was stopped");
    } else {
        Log(handlers,
            "Setup found an installation that did not finish and takes back its " +
                std::to_string(journal.entries.size()) + " changes");
        for (int line : journal.damaged) {
            ++report.failed;
            Log(handlers, "Line " + std::to_string(line) + " of the undo journal is damaged: its change stays");
        }
        RunRollback(journal.entries, handlers, report);
        Log(handlers,
            std::to_string(report.undone) + " changes taken back, " + std::to_string(report.failed) + " could not be");
    }
    DeleteFileA(path.c_str());
    ReleaseMutex(s.mutex);
    return report;
}

} // namespace undojournal
