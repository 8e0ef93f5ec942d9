// The gauge's arithmetic, wide enough for installs beyond 2 GB.
#pragma once
#include <cstdint>

// (pos - min) * 100 / (max - min), not below 0; 0 when min == max.
inline int GaugePercent(int64_t min, int64_t max, int64_t pos)
{
    if (max == min) return 0;
    int64_t p = (pos - min) * 100 / (max - min);
    if (p < 0) p = 0;
    if (p > 100) p = 100;
    return static_cast<int>(p);
}

// Length of the filled part of a bar `length` pixels long at p per cent.
inline int GaugeFill(int length, int percent) { return static_cast<int>(int64_t(length) * percent / 100); }

inline int64_t ClampPosition(int64_t value, int64_t min, int64_t max)
{
    return value < min ? min : (value > max ? max : value);
}
