// The media tool's build: diskette directories within capacity, the install
// profile's records, archives that extract to the sources with the reader,
// and the layouts it refuses.
#include "SampleData.h"
#include "archive/ByteStream.h"
#include "archive/Extractor.h"
#include "tools/mediatool/Layout.h"
#include "tools/mediatool/MediaBuilder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class MediaDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
            ("mediatool-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "src");
    }
    void TearDown() override { fs::remove_all(root); }

    void Source(const std::string& name, const std::vector<uint8_t>& data)
    {
        std::ofstream(root / "src" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), data.size());
        sources[name] = data;
    }
    std::string Layout(const std::string& text)
    {
        fs::path p = root / "product.layout";
        std::ofstream(p) << text;
        return p.string();
    }
    // section -> key -> value
    std::map<std::string, std::map<std::string, std::string>> Profile(const fs::path& p)
    {
        std::map<std::string, std::map<std::string, std::string>> out;
        std::ifstream in(p);
        std::string line, section;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            if (line[0] == '[')
                section = line.substr(1, line.size() - 2);
            else
                out[section][line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        }
        return out;
    }
    std::vector<uint8_t> Read(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    fs::path root;
    std::map<std::string, std::vector<uint8_t>> sources;
    std::ostringstream progress;
};

const char kHead[] = "[media]\nCapacity=200000\nClusterSize=512\nProfile=SETUP.INI\nDisketteDir=DISK\n"
                     "[destinations]\n0=|-1|\n2=Bin|0|\n"
                     "[groups]\nMain=Main program|The scanner|1|1|0\nEngine=Engine|Scanning engine|1|1|0\n"
                     "[targets]\nKORW95.EXE=0|-1|0|Korvisan||\n"
                     "[diskettes]\n1=Korvisan Disk 1|\n";

} // namespace

TEST_F(MediaDir, BuildsDiskettesThatExtractWithTheReader)
{
    for (const char* method : {"stored", "lzh", "deflate", "smallest"}) {
        Source("KORW95.EXE", sample::Random(260000, 1));
        Source("README.TXT", sample::Text(30000));
        Source("ENGINE.DLL", sample::Mixed(150000, 2));
        Source("SIGS.DAT", sample::Random(90000));
        Source("EMPTY.CFG", {});
        Source("SETUP.EXE", sample::Random(20000, 8));
        Source("LICENSE.TXT", sample::Text(5000, 3));
        std::string layout =
            Layout(std::string("[media]\nSetup=src/SETUP.EXE\nMethod=") + method + "\n" + kHead +
                   "[archive MAIN.MF1]\nGroup=Main\nText=main files\n"
                   "Member=src/KORW95.EXE|0|Newer\nMember=src/README.TXT|2||0x21\nMember=src/EMPTY.CFG|-1\n"
                   "[file LICENSE.TXT]\nGroup=Main\nSource=src/LICENSE.TXT\nDestination=0\n"
                   "[archive ENGINE.MFA]\nGroup=Engine\n"
                   "Member=src/ENGINE.DLL|0\nMember=src/SIGS.DAT|0\n");
        auto l = media::ReadLayout(layout);
        fs::path out = root / (std::string("out-") + method);
        auto summary = media::BuildMedia(l, out.string(), progress);
        EXPECT_GE(summary.diskettes, 2) << method;

        // Every diskette directory within the capacity, sizes rounded to clusters.
        for (int d = 1; d <= summary.diskettes; ++d) {
            fs::path dir = out / media::DisketteDirName("DISK", d);
            ASSERT_TRUE(fs::is_directory(dir)) << dir;
            uint64_t used = 0;
            for (auto& e : fs::directory_iterator(dir)) used += (fs::file_size(e) + 511) / 512 * 512;
            EXPECT_LE(used, 200000u) << method << " " << dir;
        }
        EXPECT_EQ(Read(out / "DISK01" / "SETUP.EXE"), sources["SETUP.EXE"]);

        auto prof = Profile(out / "DISK01" / "SETUP.INI");
        EXPECT_EQ(prof["destinations"]["2"], "Bin|0|");
        EXPECT_EQ(prof["groups"]["Engine"], "Engine|Scanning engine|1|1|0");
        EXPECT_EQ(prof["targets"]["KORW95.EXE"], "0|-1|0|Korvisan||");
        EXPECT_EQ(prof["diskettes"]["1"], "Korvisan Disk 1|");
        // Size|Kind|FileCount|Diskette (negative: continues)|Destination|Text
        EXPECT_EQ(prof["Main"]["MAIN.MF1"], "290000|1|2|-1|0|main files") << method;
        EXPECT_EQ(prof["Main"]["LICENSE.TXT"].substr(0, 9), "5000|0|1|");
        std::string engine = prof["Engine"]["ENGINE.MFA"];
        EXPECT_EQ(engine.substr(0, 9), "240000|1|");

        // Each chain extracts to its sources, following the diskette directories.
        std::map<std::string, std::vector<uint8_t>> got;
        for (auto& item :
             {std::make_pair("MAIN.MF1", prof["Main"]["MAIN.MF1"]), std::make_pair("ENGINE.MFA", engine)}) {
            std::string v = item.second;
            int disk = std::abs(std::stoi(v.substr(v.find('|', v.find('|', v.find('|') + 1) + 1) + 1)));
            archive::ExtractOptions o;
            o.destination = [&](int16_t, std::string& d) {
                d = (root / "x").string();
                fs::create_directories(d);
                return true;
            };
            o.locateVolume = [&](std::string& path) {
                for (int dd = 1; dd <= summary.diskettes; ++dd) {
                    fs::path c = out / media::DisketteDirName("DISK", dd) / fs::path(path).filename();
                    if (fs::exists(c)) {
                        path = c.string();
                        return true;
                    }
                }
                return false;
            };
            o.extracted = [&](const archive::MemberFile& m, const std::string& p) { got[m.FileName()] = Read(p); };
            archive::ExtractArchive(archive::StdioFileSystem(),
                                    (out / media::DisketteDirName("DISK", disk) / item.first).string(), o);
        }
        for (const char* n : {"KORW95.EXE", "README.TXT", "ENGINE.DLL", "SIGS.DAT"})
            EXPECT_EQ(got[n], sources[n]) << method << n;
        EXPECT_EQ(got.count("EMPTY.CFG"), 0u); // destination -1
        fs::remove_all(root / "x");
    }
}

