// Adding one entry to the [rename] section of WININIT.INI as text.
//
// WININIT.INI is read once by the system at its next start: every line
// "DEST=SRC" of [rename] moves SRC over DEST, "NUL=PATH" deletes PATH, in the
// order of the lines; afterwards the file is set aside. Several lines may
// carry the same key (NUL in particular) and all of them count, so the
// profile functions, which keep one value per key and rewrite the whole file
// in their own layout, must not touch it. The entry is added here as text:
// every byte of the file outside the new line stays as it was.
//
// Format handled: lines end in CR LF or LF (a lone CR is kept as a character);
// a section starts at a line whose first non-blank character is '[' and is
// named by the text up to ']', compared without regard to case and blanks.
#pragma once
#include <cstddef>
#include <string>

// A WININIT.INI larger than this is not rewritten (the system reads it into
// a small buffer at start; a file this large is damaged).
constexpr std::size_t kMaxWininitSize = 1 << 20;

// Returns `text` with "key=value" added as the last entry of the first
// [rename] section: after its last non-blank line, before blank lines that
// separate it from the next section. Without such a section, "[rename]" and
// the entry are appended at the end. The new lines use the file's line end
// (CR LF for an empty file or one without line ends).
std::string AddRenameEntry(const std::string& text, const std::string& key, const std::string& value);
