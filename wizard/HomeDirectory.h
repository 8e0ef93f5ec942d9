// The home directory the user types on the directory page: checked and
// normalised before anything is created, and the free-space verdict with the
// texts the page shows. Platform-free.
#pragma once
#include "engine/profile/ProfileTables.h"

#include <cstdint>
#include <string>
#include <vector>

// The longest home directory that leaves room for the product's deepest
// path: the destinations below the home directory, its working directories
// and an 8.3 file name, within MAX_PATH and the 256-byte InstallPath field.
std::size_t MaxHomeDirectoryLength(const DestinationTable& destinations);

// "C:\dir\sub" from what was typed (blanks around it, a trailing backslash
// and doubled separators removed; forward slashes taken as backslashes).
// False when it is not a full path on a drive ("X:\..."), names the root of
// a drive, holds characters no file name may hold, or is longer than
// maxLength.
bool NormaliseHomeDirectory(const std::string& typed, std::size_t maxLength, std::string& home);

// Fills the printf-style placeholders %d, %u, %c and %s of a string-table
// text, in order, with the given texts ("%%" is a percent sign). Sizes are
// formatted by the caller, so 64-bit values are never squeezed through an int.
std::string FillPlaceholders(const std::string& format, const std::vector<std::string>& values);

struct FreeSpace {
    bool known = false;       // the drive answered
    uint64_t clusterSize = 0; // bytes
    uint64_t freeClusters = 0;
};

// True when the selected items fit. Otherwise `question` is the text to ask
// (string 33 when the free space is known, string 32 when not), made from
// the given formats.
bool CheckFreeSpace(const ArchiveList& items, char drive, const FreeSpace& space, const std::string& notEnoughFormat,
                    const std::string& cannotVerifyFormat, std::string& question);
