#include "engine/MediaLayout.h"

#include <cstdio>

std::optional<std::string> SiblingDisketteDirectory(const std::string& directory, int disketteNumber)
{
    std::string dir = directory;
    if (dir.size() > 1 && dir.back() == '\\') dir.pop_back();
    if (dir.size() < 3) return std::nullopt;
    // atoi of the last two characters: optional sign, digits, stop at the first other.
    std::string tail = dir.substr(dir.size() - 2);
    std::size_t i = 0;
    bool negative = false;
    if (tail[i] == '+' || tail[i] == '-') negative = tail[i++] == '-';
    int value = 0;
    for (; i < tail.size() && tail[i] >= '0' && tail[i] <= '9'; ++i) value = value * 10 + (tail[i] - '0');
    if (negative) value = -value;
    if (value == 0) return std::nullopt;
    char number[16];
    (void)std::snprintf(number, sizeof number, "%02d", disketteNumber); // an int always fits
    return dir.substr(0, dir.size() - 2) + number;
}

std::string DisketteRequestText(const std::string& label, int disketteNumber, const std::string& drive)
{
    // The prompt's text is bounded: a longer label is cut.
    char buf[512];
    if (!label.empty())
        (void)std::snprintf(buf, sizeof buf, "Please insert the diskette labelled '%s' in drive %s:", label.c_str(),
                            drive.c_str());
    else
        (void)std::snprintf(buf, sizeof buf, "Please insert diskette %d in drive %s:", disketteNumber, drive.c_str());
    return buf;
}
