// Prints throughput figures for the archive code next to the LZH peers on
// the same 50 MB of mixed data, each next to what bounds it (the checksum
// next to zlib's crc32, stored extraction next to a plain file copy), and
// the peak memory of extracting large members. Timed figures are the best
// of several runs. Run through scripts/bench-archive.sh (optimised, no
// sanitizers).
#include "archive/Checksum.h"
#include "archive/Codec.h"
#include "archive/Extractor.h"
#include "archive/MemoryFileSystem.h"
#include "archive/StoredCodec.h"
#include "archive/VolumeWriter.h"
#include "tests/native/archive/SampleData.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <zlib.h>

using namespace archive;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point a) { return std::chrono::duration<double>(Clock::now() - a).count(); }
double Mb(std::size_t n) { return n / 1e6; }

void SaveBytes(const std::string& path, const std::vector<uint8_t>& d)
{
    auto f = StdioFileSystem().OpenWrite(path);
    f->WriteData(d.data(), d.size());
    f->Close();
}

std::vector<uint8_t> LoadBytes(const std::string& path)
{
    auto f = StdioFileSystem().OpenRead(path);
    std::vector<uint8_t> d(static_cast<std::size_t>(f->Size()));
    f->ReadData(d.data(), d.size());
    return d;
}

// One archive volume holding one member packed with method.
void WriteArchive(const std::string& path, const std::vector<uint8_t>& data, int method,
                  const std::vector<uint8_t>* stored = nullptr)
{
    PackedMember m;
    if (stored) {
        m.header.Init();
        m.stored = *stored;
        m.header.SetMethod(method);
        m.header.SetExpandedSize(static_cast<uint32_t>(data.size()));
        m.header.SetStoredSize(static_cast<uint32_t>(stored->size()));
        m.header.SetChecksum(Checksum::Of(data.data(), data.size()));
    } else {
        m = PackMember(data.data(), data.size(), method);
    }
    m.header.SetName("MEMBER.BIN");
    std::vector<PackedMember> ms;
    ms.push_back(std::move(m));
    WriteVolumes(ms, {}, [&](std::size_t) { return StdioFileSystem().OpenWrite(path); });
}

void Extract(const std::string& volume, const std::string& dir)
{
    ExtractOptions o;
    o.destination = [&](int16_t, std::string& d) {
        d = dir;
        return true;
    };
    ExtractArchive(StdioFileSystem(), volume, o);
}

// The high-water mark of this process's resident memory (KiB), from the
// kernel's per-address-space figure (fresh after exec).
long PeakRssKiB()
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (!std::strncmp(line, "VmHWM:", 6)) kb = std::atol(line + 6);
    std::fclose(f);
    return kb;
}

// Peak resident memory of a new process that extracts the archive (KiB).
long ChildPeakRss(const char* self, const std::string& volume, const std::string& dir)
{
    std::string cmd = std::string(self) + " --extract " + volume + " " + dir;
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    long kb = -1;
    if (std::fscanf(p, "%ld", &kb) != 1) kb = -1;
    return pclose(p) == 0 ? kb : -1;
}

// The shortest of runs timings of f, in seconds.
template <class F> double Best(int runs, F f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) best = std::min(best, f());
    return best;
}

// The bytes of one file read and written to another through a buffer of the
// stored method's size: what stored extraction does, less the archive.
double PlainCopy(const std::string& from, const std::string& to)
{
    auto t0 = Clock::now();
    auto in = StdioFileSystem().OpenRead(from);
    auto out = StdioFileSystem().OpenWrite(to);
    std::vector<uint8_t> buffer(StoredCodec::kBufferSize);
    while (std::size_t n = in->ReadData(buffer.data(), buffer.size())) out->WriteData(buffer.data(), n);
    out->Close();
    return Seconds(t0);
}

double Run(const std::string& cmd)
{
    auto t = Clock::now();
    if (std::system(cmd.c_str()) != 0) return -1;
    return Seconds(t);
}

