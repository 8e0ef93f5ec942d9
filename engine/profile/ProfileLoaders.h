// Loading the install profile (and the install record, which has the same
// sections) into the five tables. Sections and their values, fields in order:
//
//   [destinations]  <id>=Name|ParentId|path          missing ParentId: -1
//   [groups]        <name>=Title|Text2|Flag1|Flag2|Optional
//   [targets]       <file>=IconIndex|HotKey|Minimized|Title|Arguments|IconFile|path
//   [<group name>]  <file>=Size|Kind|FileCount|diskette|DestinationId|Text
//   [diskettes]     <number>=Label|Text2
//
// A negative diskette number marks an archive that continues on the next
// diskette. Other missing numbers give 0, except a missing DestinationId or
// HotKey, which give -1 (not installed, no hot key).
#pragma once
#include "engine/profile/ProfileStore.h"
#include "engine/profile/ProfileTables.h"

#include <string>
#include <string_view>

// Raises CInstallProfileException 0 when the section is missing or empty.
void LoadDestinations(ProfileStore& store, DestinationTable& table);
void LoadGroups(ProfileStore& store, GroupTable& table);
void LoadTargets(ProfileStore& store, TargetTable& table);
// One section per group, in the table's order.
void LoadArchiveItems(ProfileStore& store, GroupTable& groups, ArchiveList& list);
void LoadDiskettes(ProfileStore& store, DisketteTable& table);

// Ordered by diskette; on a diskette the item that continues comes last.
void InsertArchiveItem(ArchiveList& list, ArchiveItem item);

// The key of the targets table.
std::string TargetKey(std::string_view fileName);
// The target of an installed file name in any case, or null.
Target* FindTarget(TargetTable& table, std::string_view fileName);
