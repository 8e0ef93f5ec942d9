#include "engine/base/TextLines.h"

#include <algorithm>

std::vector<TextLine> SplitTextLines(const std::string& text, std::size_t size)
{
    size = std::min(size, text.size());
    std::vector<TextLine> lines;
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos || nl >= size) {
            lines.push_back({pos, size, size});
            break;
        }
        std::size_t end = (nl > pos && text[nl - 1] == '\r') ? nl - 1 : nl;
        lines.push_back({pos, end, nl + 1});
        pos = nl + 1;
    }
    return lines;
}
