// mediatool: makes install media and reads archives the way the setup does.
// Commands are documented in README.md ("Media tool") and docs/archive.md.
#include "Layout.h"
#include "MediaBuilder.h"
#include "Report.h"

#include "engine/MediaLayout.h"
#include "archive/ArchiveFormat.h"
#include "archive/Codec.h"
#include "archive/Extractor.h"
#include "archive/MemoryFileSystem.h"
#include "archive/VolumeWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <stdexcept>
#include <vector>

namespace {

const char kUsage[] =
    "usage:\n"
    "  mediatool build LAYOUT OUTDIR          write install media from a product layout\n"
    "  mediatool list VOLUME                  list the members of an archive chain\n"
    "  mediatool extract VOLUME OUTDIR [NAME...]\n"
    "                                         extract all (or the named) members, checking checksums\n"
    "  mediatool verify VOLUME                expand every member and check its checksum\n"
    "  mediatool pack [-m METHOD] [-s VOLUMESIZE] [-d DEST] VOLUME FILE...\n"
    "                                         write one archive chain from files\n"
    "  mediatool encode METHOD IN OUT         compress a file into a raw stream\n"
    "  mediatool decode METHOD IN OUT SIZE    expand a raw stream of SIZE bytes\n"
    "METHOD: stored, lzh, deflate (pack and build also: smallest)\n";

std::string DirOf(const std::string& p)
{
    std::size_t cut = p.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : p.substr(0, cut);
}

// The next volume is looked for beside the current one, then in the sibling
// diskette directory (the setup's rule for CD and network media).
bool LocateVolume(std::string& path)
{
    archive::FileSystem& fs = archive::StdioFileSystem();
    if (fs.Exists(path)) return true;
    std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) return false;
    std::string dir = path.substr(0, cut), name = path.substr(cut + 1);
    std::size_t dcut = dir.find_last_of("/\\");
    std::string leaf = dcut == std::string::npos ? dir : dir.substr(dcut + 1);
    int number = std::atoi(leaf.size() >= 2 ? leaf.c_str() + leaf.size() - 2 : "0");
    auto sibling = SiblingDisketteDirectory(dir, number + 1);
    if (!sibling || !fs.Exists(*sibling + "/" + name)) return false;
    path = *sibling + "/" + name;
    return true;
}

const char* MethodName(int32_t m)
{
    switch (m) {
    case 2: return "stored";
    case 3: return "lzh";
    case 4: return "deflate";
    default: return "?";
    }
}

int List(const std::string& volume)
{
    std::printf("%-24s %5s %10s %10s %-8s %8s %s\n", "name", "dest", "size", "stored", "method", "checksum", "flags");
    archive::ListArchive(
        archive::StdioFileSystem(), volume,
        [](const archive::MemberFile& m) {
            std::string raw;
            if (!m.header.RawName(raw)) raw = "(name without end)";
            std::printf("%-24s %5d %10u %10u %-8s %08X %s%s\n", raw.c_str(), m.header.DestinationId(),
                        m.header.ExpandedSize(), m.header.StoredSize(), MethodName(m.header.Method()),
                        m.header.Checksum(), m.header.Continues() ? "continues " : "", m.header.Rule().c_str());
        },
        LocateVolume);
    return 0;
}

int Extract(const std::string& volume, const std::string& outDir, const std::vector<std::string>& names,
            bool verifyOnly)
{
    archive::ExtractOptions o;
    o.destination = [&](int16_t, std::string& dir) {
        dir = outDir;
        return true;
    };
    if (!names.empty())
        o.select = [&](const archive::MemberFile& m) {
            for (auto& n : names)
                if (n == m.FileName()) return true;
            return false;
        };
    o.locateVolume = LocateVolume;
    o.extracted = [&](const archive::MemberFile& m, const std::string& path) {
        std::printf("%s %s (%u bytes)\n", verifyOnly ? "ok" : "extracted",
                    verifyOnly ? m.FileName().c_str() : path.c_str(), m.header.ExpandedSize());
    };
    if (verifyOnly) {
        // Same reader, bytes dropped: every member is expanded and checked.
        class VerifyFs final : public archive::FileSystem {
        public:
            std::unique_ptr<archive::ReadFile> OpenRead(const std::string& p) override
            {
                return archive::StdioFileSystem().OpenRead(p);
            }
            std::unique_ptr<archive::WriteFile> OpenWrite(const std::string&) override
            {
                class Null final : public archive::WriteFile {
                public:
                    void WriteData(const void*, std::size_t) override {}
                    void Close() override {}
                };
                return std::make_unique<Null>();
            }
            bool Exists(const std::string& p) override { return archive::StdioFileSystem().Exists(p); }
            void Remove(const std::string&) override {}
            void SetTimeAndAttributes(const std::string&, int32_t, uint8_t) override {}
            char Separator() const override { return '/'; }
        } fs;
        auto r = archive::ExtractArchive(fs, volume, o);
        std::printf("%d members verified, %d skipped, %llu bytes\n", r.extracted, r.skipped,
                    static_cast<unsigned long long>(r.bytes));
        return 0;
    }
    media::MakeDirectory(outDir);
    auto r = archive::ExtractArchive(archive::StdioFileSystem(), volume, o);
    std::printf("%d members extracted, %d skipped, %llu bytes\n", r.extracted, r.skipped,
                static_cast<unsigned long long>(r.bytes));
    return 0;
}

