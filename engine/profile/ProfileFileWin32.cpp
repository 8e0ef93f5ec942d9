#include "engine/profile/ProfileFileWin32.h"

#include <windows.h>

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
