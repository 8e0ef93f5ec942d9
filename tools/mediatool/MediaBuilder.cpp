#include "MediaBuilder.h"

#include "archive/ArchiveFormat.h"
#include "archive/ByteStream.h"
#include "archive/Checksum.h"
#include "archive/VolumeWriter.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#endif

namespace media {
namespace {

using archive::PackedMember;

constexpr uint64_t kMax32 = 0xFFFFFFFFull;
constexpr std::size_t kMaxProfileValue = 254;

std::vector<uint8_t> ReadWhole(const std::string& path, int32_t& mtime)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) throw std::runtime_error(path + ": " + std::strerror(errno));
    if (uint64_t(st.st_size) > kMax32)
        throw std::runtime_error(path + ": " + std::to_string(uint64_t(st.st_size)) +
                                 " bytes is beyond the 32-bit sizes of the archive and profile");
    mtime = static_cast<int32_t>(st.st_mtime);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw std::runtime_error(path + ": " + std::strerror(errno));
    std::vector<uint8_t> data(static_cast<std::size_t>(st.st_size));
    std::size_t got = data.empty() ? 0 : std::fread(data.data(), 1, data.size(), f);
    (void)std::fclose(f); // read only: a failed close loses nothing
    if (got != data.size()) throw std::runtime_error(path + ": short read");
    return data;
}

void WriteWhole(const std::string& path, const void* data, std::size_t size)
{
    auto f = archive::StdioFileSystem().OpenWrite(path);
    f->WriteData(data, size);
    f->Close();
}

std::string BaseName(const std::string& p)
{
    std::size_t cut = p.find_last_of("/\\");
    return cut == std::string::npos ? p : p.substr(cut + 1);
}

void CheckMediaName(const std::string& name, const std::string& what)
{
    if (name.empty() || name.size() > 255 || name == "." || name == "..")
        throw std::runtime_error(what + ": '" + name + "' is not a valid file name");
    for (unsigned char c : name)
        if (c < 0x20 || std::strchr("/\\:*?\"<>|", c))
            throw std::runtime_error(what + ": '" + name + "' is not a valid file name");
    if (!archive::ReadsBackAsProfileKey(name))
        throw std::runtime_error(what + ": '" + name + "' cannot be a key of the install record");
}

struct PackedArchive {
    const LayoutItem* item;
    std::vector<PackedMember> members;
    uint64_t installedSize = 0;
    int installedCount = 0;
};

struct PlacedItem {
    int diskette = 0;
    bool continues = false;
    std::vector<uint64_t> breaks; // archives
    int volumes = 1;
};

uint64_t RoundUp(uint64_t n, uint32_t cluster) { return (n + cluster - 1) / cluster * cluster; }

} // namespace

void MakeDirectory(const std::string& path)
{
#ifdef _WIN32
    int r = _mkdir(path.c_str());
#else
    int r = mkdir(path.c_str(), 0777);
#endif
    if (r != 0 && errno != EEXIST) throw std::runtime_error(path + ": " + std::strerror(errno));
}

int MethodByName(const std::string& name)
{
    if (name == "stored") return archive::kMethodStored;
    if (name == "lzh") return archive::kMethodLzh;
    if (name == "deflate") return archive::kMethodDeflate;
    if (name == "smallest") return 0;
    return -1;
}

std::string DisketteDirName(const std::string& prefix, int number)
{
    char num[16];
    (void)std::snprintf(num, sizeof num, "%02d", number); // an int always fits
    return prefix + num;
}

