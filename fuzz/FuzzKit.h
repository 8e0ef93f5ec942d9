// Shared by the libFuzzer targets: inputs are cut into a small header that
// the fuzzer also mutates (sizes, volume cuts) and the data itself.
#pragma once
#include <cstddef>
#include <cstdint>

namespace fuzzkit {

// Output is bounded: a sink past this many bytes fails with "Disk full".
constexpr std::size_t kOutputLimit = 1u << 20;

// Expanded size from the first three bytes, cut to 18 bits (256 KiB - 1) so
// that runs stay fast; larger sizes take the same paths (several 8 KiB
// output blocks, several LZH blocks, many zlib refills).
inline uint32_t TakeSize(const uint8_t*& data, std::size_t& size)
{
    if (size < 3) return 0;
    uint32_t v = (data[0] | (data[1] << 8) | (data[2] << 16)) & 0x3FFFF;
    data += 3;
    size -= 3;
    return v;
}

} // namespace fuzzkit
