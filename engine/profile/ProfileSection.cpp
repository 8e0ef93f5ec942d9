#include "engine/profile/ProfileSection.h"

#include "engine/base/TextCase.h"
#include "engine/base/XException.h"

#include <algorithm>
#include <cstring>

std::string MergeSectionLines(std::string_view lines, const ProfileStore::Entries& entries)
{
    std::vector<std::string> merged;
    while (!lines.empty()) {
        std::size_t end = lines.find('\0');
        std::string_view line = lines.substr(0, end);
        if (!line.empty()) merged.emplace_back(line);
        lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
    }
    for (const auto& [key, value] : entries) {
        auto same = [&key = key](const std::string& l) {
            std::size_t eq = l.find('=');
            return eq != std::string::npos && EqualNoCase(std::string_view(l).substr(0, eq), key);
        };
        auto it = std::find_if(merged.begin(), merged.end(), same);
        if (it != merged.end())
            it->replace(it->find('=') + 1, std::string::npos, value); // the key keeps its spelling, as a single write's
        else
            merged.push_back(key + "=" + value);
    }
    std::string block;
    for (const std::string& l : merged) block.append(l).push_back('\0');
    block.push_back('\0');
    return block;
}

bool ProfileSection::Open(ProfileStore& store, const std::string& section)
{
    store_ = &store;
    section_ = section;
    keys_.clear();
    next_ = 0;

    std::vector<char> buffer;
    std::size_t size = kFirstKeyBuffer;
    uint32_t length = 0;
    for (;;) {
        buffer.assign(size, '\0');
        length = store.GetString(section.c_str(), nullptr, "", buffer.data(), static_cast<uint32_t>(size));
        // The platform reports a list that did not fit as size-2.
        if (length < size - 2) break;
        if (size >= kMaxKeyBuffer) throw CInstallProfileException(0);
        size *= 2;
    }
    if (length >= size) length = static_cast<uint32_t>(size - 1);

    const char* p = buffer.data();
    const char* end = p + length;
    while (p < end && *p != '\0') {
        std::size_t n = strnlen(p, static_cast<std::size_t>(end - p));
        keys_.emplace_back(p, n);
        p += n + 1;
    }
    return !keys_.empty();
}

bool ProfileSection::Next(std::string& key, std::string& value)
{
    if (store_ == nullptr || next_ >= keys_.size()) return false;
    key = keys_[next_++];
    if (key.size() > kMaxKeyLength) throw CInstallProfileException(0);
    char buffer[kValueBuffer];
    uint32_t n = store_->GetString(section_.c_str(), key.c_str(), "", buffer, sizeof buffer);
    if (n >= sizeof buffer) n = sizeof buffer - 1;
    buffer[n] = '\0';
    value.assign(buffer, strnlen(buffer, n));
    return true;
}
