// The archive checksum: a CRC-32 table (reflected polynomial 0xEDB88320)
// used with a shift of 6 instead of 8 and no final inversion, so it differs
// from an ordinary CRC-32 ("abc" gives 0x3E105F31).
#pragma once
#include <cstddef>
#include <cstdint>

namespace archive {

class Checksum {
public:
    void Reset() { value_ = 0; }
    void Update(const void* data, std::size_t count) { value_ = Fold(value_, data, count); }
    uint32_t Value() const { return value_; }

    static uint32_t Of(const void* data, std::size_t count);

    // The register after count more bytes: eight bytes at a time through
    // precomputed tables, with independent registers side by side.
    static uint32_t Fold(uint32_t value, const void* data, std::size_t count);
    // The same, one byte at a time as the format states it; Fold must give
    // exactly its results.
    static uint32_t FoldBytewise(uint32_t value, const void* data, std::size_t count);

private:
    uint32_t value_ = 0;
};

} // namespace archive
