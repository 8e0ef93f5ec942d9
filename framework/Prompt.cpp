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

bool PickThroughSeam(int templateId, std::string& path, bool (*picker)(HWND, std::string&), HWND owner)
{
    if (g_answerer) {
        PromptRecord record;
        record.kind = PromptRecord::kDirectoryPicker;
        record.dialogId = templateId;
        record.text = path;
        std::string chosen = path;
        if (!g_answerer->AnswerDirectory(record, chosen)) return false;
        path = chosen;
        return true;
    }
    return picker(owner, path);
}

} // namespace fw
