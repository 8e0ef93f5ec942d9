// The archive reader over in-memory volumes, extracting into memory.
// Input: one byte n (volumes = 1 + n % 4), then 2 bytes per further volume
// giving the length of each volume but the last, then the volume bytes.
#include "FuzzKit.h"
#include "engine/base/XException.h"
#include "archive/Extractor.h"
#include "archive/MemoryFileSystem.h"
#include "framework/Exceptions.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    int volumes = 1 + data[0] % 4;
    ++data;
    --size;
    archive::MemoryFileSystem fs(fuzzkit::kOutputLimit);
    std::string name = "in/ARC.MF1";
    for (int v = 0; v < volumes; ++v) {
        std::size_t len = size;
        if (v + 1 < volumes && size >= 2) {
            len = data[0] | (data[1] << 8);
            data += 2;
            size -= 2;
            if (len > size) len = size;
        }
        fs.Put(name, std::vector<uint8_t>(data, data + len));
        data += len;
        size -= len;
        archive::NextVolumeName(name, name);
    }
    archive::ExtractOptions o;
    o.destination = [](int16_t id, std::string& dir) {
        dir = "out/" + std::to_string(id);
        return true;
    };
    o.extracted = [&](const archive::MemberFile&, const std::string& path) {
        // Nothing is ever written outside the destination directories.
        std::size_t dir = path.find('/', 4);
        std::string name = dir == std::string::npos ? std::string() : path.substr(dir + 1);
        if (path.rfind("out/", 0) != 0 || name.empty() || name == "." || name == ".." ||
            name.find_first_of("/\\:") != std::string::npos)
            __builtin_trap();
    };
    try {
        archive::ExtractArchive(fs, "in/ARC.MF1", o);
    } catch (const fw::Exception&) {
    }
    for (auto& f : fs.Files())
        if (f.first.rfind("in/", 0) != 0 && f.first.rfind("out/", 0) != 0) __builtin_trap();
    return 0;
}
