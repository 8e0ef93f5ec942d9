// The main window's gradient, as plain arithmetic: the palette entries and
// the colour of each row. Integer division truncates towards zero.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
    int red;
    int green;
    int blue;
};

inline int GradientComponent(int start, int end, int step, int count) { return start + (end - start) * step / count; }

// Entries that follow the default ones: count = paletteSize - defaultCount
// (not below 0); entry i gets start + (end - start) * i / count.
inline std::vector<Rgb> GradientPaletteEntries(int paletteSize, int defaultCount, Rgb start, Rgb end)
{
    std::vector<Rgb> entries;
    int count = paletteSize - defaultCount;
    if (count <= 0) return entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back({GradientComponent(start.red, end.red, i, count),
                           GradientComponent(start.green, end.green, i, count),
                           GradientComponent(start.blue, end.blue, i, count)});
    return entries;
}

// Colour of row y of a client area h rows high.
inline Rgb GradientRow(int y, int h, Rgb start, Rgb end)
{
    return {GradientComponent(start.red, end.red, y, h), GradientComponent(start.green, end.green, y, h),
            GradientComponent(start.blue, end.blue, y, h)};
}

constexpr Rgb kGradientTop = {0, 0, 255};
constexpr Rgb kGradientBottom = {0, 0, 0};
