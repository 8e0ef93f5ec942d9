// The table-folded checksum must give the register the byte-at-a-time form
// gives, from any starting register, over any bytes, in one piece or two.
#include "archive/Checksum.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 6) return 0;
    // Starting register and split point, then the bytes.
    uint32_t start = data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24;
    std::size_t split = data[4] | data[5] << 8;
    data += 6;
    size -= 6;
    if (split > size) split = size;
    using archive::Checksum;
    uint32_t want = Checksum::FoldBytewise(start, data, size);
    if (Checksum::Fold(start, data, size) != want) __builtin_trap();
    if (Checksum::Fold(Checksum::Fold(start, data, split), data + split, size - split) != want) __builtin_trap();
    return 0;
}
