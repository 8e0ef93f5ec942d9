#include "wizard/OpeningPages.h"

#include "config/InstallSettings.h"
#include "config/ProductPresets.h"
#include "engine/base/FixedText.h"
#include "config/ProductSettings.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "engine/profile/Destinations.h"
#include "engine/profile/ProfileFileWin32.h"
#include "engine/profile/ProfileLoaders.h"
#include "resources/ids.h"
#include "wizard/base/MainWindow.h"
#include "wizard/base/Wizard.h"

#include <cstring>
#include <vector>

namespace {

const char kTerminationEvent[] = "KorvisanTerminationEvent";
const char kProductTitle[] = "Brantoke AntiVirus";
constexpr int kMaxWindowsClosed = 256;

// How long one window may take to answer before it counts as hung.
constexpr UINT kAnswerTimeoutMs = 5000;

struct Search {
    const char* text;
    HWND keep;
    const std::vector<HWND>& hung;
    HWND found;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM param)
{
    Search* s = reinterpret_cast<Search*>(param);
    if (window == s->keep || !IsWindow(window)) return TRUE;
    for (HWND h : s->hung)
        if (h == window) return TRUE;
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    if (std::strstr(title, s->text) == nullptr) return TRUE;
    s->found = window;
    return FALSE;
}

HWND FindWindowTitled(const char* text, HWND keep, const std::vector<HWND>& hung = {})
{
    Search s{text, keep, hung, nullptr};
    EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// False when the window did not answer in time: it is hung, and waiting for
// it would hang the setup too.
bool SendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result) != 0 ||
        !IsWindow(window);
}

void SignalTermination(bool set)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, kTerminationEvent);
    if (!event) return;
    if (set)
        SetEvent(event);
    else
        ResetEvent(event);
    CloseHandle(event);
}

// A text value of at most 255 characters into a field; false when unreadable.
template <std::size_t N> bool ReadValue(HKEY key, const char* name, char (&field)[N])
{
    char value[256] = {};
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return false;
    CopyText(field, std::string_view(value, strnlen(value, size)));
    return true;
}

bool OpenMachineKey(const char* path, HKEY& key)
{
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
}

} // namespace

bool CloseWindowsTitled(const char* text, HWND keep)
{
    // Bounded, so that a program that keeps opening such windows cannot hold
    // the setup here for ever.
    std::vector<HWND> hung;
    for (int closed = 0; closed < kMaxWindowsClosed; ++closed) {
        HWND window = FindWindowTitled(text, keep, hung);
        if (!window) break;
        if (!SendTimed(window, WM_QUERYENDSESSION, 1, 0)) {
            hung.push_back(window); // left running; the others are still closed
            continue;
        }
        if (!IsWindow(window)) continue;
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE); // it has just answered
        if (!SendTimed(window, WM_CLOSE, 1, 0)) {
            hung.push_back(window);
            continue;
        }
        Sleep(1000);
        if (IsWindow(window)) {
            SendTimed(window, WM_CLOSE, 1, 0);
            Sleep(1000);
            if (IsWindow(window)) return false;
        }
    }
    return hung.empty() && FindWindowTitled(text, keep) == nullptr;
}

void StopRunningProduct(HWND keep)
{
    SignalTermination(true);
    for (int round = 0; round < 3; ++round) CloseWindowsTitled(kProductTitle, keep);
    Sleep(500);
    SignalTermination(false);
}

bool PrepareSetupData(SetupContext& setup)
{
    SetupData& d = *setup.Data;
    ApplyProductDefaults(d);
    std::string home;
    const bool settingsRead = ReadInstallSettings(d, home, setup.UnattendedMode != 0, setup.SettingsFileRefused != 0);

    HKEY key = nullptr;
    if (OpenMachineKey(kWindowsKey, key)) {
        if (!setup.UnattendedMode) {
            ReadValue(key, "RegisteredOrganization", d.CompanyName);
            ReadValue(key, "RegisteredOwner", d.FullName);
        }
        RegCloseKey(key);
    }
    if (OpenMachineKey(kProductKey, key)) {
        setup.ExistingInstall = 1;
        RegCloseKey(key);
    }
    if ((d.CompanyName[0] == '\0' || d.FullName[0] == '\0') && OpenMachineKey(kWindowsKey, key)) {
        if (d.CompanyName[0] == '\0') ReadValue(key, "RegisteredOrganization", d.CompanyName);
        if (d.FullName[0] == '\0') ReadValue(key, "RegisteredOwner", d.FullName);
        RegCloseKey(key);
    }
    // Interactively an earlier installation's directory is offered again.
    if (!setup.UnattendedMode) {
        const std::string earlier = EarlierHomeDirectory();
        if (!earlier.empty()) home = earlier;
    }
    setup.SetHomeDirectory(home);
    return settingsRead;
}

void ReadInstallProfile(SetupContext& setup)
{
    PrivateProfileFile profile(setup.ProfilePath.Text());
    LoadDestinations(profile, setup.DestinationTable);
    ProcessPendingMessages();
    LoadGroups(profile, setup.GroupTable);
    ProcessPendingMessages();
    LoadTargets(profile, setup.TargetTable);
    ProcessPendingMessages();
    LoadArchiveItems(profile, setup.GroupTable, setup.ArchiveList);
    ProcessPendingMessages();
    LoadDiskettes(profile, setup.DisketteTable);
    ProcessPendingMessages();
}

void StoppingProductPage::InitPage() { RepaintMainWindow(); }

WizardPage::Work StoppingProductPage::RunWork()
{
    SetupContext& setup = Setup();
    MainWindow* main = WizardMainWindow();
    StopRunningProduct(main ? main->Handle() : nullptr);
    // Nobody is there to choose: installing with no settings at all would
    // configure the product with empty lists and schedules.
    if (!PrepareSetupData(setup) && setup.UnattendedMode) {
        FailSetup("Error During Install");
        return Work::Stay;
    }
    return Work::Next;
}

WizardPage::Work ReadingSetupPage::RunWork()
{
    ReadInstallProfile(Setup());
    return Work::Next;
}
