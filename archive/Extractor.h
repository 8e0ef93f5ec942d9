// Whole-archive walks over ArchiveReader, as the media tool and tests use
// them and as the copy engine can: the caller maps destination ids to
// directories, follows progress (and may cancel) and finds further volumes.
#pragma once
#include "archive/ArchiveReader.h"

#include <functional>
#include <string>

namespace archive {

struct ExtractOptions {
    // Directory for a destination id; false = the member is not installed.
    // Members with id -1 are never installed.
    std::function<bool(int16_t id, std::string& directory)> destination;
    // Only members it accepts are extracted (all when empty).
    std::function<bool(const MemberFile&)> select;
    std::function<bool(uint64_t dataPosition)> progress;
    std::function<bool(std::string& path)> locateVolume;
    // After each extracted member, with the path written.
    std::function<void(const MemberFile&, const std::string&)> extracted;
};

struct ExtractResult {
    int extracted = 0;
    int skipped = 0;
    uint64_t bytes = 0; // expanded bytes written
};

ExtractResult ExtractArchive(FileSystem& fs, const std::string& firstVolume, const ExtractOptions& options);

// Calls visit for every member header, reading past the data (across volumes).
void ListArchive(FileSystem& fs, const std::string& firstVolume, const std::function<void(const MemberFile&)>& visit,
                 const std::function<bool(std::string&)>& locateVolume = {});

} // namespace archive
