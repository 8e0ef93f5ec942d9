// samplegen KIND SIZE OUT: writes one of the deterministic test inputs.
#include "SampleData.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: samplegen text|random|runs|mixed SIZE OUT\n");
        return 2;
    }
    auto data = sample::Make(argv[1], std::strtoul(argv[2], nullptr, 10));
    std::FILE* f = std::fopen(argv[3], "wb");
    if (!f || std::fwrite(data.data(), 1, data.size(), f) != data.size() || std::fclose(f) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
