// One decoder over arbitrary streams: LZH (FUZZ_METHOD 3) or deflate (4).
// Input: 3 bytes of expanded size, then the stored stream.
#include "FuzzKit.h"
#include "engine/base/XException.h"
#include "archive/Codec.h"
#include "archive/MemoryFileSystem.h"
#include "framework/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    uint32_t expanded = fuzzkit::TakeSize(data, size);
    std::vector<uint8_t> out;
    try {
        auto codec = archive::CreateCodec(FUZZ_METHOD, 0);
        archive::MemorySource in(data, size);
        archive::VectorSink sink(out, fuzzkit::kOutputLimit);
        codec->ExpandStreams(in, sink, static_cast<uint32_t>(size), expanded);
        if (out.size() != expanded && out.size() < fuzzkit::kOutputLimit) __builtin_trap(); // a short file
    } catch (const fw::Exception&) {
    }
    return 0;
}
