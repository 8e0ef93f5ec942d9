// Stand-in for the product's front end: records its arguments in
// korcmd95.txt beside itself ("argc=<n>" then one "argv[i]=<text>" line each)
// and ends with exit code 0.
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
    return 0;
}
