#include "engine/CommandLine.h"

#include <cstdio>

CommandLine::CommandLine(std::string_view args)
{
    int positional = 0;
    std::size_t i = 0;
    while (i < args.size()) {
        while (i < args.size() && (args[i] == ' ' || args[i] == '\t')) ++i;
        std::size_t start = i;
        while (i < args.size() && args[i] != ' ' && args[i] != '\t') ++i;
        if (start == i) break;
        std::string token(args.substr(start, i - start));
        if (token[0] == '/') {
            if (token.size() == 1) continue;
            std::size_t colon = token.find(':');
            if (colon != std::string::npos)
                values_[token.substr(1, colon - 1)] = token.substr(colon + 1);
            else
                values_[token.substr(1, 1)] = token.size() > 2 ? token.substr(2) : std::string();
        } else {
            values_["#" + std::to_string(positional++)] = token;
        }
    }
}

const std::string* CommandLine::Find(const std::string& name) const
{
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
}

std::string MakeSwitchPathAbsolute(const std::string& value, const std::string& currentDirectory)
{
    if (value.find('\\') != std::string::npos) return value;
    std::string dir = currentDirectory.substr(0, 256);
    if (dir.size() >= 2 && dir.compare(dir.size() - 2, 2, ":\\") == 0) return dir + value;
    return dir + "\\" + value;
}

uint32_t ParseThreadId(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + static_cast<uint64_t>(text[i] - '0');
        if (v > 0xFFFFFFFFull) return 0;
    }
    return negative ? 0 : static_cast<uint32_t>(v);
}

SwitchSettings ReadSwitches(const CommandLine& line, const std::string& currentDirectory)
{
    SwitchSettings s;
    if (const std::string* d = line.Find("D")) s.MediaDirectory = *d;
    if (const std::string* t = line.Find("T")) s.NotifyThreadId = ParseThreadId(*t);
    if (line.Has("U")) s.RemovalMode = true;
    if (const std::string* i = line.Find("I")) {
        // Unattended stays on even when the name is refused: the run then takes
        // the missing-settings path and logs it instead of waiting for a person.
        s.UnattendedMode = true;
        // An empty value names no file (made absolute it would be the
        // current directory).
        std::string path = i->empty() ? std::string() : MakeSwitchPathAbsolute(*i, currentDirectory);
        if (!path.empty() && path.size() < kSwitchFileCapacity)
            s.UnattendedFile = path;
        else
            s.UnattendedFileRefused = true;
    }
    // An empty /M leaves the default status file.
    if (const std::string* m = line.Find("M"); m && !m->empty()) {
        std::string path = MakeSwitchPathAbsolute(*m, currentDirectory);
        if (path.size() < kSwitchFileCapacity)
            s.StatusFile = path;
        else
            s.StatusFileRefused = true;
    }
    if (line.Has("B")) s.BatchMode = true;
    return s;
}
