// Stand-in for the product's rescue library "rescue.dll": records each call
// of its one entry point as a line of RESCUE.REC in the Windows directory
// ("CreateRescueDisk <page window in hex> <unattended>") and shows on the
// page what it did.
#include "product/ProductLibraries.h"
#include "standins/StandinRecord.h"
#include "resources/ids.h"

#include <cstdio>
#include <type_traits>

extern "C" int32_t WINAPI CreateRescueDisk(HWND page, int32_t unattended)
{
    char line[96];
    std::snprintf(line, sizeof line, "CreateRescueDisk %llX %ld",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(page)), static_cast<long>(unattended));
    RecordWindowsLine("RESCUE.REC", line);
    if (page) {
        SetDlgItemTextA(page, IDC_BACKUP_DESTINATION, WindowsDirectoryPath().c_str());
        SetDlgItemTextA(page, IDC_BACKUP_ACTIVITY, "Done");
    }
    return 1;
}

static_assert(std::is_same_v<decltype(&CreateRescueDisk), CreateRescueDiskFn>,
              "the entry point has the type setup calls it through");
