#include "engine/profile/Destinations.h"

#include "engine/base/XException.h"

namespace {

// A further directory level (or a few): never a drive, a root or a step up,
// which would put files outside the parent.
bool IsSubdirectoryName(const std::string& name)
{
    if (name.find(':') != std::string::npos) return false;
    if (!name.empty() && (name[0] == '\\' || name[0] == '/')) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        if (!part.empty() && part.find_first_not_of(". ") == std::string::npos) return false; // "..", ". ."
        start = end + 1;
    }
    return true;
}

} // namespace

void SetDestinationPath(DestinationTable& table, int16_t id, const std::string& directory)
{
    Destination& d = table[id];
    d.Id = id;
    d.Path = PathName();
    if (!directory.empty()) d.Path.SetDirectory(directory);
}

void ClearDerivedDestinations(DestinationTable& table)
{
    for (auto& [id, d] : table)
        if (d.ParentId != -1) d.Path = PathName();
}

void ResolveDestinations(DestinationTable& table)
{
    const std::size_t passes = table.size();
    for (std::size_t pass = 0; pass < passes; ++pass) {
        bool allResolved = true;
        for (auto& [id, d] : table) {
            if (d.ParentId == -1 || !d.Path.Empty()) continue;
            auto parent = table.find(d.ParentId);
            if (parent == table.end() || parent->second.Path.Empty()) {
                allResolved = false;
                continue;
            }
            if (!IsSubdirectoryName(d.Name)) throw CInstallProfileException(1);
            PathName path = parent->second.Path;
            path.AppendDirectory(d.Name);
            d.Path = path;
        }
        if (allResolved) return;
    }
    for (auto& [id, d] : table)
        if (d.ParentId != -1 && d.Path.Empty()) throw CInstallProfileException(1);
}

std::string DestinationPath(const DestinationTable& table, int16_t id)
{
    auto it = table.find(id);
    if (it == table.end() || it->second.Path.Empty()) return {};
    return it->second.Path.Text();
}
