// The pieces both journals read from their lines: unsigned numbers and the
// paths they act on.
#pragma once
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string_view>

// Decimal digits only, at most 0xFFFFFFFF; leading zeros only when allowed.
inline bool ParseJournalNumber(std::string_view text, uint32_t& value, bool leadingZeros)
{
    if (text.empty() || text.size() > 10 || (!leadingZeros && text.size() > 1 && text[0] == '0')) return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > 0xFFFFFFFFu) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

inline bool IsJournalSeparator(char c) { return c == '\\' || c == '/'; }

// What a journal line may name: an absolute path (drive or network), every
// part a real name, no characters a file name cannot hold, shorter than the
// limit. Both journals act only on such paths.
inline bool IsSoundJournalPath(std::string_view path, std::size_t maxLength)
{
    if (path.empty() || path.size() >= maxLength) return false;
    for (char c : path)
        if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
    if (path.find_first_of("|\"<>*?") != std::string_view::npos) return false;
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        IsJournalSeparator(path[2]);
    const bool unc =
        path.size() >= 3 && IsJournalSeparator(path[0]) && IsJournalSeparator(path[1]) && !IsJournalSeparator(path[2]);
    if (!drive && !unc) return false;
    if (path.find(':', drive ? 2 : 0) != std::string_view::npos) return false;
    // Every part after the root must be a real name.
    std::size_t start = drive ? 3 : 2;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsJournalSeparator(path[end])) ++end;
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

// Two paths alike but for letter case and the kind of separator.
inline bool SameJournalPath(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x =
            IsJournalSeparator(a[i]) ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(a[i])));
        const char y =
            IsJournalSeparator(b[i]) ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(b[i])));
        if (x != y) return false;
    }
    return true;
}

// The directory part of a path ("" without one).
inline std::string_view JournalDirectoryOf(std::string_view path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}