BuildSummary BuildMedia(const Layout& layout, const std::string& outDir, std::ostream& progress)
{
    BuildSummary summary;
    std::set<std::string> groupNames;
    for (auto& g : layout.groups) groupNames.insert(g.first);
    CheckMediaName(layout.profileName, "Profile");
    std::set<std::string> mediaNames;
    for (const LayoutItem& it : layout.items) {
        CheckMediaName(it.name, "[" + std::string(it.archive ? "archive" : "file") + "]");
        if (!groupNames.count(it.group))
            throw std::runtime_error(it.name + ": group '" + it.group + "' is not in [groups]");
        if (it.archive && MethodByName(it.method.empty() ? layout.method : it.method) < 0)
            throw std::runtime_error(it.name + ": unknown method '" + it.method + "'");
    }
    if (MethodByName(layout.method) < 0) throw std::runtime_error("unknown method '" + layout.method + "'");

    // Pack every archive's members.
    std::vector<PackedArchive> packed;
    std::size_t totalMembers = 0, done = 0;
    for (const LayoutItem& it : layout.items) totalMembers += it.members.size();
    for (const LayoutItem& it : layout.items) {
        if (!it.archive) continue;
        PackedArchive pa;
        pa.item = &it;
        int method = MethodByName(it.method.empty() ? layout.method : it.method);
        for (const LayoutMember& lm : it.members) {
            int32_t mtime = 0;
            std::vector<uint8_t> data = ReadWhole(lm.source, mtime);
            PackedMember best;
            const int candidates[] = {archive::kMethodStored, archive::kMethodLzh, archive::kMethodDeflate};
            bool first = true;
            for (int m : candidates) {
                if (method != 0 && m != method) continue;
                PackedMember pm = archive::PackMember(data.data(), data.size(), m);
                if (first || pm.stored.size() < best.stored.size()) best = std::move(pm);
                first = false;
            }
            if (best.stored.size() > kMax32) throw std::runtime_error(lm.source + ": packed size is beyond 32 bits");
            std::string name = BaseName(lm.source);
            if (!best.header.SetName(name))
                throw std::runtime_error(lm.source + ": member name '" + name + "' is longer than the " +
                                         std::to_string(archive::kNameFieldSize - 1) + " characters a header holds");
            CheckMediaName(name, lm.source);
            if (!best.header.SetRule(lm.rule))
                throw std::runtime_error(lm.source + ": replacement rule '" + lm.rule + "' is longer than " +
                                         std::to_string(archive::kRuleFieldSize - 1) + " characters");
            best.header.SetTime(mtime);
            best.header.SetDestinationId(lm.destination);
            best.header.SetAttributes(lm.attributes);
            if (lm.destination != -1) {
                pa.installedSize += data.size();
                ++pa.installedCount;
            }
            ++done;
            static const char* names[] = {"", "", "stored", "lzh", "deflate"};
            progress << "[" << done << "/" << totalMembers << "] " << it.name << ": " << name << " " << data.size()
                     << " -> " << best.stored.size() << " (" << names[best.header.Method()] << ")\n"
                     << std::flush;
            summary.expandedBytes += data.size();
            summary.storedBytes += best.stored.size();
            pa.members.push_back(std::move(best));
        }
        if (pa.installedSize > 0x7FFFFFFFull)
            throw std::runtime_error(it.name + ": installed size " + std::to_string(pa.installedSize) +
                                     " is beyond the profile's 32-bit Size");
        if (pa.installedCount > 32767) throw std::runtime_error(it.name + ": more than 32767 files");
        summary.members += static_cast<int>(pa.members.size());
        packed.push_back(std::move(pa));
    }

    // Sizes of what goes on the media besides the archives.
    std::map<const LayoutItem*, uint64_t> plainSize;
    std::map<const LayoutItem*, std::vector<uint8_t>> plainData;
    std::map<const LayoutItem*, int32_t> plainTime;
    for (const LayoutItem& it : layout.items) {
        if (it.archive) continue;
        int32_t t = 0;
        plainData[&it] = ReadWhole(it.source, t);
        plainTime[&it] = t;
        plainSize[&it] = plainData[&it].size();
        if (plainSize[&it] > 0x7FFFFFFFull)
            throw std::runtime_error(it.name + ": size beyond the profile's 32-bit Size");
    }
    std::vector<std::vector<uint8_t>> setupData;
    uint64_t setupBytes = 0;
    for (const std::string& s : layout.setupFiles) {
        int32_t t = 0;
        setupData.push_back(ReadWhole(s, t));
        setupBytes += RoundUp(setupData.back().size(), layout.clusterSize);
    }
    const uint64_t cap = layout.capacity / layout.clusterSize * layout.clusterSize;

    // Lays everything out with `reserve` bytes on diskette 1 for the profile.
    std::map<const LayoutItem*, PlacedItem> placed;
    int lastDiskette = 1;
    auto place = [&](uint64_t reserve) {
        placed.clear();
        std::map<int, uint64_t> used;
        // DOS names are not case-sensitive: one file of a name per diskette.
        std::map<int, std::set<std::string>> names;
        auto claim = [&](int d, const std::string& name) {
            std::string upper;
            for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (!names[d].insert(upper).second)
                throw std::runtime_error("two files named " + name + " on diskette " + std::to_string(d));
        };
        claim(1, layout.profileName);
        for (const std::string& s : layout.setupFiles) claim(1, BaseName(s));
        int disk = 1;
        used[1] = setupBytes + reserve;
        if (used[1] > cap) throw std::runtime_error("the setup files and the profile do not fit on diskette 1");
        std::size_t ai = 0;
        for (const LayoutItem& it : layout.items) {
            PlacedItem p;
            if (!it.archive) {
                uint64_t size = RoundUp(plainSize[&it], layout.clusterSize);
                if (size > cap)
                    throw std::runtime_error(it.name + ": a plain file larger than a diskette cannot be split");
                if (used[disk] + size > cap) ++disk;
                used[disk] += size;
                p.diskette = disk;
                claim(disk, it.name);
            } else {
                PackedArchive& pa = packed[ai++];
                std::vector<uint64_t> sizes;
                for (auto& m : pa.members) sizes.push_back(m.stored.size());
                archive::VolumePlan plan(sizes);
                int start = disk;
                auto capacityFor = [&](std::size_t k) { return k == 0 ? cap - used[start] : cap; };
                if (!plan.Plan(capacityFor, p.breaks)) {
                    start = disk + 1;
                    if (!plan.Plan(capacityFor, p.breaks))
                        throw std::runtime_error(it.name +
                                                 ": the diskette capacity is too small to split this archive");
                }
                p.diskette = start;
                p.volumes = static_cast<int>(p.breaks.size()) + 1;
                p.continues = p.volumes > 1;
                uint64_t lastSize =
                    archive::kArchiveHeaderSize + plan.StreamSize() - (p.breaks.empty() ? 0 : p.breaks.back());
                disk = start + p.volumes - 1;
                if (p.volumes == 1)
                    used[disk] += RoundUp(lastSize, layout.clusterSize);
                else
                    used[disk] = RoundUp(lastSize, layout.clusterSize);
                // The chain's names must all be valid.
                std::string name = it.name;
                claim(start, name);
                for (int v = 1; v < p.volumes; ++v) {
                    std::string next;
                    if (!archive::NextVolumeName(name, next))
                        throw std::runtime_error(it.name + ": needs " + std::to_string(p.volumes) +
                                                 " volumes, but the volume after " + name +
                                                 " would not have a valid file name (its last character plus one)");
                    name = next;
                    claim(start + v, name);
                }
            }
            if (disk > 32767) throw std::runtime_error("more than 32767 diskettes");
            placed[&it] = p;
        }
        lastDiskette = disk;
    };

    auto profileText = [&]() {
        std::string out;
        auto section = [&](const std::string& name, const Records& recs) {
            out += "[" + name + "]\r\n";
            for (auto& r : recs) {
                if (r.second.size() > kMaxProfileValue)
                    throw std::runtime_error("[" + name + "] " + r.first + ": value longer than 254 characters");
                out += r.first + "=" + r.second + "\r\n";
            }
            out += "\r\n";
        };
        section("destinations", layout.destinations);
        section("groups", layout.groups);
        section("targets", layout.targets);
        section("diskettes", layout.diskettes);
        std::size_t ai = 0;
        std::map<std::string, Records> groupItems;
        for (const LayoutItem& it : layout.items) {
            const PlacedItem& p = placed[&it];
            uint64_t size;
            int kind, count;
            int16_t dest = 0;
            if (it.archive) {
                size = packed[ai].installedSize;
                count = packed[ai].installedCount;
                ++ai;
                kind = 1;
            } else {
                size = plainSize[&it];
                count = 1;
                kind = 0;
                dest = it.destination;
            }
            int disk = p.continues ? -p.diskette : p.diskette;
            groupItems[it.group].push_back({it.name,
                                            std::to_string(size) + "|" + std::to_string(kind) + "|" +
                                                std::to_string(count) + "|" + std::to_string(disk) + "|" +
                                                std::to_string(dest) + "|" + it.text});
        }
        for (auto& g : layout.groups)
            if (groupItems.count(g.first)) section(g.first, groupItems[g.first]);
        return out;
    };

    uint64_t reserve = 0;
    std::string profile;
    for (int round = 0;; ++round) {
        place(reserve);
        profile = profileText();
        uint64_t need = RoundUp(profile.size(), layout.clusterSize);
        if (need <= reserve) break;
        if (round == 4) throw std::runtime_error("the profile does not settle in size");
        reserve = need;
    }

    // Write the media.
    MakeDirectory(outDir);
    for (int d = 1; d <= lastDiskette; ++d) MakeDirectory(outDir + "/" + DisketteDirName(layout.disketteDir, d));
    auto dirOf = [&](int d) { return outDir + "/" + DisketteDirName(layout.disketteDir, d); };
    for (std::size_t i = 0; i < setupData.size(); ++i)
        WriteWhole(dirOf(1) + "/" + BaseName(layout.setupFiles[i]), setupData[i].data(), setupData[i].size());
    WriteWhole(dirOf(1) + "/" + layout.profileName, profile.data(), profile.size());
    std::size_t ai = 0;
    for (const LayoutItem& it : layout.items) {
        const PlacedItem& p = placed[&it];
        if (!it.archive) {
            const auto& d = plainData[&it];
            WriteWhole(dirOf(p.diskette) + "/" + it.name, d.data(), d.size());
            continue;
        }
        PackedArchive& pa = packed[ai++];
        std::string name = it.name;
        auto open = [&](std::size_t k) {
            if (k > 0) archive::NextVolumeName(name, name);
            progress << "writing " << DisketteDirName(layout.disketteDir, p.diskette + static_cast<int>(k)) << "/"
                     << name << "\n"
                     << std::flush;
            return archive::StdioFileSystem().OpenWrite(dirOf(p.diskette + static_cast<int>(k)) + "/" + name);
        };
        archive::WriteVolumes(pa.members, p.breaks, open);
        ++summary.archives;
        summary.volumes += p.volumes;
    }
    summary.diskettes = lastDiskette;
    return summary;
}

} // namespace media
