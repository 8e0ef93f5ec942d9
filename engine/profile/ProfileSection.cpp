#include "engine/profile/ProfileSection.h"

#include "engine/XException.h"

#include <cstring>

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
