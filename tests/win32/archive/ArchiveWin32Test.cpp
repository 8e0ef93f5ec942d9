// The archive reader over Win32 files, as setup.exe runs it: archives of
// every method, members spanning volumes in diskette directories, the
// platform's error causes, and the file time and attributes it sets.
#include "engine/base/XException.h"
#include "tests/support/Outcome.h"
#include "archive/Checksum.h"
#include "archive/Extractor.h"
#include "archive/VolumeWriter.h"
#include "archive/Win32FileSystem.h"
#include "engine/profile/ProfileFileWin32.h"
#include "engine/profile/ProfileLoaders.h"
#include "framework/Exceptions.h"
#include "tools/mediatool/Layout.h"
#include "tools/mediatool/MediaBuilder.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>
#include <windows.h>

using namespace archive;

namespace {

std::vector<uint8_t> Data(std::size_t n, uint32_t seed)
{
    std::vector<uint8_t> v(n);
    uint32_t s = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < n; ++i) {
        s = s * 1103515245u + 12345u;
        // Runs, text-like and noisy stretches.
        v[i] = (i / 5000) % 3 == 0 ? static_cast<uint8_t>('a' + (s >> 16) % 6)
            : (i / 5000) % 3 == 1  ? 0
                                   : static_cast<uint8_t>(s >> 16);
    }
    return v;
}

class TempDir {
public:
    TempDir()
    {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        path_ = std::string(tmp) + "arctest" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    const std::string& Path() const { return path_; }
    std::string Sub(const std::string& name) const
    {
        std::string p = path_ + "\\" + name;
        CreateDirectoryA(p.c_str(), nullptr);
        return p;
    }

private:
    std::string path_;
};

std::vector<uint8_t> ReadAll(const std::string& path)
{
    auto f = Win32FileSystem().OpenRead(path);
    std::vector<uint8_t> v(static_cast<std::size_t>(f->Size()));
    if (!v.empty()) f->ReadData(v.data(), v.size());
    return v;
}

// Writes members into DISKnn directories, one volume per diskette.
std::vector<std::string> WriteDiskettes(const TempDir& dir, std::vector<PackedMember> members, uint64_t volumeSize)
{
    std::vector<uint64_t> sizes, breaks;
    for (auto& m : members) sizes.push_back(m.stored.size());
    if (volumeSize) VolumePlan(sizes).Plan([&](std::size_t) { return volumeSize; }, breaks);
    std::vector<std::string> paths;
    std::string name = "MAIN.MF1";
    WriteVolumes(members, breaks, [&](std::size_t k) {
        if (k) NextVolumeName(name, name);
        char disk[16];
        wsprintfA(disk, "DISK%02d", static_cast<int>(k + 1));
        paths.push_back(dir.Sub(disk) + "\\" + name);
        return Win32FileSystem().OpenWrite(paths.back());
    });
    return paths;
}

} // namespace

