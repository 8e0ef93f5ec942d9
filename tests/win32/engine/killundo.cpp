// Records and makes one change of each kind the journal undoes by itself
// under the directory ROOT and the test keys, then tells the test
// it is there and waits to be killed:
//   killundo ROOT READY-EVENT
// Exits 2 when the journal cannot begin, 3 when a change fails.
#include "engine/journal/UndoLog.h"
#include "tests/win32/engine/UndoState.h"

#include <windows.h>

#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) return 1;
    const std::string root = std::string(argv[1]) + "\\";
    const std::string product = root + "Product";
    const std::string key = std::string(undotest::kTestKey) + "\\Killed\\Product";
    const std::string wininit = root + "WININIT.INI";
    const std::string line = "NUL=" + root + "OLD.TMP";
    if (!undojournal::Begin()) return 2;
    bool ok = undojournal::RecordDirectories(product) && CreateDirectoryA(product.c_str(), nullptr) &&
        undojournal::RecordFile(product + "\\KORVI95.EXE") &&
        wintest::WriteFileText(product + "\\KORVI95.EXE", "the new program") &&
        undojournal::RecordFile(root + "KSHARED.DLL") &&
        wintest::WriteFileText(root + "KSHARED.DLL", "the new library") &&
        undojournal::RecordValue(RegRoot::kLocalMachine, key, "Path") &&
        undotest::SetValue(HKEY_LOCAL_MACHINE, key, "Path", REG_SZ, product + '\0') &&
        undojournal::RecordValue(RegRoot::kLocalMachine, undotest::kTestKey, "Count") &&
        undotest::SetValue(HKEY_LOCAL_MACHINE, undotest::kTestKey, "Count", REG_DWORD, std::string("\2\0\0\0", 4)) &&
        undojournal::RecordIniEntry(root + "KORVISAN.INI", "Options", "Path") &&
        WritePrivateProfileStringA("Options", "Path", product.c_str(), (root + "KORVISAN.INI").c_str()) &&
        undojournal::RecordWininitLine(wininit, line) &&
        wintest::WriteFileText(wininit, wintest::ReadFileText(wininit) + line + "\r\n") &&
        undojournal::RecordTextFile(root + "AUTOEXEC.BAT") &&
        wintest::WriteFileText(root + "AUTOEXEC.BAT", "C:\\KORVISAN\\KORCMD95.EXE /S\r\n");
    if (!ok) return 3;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, (root + "KORVISAN.INI").c_str());
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (!ready) return 1;
    SetEvent(ready);
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    WaitForSingleObject(never, INFINITE); // until the test kills the process
    return 0;
}
