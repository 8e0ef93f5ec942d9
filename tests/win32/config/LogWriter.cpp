// Helper of the install log test: waits for the named start event, then
// appends <count> lines "<tag> <i> <padding>" through LogMessage.
#include "config/log/InstallLog.h"

#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 4) return 2;
    int count = std::atoi(argv[1]);
    const char* tag = argv[2];
    HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    if (start == nullptr || WaitForSingleObject(start, 60000) != WAIT_OBJECT_0) return 3;
    // Lines of different lengths so that an overwrite would show.
    for (int i = 0; i < count; ++i) {
        std::string padding(static_cast<std::size_t>((i * 7) % 90), static_cast<char>('a' + i % 26));
        LogMessage("%s %d %s.", tag, i, padding.c_str());
    }
    return 0;
}
