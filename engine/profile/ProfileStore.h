// Access to one profile (INI) file, shaped like the platform's private-profile
// calls so that the key-list and value rules of the loaders stay platform-free.
// The Win32 build reads real files through PrivateProfileFile
// (ProfileFileWin32.h); tests may use an in-memory store.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // Like GetPrivateProfileString: with key null, the section's key names,
    // each terminated, the list ended by an extra zero. Copies at most size-1
    // characters (size-2 for a key list that does not fit) and returns the
    // count copied without the final terminator. Missing section or key: the
    // default is copied.
    virtual uint32_t GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                               uint32_t size) = 0;

    // Like GetPrivateProfileInt: the default for a missing or empty value,
    // else the value's leading decimal number.
    virtual int32_t GetInt(const char* section, const char* key, int32_t defaultValue) = 0;

    // Like WritePrivateProfileString: adds or replaces one key.
    virtual bool WriteString(const char* section, const char* key, const char* value) = 0;

    // Adds or replaces several keys of one section, as WriteString for each
    // would; a file store writes them in one go.
    using Entries = std::vector<std::pair<std::string, std::string>>;
    virtual bool WriteStrings(const char* section, const Entries& entries)
    {
        bool ok = true;
        for (const auto& [key, value] : entries) ok = WriteString(section, key.c_str(), value.c_str()) && ok;
        return ok;
    }
};
