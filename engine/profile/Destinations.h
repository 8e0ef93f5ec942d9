// Destination directories: setting a path by id, resolving the others from
// their parents, and the resolved path of an id.
#pragma once
#include "engine/profile/ProfileTables.h"

#include <string>

// Creates the destination when the id is new, then sets its directory.
void SetDestinationPath(DestinationTable& table, int16_t id, const std::string& directory);

// Forgets the paths that ResolveDestinations derived (every destination with
// a parent), so that they follow a parent that changed.
void ClearDerivedDestinations(DestinationTable& table);

// Gives every destination with a parent and no path the parent's path plus
// its own Name. Raises CInstallProfileException 1 when, after as many passes
// as there are destinations, some remain unresolved (missing parent or cycle),
// and for a Name that is not a subdirectory (a drive, a root, "..").
void ResolveDestinations(DestinationTable& table);

// The directory of an id, ending in a backslash; empty when the id is
// unknown or has no path.
std::string DestinationPath(const DestinationTable& table, int16_t id);
