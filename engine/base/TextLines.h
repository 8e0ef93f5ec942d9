// The lines of a text (system files, Program Manager's lists) as spans, so
// that an edit can copy each line with its own line end. Platform-free.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct TextLine {
    std::size_t begin; // first byte
    std::size_t end;   // one past the last byte before the line end
    std::size_t next;  // first byte of the following line
};

// The lines of text[0, size): CR LF or LF ends one; an unterminated tail is
// a line too.
std::vector<TextLine> SplitTextLines(const std::string& text, std::size_t size = std::string::npos);
