// Putting an extracted file in place: the version rule that decides whether
// an existing copy may be replaced, clearing a copy that is in the way, and
// replacement at the next start of Windows when the copy is in use.
#pragma once
#include <cstdint>
#include <string>

// One extracted file as the copy engine hands it over. Placed and Replaced go
// into the install record.
struct FileEntry {
    int16_t DestinationId = 0;   // -2 Windows, -3 System directory (shared counting)
    std::string DestinationPath; // full path the file is installed as
    std::string TempPath;        // the extracted file, a free name beside DestinationPath
    std::string Rule;            // the archive member's replacement rule
    int32_t Placed = 0;          // 1: the new file is at DestinationPath
    int32_t Replaced = 0;        // 1: an existing copy was judged replaceable
    int32_t ErrorCause = 0;      // a file-exception cause: the new file could not be put anywhere
};

// Installs the file at entry.TempPath as entry.DestinationPath:
// - the existing copy is the destination itself, or for ids -2 and -3 the
//   first file of that name in the Windows, then the System directory;
// - a copy the version rule keeps stays, and the new file is deleted;
// - a replaceable copy is set aside under a free name in its directory
//   (attributes made normal), the new file is moved in (attributes normal)
//   and the copy set aside is deleted; a copy in use that cannot be deleted
//   stays set aside;
// - a copy that cannot even be set aside is replaced at the next start of
//   Windows: the new file stays under its temporary name; when even that
//   cannot be scheduled, the new file is deleted, the copy is kept
//   (Replaced 0) and ErrorCause says why;
// - when the new file cannot be moved in, every copy set aside goes back
//   and the new file is deleted: nothing the user had is lost.
// Never raises.
void PlaceFile(FileEntry& entry);

// The version rule. Without "Newer" (case-sensitive) in the rule text: yes.
// Otherwise by version resources: only the existing copy has one: no; only
// the new file: yes; both and the new one is higher: yes; else (neither, or
// not higher) yes exactly when the existing copy's date is earlier. An
// existing copy held open without sharing, whose version cannot be read, is
// judged by the dates alone.
bool ShouldReplace(const FileEntry& entry, const std::string& existingPath);

// Schedules "existing := replacement" for the next start of Windows: one
// line of short paths in [rename] of WININIT.INI in the Windows directory
// (created when missing; other lines kept byte for byte). False, with
// nothing written, when a short form cannot be formed or the file cannot be
// read or replaced.
bool ReplaceAtRestart(const std::string& existingPath, const std::string& replacementPath);

// Schedules the deletion of a file for the next start of Windows: a line
// "NUL=<short path>" in the same [rename] section. False, with nothing
// written, when the short form cannot be formed or the file not replaced.
bool DeleteAtRestart(const std::string& path);
