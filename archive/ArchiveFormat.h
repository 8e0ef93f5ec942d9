// Multi-file archive volumes (all numbers little-endian).
//
// A volume file is an 8-byte archive header followed by member records, each
// a 346-byte member header and then the member's stored data. The archive
// ends where a member header can no longer be read in full. Headers never
// span volumes; only member data does, when a member's continuation flag is
// set: its data goes on right after the 8-byte header of the next volume,
// whose name is the current one with its last character increased by one.
//
// Archive header:  0 "mflh"   4 four bytes not interpreted.
//
// Member header:
//   0  4   "mfen"
//   4  2   header version, 1            6   2  header length, 346
//   8  4   int32 modification time, seconds since 1970
//   12 4   not interpreted
//   16 260 file name, zero-terminated (only name and extension are used)
//   276 4  uint32 expanded size         280 4  uint32 stored size
//   284 4  uint32 checksum of the expanded data (Checksum.h), 0 = unchecked
//   288 4  not interpreted
//   292 4  int32 method: 2 stored, 3 LZH (-lh5-), 4 deflate (zlib stream)
//   296 4  int32 method parameter (not used)
//   300 2  int16 destination id, -1 = not installed
//   302 2  uint16 attributes; the low byte is given to the extracted file
//   304 2  int16 continuation flag: data continues in the next volume
//   306 40 replacement rule text, zero-terminated ("Newer" = keep newer files)
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace archive {

constexpr std::size_t kArchiveHeaderSize = 8;
constexpr std::size_t kMemberHeaderSize = 346;
constexpr std::size_t kNameFieldSize = 260;
constexpr std::size_t kRuleFieldSize = 40;
constexpr uint32_t kBlockSize = 4096;

enum Method : int32_t {
    kMethodStored = 2,
    kMethodLzh = 3,
    kMethodDeflate = 4,
};

struct MemberHeader {
    uint8_t raw[kMemberHeaderSize] = {};

    bool HasSignature() const;
    int32_t Time() const;
    // The name field up to its terminating zero; false when it has none.
    bool RawName(std::string& name) const;
    uint32_t ExpandedSize() const;
    uint32_t StoredSize() const;
    uint32_t Checksum() const;
    int32_t Method() const;
    int32_t MethodParameter() const;
    int16_t DestinationId() const;
    uint16_t Attributes() const;
    bool Continues() const;
    std::string Rule() const;

    // Writer side (media tool, tests). SetName/SetRule return false when the
    // text does not fit its field with the terminating zero.
    void Init();
    void SetTime(int32_t t);
    bool SetName(const std::string& name);
    void SetExpandedSize(uint32_t n);
    void SetStoredSize(uint32_t n);
    void SetChecksum(uint32_t c);
    void SetMethod(int32_t m, int32_t parameter = 0);
    void SetDestinationId(int16_t id);
    void SetAttributes(uint16_t a);
    void SetContinues(bool c);
    bool SetRule(const std::string& rule);
};

// The name and extension of a member name: everything after its last
// directory or drive separator. Empty when nothing usable is left ("", ".",
// "..", or a trailing separator).
std::string MemberBaseName(const std::string& name);

// CON, PRN, AUX, NUL, COM1-9, LPT1-9 (and CLOCK$, CONFIG$), with or without
// an extension, in any case: names that open a device, not a file.
bool IsDeviceName(const std::string& name);

// False for a file name that the install record, a profile file keyed by
// file name, would read back as another name or not at all: an "=", a
// leading ";" or "[", blanks at either end.
bool ReadsBackAsProfileKey(const std::string& name);

// Builds the archive header.
void WriteArchiveHeader(uint8_t (&out)[kArchiveHeaderSize]);

// The next volume's name: the last character increased by one. Returns false
// when that does not give a character valid in a DOS file name.
bool NextVolumeName(const std::string& path, std::string& next);

} // namespace archive
