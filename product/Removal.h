// What a removal deletes, planned from the install record's tables before
// anything is touched. Platform-free: names read from the record are data,
// and a name that would lead out of its destination is never acted on.
#pragma once
#include "engine/profile/ProfileTables.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int16_t kSystemDestination = -3;

// One installed file of the record: where it is and how it goes.
struct RemovalFile {
    std::string path;
    bool shared = false; // System directory: through its shared-use count
};

// The file of one record line ("name=destination|placed|existing"), or false
// when the name is empty, holds a separator, a drive or only dots, or the
// destination has no directory.
bool PlanRemovalFile(const DestinationTable& destinations, const std::string& name, const std::string& value,
                     RemovalFile& file);

// The directories of destinations 0 and up, deepest first, so that a
// destination below another does not keep its parent alive.
std::vector<std::string> RemovalDirectories(const DestinationTable& destinations);
