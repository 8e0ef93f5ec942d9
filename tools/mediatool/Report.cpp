#include "Report.h"

#include "engine/base/XException.h"

namespace {

struct Text {
    int id;
    const char* text;
};

const Text kTexts[] = {
#include "MessageTexts.inc"
};

} // namespace

std::string MessageText(int id)
{
    for (const Text& t : kTexts)
        if (t.id == id) return t.text;
    return {};
}

std::string DescribeCurrentException()
{
    std::unique_ptr<CXException> e = ConvertCurrentException();
    return std::string(e->ClassName()) + " " + std::to_string(e->Cause()) + " " + MessageText(e->TextIds().titleId);
}
