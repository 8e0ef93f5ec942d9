// Which of the four billboards a byte count shows (platform-free).
#pragma once
#include <cstdint>

constexpr int kBillboardCount = 4;

// count * 4 / total, 0 when the total is 0, at most 3. 64-bit arithmetic: in
// 32 bits the product overflows for installs beyond 512 MB.
inline int BillboardIndex(uint64_t count, uint64_t total)
{
    if (total == 0) return 0;
    if (count >= total) return kBillboardCount - 1;
    return static_cast<int>(count * kBillboardCount / total); // count < total <= 2^62 in any real install
}
