// Ends the way setup.exe's top-level guard has to catch: "fault" a page
// fault in the run itself, "window" one inside a window procedure,
// "throw" an exception out of the run. Arguments: MODE STATUSFILE.
#include "app/FaultGuard.h"
#include "app/SetupApp.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace {

volatile int* g_nowhere = nullptr;

LRESULT CALLBACK FaultingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER) *g_nowhere = 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

int FaultInWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FaultingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FaultRun";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("FaultRun", "", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    PostMessageA(window, WM_USER, 0, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return 2;
    const std::string mode = argv[1];
    SetupApp app;
    if (!app.PrepareSetup("/I:C:\\none.icf /M:" + std::string(argv[2]), "C:\\")) return 3;
    return RunGuarded(
        [&]() -> int {
            if (mode == "fault") *g_nowhere = 1;
            if (mode == "window") return FaultInWindow();
            if (mode == "throw") throw std::runtime_error("boom");
            return app.FinishRun();
        },
        [&app](const std::string& fault) { return app.FailFromFault(fault); });
}
