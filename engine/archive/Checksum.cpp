#include "engine/archive/Checksum.h"

namespace archive {
namespace {

struct Table {
    uint32_t entry[256];
    Table()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            entry[i] = c;
        }
    }
};

const Table& TheTable()
{
    static const Table table;  // built on first use
    return table;
}

} // namespace

void Checksum::Update(const void* data, std::size_t count)
{
    const uint32_t* t = TheTable().entry;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    uint32_t r = value_;
    for (std::size_t i = 0; i < count; ++i) r = t[(r ^ p[i]) & 0xFF] ^ ((r >> 6) & 0x00FFFFFFu);
    value_ = r;
}

uint32_t Checksum::Of(const void* data, std::size_t count)
{
    Checksum c;
    c.Update(data, count);
    return c.Value();
}

} // namespace archive
