// A configuration change that did not happen. The steps of page 1555 go on
// after their own failures; each one is logged here and kept, so that the
// page can end an unattended run on the first (such a run never finishes
// with a product that is only half configured).
#pragma once
#include <string>

// Formats (printf) the problem, logs it and keeps it.
void ConfigProblem(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The first problem kept since the last call, and forgets them; empty when
// there was none.
std::string TakeConfigProblem();
