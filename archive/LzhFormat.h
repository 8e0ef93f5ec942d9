// The -lh5- stream (LZ77 over an 8 KiB dictionary with static Huffman codes
// sent per block), shared by the decoder and the encoder.
//
// Bits are read most significant first. A block is:
//   16 bits     number of symbols in the block (0 is allowed and means none)
//   pt lengths  code lengths of the 19-symbol code-length alphabet:
//               5 bits n; n == 0: 5 bits of a single symbol (0-bit code);
//               else n lengths of 3 bits, 7 followed by one 1 bit per
//               extra unit and a 0 bit; after the third length, 2 bits of
//               zero lengths that follow.
//   c lengths   9 bits n; n == 0: 9 bits single symbol; else code-length
//               symbols: 0 = one zero, 1 = 3 + 4 bits zeros, 2 = 20 + 9 bits
//               zeros, k >= 3 = length k - 2.
//   p lengths   4 bits n (at most 14); n == 0: 4 bits single symbol; else
//               like the pt lengths without the zero run.
//   symbols     c code; below 256 a literal byte, else a match of length
//               c - 253 (3..256) followed by a p code j and, for j >= 2,
//               j - 1 extra bits: distance - 1 = (1 << (j - 1)) + extra
//               (j 0 and 1 are distances 1 and 2).
// Codes are canonical: shorter codes first, equal lengths in symbol order.
// The dictionary starts filled with blanks (0x20) as LHA decoders keep it.
#pragma once
#include <cstdint>

namespace archive::lzh {

constexpr int kDictBits = 13;
constexpr uint32_t kDictSize = 1u << kDictBits; // 8192
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 256;
constexpr int kNC = 510; // 256 literals + 254 lengths
constexpr int kNT = 19;  // code-length alphabet
constexpr int kNP = 14;  // position bit counts 0..13
constexpr int kCBit = 9;
constexpr int kTBit = 5;
constexpr int kPBit = 4;
constexpr int kMaxCodeLength = 16;
constexpr uint8_t kWindowFill = 0x20;

} // namespace archive::lzh
