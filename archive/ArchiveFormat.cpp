#include "archive/ArchiveFormat.h"

#include <cctype>
#include <cstring>

namespace archive {
namespace {

uint32_t Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void Put32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
void Put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

bool PutText(uint8_t* field, std::size_t size, const std::string& text)
{
    if (text.size() >= size || text.find('\0') != std::string::npos) return false;
    std::memset(field, 0, size);
    // The zero that ends the text is already there: text.size() < size.
    std::memcpy(field, text.data(), text.size()); // NOLINT(bugprone-not-null-terminated-result)
    return true;
}

} // namespace

bool MemberHeader::HasSignature() const { return std::memcmp(raw, "mfen", 4) == 0; }
int32_t MemberHeader::Time() const { return static_cast<int32_t>(Get32(raw + 8)); }
bool MemberHeader::RawName(std::string& name) const
{
    const void* end = std::memchr(raw + 16, 0, kNameFieldSize);
    if (!end) return false;
    name.assign(reinterpret_cast<const char*>(raw + 16), static_cast<const uint8_t*>(end) - (raw + 16));
    return true;
}
uint32_t MemberHeader::ExpandedSize() const { return Get32(raw + 276); }
uint32_t MemberHeader::StoredSize() const { return Get32(raw + 280); }
uint32_t MemberHeader::Checksum() const { return Get32(raw + 284); }
int32_t MemberHeader::Method() const { return static_cast<int32_t>(Get32(raw + 292)); }
int32_t MemberHeader::MethodParameter() const { return static_cast<int32_t>(Get32(raw + 296)); }
int16_t MemberHeader::DestinationId() const { return static_cast<int16_t>(Get16(raw + 300)); }
uint16_t MemberHeader::Attributes() const { return Get16(raw + 302); }
bool MemberHeader::Continues() const { return Get16(raw + 304) != 0; }
std::string MemberHeader::Rule() const
{
    const char* p = reinterpret_cast<const char*>(raw + 306);
    return std::string(p, strnlen(p, kRuleFieldSize));
}

void MemberHeader::Init()
{
    std::memset(raw, 0, sizeof raw);
    std::memcpy(raw, "mfen", 4);
    Put16(raw + 4, 1);
    Put16(raw + 6, kMemberHeaderSize);
}
void MemberHeader::SetTime(int32_t t) { Put32(raw + 8, static_cast<uint32_t>(t)); }
bool MemberHeader::SetName(const std::string& name) { return PutText(raw + 16, kNameFieldSize, name); }
void MemberHeader::SetExpandedSize(uint32_t n) { Put32(raw + 276, n); }
void MemberHeader::SetStoredSize(uint32_t n) { Put32(raw + 280, n); }
void MemberHeader::SetChecksum(uint32_t c) { Put32(raw + 284, c); }
void MemberHeader::SetMethod(int32_t m, int32_t parameter)
{
    Put32(raw + 292, static_cast<uint32_t>(m));
    Put32(raw + 296, static_cast<uint32_t>(parameter));
}
void MemberHeader::SetDestinationId(int16_t id) { Put16(raw + 300, static_cast<uint16_t>(id)); }
void MemberHeader::SetAttributes(uint16_t a) { Put16(raw + 302, a); }
void MemberHeader::SetContinues(bool c) { Put16(raw + 304, c ? 1 : 0); }
bool MemberHeader::SetRule(const std::string& rule) { return PutText(raw + 306, kRuleFieldSize, rule); }

std::string MemberBaseName(const std::string& name)
{
    std::size_t cut = name.find_last_of("/\\:");
    std::string base = cut == std::string::npos ? name : name.substr(cut + 1);
    if (base == "." || base == "..") return {};
    return base;
}

bool IsDeviceName(const std::string& name)
{
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONFIG$"};
    for (const char* d : kDevices)
        if (stem == d) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '1' &&
        stem[3] <= '9';
}

bool ReadsBackAsProfileKey(const std::string& name)
{
    if (name.empty() || name.find('=') != std::string::npos) return false;
    if (name.front() == ';' || name.front() == '[') return false;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !blank(name.front()) && !blank(name.back());
}

void WriteArchiveHeader(uint8_t (&out)[kArchiveHeaderSize])
{
    std::memcpy(out, "mflh", 4);
    Put32(out + 4, 0);
}

bool NextVolumeName(const std::string& path, std::string& next)
{
    if (path.empty()) return false;
    unsigned char c = static_cast<unsigned char>(path.back());
    if (c == '/' || c == '\\' || c == ':' || c == '.') return false;
    unsigned char n = static_cast<unsigned char>(c + 1);
    bool ok = (n >= '0' && n <= '9') || (n >= 'A' && n <= 'Z') || (n >= 'a' && n <= 'z') ||
        std::strchr("_-!#$%&'()@^`{}~", n) != nullptr;
    if (!ok || n == 0) return false;
    next = path;
    next.back() = static_cast<char>(n);
    return true;
}

} // namespace archive
