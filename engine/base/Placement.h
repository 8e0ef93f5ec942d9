// Placing a window by fractions of its owner's size (platform-free arithmetic).
#pragma once
#include <cstdint>

struct Placement {
    int left;
    int top;
};

// left = ownerWidth * a / b - width / 2, top = ownerHeight * c / d - height / 2,
// each kept between 0 and the owner's size minus the window's.
inline Placement PlaceByFractions(int ownerWidth, int ownerHeight, int width, int height, int a, int b, int c, int d)
{
    auto clamp = [](int64_t v, int64_t hi) {
        if (v > hi) v = hi;
        if (v < 0) v = 0;
        return static_cast<int>(v);
    };
    int64_t left = b ? int64_t(ownerWidth) * a / b - width / 2 : 0;
    int64_t top = d ? int64_t(ownerHeight) * c / d - height / 2 : 0;
    return {clamp(left, int64_t(ownerWidth) - width), clamp(top, int64_t(ownerHeight) - height)};
}
