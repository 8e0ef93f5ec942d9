// Writes multi-file archives (ArchiveFormat.h): packs members with a method
// and splits the member records over volume files.
//
// Where a volume may end: the records form one stream (header, data, header,
// data, ...) and the reader only goes on to the next volume while reading a
// member's data, so a volume must end inside a member's data with at least
// one byte of it left for the next volume. That member gets the continuation
// flag. A volume file holds its 8-byte header plus its part of the stream.
#pragma once
#include "archive/ArchiveFormat.h"
#include "archive/ByteStream.h"

#include <functional>
#include <memory>
#include <vector>

namespace archive {

struct PackedMember {
    MemberHeader header;         // sizes, checksum and method filled by PackMember
    std::vector<uint8_t> stored; // the data as it goes into the archive
};

// Compresses data with a method (2, 3, 4); fills the header's sizes,
// checksum and method. Name, time, destination and so on are the caller's.
PackedMember PackMember(const uint8_t* data, std::size_t size, int32_t method);
std::vector<uint8_t> CompressBytes(const uint8_t* data, std::size_t size, int32_t method);

class VolumePlan {
public:
    explicit VolumePlan(const std::vector<uint64_t>& storedSizes);
    uint64_t StreamSize() const { return total_; }
    // The largest valid end of a volume in (from, limit]; false if none.
    bool LargestBreak(uint64_t from, uint64_t limit, uint64_t& at) const;
    // Plans every volume with capacity(k) bytes for volume file k (its
    // header included). False when a volume cannot end anywhere valid.
    bool Plan(const std::function<uint64_t(std::size_t)>& capacity, std::vector<uint64_t>& breaks) const;

private:
    std::vector<uint64_t> dataStart_, dataEnd_;
    uint64_t total_ = 0;
};

// Writes the records split at breaks (from VolumePlan) into volume files
// opened by open(k), setting the continuation flags. Returns the size of
// each volume file.
std::vector<uint64_t> WriteVolumes(std::vector<PackedMember>& members, const std::vector<uint64_t>& breaks,
                                   const std::function<std::unique_ptr<WriteFile>(std::size_t)>& open);

} // namespace archive
