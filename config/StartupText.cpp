#include "config/StartupText.h"

#include "engine/base/TextLines.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace {

// Where the run of end-of-file marks that ends the text begins.
std::size_t EndOfFileMark(const std::string& text)
{
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] == '\x1A') --n;
    return n;
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool Contains(std::string_view text, std::string_view part)
{
    if (part.empty()) return true;
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return Lower(a) == Lower(b); }) != text.end();
}

bool BeginsWith(std::string_view text, std::string_view start)
{
    return text.size() >= start.size() &&
        std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) { return Lower(a) == Lower(b); });
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

bool DropLoaderEntries(const std::string& text, const std::string& program, const std::string& key, std::string& out)
{
    const std::string prefix = key + "=";
    const bool wholeLine = prefix == "*=";
    const std::size_t body = EndOfFileMark(text);
    bool dropped = false;
    out.clear();
    out.reserve(text.size());
    for (const TextLine& line : SplitTextLines(text, body)) {
        std::string_view view(text.data() + line.begin, line.end - line.begin);
        if (wholeLine) {
            if (Contains(view, program)) {
                dropped = true;
                continue;
            }
        } else if (BeginsWith(view, prefix)) {
            std::string kept;
            bool lineDropped = false;
            std::size_t i = prefix.size();
            while (i < view.size()) {
                while (i < view.size() && IsBlank(view[i])) ++i;
                std::size_t start = i;
                while (i < view.size() && !IsBlank(view[i])) ++i;
                if (i == start) break;
                std::string_view entry = view.substr(start, i - start);
                if (Contains(entry, program)) {
                    lineDropped = true;
                } else {
                    if (!kept.empty()) kept += ' ';
                    kept.append(entry);
                }
            }
            if (lineDropped) {
                dropped = true;
                if (!kept.empty()) {
                    out.append(view.substr(0, prefix.size()));
                    out += kept;
                    out.append(text, line.end, line.next - line.end);
                }
                continue;
            }
        }
        out.append(text, line.begin, line.next - line.begin);
    }
    out.append(text, body, std::string::npos);
    if (!dropped) out = text;
    return dropped;
}

std::string EditAutoexecText(const std::string& text, const std::string& shortHome, const std::string& options)
{
    std::string out;
    out.reserve(text.size() + shortHome.size() * 2 + options.size() + 40);
    // The end-of-file mark goes: the product's lines follow the last line.
    for (const TextLine& line : SplitTextLines(text, EndOfFileMark(text))) {
        std::string_view view(text.data() + line.begin, line.end - line.begin);
        if (Contains(view, "SET KORVISAN=") || Contains(view, "EXAMINE.EXE")) continue;
        out.append(text, line.begin, line.next - line.begin);
    }
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    const char* slash = !shortHome.empty() && shortHome.back() == '\\' ? "" : "\\";
    out += "SET KORVISAN=" + shortHome + "\r\n";
    out += shortHome + slash + "EXAMINE.EXE " + options + "\r\n";
    return out;
}
