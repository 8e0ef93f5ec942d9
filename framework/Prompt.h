// The one seam every message box and modal prompt goes through. The program
// shows them for real; a test installs a PromptAnswerer that records what was
// shown and chooses the answer, so that no test ever waits for a person.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

class Dialog;

struct PromptRecord {
    enum Kind { kMessageBox, kDialog, kDirectoryPicker } kind = kMessageBox;
    std::string text;    // message box text; the picker's starting path
    std::string caption; // message box caption
    UINT type = 0;       // MB_... flags
    int dialogId = 0;    // template of a modal dialog
};

class PromptAnswerer {
public:
    virtual ~PromptAnswerer() = default;
    // Answer a message box: return IDOK, IDYES, IDNO, ...
    virtual int AnswerMessage(const PromptRecord& prompt) = 0;
    // A modal dialog has been created (visible, initialised) as `dialog`;
    // inspect it and return the code to end it with. The default presses OK.
    virtual int AnswerDialog(const PromptRecord& prompt, Dialog& dialog) { return IDOK; }
    // The directory picker, starting at prompt.text: true with the chosen
    // path in `path`, false for Cancel. The default cancels.
    virtual bool AnswerDirectory(const PromptRecord& prompt, std::string& path) { return false; }
};

// Installs an answerer (null: real prompts again). Returns the previous one.
PromptAnswerer* SetPromptAnswerer(PromptAnswerer* answerer);
PromptAnswerer* CurrentPromptAnswerer();

// A message box through the seam.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// The picker function runs the real dialog; under a test the answerer is
// asked instead. True with `path` changed when a directory was chosen.
bool PickThroughSeam(int templateId, std::string& path, bool (*picker)(HWND, std::string&), HWND owner);

} // namespace fw
