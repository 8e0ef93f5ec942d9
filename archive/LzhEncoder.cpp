#include "archive/LzhEncoder.h"

#include <algorithm>
#include <cstring>
#include <queue>

namespace archive::lzh {

int MakeCodeLengths(const uint32_t* freq, int n, int maxLength, uint8_t* lengths, int* single)
{
    std::memset(lengths, 0, static_cast<std::size_t>(n));
    std::vector<int> used;
    for (int s = 0; s < n; ++s)
        if (freq[s]) used.push_back(s);
    *single = used.empty() ? 0 : used[0];
    if (used.size() < 2) return static_cast<int>(used.size());

    // Huffman tree over the used symbols; depth of each leaf.
    int m = static_cast<int>(used.size());
    std::vector<int> parent(2 * used.size(), -1);
    using Node = std::pair<uint64_t, int>;
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> heap;
    for (int i = 0; i < m; ++i) heap.push({freq[used[i]], i});
    int next = m;
    while (heap.size() > 1) {
        Node a = heap.top();
        heap.pop();
        Node b = heap.top();
        heap.pop();
        parent[a.second] = parent[b.second] = next;
        heap.push({a.first + b.first, next++});
    }
    std::vector<int> depth(next, 0);
    for (int i = next - 2; i >= 0; --i) depth[i] = depth[parent[i]] + 1;

    // Leaves per length, deeper ones folded into maxLength, then the Kraft
    // sum repaired the way LHA does it.
    std::vector<int> count(maxLength + 1, 0);
    for (int i = 0; i < m; ++i) ++count[std::min(depth[i], maxLength)];
    uint64_t total = 0;
    for (int len = 1; len <= maxLength; ++len) total += uint64_t(count[len]) << (maxLength - len);
    while (total > (uint64_t(1) << maxLength)) {
        --count[maxLength];
        for (int len = maxLength - 1; len > 0; --len) {
            if (count[len]) {
                --count[len];
                count[len + 1] += 2;
                break;
            }
        }
        --total;
    }
    // Shortest lengths to the most frequent symbols.
    std::vector<int> order(used);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return freq[a] > freq[b]; });
    std::size_t k = 0;
    for (int len = 1; len <= maxLength; ++len)
        for (int c = 0; c < count[len]; ++c) lengths[order[k++]] = static_cast<uint8_t>(len);
    return m;
}

namespace {

void MakeCodes(const uint8_t* lengths, int n, uint16_t* codes)
{
    uint32_t count[kMaxCodeLength + 2] = {};
    for (int s = 0; s < n; ++s) ++count[lengths[s]];
    count[0] = 0;
    uint32_t start[kMaxCodeLength + 2] = {};
    for (int len = 1; len <= kMaxCodeLength; ++len) start[len + 1] = (start[len] + count[len]) << 1;
    for (int s = 0; s < n; ++s) codes[s] = lengths[s] ? static_cast<uint16_t>(start[lengths[s]]++) : 0;
}

int BitLength(uint32_t v)
{
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

constexpr uint32_t kHashBits = 15;
constexpr uint32_t kBufferSize = 1u << 16;
constexpr int kMaxChain = 256;
constexpr int kGoodLength = 32;
constexpr uint32_t kTooFar = 4096; // a 3-byte match further away costs more than it saves

} // namespace

struct Encoder::State {
    DataSink& sink;
    // bit output
    uint64_t acc = 0;
    int accBits = 0;
    uint8_t out[8192];
    std::size_t outLen = 0;
    // input
    std::vector<uint8_t> buf = std::vector<uint8_t>(kBufferSize);
    uint64_t base = 0; // stream position of buf[0]
    uint64_t end = 0;  // stream position after the last byte in buf
    bool eof = false;
    std::vector<uint32_t> head = std::vector<uint32_t>(1u << kHashBits, 0); // position + 1
    std::vector<uint32_t> prev = std::vector<uint32_t>(kDictSize, 0);
    // block
    std::vector<uint16_t> syms = std::vector<uint16_t>(kBlockSymbols);
    std::vector<uint16_t> dists = std::vector<uint16_t>(kBlockSymbols);
    std::size_t nsyms = 0;
    uint32_t cFreq[kNC] = {}, pFreq[kNP] = {}, tFreq[kNT] = {};
    uint8_t cLen[kNC], pLen[kNP], tLen[kNT];
    uint16_t cCode[kNC], pCode[kNP], tCode[kNT];

    explicit State(DataSink& s) : sink(s) {}

