// Copying text into the fixed character arrays of the setup data and the
// profile records: always terminated, cut at the array's size, never past it.
#pragma once
#include <cstddef>
#include <cstring>
#include <string_view>

// Copies at most capacity-1 characters and terminates. Returns false when the
// text had to be cut.
inline bool CopyText(char* dst, std::size_t capacity, std::string_view src)
{
    if (capacity == 0) return src.empty();
    std::size_t n = src.size() < capacity - 1 ? src.size() : capacity - 1;
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
    return n == src.size();
}

template <std::size_t N> bool CopyText(char (&dst)[N], std::string_view src) { return CopyText(dst, N, src); }

// Length of a fixed array's text that may lack its terminator.
template <std::size_t N> std::string_view TextOf(const char (&src)[N])
{
    return std::string_view(src, strnlen(src, N));
}
