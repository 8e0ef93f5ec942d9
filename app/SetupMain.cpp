// Entry point of setup.exe.
#include "app/SetupApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunSetup(); }