    void PutBits(int n, uint32_t v)
    {
        if (n == 0) return;
        acc = (acc << n) | (v & ((1u << n) - 1));
        accBits += n;
        while (accBits >= 8) {
            accBits -= 8;
            out[outLen++] = static_cast<uint8_t>(acc >> accBits);
            if (outLen == sizeof out) {
                sink.WriteData(out, outLen);
                outLen = 0;
            }
        }
    }
    void FlushBits()
    {
        if (accBits) PutBits(8 - accBits, 0);
        if (outLen) sink.WriteData(out, outLen);
        outLen = 0;
    }

    uint8_t At(uint64_t pos) const { return buf[pos - base]; }
    uint32_t Hash(uint64_t pos) const
    {
        const uint8_t* p = &buf[pos - base];
        uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    void Literal(uint8_t b)
    {
        syms[nsyms] = b;
        dists[nsyms] = 0;
        ++cFreq[b];
        if (++nsyms == kBlockSymbols) SendBlock();
    }
    void Match(int len, uint32_t dist)
    {
        uint16_t c = static_cast<uint16_t>(len + (256 - kMinMatch));
        syms[nsyms] = c;
        dists[nsyms] = static_cast<uint16_t>(dist - 1);
        ++cFreq[c];
        ++pFreq[BitLength(dist - 1)];
        if (++nsyms == kBlockSymbols) SendBlock();
    }

    void CountTFreq(int n)
    {
        std::memset(tFreq, 0, sizeof tFreq);
        int i = 0;
        while (i < n) {
            int k = cLen[i++];
            if (k == 0) {
                int run = 1;
                while (i < n && cLen[i] == 0) ++i, ++run;
                if (run <= 2)
                    tFreq[0] += run;
                else if (run <= 18)
                    ++tFreq[1];
                else if (run == 19)
                    ++tFreq[0], ++tFreq[1];
                else
                    ++tFreq[2];
            } else {
                ++tFreq[k + 2];
            }
        }
    }
    void WritePtLen(const uint8_t* len, int nn, int nbit, int special)
    {
        int n = nn;
        while (n > 0 && len[n - 1] == 0) --n;
        PutBits(nbit, static_cast<uint32_t>(n));
        int i = 0;
        while (i < n) {
            int k = len[i++];
            if (k <= 6)
                PutBits(3, static_cast<uint32_t>(k));
            else
                PutBits(k - 3, (1u << (k - 3)) - 2);
            if (i == special) {
                while (i < 6 && len[i] == 0) ++i;
                PutBits(2, static_cast<uint32_t>((i - 3) & 3));
            }
        }
    }
    void WriteCLen(int n)
    {
        int i = 0;
        while (i < n) {
            int k = cLen[i++];
            if (k == 0) {
                int run = 1;
                while (i < n && cLen[i] == 0) ++i, ++run;
                if (run <= 2) {
                    for (int r = 0; r < run; ++r) PutBits(tLen[0], tCode[0]);
                } else if (run <= 18) {
                    PutBits(tLen[1], tCode[1]);
                    PutBits(4, static_cast<uint32_t>(run - 3));
                } else if (run == 19) {
                    PutBits(tLen[0], tCode[0]);
                    PutBits(tLen[1], tCode[1]);
                    PutBits(4, 15);
                } else {
                    PutBits(tLen[2], tCode[2]);
                    PutBits(kCBit, static_cast<uint32_t>(run - 20));
                }
            } else {
                PutBits(tLen[k + 2], tCode[k + 2]);
            }
        }
    }

    void SendBlock()
    {
        if (nsyms == 0) return;
        PutBits(16, static_cast<uint32_t>(nsyms));
        int single = 0;
        if (MakeCodeLengths(cFreq, kNC, kMaxCodeLength, cLen, &single) < 2) {
            PutBits(kTBit, 0);
            PutBits(kTBit, 0);
            PutBits(kCBit, 0);
            PutBits(kCBit, static_cast<uint32_t>(single));
        } else {
            int n = kNC;
            while (n > 0 && cLen[n - 1] == 0) --n;
            CountTFreq(n);
            int tSingle = 0;
            if (MakeCodeLengths(tFreq, kNT, kMaxCodeLength, tLen, &tSingle) < 2) {
                PutBits(kTBit, 0);
                PutBits(kTBit, static_cast<uint32_t>(tSingle));
            } else {
                WritePtLen(tLen, kNT, kTBit, 3);
            }
            MakeCodes(tLen, kNT, tCode);
            PutBits(kCBit, static_cast<uint32_t>(n));
            WriteCLen(n);
        }
        MakeCodes(cLen, kNC, cCode);
        int pSingle = 0;
        if (MakeCodeLengths(pFreq, kNP, kMaxCodeLength, pLen, &pSingle) < 2) {
            PutBits(kPBit, 0);
            PutBits(kPBit, static_cast<uint32_t>(pSingle));
        } else {
            WritePtLen(pLen, kNP, kPBit, -1);
        }
        MakeCodes(pLen, kNP, pCode);
        for (std::size_t i = 0; i < nsyms; ++i) {
            uint16_t c = syms[i];
            PutBits(cLen[c], cCode[c]);
            if (c >= 256) {
                uint32_t p = dists[i];
                int j = BitLength(p);
                PutBits(pLen[j], pCode[j]);
                if (j > 1) PutBits(j - 1, p);
            }
        }
        nsyms = 0;
        std::memset(cFreq, 0, sizeof cFreq);
        std::memset(pFreq, 0, sizeof pFreq);
    }
};

Encoder::Encoder(DataSink& sink) : s_(std::make_unique<State>(sink)) {}
Encoder::~Encoder() = default;

void Encoder::Encode(DataSource& source)
{
    State& s = *s_;
    // Keeps at least kMaxMatch + 1 bytes ahead of pos and the dictionary
    // (plus the lazy byte) behind it.
    auto ensure = [&](uint64_t pos) {
        if (s.eof || s.end - pos > kMaxMatch + 1) return;
        uint64_t keep = pos > kDictSize + 1 ? pos - (kDictSize + 1) : 0;
        if (keep > s.base) {
            std::memmove(s.buf.data(), s.buf.data() + (keep - s.base), static_cast<std::size_t>(s.end - keep));
            s.base = keep;
        }
        while (!s.eof && s.end - s.base < kBufferSize) {
            std::size_t room = static_cast<std::size_t>(kBufferSize - (s.end - s.base));
            std::size_t got = source.ReadData(s.buf.data() + (s.end - s.base), room);
            if (got == 0) s.eof = true;
            s.end += got;
        }
    };
    auto insert = [&](uint64_t pos) -> uint32_t {
        if (pos + kMinMatch > s.end) return 0;
        uint32_t h = s.Hash(pos);
        uint32_t old = s.head[h];
        s.prev[pos & (kDictSize - 1)] = old;
        s.head[h] = static_cast<uint32_t>(pos + 1);
        return old;
    };
    // Longest match for pos among earlier positions chained from `cand`.
    auto longest = [&](uint64_t pos, uint32_t cand, int prevLen, uint32_t& dist) -> int {
        int maxLen = static_cast<int>(std::min<uint64_t>(kMaxMatch, s.end - pos));
        if (maxLen < kMinMatch) return 0;
        int best = std::max(prevLen, kMinMatch - 1);
        int found = 0;
        int chain = prevLen >= kGoodLength ? kMaxChain / 4 : kMaxChain;
        const uint8_t* cur = &s.buf[pos - s.base];
        while (cand && chain-- > 0) {
            uint64_t c = cand - 1;
            if (c >= pos || pos - c > kDictSize) break;
            const uint8_t* m = &s.buf[c - s.base];
            if (m[best] == cur[best] && m[0] == cur[0] && m[1] == cur[1]) {
                int len = 2;
                while (len < maxLen && m[len] == cur[len]) ++len;
                if (len > best) {
                    best = len;
                    found = len;
                    dist = static_cast<uint32_t>(pos - c);
                    if (len >= maxLen) break;
                }
            }
            uint32_t next = s.prev[c & (kDictSize - 1)];
            if (next >= cand) break;
            cand = next;
        }
        return found;
    };

    uint64_t pos = 0;
    ensure(pos);
    int prevLen = 0;
    uint32_t prevDist = 0;
    bool pending = false; // a literal at pos - 1 waits for the lazy decision
    while (pos < s.end) {
        uint32_t cand = insert(pos);
        uint32_t dist = 0;
        int len = 0;
        if (prevLen < kMaxMatch) len = longest(pos, cand, prevLen, dist);
        if (len == kMinMatch && dist > kTooFar) len = 0;
        if (prevLen >= kMinMatch && len <= prevLen) {
            s.Match(prevLen, prevDist);
            uint64_t stop = pos - 1 + static_cast<uint64_t>(prevLen);
            for (uint64_t k = pos + 1; k < stop; ++k) {
                ensure(k);
                insert(k);
            }
            pos = stop;
            pending = false;
            prevLen = 0;
        } else {
            if (pending) s.Literal(s.At(pos - 1));
            pending = true;
            prevLen = len;
            prevDist = dist;
            ++pos;
        }
        ensure(pos);
    }
    if (pending) s.Literal(s.At(pos - 1));
    s.SendBlock();
    s.FlushBits();
}

} // namespace archive::lzh
