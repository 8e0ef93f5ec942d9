// Our LZH encoder's output must decode to its input, whatever the input.
#include "archive/Codec.h"
#include "archive/MemoryFileSystem.h"
#include "archive/VolumeWriter.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::vector<uint8_t> packed = archive::CompressBytes(data, size, archive::kMethodLzh);
    std::vector<uint8_t> out;
    auto codec = archive::CreateCodec(archive::kMethodLzh, 0);
    archive::MemorySource in(packed.data(), packed.size());
    archive::VectorSink sink(out);
    codec->ExpandStreams(in, sink, static_cast<uint32_t>(packed.size()), static_cast<uint32_t>(size));
    if (out.size() != size || (size && std::memcmp(out.data(), data, size) != 0)) __builtin_trap();
    return 0;
}
