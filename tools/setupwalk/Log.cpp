#include "tools/setupwalk/Log.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace walk {

namespace {

DWORD g_start = 0;

double Elapsed() { return (GetTickCount() - g_start) / 1000.0; }

} // namespace

void StartClock() { g_start = GetTickCount(); }

void Say(const char* format, ...)
{
    std::printf("walk %6.1f s: ", Elapsed());
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace walk
