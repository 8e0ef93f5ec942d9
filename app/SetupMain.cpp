// Entry point of setup.exe.
#include "app/FaultGuard.h"
#include "app/SetupApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SetupApp app;
    return RunGuarded([&app] { return app.Run(); },
                      [&app](const std::string& fault) { return app.FailFromFault(fault); });
}
