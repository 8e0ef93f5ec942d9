#include "archive/Checksum.h"

namespace archive {
namespace {

// One step is r' = T[(r ^ b) & 0xFF] ^ ((r >> 6) & 0xFFFFFF). The table of a
// CRC is linear (T[x ^ y] = T[x] ^ T[y]) and so are the shift and the mask,
// so a step is A(r) ^ T[b], A being the step over a zero byte. The shifted
// part of r runs out after five steps (24, 18, 12, 6, 0 of its bits left),
// and unrolling A shows that r acts on what follows exactly like the bytes
// r, r >> 6, r >> 12, r >> 18 (their low eight bits) and (r >> 24) & 0x3F
// XORed into the next five data bytes with a zero register: the spread of r.
// So a register and the next eight bytes give the new register by XORing the
// spread into the bytes and XORing, for each byte, a table entry holding that
// byte's effect on the register after the bytes that follow it.
//
// One chain of such steps waits on its own table lookups, so six registers
// run side by side, each taking every sixth 8-byte word. Their tables reach
// 48 bytes ahead and hold the results spread, ready to be XORed into the
// register's next word. The last six words are folded in order, each
// register joining the running one where its next word begins.

constexpr int kLanes = 6;
constexpr std::size_t kWord = 8;
constexpr std::size_t kStride = kLanes * kWord;

uint32_t Advance(uint32_t r, const uint32_t* table) { return table[r & 0xFF] ^ ((r >> 6) & 0x00FFFFFFu); }

inline uint64_t Spread(uint32_t r)
{
    return (r & 0xFFu) | ((r << 2) & 0xFF00u) | ((r << 4) & 0xFF0000u) | ((r << 6) & 0xFF000000u) |
        (uint64_t((r >> 24) & 0x3Fu) << 32);
}

struct Tables {
    // word[k][b]: the register after byte b and k zero bytes, from zero;
    // word[0] is the format's table.
    uint32_t word[kWord][256];
    // lane[k][b]: the spread register after byte b and kStride - kWord + k
    // zero bytes.
    uint64_t lane[kWord][256];

    Tables()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            word[0][i] = c;
        }
        for (std::size_t k = 1; k < kWord; ++k)
            for (int i = 0; i < 256; ++i) word[k][i] = Advance(word[k - 1][i], word[0]);
        for (int i = 0; i < 256; ++i) {
            uint32_t r = word[kWord - 1][i];
            for (std::size_t k = kWord; k < kStride - kWord; ++k) r = Advance(r, word[0]);
            for (std::size_t k = 0; k < kWord; ++k) {
                r = Advance(r, word[0]);
                lane[k][i] = Spread(r);
            }
        }
    }
};

const Tables& TheTables()
{
    static const Tables tables; // built on first use
    return tables;
}

inline uint64_t LoadWord(const uint8_t* p)
{
    return uint64_t(p[0]) | uint64_t(p[1]) << 8 | uint64_t(p[2]) << 16 | uint64_t(p[3]) << 24 | uint64_t(p[4]) << 32 |
        uint64_t(p[5]) << 40 | uint64_t(p[6]) << 48 | uint64_t(p[7]) << 56;
}

// The byte at offset i of the word looks up table 7 - i.
template <class T> inline T StepWord(uint64_t w, const T (*t)[256])
{
    uint32_t lo = static_cast<uint32_t>(w), hi = static_cast<uint32_t>(w >> 32);
    return t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][hi & 0xFF] ^
        t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
}

} // namespace

uint32_t Checksum::FoldBytewise(uint32_t value, const void* data, std::size_t count)
{
    const uint32_t* t = TheTables().word[0];
    const uint8_t* p = static_cast<const uint8_t*>(data);
    uint32_t r = value;
    for (std::size_t i = 0; i < count; ++i) r = t[(r ^ p[i]) & 0xFF] ^ ((r >> 6) & 0x00FFFFFFu);
    return r;
}

uint32_t Checksum::Fold(uint32_t value, const void* data, std::size_t count)
{
    const Tables& t = TheTables();
    const uint8_t* p = static_cast<const uint8_t*>(data);
    uint32_t r = value;
    if (count >= 2 * kStride) {
        std::size_t rounds = count / kStride - 1;
        count -= (rounds + 1) * kStride;
        uint64_t lane[kLanes] = {Spread(r)};
        for (; rounds; --rounds, p += kStride) {
            uint64_t w[kLanes];
#pragma GCC unroll 8
            for (int j = 0; j < kLanes; ++j) w[j] = LoadWord(p + j * kWord) ^ lane[j];
#pragma GCC unroll 8
            for (int j = 0; j < kLanes; ++j) lane[j] = StepWord(w[j], t.lane);
        }
        r = 0;
        for (int j = 0; j < kLanes; ++j, p += kWord) r = StepWord(LoadWord(p) ^ lane[j] ^ Spread(r), t.word);
    }
    for (; count >= kWord; count -= kWord, p += kWord) r = StepWord(LoadWord(p) ^ Spread(r), t.word);
    for (; count; --count) r = t.word[0][(r ^ *p++) & 0xFF] ^ ((r >> 6) & 0x00FFFFFFu);
    return r;
}

uint32_t Checksum::Of(const void* data, std::size_t count) { return Fold(0, data, count); }

} // namespace archive
