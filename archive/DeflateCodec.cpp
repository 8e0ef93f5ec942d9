#include "archive/DeflateCodec.h"

#include "engine/base/XException.h"
#include "archive/ZlibCheck.h"

#include <algorithm>
#include <zlib.h>

namespace archive {
namespace {

// Ends the zlib stream on every way out; the result is checked only on the
// normal path, so a first failure is not masked by the clean-up.
struct InflateStream {
    z_stream zs{};
    bool open = false;
    ~InflateStream()
    {
        if (open) inflateEnd(&zs);
    }
    void End()
    {
        open = false;
        CheckZlibResult(inflateEnd(&zs));
    }
};

struct DeflateStream {
    z_stream zs{};
    bool open = false;
    ~DeflateStream()
    {
        if (open) deflateEnd(&zs);
    }
};

} // namespace

DeflateCodec::DeflateCodec() : in_(new uint8_t[kBufferSize]), out_(new uint8_t[kBufferSize]) {}

void DeflateCodec::Compress()
{
    DeflateStream s;
    CheckZlibResult(deflateInit2(&s.zs, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY));
    s.open = true;
    bool end = false;
    while (!end) {
        std::size_t n = ReadBlock(in_.get(), kBufferSize);
        int flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
        s.zs.next_in = in_.get();
        s.zs.avail_in = static_cast<uInt>(n);
        do {
            s.zs.next_out = out_.get();
            s.zs.avail_out = kBufferSize;
            int r = deflate(&s.zs, flush);
            if (r == Z_STREAM_END)
                end = true;
            else if (r != Z_BUF_ERROR)
                CheckZlibResult(r);
            WriteBlock(out_.get(), kBufferSize - s.zs.avail_out);
        } while (s.zs.avail_out == 0 || (flush == Z_FINISH && !end));
    }
    s.open = false;
    CheckZlibResult(deflateEnd(&s.zs));
}

void DeflateCodec::Expand(uint32_t stored, uint32_t expanded)
{
    InflateStream s;
    z_stream& zs = s.zs;
    CheckZlibResult(inflateInit2(&zs, 15));
    s.open = true;

    uint32_t readTotal = 0; // source bytes taken, never more than `stored`
    auto refill = [&] {
        std::size_t want = std::min<std::size_t>(stored - readTotal, kBufferSize);
        std::size_t n = want ? ReadBlock(in_.get(), want) : 0;
        readTotal += static_cast<uint32_t>(n);
        zs.next_in = in_.get();
        zs.avail_in = static_cast<uInt>(n);
    };

    // The output never goes beyond `expanded`: avail_out is cut to what is
    // still owed, so a stream that runs longer is caught below, not written.
    uint32_t produced = 0; // bytes inflated so far
    std::size_t used = 0;  // bytes waiting in out_
    bool ended = false;
    while (produced != expanded) {
        if (Aborted()) return; // nothing more is read, no next volume asked for
        if (zs.avail_in == 0) refill();
        if (used == kBufferSize) {
            WriteBlock(out_.get(), kBufferSize);
            used = 0;
        }
        uint32_t room = static_cast<uint32_t>(std::min<std::size_t>(kBufferSize - used, expanded - produced));
        zs.next_out = out_.get() + used;
        zs.avail_out = room;
        int r = inflate(&zs, Z_NO_FLUSH);
        uint32_t got = room - zs.avail_out;
        used += got;
        produced += got;
        if (r == Z_STREAM_END) {
            ended = true;
            break;
        }
        CheckZlibResult(r);
    }
    WriteBlock(out_.get(), used);

    // A stream that ends before the expanded size is damaged.
    if (ended && produced != expanded) throw CZLibException(kZDataError);
    // All bytes are out; the stream must end here, not deliver more. An
    // empty member is only initialised and ended, without reading.
    while (!ended && expanded != 0) {
        if (zs.avail_in == 0) refill();
        uint8_t extra;
        zs.next_out = &extra;
        zs.avail_out = 1;
        int r = inflate(&zs, Z_NO_FLUSH);
        if (zs.avail_out == 0) throw CZLibException(kZDataError);
        if (r == Z_STREAM_END) break;
        CheckZlibResult(r);
    }
    s.End();
}

} // namespace archive
