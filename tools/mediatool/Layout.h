// The product layout the media tool builds install media from. Its format
// is documented in docs/archive.md ("Product layout file").
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace media {

struct LayoutMember {
    std::string source; // path of the file to pack
    int16_t destination = 0;
    std::string rule;
    uint16_t attributes = 0x20;
};

struct LayoutItem {
    bool archive = false;
    std::string name; // file name on the media (first volume for an archive)
    std::string group;
    std::string method; // archives: stored, lzh, deflate, smallest
    std::string text;
    std::vector<LayoutMember> members; // archives
    std::string source;                // plain files
    int16_t destination = 0;           // plain files
    int line = 0;
};

using Records = std::vector<std::pair<std::string, std::string>>;

struct Layout {
    uint64_t capacity = 1457664;
    uint32_t clusterSize = 512;
    std::string method = "smallest";
    std::string profileName = "SETUP.INI";
    std::string disketteDir = "DISK";
    std::vector<std::string> setupFiles;
    Records destinations, groups, targets, diskettes;
    std::vector<LayoutItem> items;
};

// Reads a layout; relative paths are taken from the layout's directory.
// Throws std::runtime_error("file:line: what") on anything it cannot use.
Layout ReadLayout(const std::string& path);

} // namespace media
