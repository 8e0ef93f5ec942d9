#include "engine/profile/InstallRecord.h"

#include "engine/profile/Destinations.h"
#include "engine/profile/ProfileSection.h"
#include "framework/Exceptions.h"

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

// The loaders read a value into ProfileSection::kValueBuffer: a longer one
// would come back cut, and a removal would act on another path.
void CheckLine(const std::string& key, const std::string& value)
{
    if (value.size() >= ProfileSection::kValueBuffer || key.size() > ProfileSection::kMaxKeyLength)
        throw fw::FileException(fw::kFileBadPath, key + "=" + value);
}

bool Put(ProfileStore& record, const char* section, const std::string& key, const std::string& value)
{
    CheckLine(key, value);
    return record.WriteString(section, key.c_str(), value.c_str());
}

} // namespace

void WriteInstallRecord(ProfileStore& record, const DestinationTable& destinations, const GroupTable& groups,
                        const TargetTable& targets)
{
    for (const auto& [id, d] : destinations) {
        if (id < 0) continue;
        Put(record, "destinations", std::to_string(id),
            Join({d.Name, std::to_string(d.ParentId), DestinationPath(destinations, id)}));
    }
    for (const auto& [name, g] : groups) {
        Put(record, "groups", name,
            Join({g.Title, g.Text2, std::to_string(g.Flag1), std::to_string(g.Flag2), std::to_string(g.Optional)}));
    }
    for (const auto& [key, t] : targets) {
        if (t.Path.Empty()) continue;
        Put(record, "targets", key,
            Join({std::to_string(t.IconIndex), std::to_string(t.HotKey), std::to_string(t.Minimized), t.Title,
                  t.Arguments, t.IconFile, t.Path.Text()}));
    }
}

std::pair<std::string, std::string> InstalledFileLine(const std::string& fileName, int16_t destinationId,
                                                      bool putInPlace, bool existingFile)
{
    std::string value = Join({std::to_string(destinationId), putInPlace ? "1" : "0", existingFile ? "1" : "0"});
    CheckLine(fileName, value);
    return {fileName, value};
}

bool WriteInstalledFile(ProfileStore& record, const std::string& groupName, const std::string& fileName,
                        int16_t destinationId, bool putInPlace, bool existingFile)
{
    auto [key, value] = InstalledFileLine(fileName, destinationId, putInPlace, existingFile);
    return record.WriteString(groupName.c_str(), key.c_str(), value.c_str());
}
