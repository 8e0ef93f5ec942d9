// Texts from the program's string table.
#pragma once
#include <cstdarg>
#include <string>

namespace fw {

// The string with this id; empty when the table has none.
std::string LoadText(int id);

// printf into a std::string (format from the string table).
std::string FormatText(const char* format, ...);
std::string FormatTextV(const char* format, va_list args);

} // namespace fw
