#include "engine/profile/ProfileFileWin32.h"

#include "engine/profile/ProfileSection.h"

#include <windows.h>

#include <vector>

namespace {

// Windows 95 reads and writes at most 32 KB of one section: a longer one is
// written key by key.
constexpr DWORD kSectionLimit = 32767;

} // namespace

uint32_t PrivateProfileFile::GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                                       uint32_t size)
{
    return GetPrivateProfileStringA(section, key, defaultText, buffer, size, path_.c_str());
}

int32_t PrivateProfileFile::GetInt(const char* section, const char* key, int32_t defaultValue)
{
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, defaultValue, path_.c_str()));
}

bool PrivateProfileFile::WriteString(const char* section, const char* key, const char* value)
{
    return WritePrivateProfileStringA(section, key, value, path_.c_str()) != FALSE;
}

bool PrivateProfileFile::WriteStrings(const char* section, const Entries& entries)
{
    std::vector<char> lines(kSectionLimit);
    DWORD length = GetPrivateProfileSectionA(section, lines.data(), kSectionLimit, path_.c_str());
    std::string merged;
    if (length < kSectionLimit - 2) merged = MergeSectionLines(std::string_view(lines.data(), length), entries);
    if (merged.empty() || merged.size() > kSectionLimit) return ProfileStore::WriteStrings(section, entries);
    return WritePrivateProfileSectionA(section, merged.data(), path_.c_str()) != FALSE;
}
