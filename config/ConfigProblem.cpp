#include "config/ConfigProblem.h"

#include "config/log/InstallLog.h"

#include <cstdarg>
#include <utility>

namespace {

std::string g_first; // since the last TakeConfigProblem

} // namespace

void ConfigProblem(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string line = LogMessageV(format, args);
    va_end(args);
    if (g_first.empty()) g_first = std::move(line);
}

std::string TakeConfigProblem()
{
    std::string first;
    first.swap(g_first);
    return first;
}
