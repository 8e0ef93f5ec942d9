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
    void Update(const void* data, std::size_t count);
    uint32_t Value() const { return value_; }

    static uint32_t Of(const void* data, std::size_t count);

private:
    uint32_t value_ = 0;
};

} // namespace archive
