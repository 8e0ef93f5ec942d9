#include "framework/Prompt.h"

namespace fw {

namespace {
PromptAnswerer* g_answerer = nullptr;
}

PromptAnswerer* SetPromptAnswerer(PromptAnswerer* answerer)
{
    PromptAnswerer* previous = g_answerer;
    g_answerer = answerer;
    return previous;
}

PromptAnswerer* CurrentPromptAnswerer() { return g_answerer; }

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    if (g_answerer) {
        PromptRecord record;
        record.kind = PromptRecord::kMessageBox;
        record.text = text;
        record.caption = caption;
        record.type = type;
        return g_answerer->AnswerMessage(record);
    }
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

} // namespace fw
