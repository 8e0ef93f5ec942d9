// Entry point of setup.exe.
#include "engine/SetupApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SetupApp app;
    return app.Run();
}
