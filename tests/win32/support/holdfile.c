/* Holds a file the way a running program does, until told to let go:
 *   holdfile open|load PATH READY-EVENT RELEASE-EVENT
 * "open" keeps a handle without any sharing; "load" loads it as a library.
 * Signals READY once it holds the file; exits 2 when it could not. */
#include <windows.h>

#include <string.h>

int main(int argc, char** argv)
{
    if (argc != 5) return 1;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[4]);
    if (!ready || !release) return 1;
    HANDLE file = INVALID_HANDLE_VALUE;
    HMODULE module = NULL;
    if (strcmp(argv[1], "open") == 0)
        file = CreateFileA(argv[2], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    else
        module = LoadLibraryA(argv[2]);
    if (file == INVALID_HANDLE_VALUE && !module) return 2;
    SetEvent(ready);
    WaitForSingleObject(release, 60000);
    if (module) FreeLibrary(module);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return 0;
}
