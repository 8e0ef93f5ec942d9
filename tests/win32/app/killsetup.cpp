// setup.exe with a pause point for kill tests, or a Cancel for cancel tests,
// at a chosen change: the COUNT-th change that the undo journal notes while
// page PAGE is shown.
//  - KILLSETUP_PAUSE="PAGE COUNT MARKER": the change is not made; MARKER is
//    created instead and the program waits there until the test kills it.
//  - KILLSETUP_CANCEL="PAGE COUNT": Cancel is pressed on the page, and the
//    question that follows is answered Yes (the change itself is made).
// Without either it is setup.exe.
#include "app/SetupApp.h"
#include "engine/journal/UndoLog.h"
#include "framework/Prompt.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

// Yes to a question, OK to anything else.
struct YesAnswerer : fw::PromptAnswerer {
    int AnswerMessage(const fw::PromptRecord& prompt) override
    {
        return (prompt.type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    }
};

YesAnswerer g_answerer;

// Calls `act` with the page at the chosen change.
void AtChange(int page, int count, std::function<void(WizardPage&)> act)
{
    int noted = 0;
    undojournal::SetNotedObserver([=]() mutable {
        WizardPage* current = CurrentPage();
        if (current && current->PageId == page && ++noted == count) act(*current);
    });
}

std::string Variable(const char* name)
{
    char value[MAX_PATH + 32] = {};
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? value : "";
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char marker[MAX_PATH + 1] = {};
    int page = 0;
    int count = 0;
    const std::string pause = Variable("KILLSETUP_PAUSE");
    const std::string cancel = Variable("KILLSETUP_CANCEL");
    if (std::sscanf(pause.c_str(), "%d %d %260[^\n]", &page, &count, marker) == 3) {
        AtChange(page, count, [path = std::string(marker)](WizardPage&) {
            CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            WaitForSingleObject(CreateEventA(nullptr, TRUE, FALSE, nullptr), INFINITE); // until the test kills it
        });
    } else if (std::sscanf(cancel.c_str(), "%d %d", &page, &count) == 2) {
        AtChange(page, count, [](WizardPage& current) {
            fw::SetPromptAnswerer(&g_answerer);
            PostMessageA(current.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
    }
    return RunSetup();
}
