#include "config/DownloadSchedule.h"

#include <cctype>
#include <climits>

namespace {

// Reads up to `count` decimal numbers separated by `separator` the way
// sscanf does with "%d<sep>%d...": leading blanks, a sign, digits. Stops at
// the first number or separator that is not there; unread numbers stay 0.
// A number too large for an int reads as INT_MAX or INT_MIN.
void ScanNumbers(const char* text, char separator, int count, int* out)
{
    for (int k = 0; k < count; ++k) out[k] = 0;
    if (text == nullptr) return;
    const char* p = text;
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            if (*p != separator) return;
            ++p;
        }
        while (std::isspace(static_cast<unsigned char>(*p))) ++p;
        bool negative = false;
        if (*p == '+' || *p == '-') negative = *p++ == '-';
        if (!std::isdigit(static_cast<unsigned char>(*p))) return;
        long long value = 0;
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            if (value <= INT_MAX) value = value * 10 + (*p - '0');
            ++p;
        }
        if (negative) value = -value;
        out[k] = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
    }
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Days from 1 January 1601 to the given date (proleptic Gregorian).
int64_t DaysSince1601(int year, int month, int day)
{
    int64_t y = year - 1601;
    int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return days + day - 1;
}

} // namespace

void ReadHourMinute(const char* text, int& hour, int& minute)
{
    int fields[2];
    ScanNumbers(text, ':', 2, fields);
    hour = fields[0];
    minute = fields[1];
}

bool ScheduleFileTime(const char* date, const char* time, uint64_t& fileTime)
{
    fileTime = 0;
    int d[3];
    ScanNumbers(date, '/', 3, d);
    const int month = d[0], day = d[1], year = d[2];
    int hour = 0, minute = 0;
    ReadHourMinute(time, hour, minute);
    if (year < 1601 || year > 30827 || month < 1 || month > 12) return false;
    if (day < 1 || day > DaysInMonth(year, month)) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return false;
    const uint64_t minutes = static_cast<uint64_t>(DaysSince1601(year, month, day)) * 1440u +
        static_cast<uint64_t>(hour) * 60u + static_cast<uint64_t>(minute);
    fileTime = minutes * 60u * 10000000u;
    return true;
}

std::array<uint8_t, 8> FileTimeBytes(uint64_t fileTime)
{
    std::array<uint8_t, 8> bytes{};
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(fileTime >> (8 * i));
    return bytes;
}
