#include "archive/Codec.h"

#include "archive/DeflateCodec.h"
#include "archive/LzhCodec.h"
#include "archive/StoredCodec.h"

namespace archive {

Codec::~Codec() = default;

void Codec::Abort() { abort_ = true; }

int Codec::ReadByte()
{
    uint8_t b;
    return source_->ReadData(&b, 1) == 1 ? b : -1;
}

std::size_t Codec::ReadBlock(void* buffer, std::size_t count) { return source_->ReadData(buffer, count); }

void Codec::WriteByte(uint8_t b) { destination_->WriteData(&b, 1); }

void Codec::WriteBlock(const void* buffer, std::size_t count) { destination_->WriteData(buffer, count); }

void Codec::CompressStreams(DataSource& source, DataSink& destination)
{
    source_ = &source;
    destination_ = &destination;
    abort_ = false;
    struct Reset {
        Codec* c;
        ~Reset() { c->source_ = nullptr, c->destination_ = nullptr; }
    } reset{this};
    Compress();
}

void Codec::ExpandStreams(DataSource& source, DataSink& destination, uint32_t stored, uint32_t expanded)
{
    source_ = &source;
    destination_ = &destination;
    abort_ = false;
    busy_ = true;
    struct Reset {
        Codec* c;
        ~Reset() { c->busy_ = false, c->source_ = nullptr, c->destination_ = nullptr; }
    } reset{this};
    Expand(stored, expanded);
}

std::unique_ptr<Codec> CreateCodec(int32_t method, int32_t /*parameter*/)
{
    switch (method) {
    case 2: return std::make_unique<StoredCodec>();
    case 3: return std::make_unique<LzhCodec>();
    case 4: return std::make_unique<DeflateCodec>();
    default: return nullptr;
    }
}

} // namespace archive
