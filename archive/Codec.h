// Decompression methods. A Codec reads a member's stored bytes from a source
// (the archive reader) and writes the expanded bytes to a destination (the
// member file); Compress does the reverse for the media tool. The virtual
// operations keep the order the setup's method objects have always had.
#pragma once
#include "archive/ByteStream.h"

#include <cstdint>
#include <memory>

namespace archive {

class Codec {
public:
    virtual ~Codec();
    // Asks a running Expand to stop; only LZH stops early (between blocks).
    virtual void Abort();
    // One byte from the source, or -1 at its end.
    virtual int ReadByte();
    virtual std::size_t ReadBlock(void* buffer, std::size_t count);
    virtual void WriteByte(uint8_t b);
    virtual void WriteBlock(const void* buffer, std::size_t count);
    // Packs the whole source into the destination.
    virtual void Compress() = 0;
    virtual void CompressStreams(DataSource& source, DataSink& destination);
    // Unpacks exactly `expanded` bytes from at most `stored` source bytes.
    virtual void Expand(uint32_t stored, uint32_t expanded) = 0;
    virtual void ExpandStreams(DataSource& source, DataSink& destination, uint32_t stored, uint32_t expanded);

    bool Aborted() const { return abort_; }
    bool Busy() const { return busy_; }

protected:
    DataSource* source_ = nullptr;
    DataSink* destination_ = nullptr;
    bool abort_ = false;
    bool busy_ = false;
};

// 2 stored, 3 LZH, 4 deflate; null for any other method. The parameter is
// carried by the archive but not used by any method.
std::unique_ptr<Codec> CreateCodec(int32_t method, int32_t parameter);

} // namespace archive
