// The file-system side of PathName (Win32).
#include "engine/base/PathName.h"

#include "framework/Exceptions.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <direct.h>
#include <io.h>

namespace {

std::string DirectoryOf(PathName::Kind kind)
{
    char buf[MAX_PATH + 1] = {};
    DWORD n = 0;
    switch (kind) {
    case PathName::kCurrentDirectory: n = GetCurrentDirectoryA(sizeof buf, buf); break;
    case PathName::kWindowsDirectory: n = GetWindowsDirectoryA(buf, sizeof buf); break;
    case PathName::kSystemDirectory: n = GetSystemDirectoryA(buf, sizeof buf); break;
    case PathName::kTempDirectory: n = GetTempPathA(sizeof buf, buf); break;
    case PathName::kProgramDirectory: {
        n = GetModuleFileNameA(nullptr, buf, sizeof buf);
        char* slash = strrchr(buf, '\\');
        if (slash) slash[1] = '\0';
        n = static_cast<DWORD>(strlen(buf));
        break;
    }
    }
    if (n == 0 || n > MAX_PATH) return {};
    return std::string(buf, n);
}

struct Win32Find : PathName::FindState {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~Win32Find() override
    {
        if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
    }
};

bool Matches(const WIN32_FIND_DATAA& fd, uint32_t filter)
{
    bool isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (filter == 0) return !isDir;
    if ((fd.dwFileAttributes & filter) == 0) return false;
    bool wantDir = (filter & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isDir != wantDir) return false;
    if (wantDir && fd.cFileName[0] == '.') return false;
    return true;
}

} // namespace

PathName::PathName(Kind kind)
{
    std::string dir = DirectoryOf(kind);
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    Set(dir);
}

void PathName::SetToModuleFileName()
{
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    Set(std::string(buf, n <= MAX_PATH ? n : 0));
}

