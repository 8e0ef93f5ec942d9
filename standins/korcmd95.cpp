// Stand-in for the product's front end: records its arguments in
// korcmd95.txt beside itself ("argc=<n>" then one "argv[i]=<text>" line each)
// and ends with exit code 0. With KORCMD95_SEND set in the environment it
// first sends a message to the window of that title and records "answered"
// or "no answer" (after 20 s).
#include "standins/StandinRecord.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    RecordLine("korcmd95.txt", "argc=" + std::to_string(argc));
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        // The program path varies with the test directory; its file name does not.
        if (i == 0) {
            std::size_t slash = arg.find_last_of("\\/");
            if (slash != std::string::npos) arg = arg.substr(slash + 1);
        }
        RecordLine("korcmd95.txt", "argv[" + std::to_string(i) + "]=" + arg);
    }
    char title[256] = {};
    if (GetEnvironmentVariableA("KORCMD95_SEND", title, sizeof title) > 0) {
        DWORD_PTR result = 0;
        HWND window = FindWindowA(nullptr, title);
        bool answered = window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) != 0;
        RecordLine("korcmd95.txt", answered ? "answered" : "no answer");
    }
    return 0;
}
