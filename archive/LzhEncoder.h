// Encoder of -lh5- streams (LzhFormat.h): hash chains with one step of lazy
// matching, blocks of up to kBlockSymbols symbols, Huffman codes limited to
// 16 bits, written the way LHA encoders write their tables.
#pragma once
#include "archive/ByteStream.h"
#include "archive/LzhFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace archive::lzh {

// Optimal code lengths limited to maxLength. Returns the number of symbols
// with a non-zero frequency; when it is 0 or 1, all lengths are 0 and
// *single gets the one symbol (0 when none).
int MakeCodeLengths(const uint32_t* freq, int n, int maxLength, uint8_t* lengths, int* single);

class Encoder {
public:
    static constexpr std::size_t kBlockSymbols = 32768;
    explicit Encoder(DataSink& sink);
    ~Encoder();
    void Encode(DataSource& source);

private:
    struct State;
    std::unique_ptr<State> s_;
};

} // namespace archive::lzh
