#include "Layout.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace media {
namespace {

std::string Trim(const std::string& s)
{
    std::size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> Fields(const std::string& v)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = v.find('|', start);
        out.push_back(Trim(v.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
        if (bar == std::string::npos) return out;
        start = bar + 1;
    }
}

long long Number(const std::string& text, long long lo, long long hi, const std::string& where, const char* what)
{
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || v < lo || v > hi)
        throw std::runtime_error(where + ": " + what + " must be a number from " + std::to_string(lo) + " to " +
                                 std::to_string(hi) + ", not '" + text + "'");
    return v;
}

std::string Resolve(const std::string& base, const std::string& p)
{
    bool absolute = !p.empty() && (p[0] == '/' || p[0] == '\\' || (p.size() > 1 && p[1] == ':'));
    if (p.empty() || absolute || base.empty()) return p;
    return base + "/" + p;
}

} // namespace

Layout ReadLayout(const std::string& path)
{
    std::ifstream in(path);
    if (!in) throw std::runtime_error(path + ": cannot open the layout file");
    std::string base;
    std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string::npos) base = path.substr(0, slash);

    Layout layout;
    std::string section;
    LayoutItem* item = nullptr;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string where = path + ":" + std::to_string(number);
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t[0] == '[') {
            if (t.back() != ']') throw std::runtime_error(where + ": section line without ']'");
            section = Trim(t.substr(1, t.size() - 2));
            item = nullptr;
            std::string kind = section.substr(0, section.find(' '));
            if (kind == "archive" || kind == "file") {
                LayoutItem it;
                it.archive = kind == "archive";
                it.name = Trim(section.substr(kind.size()));
                it.line = number;
                if (it.name.empty()) throw std::runtime_error(where + ": [" + kind + " NAME] needs a name");
                layout.items.push_back(it);
                item = &layout.items.back();
                section = kind;
            } else if (section != "media" && section != "destinations" && section != "groups" && section != "targets" &&
                       section != "diskettes") {
                throw std::runtime_error(where + ": unknown section [" + section + "]");
            }
            continue;
        }
        std::size_t eq = t.find('=');
        if (eq == std::string::npos) throw std::runtime_error(where + ": expected key=value");
        std::string key = Trim(t.substr(0, eq));
        // Profile records keep their value as written (fields may be empty).
        std::string value = Trim(t.substr(eq + 1));
        if (section == "media") {
            if (key == "Capacity")
                layout.capacity = static_cast<uint64_t>(Number(value, 4096, 1LL << 40, where, key.c_str()));
            else if (key == "ClusterSize")
                layout.clusterSize = static_cast<uint32_t>(Number(value, 1, 65536, where, key.c_str()));
            else if (key == "Method")
                layout.method = value;
            else if (key == "Profile")
                layout.profileName = value;
            else if (key == "DisketteDir")
                layout.disketteDir = value;
            else if (key == "Setup")
                layout.setupFiles.push_back(Resolve(base, value));
            else
                throw std::runtime_error(where + ": unknown key " + key + " in [media]");
        } else if (section == "destinations") {
            layout.destinations.push_back({key, value});
        } else if (section == "groups") {
            layout.groups.push_back({key, value});
        } else if (section == "targets") {
            layout.targets.push_back({key, value});
        } else if (section == "diskettes") {
            layout.diskettes.push_back({key, value});
        } else if (item) {
            if (key == "Group")
                item->group = value;
            else if (key == "Method" && item->archive)
                item->method = value;
            else if (key == "Text")
                item->text = value;
            else if (key == "Source" && !item->archive)
                item->source = Resolve(base, value);
            else if (key == "Destination" && !item->archive)
                item->destination = static_cast<int16_t>(Number(value, -32768, 32767, where, "Destination"));
            else if (key == "Member" && item->archive) {
                auto f = Fields(value);
                LayoutMember m;
                m.source = Resolve(base, f[0]);
                if (f[0].empty()) throw std::runtime_error(where + ": Member needs a source file");
                if (f.size() > 1 && !f[1].empty())
                    m.destination = static_cast<int16_t>(Number(f[1], -32768, 32767, where, "destination id"));
                if (f.size() > 2) m.rule = f[2];
                if (f.size() > 3 && !f[3].empty())
                    m.attributes = static_cast<uint16_t>(Number(f[3], 0, 0xFFFF, where, "attributes"));
                item->members.push_back(m);
            } else {
                throw std::runtime_error(where + ": unknown key " + key + " in [" + section + " " + item->name + "]");
            }
        } else {
            throw std::runtime_error(where + ": key outside any section");
        }
    }
    for (const LayoutItem& it : layout.items) {
        std::string where = path + ":" + std::to_string(it.line);
        if (it.group.empty()) throw std::runtime_error(where + ": " + it.name + " has no Group");
        if (!it.archive && it.source.empty()) throw std::runtime_error(where + ": " + it.name + " has no Source");
        if (it.archive && it.members.empty())
            throw std::runtime_error(where + ": archive " + it.name + " has no Member");
    }
    return layout;
}

} // namespace media
