#include "config/ConfigProblem.h"

#include "config/log/InstallLog.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string g_first; // since the last TakeConfigProblem

} // namespace

void ConfigProblem(const char* format, ...)
{
    char buffer[254];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) return;
    LogMessage("%s", buffer);
    if (g_first.empty()) g_first = buffer;
}

std::string TakeConfigProblem()
{
    std::string first;
    first.swap(g_first);
    return first;
}
