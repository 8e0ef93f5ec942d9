#include "config/log/StatusMif.h"

#include <cstdio>

namespace {

// Indent, text, then blanks up to the width (never cut).
void Line(std::string& out, int indent, std::string_view text, std::size_t width)
{
    std::string line(static_cast<std::size_t>(indent), ' ');
    line += text;
    if (line.size() < width) line.append(width - line.size(), ' ');
    out += line;
    out += '\n';
}

// The three lines every attribute repeats.
void Access(std::string& out)
{
    Line(out, 6, "ACCESS = \"READ-ONLY\"", 44);
    Line(out, 6, "STORAGE = SPECIFIC", 46);
    Line(out, 6, "TYPE = STRING(string length up to 255)", 46);
}

std::string Quoted(std::string_view text) { return "VALUE = \"" + std::string(text) + "\""; }

} // namespace

std::string BuildStatusMif(int failed, const char* description, std::string_view productId, const MifTime& t)
{
    if (productId.size() > 7) productId = productId.substr(0, 7);
    std::string out;
    Line(out, 0, "START COMPONENT", 46);
    Line(out, 2, "NAME = \"WORKSTATION\"", 44);
    Line(out, 2, "START GROUP", 46);
    Line(out, 4, "NAME = \"ComponentID\"", 44);
    Line(out, 4, "ID = 1", 46);
    Line(out, 4, "CLASS = \"DMTF|ComponentID|1.0\"", 44);
    Line(out, 4, "START ATTRIBUTE", 46);
    Line(out, 6, "NAME = \"Manufacturer\"", 44);
    Line(out, 6, "ID = 1", 46);
    Access(out);
    Line(out, 6, "VALUE = \"Brantoke Software, Inc.\"", 44);
    Line(out, 0, "\tEND ATTRIBUTE", 43);
    Line(out, 4, "START ATTRIBUTE", 46);
    Line(out, 6, "NAME = \"Product\"", 44);
    Line(out, 6, "ID = 2", 46);
    Access(out);
    Line(out, 6, "VALUE = \"Brantoke ANtiVirus for Windows 95\"", 54);
    Line(out, 4, "END ATTRIBUTE", 46);
    Line(out, 4, "START ATTRIBUTE", 46);
    Line(out, 6, "NAME = \"Version\"", 44);
    Line(out, 6, "ID = 3", 46);
    Access(out);
    Line(out, 6, "VALUE = \"v1.01\"", 44);
    Line(out, 4, "END ATTRIBUTE", 46);
    Line(out, 4, "START ATTRIBUTE", 46);
    Line(out, 6, "NAME = \"Serial Number\"", 44);
    Line(out, 6, "ID = 4", 46);
    Access(out);
    // A pattern 44 wide before its placeholder is filled: 26 blanks follow.
    Line(out, 6, Quoted(productId) + std::string(26, ' '), 0);
    Line(out, 4, "END ATTRIBUTE", 46);
    Line(out, 4, "START ATTRIBUTE", 46);
    Line(out, 6, "NAME = \"Installation\"", 44);
    Line(out, 6, "ID = 5", 46);
    Access(out);
    char stamp[64];
    // Six fields of two digits each always fit.
    (void)std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d %02d:%02d:%02d", t.Month % 100, t.Day % 100,
                        ((t.Year % 100) + 100) % 100, t.Hour % 100, t.Minute % 100, t.Second % 100);
    Line(out, 6, Quoted(stamp) + std::string(14, ' '), 0);
    Line(out, 4, "END ATTRIBUTE", 46);
    Line(out, 2, "END GROUP", 46);
    Line(out, 2, "START GROUP", 46);
    Line(out, 4, "NAME = \"InstallStatus\"", 44);
    Line(out, 4, "ID = 2", 46);
    Line(out, 4, "CLASS = \"MICROSOFT|JOBSTATUS|1.0\"", 44);
    Line(out, 4, "START ATTRIBUTE", 46);
    Line(out, 6, "NAME = \"Status\"", 44);
    Line(out, 6, "ID = 1", 46);
    Access(out);
    Line(out, 6, failed ? "VALUE = \"Failed\"" : "VALUE = \"Success\"", 42);
    Line(out, 4, "END ATTRIBUTE", 46);
    Line(out, 4, "START ATTRIBUTE", 46);
    Line(out, 6, "NAME = \"Description\"", 44);
    Line(out, 6, "ID = 2", 46);
    Access(out);
    const bool described = description != nullptr && description[0] != '\0';
    if (described)
        Line(out, 6, Quoted(description) + std::string(24, ' '), 0);
    else
        Line(out, 6, failed ? "VALUE = \"Unknown Error\"" : "VALUE = \"\"", 42);
    Line(out, 4, "END ATTRIBUTE", 46);
    Line(out, 2, "END GROUP", 46);
    Line(out, 0, "END COMPONENT", 46);
    return out;
}
