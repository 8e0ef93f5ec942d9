// The value of one profile line: at most 254 characters, fields separated by
// "|" and taken by position. A position beyond the last "|" is missing; a
// missing or empty text field is the empty text. Numbers are read like a C
// decimal prefix (leading blanks and a sign allowed, stop at the first
// non-digit, no digits give 0); values out of the field's range are clamped
// rather than wrapped. Flags are numbers reduced to 0 or 1.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The leading decimal number of a text, clamped to 32 bits.
int32_t ParseDecimal(std::string_view text);
// The same, clamped to 16 bits.
int16_t ClampTo16(int32_t value);

class ProfileRecord {
public:
    static constexpr std::size_t kMaxValue = 254;

    explicit ProfileRecord(std::string_view value);

    bool Has(std::size_t index) const { return index < fields_.size(); }
    std::string Text(std::size_t index) const;
    int32_t Number(std::size_t index, int32_t missing = 0) const;
    int16_t Number16(std::size_t index, int16_t missing = 0) const;
    int32_t Flag(std::size_t index, int32_t missing = 0) const;

private:
    std::vector<std::string> fields_;
};
