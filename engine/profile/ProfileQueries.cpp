#include "engine/profile/ProfileQueries.h"

#include "engine/base/TextCase.h"

Group* FindGroup(GroupTable& table, const std::string& name)
{
    auto it = table.find(name);
    if (it != table.end()) return &it->second;
    for (auto& entry : table)
        if (EqualNoCase(entry.first, name)) return &entry.second;
    return nullptr;
}

void SelectGroup(GroupTable& table, const std::string& name, int32_t flag)
{
    if (Group* g = FindGroup(table, name)) g->Selected = flag;
}

uint64_t ItemSpaceEstimate(const ArchiveItem& item, uint32_t clusterSize)
{
    const uint64_t size = item.Size > 0 ? static_cast<uint64_t>(item.Size) : 0;
    const uint64_t c = clusterSize;
    // Half a cluster of slack per file of an archive.
    if (item.FileCount > 1) return c * static_cast<uint64_t>(item.FileCount) / 2 + size;
    if (c != 0) return (size + c - 1) / c * c;
    return size;
}

uint64_t SpaceNeeded(const ArchiveList& list, uint32_t clusterSize, bool selectedOnly)
{
    uint64_t total = 0;
    for (const ArchiveItem& item : list) {
        if (selectedOnly && (item.OwnerGroup == nullptr || item.OwnerGroup->Selected == 0)) continue;
        total += ItemSpaceEstimate(item, clusterSize);
    }
    return total;
}