TEST(ArchiveWin32, EveryMethodAcrossDisketteDirectories)
{
    for (int method : {2, 3, 4}) {
        TempDir dir;
        std::vector<PackedMember> ms;
        std::vector<std::vector<uint8_t>> data;
        for (int i = 0; i < 5; ++i) {
            data.push_back(Data(30000 + 20000 * i, static_cast<uint32_t>(i + method)));
            PackedMember m = PackMember(data.back().data(), data.back().size(), method);
            m.header.SetName("FILE" + std::to_string(i) + ".BIN");
            m.header.SetDestinationId(static_cast<int16_t>(i % 2));
            m.header.SetTime(900000000);
            m.header.SetAttributes(i == 0 ? 0x21 : 0x20);
            ms.push_back(std::move(m));
        }
        auto vols = WriteDiskettes(dir, ms, method == 2 ? 60000 : 20000);
        ASSERT_GE(vols.size(), 3u);

        std::string out0 = dir.Sub("home"), out1 = dir.Sub("common");
        ExtractOptions o;
        o.destination = [&](int16_t id, std::string& d) {
            d = id == 0 ? out0 : out1;
            return true;
        };
        // The next volume lies in the next diskette directory, as on CD media.
        o.locateVolume = [&](std::string& path) {
            for (auto& v : vols)
                if (v.substr(v.size() - 8) == path.substr(path.size() - 8)) path = v;
            return Win32FileSystem().Exists(path);
        };
        int blocks = 0;
        o.progress = [&](uint64_t) { return ++blocks > 0; };
        ExtractResult r;
        EXPECT_EQ(Outcome([&] { r = ExtractArchive(Win32FileSystem(), vols[0], o); }), "none");
        EXPECT_EQ(r.extracted, 5);
        EXPECT_GT(blocks, 0);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(ReadAll((i % 2 ? out1 : out0) + "\\FILE" + std::to_string(i) + ".BIN"), data[i]);

        std::string first = out0 + "\\FILE0.BIN";
        DWORD attr = GetFileAttributesA(first.c_str());
        EXPECT_TRUE(attr & FILE_ATTRIBUTE_READONLY);
        HANDLE h = CreateFileA(first.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        FILETIME ft;
        GetFileTime(h, nullptr, nullptr, &ft);
        CloseHandle(h);
        uint64_t t = (uint64_t(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) / 10000000ULL - 11644473600ULL;
        EXPECT_EQ(t, 900000000u);
        SetFileAttributesA(first.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(ArchiveWin32, PlatformCausesAndArchiveFailures)
{
    TempDir dir;
    EXPECT_EQ(Outcome([&] { ArchiveReader(Win32FileSystem()).Open(dir.Path() + "\\NOFILE.MF1"); }),
              "CXFileException 2");
    EXPECT_EQ(Outcome([&] { ArchiveReader(Win32FileSystem()).Open(dir.Path() + "\\NODIR\\X.MF1"); }),
              "CXFileException 3");
    {
        auto f = Win32FileSystem().OpenWrite(dir.Path() + "\\NOTARC.MF1");
        f->WriteData("PK\x03\x04 not an archive", 20);
        f->Close();
    }
    EXPECT_EQ(Outcome([&] { ArchiveReader(Win32FileSystem()).Open(dir.Path() + "\\NOTARC.MF1"); }),
              "CMultiFileException 2");

    // Next volume missing: the open fails with the platform's cause.
    auto data = Data(50000, 3);
    PackedMember m = PackMember(data.data(), data.size(), 2);
    m.header.SetName("A.BIN");
    auto vols = WriteDiskettes(dir, {m}, 20000);
    ASSERT_GE(vols.size(), 2u);
    DeleteFileA(vols[1].c_str());
    ExtractOptions o;
    o.destination = [&](int16_t, std::string& d) {
        d = dir.Path();
        return true;
    };
    EXPECT_EQ(Outcome([&] { ExtractArchive(Win32FileSystem(), vols[0], o); }), "CXFileException 2");
    // Refused by the media hook (a cancelled prompt): the member ends short.
    o.locateVolume = [](std::string&) { return false; };
    EXPECT_EQ(Outcome([&] { ExtractArchive(Win32FileSystem(), vols[0], o); }), "CXFileException 14");
    o.locateVolume = nullptr;
    // A damaged member: the partial file is closed, so it can be deleted.
    {
        auto text = Data(60000, 4);
        PackedMember d = PackMember(text.data(), text.size(), 4);
        d.header.SetName("DAMAGED.BIN");
        d.stored[d.stored.size() / 2] ^= 0x55;
        d.stored[d.stored.size() / 2 + 1] ^= 0x55;
        std::string arc = dir.Path() + "\\DAMAGED.MF1";
        std::vector<PackedMember> one;
        one.push_back(std::move(d));
        WriteVolumes(one, {}, [&](std::size_t) { return Win32FileSystem().OpenWrite(arc); });
        ExtractOptions od;
        od.destination = [&](int16_t, std::string& dd) {
            dd = dir.Path();
            return true;
        };
        EXPECT_EQ(Outcome([&] { ExtractArchive(Win32FileSystem(), arc, od); }).substr(0, 14), "CZLibException");
        EXPECT_TRUE(DeleteFileA((dir.Path() + "\\DAMAGED.BIN").c_str()));
    }
    // A destination that cannot be created: the platform's cause.
    o.destination = [&](int16_t, std::string& d) {
        d = dir.Path() + "\\NODIR";
        return true;
    };
    EXPECT_EQ(Outcome([&] { ExtractArchive(Win32FileSystem(), vols[0], o); }), "CXFileException 3");
}

// Media written by the media tool's builder, read back by the Win32 reader.
TEST(ArchiveWin32, MediaBuiltByTheToolExtracts)
{
    for (const char* method : {"stored", "lzh", "deflate"}) {
        TempDir dir;
        std::string src = dir.Sub("src");
        std::vector<std::vector<uint8_t>> data;
        std::string members;
        for (int i = 0; i < 4; ++i) {
            data.push_back(Data(40000 + 30000 * i, static_cast<uint32_t>(7 * i + 1)));
            std::string name = "PART" + std::to_string(i) + ".BIN";
            auto f = Win32FileSystem().OpenWrite(src + "\\" + name);
            f->WriteData(data.back().data(), data.back().size());
            f->Close();
            members += "Member=src\\" + name + "|" + std::to_string(i % 2) + "\n";
        }
        std::string layout = dir.Path() + "\\product.layout";
        {
            std::string text = std::string("[media]\nCapacity=60000\nMethod=") + method +
                "\n[destinations]\n0=|-1|\n1=Sub|0|\n[groups]\nMain=Main|Main|1|1|0\n"
                "[archive MAIN.MFA]\nGroup=Main\nText=main files\n" +
                members + "[file NOTES.TXT]\nGroup=Main\nSource=src\\PART0.BIN\nDestination=1\n";
            auto f = Win32FileSystem().OpenWrite(layout);
            f->WriteData(text.data(), text.size());
            f->Close();
        }
        std::ostringstream progress;
        media::BuildSummary s = media::BuildMedia(media::ReadLayout(layout), dir.Path() + "\\media", progress);
        ASSERT_GE(s.volumes, 3);

        // The profile as the setup loads it, through the platform's profile calls.
        PrivateProfileFile profile(dir.Path() + "\\media\\DISK01\\SETUP.INI");
        DestinationTable destinations;
        GroupTable groups;
        ArchiveList items;
        LoadDestinations(profile, destinations);
        LoadGroups(profile, groups);
        LoadArchiveItems(profile, groups, items);
        EXPECT_EQ(destinations.size(), 2u);
        EXPECT_EQ(destinations[1].Name, std::string("Sub"));
        ASSERT_EQ(items.size(), 2u);
        const ArchiveItem& arc = items.front();
        EXPECT_EQ(arc.FileName, std::string("MAIN.MFA")) << method;
        EXPECT_EQ(arc.Kind, 1);
        EXPECT_EQ(arc.Size, 40000 + 70000 + 100000 + 130000);
        EXPECT_EQ(arc.FileCount, 4);
        EXPECT_EQ(arc.Diskette, 1);
        EXPECT_EQ(arc.Continues, 1);
        EXPECT_EQ(arc.Text, std::string("main files"));
        const ArchiveItem& plain = items.back();
        EXPECT_EQ(plain.FileName, std::string("NOTES.TXT"));
        EXPECT_EQ(plain.Kind, 0);
        EXPECT_EQ(plain.Size, 40000);
        EXPECT_EQ(plain.DestinationId, 1);
        EXPECT_EQ(plain.Diskette, s.diskettes);
        EXPECT_EQ(ReadAll(dir.Path() + "\\media\\" + media::DisketteDirName("DISK", plain.Diskette) + "\\NOTES.TXT"),
                  data[0]);

        std::string home = dir.Sub("home"), sub = dir.Sub("sub");
        ExtractOptions o;
        o.destination = [&](int16_t id, std::string& d) {
            d = id == 0 ? home : sub;
            return true;
        };
        // Diskette directories as on a CD: DISK01, DISK02, ...
        o.locateVolume = [&](std::string& path) {
            std::string name = path.substr(path.find_last_of('\\') + 1);
            for (int d = 1; d <= s.diskettes; ++d) {
                std::string c = dir.Path() + "\\media\\" + media::DisketteDirName("DISK", d) + "\\" + name;
                if (Win32FileSystem().Exists(c)) {
                    path = c;
                    return true;
                }
            }
            return false;
        };
        ExtractResult r;
        EXPECT_EQ(Outcome([&] { r = ExtractArchive(Win32FileSystem(), dir.Path() + "\\media\\DISK01\\MAIN.MFA", o); }),
                  "none")
            << method;
        EXPECT_EQ(r.extracted, 4) << method;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(ReadAll((i % 2 ? sub : home) + "\\PART" + std::to_string(i) + ".BIN"), data[i]) << method << i;
    }
}
