// Builds install media from a product layout: packs the archives, lays the
// items out over diskettes of the given capacity (splitting archives into
// volumes where they run on), and writes the diskette directories with the
// archive volumes, the plain files, the setup files and the install profile.
#pragma once
#include "Layout.h"

#include <ostream>
#include <string>

namespace media {

struct BuildSummary {
    int diskettes = 0;
    int archives = 0;
    int volumes = 0;
    int members = 0;
    uint64_t expandedBytes = 0;
    uint64_t storedBytes = 0;
};

// Throws std::runtime_error with a message naming what cannot be built.
BuildSummary BuildMedia(const Layout& layout, const std::string& outDir, std::ostream& progress);

// The diskette directory name for a number: prefix + "%02d".
std::string DisketteDirName(const std::string& prefix, int number);

// Creates a directory unless it exists (std::runtime_error otherwise).
void MakeDirectory(const std::string& path);

// Methods by name: stored 2, lzh 3, deflate 4, smallest 0; -1 unknown.
int MethodByName(const std::string& name);

} // namespace media
