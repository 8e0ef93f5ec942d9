#include "config/placement/SystemTextFile.h"

#include "engine/base/PathName.h"
#include "engine/journal/UndoLog.h"

#include <windows.h>

#include <algorithm>

namespace {

bool WriteWholeFile(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < text.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 16));
        DWORD written = 0;
        ok = WriteFile(file, text.data() + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    return ok;
}

// A name that does not exist yet in the directory of `path`.
bool FreeNameBeside(const std::string& path, const char* extension, std::string& out)
{
    PathName name(path);
    name.SetExtension(extension);
    if (!name.MakeUniqueName(true, 1000)) return false;
    out = name.Text();
    return true;
}

} // namespace

bool ReadSystemTextFile(const std::string& path, std::size_t maxSize, std::string& text)
{
    text.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND;
    }
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    bool ok = low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR;
    ok = ok && high == 0 && low <= maxSize;
    if (ok) {
        text.resize(low);
        DWORD read = 0;
        ok = low == 0 || (ReadFile(file, &text[0], low, &read, nullptr) && read == low);
    }
    CloseHandle(file);
    if (!ok) text.clear();
    return ok;
}

bool ReplaceSystemTextFile(const std::string& path, const std::string& text, std::string* failure)
{
    auto fail = [&](const char* step, DWORD error) {
        if (failure) *failure = std::string(step) + " (error " + std::to_string(error) + ")";
        return false;
    };
    if (failure) failure->clear();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return fail("the file is read-only", ERROR_ACCESS_DENIED);
    if (!undojournal::RecordTextFile(path)) return fail("the undo journal cannot note it", ERROR_WRITE_FAULT);
    std::string work;
    if (!FreeNameBeside(path, "$$$", work)) return fail("no free work file name", GetLastError());
    if (!WriteWholeFile(work, text)) {
        DWORD error = GetLastError();
        DeleteFileA(work.c_str());
        return fail("the work file cannot be written", error);
    }
    std::string old;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!FreeNameBeside(path, "old", old) || !MoveFileA(path.c_str(), old.c_str())) {
            DWORD error = GetLastError();
            DeleteFileA(work.c_str());
            return fail("the file cannot be set aside", error);
        }
    }
    if (!MoveFileA(work.c_str(), path.c_str())) {
        DWORD error = GetLastError();
        if (!old.empty()) MoveFileA(old.c_str(), path.c_str());
        DeleteFileA(work.c_str());
        return fail("the work file cannot be moved in", error);
    }
    if (!old.empty()) {
        SetFileAttributesA(path.c_str(), attributes);
        SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(old.c_str());
    }
    return true;
}
