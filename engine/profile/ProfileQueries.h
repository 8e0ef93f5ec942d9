// Questions and choices on the loaded tables: group selection and the space
// the archive items need.
#pragma once
#include "engine/profile/ProfileTables.h"

#include <cstdint>
#include <string>

// The group of this name, compared without regard to case; null when none.
Group* FindGroup(GroupTable& table, const std::string& name);

// Sets Selected of the named group (any case); an unknown name changes nothing.
void SelectGroup(GroupTable& table, const std::string& name, int32_t flag);

// Bytes one item needs on a disk with the given cluster size. Computed in 64
// bits: a product's total overflows 32. Negative sizes or counts from a
// damaged profile count as 0.
uint64_t ItemSpaceEstimate(const ArchiveItem& item, uint32_t clusterSize);

// Sum over the items of all groups, or of the selected groups only.
uint64_t SpaceNeeded(const ArchiveList& list, uint32_t clusterSize, bool selectedOnly);
