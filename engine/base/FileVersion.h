// The version resource of one file, read once and owned by the value.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class FileVersion {
public:
    // False when the file has no version resource (or cannot be read).
    bool Read(const std::string& file);
    // Major, minor, build, revision: high and low words of the most, then of
    // the least significant double word of the fixed file information.
    std::array<uint16_t, 4> Parts() const { return parts_; }
    // True when the other's version is strictly lower.
    bool IsNewerThan(const FileVersion& other) const { return IsNewer(parts_, other.parts_); }

    static bool IsNewer(const std::array<uint16_t, 4>& mine, const std::array<uint16_t, 4>& other)
    {
        for (int i = 0; i < 4; ++i)
            if (mine[i] != other[i]) return mine[i] > other[i];
        return false;
    }

private:
    std::vector<unsigned char> data_;
    std::array<uint16_t, 4> parts_{};
};
