#include "engine/CopyProgress.h"

int MemberPercent(uint64_t written, uint64_t expanded)
{
    if (expanded == 0) return 100;
    uint64_t p = written >= expanded ? 100 : written * 100 / expanded;
    return static_cast<int>(p);
}

std::string MemberProgressText(const std::string& finalPath, uint64_t written, uint64_t expanded)
{
    return finalPath + " (" + std::to_string(MemberPercent(written, expanded)) + "%)";
}
