// setup.exe with a pause point for kill tests. With KILLSETUP_PAUSE set to
// "PAGE COUNT MARKER" the COUNT-th change that the undo journal notes while
// page PAGE is shown is not made: MARKER is created instead and the program
// waits there until the test kills it. Otherwise it is setup.exe.
#include "app/FaultGuard.h"
#include "app/SetupApp.h"
#include "engine/journal/UndoLog.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void PauseAt(int page, int count, const std::string& marker)
{
    int noted = 0;
    undojournal::SetNotedObserver([=]() mutable {
        const WizardPage* current = CurrentPage();
        if (!current || current->PageId != page || ++noted != count) return;
        CloseHandle(CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        WaitForSingleObject(CreateEventA(nullptr, TRUE, FALSE, nullptr), INFINITE); // until the test kills it
    });
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char pause[MAX_PATH + 32] = {};
    char marker[MAX_PATH + 1] = {};
    int page = 0;
    int count = 0;
    DWORD n = GetEnvironmentVariableA("KILLSETUP_PAUSE", pause, sizeof pause);
    if (n > 0 && n < sizeof pause && std::sscanf(pause, "%d %d %260[^\n]", &page, &count, marker) == 3)
        PauseAt(page, count, marker);
    SetupApp app;
    return RunGuarded([&app] { return app.Run(); },
                      [&app](const std::string& fault) { return app.FailFromFault(fault); });
}
