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
#include <utility>

void WriteInstallRecord(ProfileStore& record, const DestinationTable& destinations, const GroupTable& groups,
                        const TargetTable& targets);

// The line of one installed file (key and value), checked as above; the copy
// engine gathers them and writes each group's lines in one go.
std::pair<std::string, std::string> InstalledFileLine(const std::string& fileName, int16_t destinationId,
                                                      bool putInPlace, bool existingFile);
// One installed file's line written alone.
bool WriteInstalledFile(ProfileStore& record, const std::string& groupName, const std::string& fileName,
                        int16_t destinationId, bool putInPlace, bool existingFile);
