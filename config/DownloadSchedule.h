// The auto-download schedule's times as the agent stores them: texts of the
// settings file read the way the run-time scanner reads "%d/%d/%d" and
// "%d:%d" (a number that cannot be read is 0 and ends the reading), and the
// next download moment as a file time: 100-nanosecond units since
// 1 January 1601, the fields taken as they stand, with no time-zone shift.
#pragma once
#include <array>
#include <cstdint>

// Hour and minute of "h:m"; 0 for what cannot be read.
void ReadHourMinute(const char* text, int& hour, int& minute);

// The file time of date "month/day/year" at time "hour:minute" (seconds 0).
// False when the fields name no moment a file time holds: a year before 1601
// (a two-digit year among them) or after 30827, a month, day, hour or minute
// out of range.
bool ScheduleFileTime(const char* date, const char* time, uint64_t& fileTime);

// The 8 bytes of a file time as stored: low double word first, little-endian.
std::array<uint8_t, 8> FileTimeBytes(uint64_t fileTime);