bool Beyond32(uint64_t n) { return n > 0xFFFFFFFFull; }

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    auto f = archive::StdioFileSystem().OpenRead(path);
    if (Beyond32(f->Size())) throw std::runtime_error(path + ": beyond the 32-bit sizes of an archive");
    std::vector<uint8_t> data(static_cast<std::size_t>(f->Size()));
    if (!data.empty() && f->ReadData(data.data(), data.size()) != data.size())
        throw std::runtime_error(path + ": short read");
    return data;
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& data)
{
    auto f = archive::StdioFileSystem().OpenWrite(path);
    f->WriteData(data.data(), data.size());
    f->Close();
}

int Pack(int argc, char** argv)
{
    int method = 0;
    uint64_t volumeSize = 0;
    int dest = 0;
    int i = 0;
    for (; i < argc && argv[i][0] == '-'; i += 2) {
        if (i + 1 >= argc) throw std::runtime_error(std::string("missing value after ") + argv[i]);
        if (!std::strcmp(argv[i], "-m"))
            method = media::MethodByName(argv[i + 1]);
        else if (!std::strcmp(argv[i], "-s"))
            volumeSize = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "-d"))
            dest = std::atoi(argv[i + 1]);
        else
            throw std::runtime_error(std::string("unknown option ") + argv[i]);
    }
    if (method < 0) throw std::runtime_error("unknown method");
    if (argc - i < 2) throw std::runtime_error("pack needs a volume name and files");
    std::string volume = argv[i++];
    std::vector<archive::PackedMember> members;
    std::vector<uint64_t> sizes;
    for (; i < argc; ++i) {
        auto data = ReadFileBytes(argv[i]);
        archive::PackedMember best;
        bool first = true;
        for (int m : {2, 3, 4}) {
            if (method && m != method) continue;
            auto pm = archive::PackMember(data.data(), data.size(), m);
            if (first || pm.stored.size() < best.stored.size()) best = std::move(pm);
            first = false;
        }
        std::string name = archive::MemberBaseName(argv[i]);
        if (!best.header.SetName(name)) throw std::runtime_error(name + ": name longer than a header holds");
        best.header.SetTime(static_cast<int32_t>(std::time(nullptr)));
        best.header.SetDestinationId(static_cast<int16_t>(dest));
        best.header.SetAttributes(0x20);
        sizes.push_back(best.stored.size());
        members.push_back(std::move(best));
        std::cerr << '[' << members.size() << "] " << name << ' ' << members.back().header.ExpandedSize() << " -> "
                  << members.back().header.StoredSize() << " (" << MethodName(members.back().header.Method()) << ")\n";
    }
    std::vector<uint64_t> breaks;
    if (volumeSize) {
        archive::VolumePlan plan(sizes);
        if (!plan.Plan([&](std::size_t) { return volumeSize; }, breaks))
            throw std::runtime_error("volume size too small to split these members");
    }
    std::string name = volume;
    std::string dir = DirOf(volume);
    archive::WriteVolumes(members, breaks, [&](std::size_t k) {
        if (k > 0 && !archive::NextVolumeName(name, name))
            throw std::runtime_error("the volume after " + name + " would not have a valid file name");
        std::cerr << "writing " << name << '\n';
        return archive::StdioFileSystem().OpenWrite(name);
    });
    return 0;
}

int Encode(const std::string& method, const std::string& in, const std::string& out)
{
    int m = media::MethodByName(method);
    if (m <= 0) throw std::runtime_error("encode needs stored, lzh or deflate");
    auto data = ReadFileBytes(in);
    WriteFileBytes(out, archive::CompressBytes(data.data(), data.size(), m));
    return 0;
}

int Decode(const std::string& method, const std::string& in, const std::string& out, const std::string& size)
{
    int m = media::MethodByName(method);
    if (m <= 0) throw std::runtime_error("decode needs stored, lzh or deflate");
    auto data = ReadFileBytes(in);
    std::vector<uint8_t> result;
    archive::MemorySource src(data.data(), data.size());
    archive::VectorSink sink(result);
    archive::CreateCodec(m, 0)->ExpandStreams(src, sink, static_cast<uint32_t>(data.size()),
                                              static_cast<uint32_t>(std::strtoul(size.c_str(), nullptr, 10)));
    WriteFileBytes(out, result);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    std::string cmd = argv[1];
    try {
        if (cmd == "build" && argc == 4) {
            auto layout = media::ReadLayout(argv[2]);
            auto s = media::BuildMedia(layout, argv[3], std::cerr);
            std::printf("%d diskettes, %d archives in %d volumes, %d members, %llu bytes packed into %llu\n",
                        s.diskettes, s.archives, s.volumes, s.members, static_cast<unsigned long long>(s.expandedBytes),
                        static_cast<unsigned long long>(s.storedBytes));
            return 0;
        }
        if (cmd == "list" && argc == 3) return List(argv[2]);
        if (cmd == "extract" && argc >= 4)
            return Extract(argv[2], argv[3], std::vector<std::string>(argv + 4, argv + argc), false);
        if (cmd == "verify" && argc == 3) return Extract(argv[2], "", {}, true);
        if (cmd == "pack") return Pack(argc - 2, argv + 2);
        if (cmd == "encode" && argc == 5) return Encode(argv[2], argv[3], argv[4]);
        if (cmd == "decode" && argc == 6) return Decode(argv[2], argv[3], argv[4], argv[5]);
    } catch (const std::runtime_error& e) {
        std::cerr << "mediatool: " << e.what() << '\n';
        return 1;
    } catch (...) {
        std::cerr << DescribeCurrentException() << '\n';
        return 1;
    }
    std::cerr << kUsage;
    return 2;
}
