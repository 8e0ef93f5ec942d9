// A profile (INI) file read and written through the platform's private-profile
// calls. A file that does not exist reads as a file without sections.
#pragma once
#include "engine/profile/ProfileStore.h"

#include <string>

class PrivateProfileFile : public ProfileStore {
public:
    explicit PrivateProfileFile(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    uint32_t GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                       uint32_t size) override;
    int32_t GetInt(const char* section, const char* key, int32_t defaultValue) override;
    bool WriteString(const char* section, const char* key, const char* value) override;
    // Reads the section and writes it back once with the entries merged:
    // under Wine every key written alone rewrites the whole file.
    bool WriteStrings(const char* section, const Entries& entries) override;

private:
    std::string path_;
};
