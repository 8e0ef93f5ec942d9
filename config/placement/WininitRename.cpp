#include "config/placement/WininitRename.h"

#include "engine/base/TextLines.h"

#include <cctype>
#include <vector>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsBlankLine(const std::string& text, const TextLine& line)
{
    for (std::size_t i = line.begin; i < line.end; ++i)
        if (!IsBlank(text[i]) && text[i] != '\r') return false;
    return true;
}

// The section name of a header line, lower case and without blanks; false
// for any other line.
bool SectionName(const std::string& text, const TextLine& line, std::string& name)
{
    std::size_t i = line.begin;
    while (i < line.end && IsBlank(text[i])) ++i;
    if (i == line.end || text[i] != '[') return false;
    name.clear();
    for (++i; i < line.end && text[i] != ']'; ++i)
        if (!IsBlank(text[i])) name += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    return true;
}

std::string LineEndOf(const std::string& text)
{
    std::size_t nl = text.find('\n');
    if (nl != std::string::npos && (nl == 0 || text[nl - 1] != '\r')) return "\n";
    return "\r\n";
}

} // namespace

std::string AddRenameEntry(const std::string& text, const std::string& key, const std::string& value)
{
    const std::string eol = LineEndOf(text);
    const std::string entry = key + "=" + value + eol;
    std::vector<TextLine> lines = SplitTextLines(text);

    std::size_t header = lines.size();
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (SectionName(text, lines[i], name) && name == "rename") {
            header = i;
            break;
        }
    }

    if (header == lines.size()) {
        std::string out = text;
        if (!out.empty() && out.back() != '\n') out += eol;
        return out + "[rename]" + eol + entry;
    }

    // The last non-blank line of the section: the header itself at least.
    std::size_t last = header;
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        if (SectionName(text, lines[i], name)) break;
        if (!IsBlankLine(text, lines[i])) last = i;
    }
    const TextLine& after = lines[last];
    std::string out = text.substr(0, after.next);
    if (after.next == after.end) out += eol; // the file's last line had no line end
    out += entry;
    out += text.substr(after.next);
    return out;
}
