#include "wizard/HomeDirectory.h"

#include "config/ProductSettings.h"
#include "engine/profile/ProfileQueries.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr std::size_t kMaxPath = 260;         // MAX_PATH, terminator included
constexpr std::size_t kInstallPathSize = 256; // SetupData::InstallPath
constexpr std::size_t kFileNameRoom = 1 + 12; // "\" and an 8.3 name

// Length of a destination's path below the home directory (with its leading
// backslash), or -1 when it does not lie below it.
long RelativeLength(const DestinationTable& table, int16_t id, int depth)
{
    if (id == 0) return 0;
    auto it = table.find(id);
    if (it == table.end() || depth > 32 || it->second.ParentId == -1) return -1;
    long parent = RelativeLength(table, it->second.ParentId, depth + 1);
    if (parent < 0) return -1;
    return parent + 1 + static_cast<long>(it->second.Name.size());
}

std::string Decimal(uint64_t value) { return std::to_string(value); }

} // namespace

std::size_t MaxHomeDirectoryLength(const DestinationTable& destinations)
{
    std::size_t deepest = 0;
    for (const char* dir : kWorkingDirectoryTails) deepest = std::max(deepest, std::strlen(dir));
    for (const auto& entry : destinations) {
        long relative = RelativeLength(destinations, entry.first, 0);
        if (relative > 0) deepest = std::max(deepest, static_cast<std::size_t>(relative));
    }
    const std::size_t room = deepest + kFileNameRoom + 1; // and the terminator
    const std::size_t byPath = room < kMaxPath ? kMaxPath - room : 0;
    return std::min(byPath, kInstallPathSize - 1);
}

bool NormaliseHomeDirectory(const std::string& typed, std::size_t maxLength, std::string& home)
{
    std::size_t begin = typed.find_first_not_of(" \t");
    std::size_t end = typed.find_last_not_of(" \t");
    if (begin == std::string::npos) return false;
    std::string text = typed.substr(begin, end - begin + 1);
    std::string out;
    for (char c : text) {
        if (c == '/') c = '\\';
        if (c == '\\' && !out.empty() && out.back() == '\\') continue;
        out += c;
    }
    while (out.size() > 3 && out.back() == '\\') out.pop_back();
    if (out.size() < 4 || !std::isalpha(static_cast<unsigned char>(out[0])) || out[1] != ':' || out[2] != '\\')
        return false;
    out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
    for (std::size_t i = 2; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr) return false;
    }
    // "." and ".." parts would put the product somewhere else than shown.
    std::size_t pos = 2;
    while (pos < out.size()) {
        std::size_t next = out.find('\\', pos + 1);
        std::string part = out.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1);
        if (part.find_first_not_of('.') == std::string::npos || part.back() == ' ' || part.back() == '.') return false;
        pos = next == std::string::npos ? out.size() : next;
    }
    if (out.size() > maxLength) return false;
    home = out;
    return true;
}

std::string FillPlaceholders(const std::string& format, const std::vector<std::string>& values)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        char kind = format[i + 1];
        if (kind == '%') {
            out += '%';
            ++i;
        } else if (kind == 'd' || kind == 'u' || kind == 'c' || kind == 's') {
            if (next < values.size()) out += values[next];
            ++next;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

bool CheckFreeSpace(const ArchiveList& items, char drive, const FreeSpace& space, const std::string& notEnoughFormat,
                    const std::string& cannotVerifyFormat, std::string& question)
{
    const std::string letter(1, drive);
    if (!space.known || space.clusterSize == 0) {
        question = FillPlaceholders(cannotVerifyFormat, {letter, Decimal(SpaceNeeded(items, 0, true))});
        return false;
    }
    // Cluster sizes fit 32 bits on every file system the setup meets.
    const uint32_t cluster = space.clusterSize > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(space.clusterSize);
    const uint64_t needed = SpaceNeeded(items, cluster, true);
    const uint64_t neededClusters = (needed + cluster - 1) / cluster;
    if (neededClusters <= space.freeClusters) return true;
    question =
        FillPlaceholders(notEnoughFormat, {Decimal(needed), letter, Decimal(space.freeClusters * space.clusterSize)});
    return false;
}
