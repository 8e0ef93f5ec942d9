#include "engine/profile/ProfileRecord.h"

#include <limits>

int32_t ParseDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    const int64_t limit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) value = limit; // keeps going through the digits, no overflow
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

int16_t ClampTo16(int32_t value)
{
    if (value > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    if (value < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
    return static_cast<int16_t>(value);
}

ProfileRecord::ProfileRecord(std::string_view value)
{
    if (value.size() > kMaxValue) value = value.substr(0, kMaxValue);
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = value.find('|', start);
        if (bar == std::string_view::npos) {
            fields_.emplace_back(value.substr(start));
            break;
        }
        fields_.emplace_back(value.substr(start, bar - start));
        start = bar + 1;
    }
}

std::string ProfileRecord::Text(std::size_t index) const { return Has(index) ? fields_[index] : std::string(); }

int32_t ProfileRecord::Number(std::size_t index, int32_t missing) const
{
    return Has(index) ? ParseDecimal(fields_[index]) : missing;
}

int16_t ProfileRecord::Number16(std::size_t index, int16_t missing) const
{
    return Has(index) ? ClampTo16(ParseDecimal(fields_[index])) : missing;
}

int32_t ProfileRecord::Flag(std::size_t index, int32_t missing) const { return Number(index, missing) != 0 ? 1 : 0; }
