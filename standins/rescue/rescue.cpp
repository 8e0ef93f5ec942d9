// Stand-in for the product's rescue library "rescue.dll": records each call
// of its one entry point as a line of RESCUE.REC in the Windows directory
// ("CreateRescueDisk <page window in hex> <unattended>") and, like the real
// library, shows its work on the page setup hands it (which setup has hidden):
// the areas it backs up, each for a moment, then "Done". With RESCUE.WAIT in
// the Windows directory it never returns (a kill test's pause point).
#include "product/ProductLibraries.h"
#include "standins/StandinRecord.h"
#include "resources/ids.h"

#include <cstdio>
#include <type_traits>

namespace {

constexpr DWORD kStepMs = 500; // what reading one area takes here

// One line of activity, shown for the given time while the caller's windows
// keep answering.
void ShowActivity(HWND page, const char* activity, DWORD ms)
{
    SetDlgItemTextA(page, IDC_BACKUP_ACTIVITY, activity);
    UpdateWindow(page);
    const DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam)); // for the caller's loop
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

} // namespace

extern "C" int32_t WINAPI CreateRescueDisk(HWND page, int32_t unattended)
{
    char line[96];
    std::snprintf(line, sizeof line, "CreateRescueDisk %llX %ld",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(page)), static_cast<long>(unattended));
    RecordWindowsLine("RESCUE.REC", line);
    // A test that kills setup in the middle of its last page leaves this
    // file: the call never returns (the record above says it was reached).
    if (GetFileAttributesA((WindowsDirectoryPath() + "RESCUE.WAIT").c_str()) != INVALID_FILE_ATTRIBUTES)
        WaitForSingleObject(CreateEventA(nullptr, TRUE, FALSE, nullptr), INFINITE); // until the test kills setup
    if (page) {
        SetDlgItemTextA(page, IDC_BACKUP_DESTINATION, WindowsDirectoryPath().c_str());
        ShowWindow(page, SW_SHOW);
        for (const char* area : {"Partition table...", "Boot sector...", "CMOS settings...", "Rescue files..."})
            ShowActivity(page, area, kStepMs);
        SetDlgItemTextA(page, IDC_BACKUP_ACTIVITY, "Done");
        UpdateWindow(page);
    }
    return 1;
}

static_assert(std::is_same_v<decltype(&CreateRescueDisk), CreateRescueDiskFn>,
              "the entry point has the type setup calls it through");
