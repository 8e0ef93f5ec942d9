// The five tables the install profile is loaded into (owned by the run's SetupContext).
// Record formats and loaders: engine/profile/ (ProfileRecords, loaders).
#pragma once
#include "engine/base/PathName.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

struct Destination {
    int16_t Id = 0;
    std::string Name;
    int16_t ParentId = -1;
    PathName Path;
};

struct Group {
    std::string Name;
    std::string Title;
    std::string Text2; // the description under the components list
    int32_t Flag1 = 0; // selected for setup type 1
    int32_t Flag2 = 0; // selected for setup type 2 (the express set)
    int32_t Optional = 0;
    int32_t Selected = 0;
    int32_t Checked = 0; // the components page's check mark
};

struct ArchiveItem {
    std::string FileName;
    int32_t Size = 0;
    int16_t Kind = 0;
    int16_t FileCount = 0;
    int16_t Diskette = 0;
    int32_t Continues = 0;
    int16_t DestinationId = -1;
    std::string Text;
    Group* OwnerGroup = nullptr;
};

struct Target {
    std::string Name;
    int16_t IconIndex = 0;
    int16_t HotKey = -1;
    int32_t Minimized = 0;
    std::string Title;
    std::string Arguments;
    std::string IconFile;
    PathName Path;
};

struct Diskette {
    std::string Label;
    std::string Text2; // carried, not used
};

using DestinationTable = std::map<int16_t, Destination>;
using GroupTable = std::map<std::string, Group>;
using TargetTable = std::map<std::string, Target>; // keyed by upper-case name
using ArchiveList = std::list<ArchiveItem>;
using DisketteTable = std::vector<Diskette>; // indexed by diskette number
