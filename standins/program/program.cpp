// Stand-in for the product programs setup starts or only registers
// (vgdist.exe, autodl95.exe, rtwatch.exe, scnsvc95.exe, EXAMINE.EXE,
// uninstal.exe): the build makes one program, copied under each name. Each
// start appends its arguments as one line to NAME.REC in the Windows
// directory, NAME being its own file name without extension, in capitals.
#include "standins/StandinRecord.h"

#include <cctype>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\');
    name = name ? name + 1 : path;
    std::string record;
    for (const char* c = name; *c && *c != '.'; ++c)
        record += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    RecordWindowsLine(record + ".REC", arguments ? arguments : "");
    return 0;
}
