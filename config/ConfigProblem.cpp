#include "config/ConfigProblem.h"

#include "config/log/InstallLog.h"

#include <cstdarg>

namespace {

std::string g_first; // since the last TakeConfigProblem

} // namespace

void ConfigProblem(const char* format, ...)
{
    std::string line;
    va_list args;
    va_start(args, format);
    const bool formatted = FormatLogLine(format, args, line);
    va_end(args);
    if (!formatted) return;
    AppendLogLine(kInstallLogPath, line);
    if (g_first.empty()) g_first = line;
}

std::string TakeConfigProblem()
{
    std::string first;
    first.swap(g_first);
    return first;
}
