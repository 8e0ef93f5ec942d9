// One section of a profile file, key by key in file order.
#pragma once
#include "engine/profile/ProfileStore.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A section's lines as the platform's whole-section read gives them ("key=value",
// each ended by a zero) with entries added or replacing the values of keys of
// any case, in the form of the whole-section write (an extra zero at the end).
std::string MergeSectionLines(std::string_view lines, const ProfileStore::Entries& entries);

class ProfileSection {
public:
    // Longest value text handed out (the platform's read buffer of 255).
    static constexpr std::size_t kValueBuffer = 255;
    // The key list buffer starts here and doubles while the list does not fit.
    static constexpr std::size_t kFirstKeyBuffer = 256;
    // A key list that does not fit this raises CInstallProfileException 0:
    // no real profile comes near it, and an endless file must not take
    // unbounded memory.
    static constexpr std::size_t kMaxKeyBuffer = 8u << 20;
    // A key longer than this is a damaged profile (CInstallProfileException 0),
    // refused before its value is read: no real key comes near it, and the
    // platform's reader is not to be trusted with keys of tens of kilobytes.
    static constexpr std::size_t kMaxKeyLength = 256;

    // Reads the key names of the section; false when it has none.
    bool Open(ProfileStore& store, const std::string& section);
    // The next key and its value; false after the last key.
    // CInstallProfileException 0 for a key longer than kMaxKeyLength.
    bool Next(std::string& key, std::string& value);

private:
    ProfileStore* store_ = nullptr;
    std::string section_;
    std::vector<std::string> keys_;
    std::size_t next_ = 0;
};
