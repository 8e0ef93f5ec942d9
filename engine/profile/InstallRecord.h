// Writing the install record: the profile-format file that the removal reads
// back through the same loaders. Each line replaces an existing key.
//
//   [destinations]  <id>=Name|ParentId|resolved path        (ids 0 and up)
//   [groups]        <name>=Title|Text2|Flag1|Flag2|Optional
//   [targets]       <UPPER-CASE NAME>=IconIndex|HotKey|Minimized|Title|Arguments|IconFile|path
//                                                              (installed targets only)
//   [<group name>]  <installed file>=destination id|put in place|existing file
//
// A value the loaders would read back cut (255 characters and more), or a key
// they would refuse, is not written: fw::FileException kFileBadPath.
#pragma once
#include "engine/profile/ProfileStore.h"
#include "engine/profile/ProfileTables.h"

#include <string>

void WriteInstallRecord(ProfileStore& record, const DestinationTable& destinations, const GroupTable& groups,
                        const TargetTable& targets);

// The line the copy engine writes for each installed file.
bool WriteInstalledFile(ProfileStore& record, const std::string& groupName, const std::string& fileName,
                        int16_t destinationId, bool putInPlace, bool existingFile);
