#include "engine/profile/Destinations.h"

#include "engine/XException.h"

void SetDestinationPath(DestinationTable& table, int16_t id, const std::string& directory)
{
    Destination& d = table[id];
    d.Id = id;
    d.Path = PathName();
    if (!directory.empty()) d.Path.SetDirectory(directory);
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
