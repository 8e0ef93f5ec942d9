// Builds archives in memory for the reader tests.
#pragma once
#include "SampleData.h"
#include "archive/MemoryFileSystem.h"
#include "archive/VolumeWriter.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kit {

inline archive::PackedMember Member(const std::string& name, const std::vector<uint8_t>& data, int method,
                                    int16_t dest = 0)
{
    archive::PackedMember m = archive::PackMember(data.data(), data.size(), method);
    m.header.SetName(name);
    m.header.SetDestinationId(dest);
    m.header.SetTime(1000000000);
    m.header.SetAttributes(0x21);
    return m;
}

// Writes the members as volumes "dir/NAME.MF1", "...MF2" split at volumeSize
// (0 = one volume). Returns the volume paths.
inline std::vector<std::string> Write(archive::MemoryFileSystem& fs, std::vector<archive::PackedMember> members,
                                      uint64_t volumeSize = 0, const std::string& first = "in/ARC.MF1")
{
    std::vector<uint64_t> sizes, breaks;
    for (auto& m : members) sizes.push_back(m.stored.size());
    if (volumeSize) archive::VolumePlan(sizes).Plan([&](std::size_t) { return volumeSize; }, breaks);
    std::vector<std::string> names;
    std::string name = first;
    archive::WriteVolumes(members, breaks, [&](std::size_t k) {
        if (k && !archive::NextVolumeName(name, name)) throw std::runtime_error("volume chain too long");
        names.push_back(name);
        return fs.OpenWrite(name);
    });
    return names;
}

inline std::vector<uint8_t> Raw(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

} // namespace kit
