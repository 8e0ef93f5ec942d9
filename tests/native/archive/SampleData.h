// Deterministic test inputs of the kinds the codecs must handle: text,
// random bytes, long runs and a mix of them. The vector script builds the
// same inputs through the samplegen program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sample {

inline uint32_t Next(uint64_t& s)
{
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return static_cast<uint32_t>(s >> 11);
}

inline std::vector<uint8_t> Random(std::size_t n, uint64_t seed = 1)
{
    std::vector<uint8_t> v(n);
    uint64_t s = seed * 0x9E3779B97F4A7C15ull + 1;
    for (auto& b : v) b = static_cast<uint8_t>(Next(s));
    return v;
}

// Random bytes below 0x80: still random, but an LHA archiver compresses it.
inline std::vector<uint8_t> Noise(std::size_t n, uint64_t seed = 5)
{
    std::vector<uint8_t> v = Random(n, seed);
    for (auto& b : v) b &= 0x7F;
    return v;
}

inline std::vector<uint8_t> Text(std::size_t n, uint64_t seed = 2)
{
    static const char* words[] = {"the",     "virus",  "scanner", "setup",  "diskette", "archive",  "member",
                                  "install", "memory", "driver",  "window", "profile",  "Korvisan", "and",
                                  "of",      "to",     "a",       "is",     "files",    "directory"};
    std::vector<uint8_t> v;
    v.reserve(n);
    uint64_t s = seed * 0x9E3779B97F4A7C15ull + 1;
    while (v.size() < n) {
        const char* w = words[Next(s) % 20];
        for (const char* p = w; *p && v.size() < n; ++p) v.push_back(static_cast<uint8_t>(*p));
        if (v.size() < n) v.push_back(Next(s) % 11 == 0 ? '\n' : ' ');
    }
    return v;
}

inline std::vector<uint8_t> Runs(std::size_t n, uint64_t seed = 3)
{
    std::vector<uint8_t> v;
    v.reserve(n);
    uint64_t s = seed * 0x9E3779B97F4A7C15ull + 1;
    while (v.size() < n) {
        uint8_t b = static_cast<uint8_t>(Next(s) % 4 == 0 ? Next(s) : 0);
        std::size_t len = 1 + Next(s) % 3000;
        for (std::size_t i = 0; i < len && v.size() < n; ++i) v.push_back(b);
    }
    return v;
}

// Text, binary-like structured records, random and runs in chunks.
inline std::vector<uint8_t> Mixed(std::size_t n, uint64_t seed = 4)
{
    std::vector<uint8_t> v;
    v.reserve(n);
    uint64_t s = seed * 0x9E3779B97F4A7C15ull + 1;
    while (v.size() < n) {
        std::size_t chunk = 4096 + Next(s) % 60000;
        std::vector<uint8_t> part;
        switch (Next(s) % 4) {
        case 0: part = Text(chunk, Next(s)); break;
        case 1: part = Random(chunk / 4, Next(s)); break;
        case 2: part = Runs(chunk, Next(s)); break;
        default:
            for (std::size_t i = 0; i < chunk; ++i) part.push_back(static_cast<uint8_t>((i * 7) ^ (i >> 5)));
        }
        for (uint8_t b : part) {
            if (v.size() == n) break;
            v.push_back(b);
        }
    }
    return v;
}

inline std::vector<uint8_t> Make(const std::string& kind, std::size_t n)
{
    if (kind == "text") return Text(n);
    if (kind == "random") return Random(n);
    if (kind == "runs") return Runs(n);
    if (kind == "noise") return Noise(n);
    return Mixed(n);
}

} // namespace sample