TEST_F(MediaDir, RefusesLayoutsItCannotRepresent)
{
    Source("BIG.BIN", sample::Random(400000));
    Source("SMALL.TXT", sample::Text(1000));
    auto refused = [&](const std::string& body) -> std::string {
        try {
            media::BuildMedia(media::ReadLayout(Layout(std::string(kHead) + body)), (root / "o").string(), progress);
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "built";
    };
    // Three volumes from MAIN.MF8: MF9, then ':'.
    EXPECT_NE(refused("[archive MAIN.MF8]\nGroup=Main\nMember=src/BIG.BIN|0\n").find("valid file name"),
              std::string::npos);
    EXPECT_EQ(refused("[archive MAIN.MF1]\nGroup=Main\nMember=src/BIG.BIN|0\n"), "built");
    EXPECT_NE(refused("[file BIG.BIN]\nGroup=Main\nSource=src/BIG.BIN\n").find("cannot be split"), std::string::npos);
    EXPECT_NE(refused("[archive A.MF1]\nGroup=Nope\nMember=src/BIG.BIN|0\n").find("not in [groups]"),
              std::string::npos);
    EXPECT_NE(refused("[archive A.MF1]\nGroup=Main\nMember=src/BIG.BIN|0|" + std::string(40, 'r') + "\n").find("rule"),
              std::string::npos);
    EXPECT_NE(refused("[archive A:B]\nGroup=Main\nMember=src/BIG.BIN|0\n").find("valid file name"), std::string::npos);
    EXPECT_NE(refused("[archive A.MF1]\nGroup=Main\nMethod=zip\nMember=src/BIG.BIN|0\n").find("unknown method"),
              std::string::npos);
    EXPECT_NE(refused("[archive A.MF1]\nGroup=Main\nMember=src/NOFILE|0\n").find("NOFILE"), std::string::npos);
    EXPECT_NE(refused("[file small.txt]\nGroup=Main\nSource=src/SMALL.TXT\n[archive "
                      "SMALL.TXT]\nGroup=Main\nMember=src/SMALL.TXT|0\n")
                  .find("two files named"),
              std::string::npos);
    for (const char* key : {"A=B.TXT", ";C.TXT", "[X].TXT"}) {
        Source(key, sample::Text(10));
        EXPECT_NE(
            refused(std::string("[archive K.MF1]\nGroup=Main\nMember=src/") + key + "|0\n").find("install record"),
            std::string::npos)
            << key;
    }
    EXPECT_NE(refused("[groups]\nLong=" + std::string(300, 'x') + "\n").find("254"), std::string::npos);
}
