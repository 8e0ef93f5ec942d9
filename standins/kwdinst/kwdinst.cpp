// Stand-in for the product's removal completion program "_kwdinst.exe":
// records its command line in "_kwdinst.txt" beside itself, then sets the
// named event "KwdinstStandInDone" so that a waiting test knows it ran.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH + 16] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (slash) std::strcpy(slash + 1, "_kwdinst.txt");
    if (FILE* f = std::fopen(path, "wb")) {
        std::fputs(GetCommandLineA(), f);
        std::fclose(f);
    }
    if (HANDLE done = CreateEventA(nullptr, TRUE, FALSE, "KwdinstStandInDone")) {
        SetEvent(done);
        CloseHandle(done);
    }
    return 0;
}
