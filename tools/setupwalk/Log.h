// The walk's report: lines on standard output, each after the seconds since
// the walk started.
#pragma once

namespace walk {

// Starts the clock the report's lines give the time of.
void StartClock();

// One line of the report: "walk   12.3 s: " and the text, flushed at once.
void Say(const char* format, ...);

} // namespace walk