bool PathName::Exists() const { return GetFileAttributesA(Text().c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string PathName::ShortText() const
{
    char buffer[MAX_PATH + 1] = {};
    DWORD n = GetShortPathNameA(Text().c_str(), buffer, MAX_PATH);
    if (n == 0 || n > MAX_PATH) return {};
    return std::string(buffer, n);
}

bool PathName::Delete() const { return DeleteFileA(Text().c_str()) != 0; }

bool PathName::HeldOpen() const
{
    HANDLE file = CreateFileA(Text().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

bool PathName::MoveTo(const std::string& newName) const { return MoveFileA(Text().c_str(), newName.c_str()) != 0; }

int64_t PathName::ModificationTime() const
{
    Facts facts;
    return GetFacts(facts) ? facts.modified : 0;
}

// FindFirstFileA, not GetFileAttributesExA, which Windows 95 lacks. A root
// has no directory entry: its attributes alone.
bool PathName::GetFacts(Facts& facts) const
{
    std::string path = Text();
    facts = Facts();
    if (path.find_first_of("*?") != std::string::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && path[path.size() - 2] != ':')
        path.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            SetLastError(error);
            return false;
        }
        facts.attributes = attributes;
        return true;
    }
    FindClose(h);
    facts.attributes = found.dwFileAttributes;
    facts.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    ULARGE_INTEGER t;
    t.LowPart = found.ftLastWriteTime.dwLowDateTime;
    t.HighPart = found.ftLastWriteTime.dwHighDateTime;
    const uint64_t kEpochDelta = 116444736000000000ull; // 1601 to 1970 in 100 ns
    if (t.QuadPart >= kEpochDelta) facts.modified = static_cast<int64_t>((t.QuadPart - kEpochDelta) / 10000000ull);
    return true;
}

bool PathName::EnterDirectory() const
{
    std::string dir = Directory();
    if (dir.empty()) dir = DirectoryOnly();
    return !dir.empty() && SetCurrentDirectoryA(dir.c_str()) != 0;
}

bool PathName::RemoveEmptyDirectory() const { return ::RemoveDirectoryA(Directory().c_str()) != 0; }

namespace {

bool IsDirectory(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

// Never enters a directory to see whether it is there: the current directory
// is where relative media paths are found. On failure the last error is the
// one of the failed create.
bool PathName::MakeDirectories(bool recursive) const
{
    std::string dir = Directory();
    while (dir.size() > 1 && dir.back() == '\\' && !(dir.size() == 3 && dir[1] == ':')) dir.pop_back();
    if (dir.empty()) return false;
    if (IsNetwork() && (dir_.empty() || dir_ == "\\")) return IsDirectory(dir + "\\");
    if (CreateDirectoryA(dir.c_str(), nullptr)) return true;
    const DWORD createError = GetLastError();
    if (IsDirectory(dir)) return true;
    std::size_t slash = dir.find_last_of('\\');
    PathName parent;
    if (slash != std::string::npos) parent.SetDirectory(dir.substr(0, slash + 1));
    if (recursive && slash != std::string::npos && parent.Directory() != Directory() && // not the root itself
        parent.MakeDirectories(true) && MakeDirectories(false))
        return true;
    if (createError != ERROR_PATH_NOT_FOUND || !recursive) SetLastError(createError);
    return false;
}

void PathName::MakeDirectoriesOrFail(bool recursive) const
{
    if (!MakeDirectories(recursive)) {
        DWORD e = GetLastError();
        int32_t cause = fw::FileException::CauseFromOsError(e);
        if (cause == fw::kFileNone) cause = fw::kFileGeneric;
        throw fw::FileException(cause, Directory());
    }
}

unsigned PathName::DriveType() const
{
    std::string root = drive_ + (drive_.size() == 1 ? ":" : "") + "\\";
    return GetDriveTypeA(root.c_str());
}

bool PathName::MakeUniqueName(bool check, int tries)
{
    for (int i = 0; i < (tries > 0 ? tries : 1); ++i) {
        SetName(RandomHexName(&std::rand));
        if (!check || !Exists()) return true;
    }
    return false;
}

bool PathName::MakeUniqueNameWithPrefix(bool check, int tries)
{
    std::string prefix = name_.substr(0, 8);
    for (int i = 0; i < (tries > 0 ? tries : 1); ++i) {
        SetName(prefix + RandomHexName(&std::rand).substr(0, 8 - prefix.size()));
        if (!check || !Exists()) return true;
    }
    return false;
}

bool PathName::FindFirst(uint32_t filter)
{
    find_.reset();
    filter_ = filter;
    findDir_ = DirectoryWithSlash();
    auto state = std::make_unique<Win32Find>();
    WIN32_FIND_DATAA fd;
    state->handle = FindFirstFileA(Text().c_str(), &fd);
    if (state->handle == INVALID_HANDLE_VALUE) return false;
    Win32Find* raw = state.get();
    for (;;) {
        if (Matches(fd, filter_)) {
            std::string dir = findDir_;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Set(dir + fd.cFileName + "\\");
            else
                Set(dir + fd.cFileName);
            find_ = std::move(state);
            return true;
        }
        if (!FindNextFileA(raw->handle, &fd)) return false;
    }
}

bool PathName::FindNext()
{
    auto* state = dynamic_cast<Win32Find*>(find_.get());
    if (!state) return false;
    WIN32_FIND_DATAA fd;
    while (FindNextFileA(state->handle, &fd)) {
        if (Matches(fd, filter_)) {
            std::unique_ptr<FindState> keep = std::move(find_);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Set(findDir_ + fd.cFileName + "\\");
            else
                Set(findDir_ + fd.cFileName);
            find_ = std::move(keep);
            return true;
        }
    }
    find_.reset();
    return false;
}

bool PathName::HasSubdirectories() const
{
    PathName probe;
    probe.Set(DirectoryWithSlash() + "*.*");
    return probe.FindFirst(FILE_ATTRIBUTE_DIRECTORY);
}
