#include "engine/profile/InstallRecord.h"

#include "engine/profile/Destinations.h"

#include <initializer_list>
#include <string>

namespace {

std::string Join(std::initializer_list<std::string> fields)
{
    std::string out;
    bool first = true;
    for (const std::string& f : fields) {
        if (!first) out += '|';
        out += f;
        first = false;
    }
    return out;
}

} // namespace

void WriteInstallRecord(ProfileStore& record, const DestinationTable& destinations, const GroupTable& groups,
                        const TargetTable& targets)
{
    for (const auto& [id, d] : destinations) {
        if (id < 0) continue;
        record.WriteString("destinations", std::to_string(id).c_str(),
                           Join({d.Name, std::to_string(d.ParentId), DestinationPath(destinations, id)}).c_str());
    }
    for (const auto& [name, g] : groups) {
        record.WriteString("groups", name.c_str(),
                           Join({g.Title, g.Text2, std::to_string(g.Flag1), std::to_string(g.Flag2),
                                 std::to_string(g.Optional)})
                               .c_str());
    }
    for (const auto& [key, t] : targets) {
        if (t.Path.Empty()) continue;
        record.WriteString("targets", key.c_str(),
                           Join({std::to_string(t.IconIndex), std::to_string(t.HotKey), std::to_string(t.Minimized),
                                 t.Title, t.Arguments, t.IconFile, t.Path.Text()})
                               .c_str());
    }
}

bool WriteInstalledFile(ProfileStore& record, const std::string& groupName, const std::string& fileName,
                        int16_t destinationId, bool putInPlace, bool existingFile)
{
    std::string value = Join({std::to_string(destinationId), putInPlace ? "1" : "0", existingFile ? "1" : "0"});
    return record.WriteString(groupName.c_str(), fileName.c_str(), value.c_str());
}