void Row(const char* what, std::size_t bytes, double secs, const char* note = "")
{
    if (secs < 0)
        std::printf("  %-44s %10s  %s\n", what, "n/a", note);
    else
        std::printf("  %-44s %8.1f MB/s  %s\n", what, Mb(bytes) / secs, note);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && !std::strcmp(argv[1], "--extract")) {
        Extract(argv[2], argv[3]);
        std::printf("%ld\n", PeakRssKiB());
        return 0;
    }
    std::size_t size = argc > 1 ? std::strtoul(argv[1], nullptr, 10) * 1000000 : 50000000;
    char tmpl[] = "/tmp/bench-archive.XXXXXX";
    std::string dir = mkdtemp(tmpl);
    std::string out = dir + "/out";
    std::system(("mkdir -p " + out).c_str());

    std::printf("Extraction memory (peak RSS of a process extracting one LZH member to a file):\n");
    for (std::size_t mb : {10, 100}) {
        auto data = sample::Mixed(mb * 1000000, 11);
        WriteArchive(dir + "/rss.MF1", data, kMethodLzh);
        data = {};
        long kb = ChildPeakRss(argv[0], dir + "/rss.MF1", out);
        std::printf("  %3zu MB member: %ld KiB\n", mb, kb);
    }

    auto data = sample::Mixed(size, 4);
    std::printf("\nOn %.0f MB of mixed data (text, random, runs, structured):\n", Mb(size));

    // Alternating runs, so that both see the same machine.
    uint32_t sum = 0;
    uLong zsum = 0;
    double sumSecs = 1e30, zlibSecs = 1e30;
    for (int i = 0; i < 5; ++i) {
        auto t0 = Clock::now();
        sum = Checksum::Of(data.data(), data.size());
        sumSecs = std::min(sumSecs, Seconds(t0));
        t0 = Clock::now();
        zsum = crc32_z(0, data.data(), data.size());
        zlibSecs = std::min(zlibSecs, Seconds(t0));
    }
    Row("checksum", size, sumSecs);
    char note[160];
    std::snprintf(note, sizeof note, "checksum at %.2fx this (crc32 %08lX)", zlibSecs / sumSecs, zsum);
    Row("zlib crc32", size, zlibSecs, note);

    auto t = Clock::now();
    auto ours = CompressBytes(data.data(), data.size(), kMethodLzh);
    double encodeSecs = Seconds(t);

    SaveBytes(dir + "/mixed.bin", data);
    bool peers = std::system("command -v jlha >/dev/null && command -v lha >/dev/null") == 0;
    double jlhaSecs = -1;
    std::vector<uint8_t> jlhaStream;
    if (peers) {
        jlhaSecs = Run("cd " + dir + " && jlha a j.lzh mixed.bin >/dev/null 2>&1");
        auto lzh = LoadBytes(dir + "/j.lzh");
        // Level-2 header: total header size in its first two bytes, packed size at 7.
        if (lzh.size() > 30 && lzh[20] == 2 && !std::memcmp(&lzh[2], "-lh5-", 5)) {
            std::size_t hs = lzh[0] | lzh[1] << 8;
            std::size_t packed = lzh[7] | lzh[8] << 8 | lzh[9] << 16 | std::size_t(lzh[10]) << 24;
            jlhaStream.assign(lzh.begin() + hs, lzh.begin() + hs + packed);
        }
    }
    std::snprintf(note, sizeof note, "ratio %.2f%% (%zu bytes)", 100.0 * ours.size() / size, ours.size());
    Row("LZH encode, ours", size, encodeSecs, note);
    if (!jlhaStream.empty()) {
        std::snprintf(note, sizeof note, "ratio %.2f%% (%zu bytes); ours is %+.2f%%; includes JVM start",
                      100.0 * jlhaStream.size() / size, jlhaStream.size(),
                      100.0 * (double(ours.size()) / jlhaStream.size() - 1));
        Row("LZH encode, jlha", size, jlhaSecs, note);
    }

    auto decode = [&](const std::vector<uint8_t>& stream) {
        std::vector<uint8_t> o;
        o.reserve(size);
        MemorySource in(stream.data(), stream.size());
        VectorSink sink(o);
        auto c = CreateCodec(kMethodLzh, 0);
        auto t0 = Clock::now();
        c->ExpandStreams(in, sink, static_cast<uint32_t>(stream.size()), static_cast<uint32_t>(size));
        double s = Seconds(t0);
        return o == data ? s : -1.0;
    };
    Row("LZH decode to memory, ours, of our stream", size, decode(ours));
    if (!jlhaStream.empty()) Row("LZH decode to memory, ours, of jlha's stream", size, decode(jlhaStream));
    if (peers) {
        Row("LZH decode to /dev/null, lhasa (lha p)", size, Run("lha pq " + dir + "/j.lzh > /dev/null"));
        Row("LZH extract to a file, lhasa (lha x)", size, Run("cd " + out + " && lha xqf ../j.lzh"));
    }

    auto member = [&](int method, const std::vector<uint8_t>* stored, int runs) {
        WriteArchive(dir + "/m.MF1", data, method, stored);
        return Best(runs, [&] {
            auto t0 = Clock::now();
            Extract(dir + "/m.MF1", out);
            return Seconds(t0);
        });
    };
    Row("LZH member extraction to a file, ours", size, member(kMethodLzh, &ours, 3));
    Row("deflate member extraction to a file", size, member(kMethodDeflate, nullptr, 3));
    WriteArchive(dir + "/m.MF1", data, kMethodStored);
    double storedSecs = 1e30, copySecs = 1e30;
    for (int i = 0; i < 5; ++i) {
        auto t0 = Clock::now();
        Extract(dir + "/m.MF1", out);
        storedSecs = std::min(storedSecs, Seconds(t0));
        copySecs = std::min(copySecs, PlainCopy(dir + "/mixed.bin", out + "/copy.bin"));
    }
    Row("stored member extraction to a file", size, storedSecs);
    std::snprintf(note, sizeof note, "stored extraction at %.2fx this", copySecs / storedSecs);
    char label[64];
    std::snprintf(label, sizeof label, "plain file copy to a file, %zu-byte buffer", StoredCodec::kBufferSize);
    Row(label, size, copySecs, note);
    std::printf("  (member extraction includes the checksum %08X and the file write)\n", sum);
    std::system(("rm -rf " + dir).c_str());
    return 0;
}
