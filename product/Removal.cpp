#include "product/Removal.h"

#include "engine/profile/ProfileRecord.h"

#include <algorithm>

namespace {

bool IsPlainFileName(const std::string& name)
{
    if (name.empty() || name.find_first_not_of('.') == std::string::npos) return false;
    return name.find_first_of("\\/:") == std::string::npos;
}

std::size_t Depth(const std::string& path)
{
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\'));
}

} // namespace

bool PlanRemovalFile(const DestinationTable& destinations, const std::string& name, const std::string& value,
                     RemovalFile& file)
{
    if (!IsPlainFileName(name)) return false;
    const ProfileRecord record(value);
    if (record.Text(0).empty()) return false;
    const int16_t id = record.Number16(0, -1);
    auto it = destinations.find(id);
    // Only a full path: a relative one would act on the current directory.
    if (it == destinations.end() || it->second.Path.Drive().empty()) return false;
    file.path = it->second.Path.DirectoryWithSlash() + name;
    file.shared = id == kSystemDestination;
    return true;
}

std::vector<std::string> RemovalDirectories(const DestinationTable& destinations)
{
    std::vector<std::string> directories;
    for (const auto& [id, d] : destinations) {
        if (id < 0 || d.Path.Drive().empty()) continue;
        std::string dir = d.Path.Directory();
        while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
        if (dir.size() <= 3) continue; // never a drive's root
        if (std::find(directories.begin(), directories.end(), dir) == directories.end()) directories.push_back(dir);
    }
    std::stable_sort(directories.begin(), directories.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    return directories;
}
