#include "framework/Text.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace fw {

std::string LoadText(int id)
{
    // String table entries are stored as counted UTF-16; take the length
    // from the resource itself so that long texts are never cut.
    HINSTANCE module = GetModuleHandleA(nullptr);
    HRSRC block = FindResourceA(module, MAKEINTRESOURCEA((id >> 4) + 1), MAKEINTRESOURCEA(6));
    if (!block) return {};
    HGLOBAL data = LoadResource(module, block);
    const WCHAR* p = data ? static_cast<const WCHAR*>(LockResource(data)) : nullptr;
    if (!p) return {};
    for (int i = 0; i < (id & 15); ++i) p += 1 + *p;
    int length = *p;
    if (length == 0) return {};
    int bytes = WideCharToMultiByte(CP_ACP, 0, p + 1, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, p + 1, length, &text[0], bytes, nullptr, nullptr);
    return text;
}

std::string FormatTextV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) return {};
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    return std::string(buf.data(), static_cast<size_t>(n));
}

std::string FormatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = FormatTextV(format, args);
    va_end(args);
    return out;
}

} // namespace fw
