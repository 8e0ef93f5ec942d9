#include "wizard/OpeningPages.h"

#include "config/InstallSettings.h"
#include "config/ProductPresets.h"
#include "engine/FixedText.h"
#include "engine/SetupApp.h"
#include "engine/SystemHelpers.h"
#include "engine/profile/Destinations.h"
#include "engine/profile/ProfileFileWin32.h"
#include "engine/profile/ProfileLoaders.h"
#include "resources/ids.h"

#include <cstring>
#include <vector>

namespace {

const char kTerminationEvent[] = "KorvisanTerminationEvent";
const char kProductTitle[] = "Brantoke AntiVirus";
const char kWindowsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kProductKey[] = "SOFTWARE\\Brantoke\\Korvisan\\CurrentVersion";
const char kProduct95Key[] = "SOFTWARE\\Brantoke\\Korvisan95\\CurrentVersion";
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

bool PrepareSetupData(SetupApp& app)
{
    SetupData& d = *app.Data;
    ApplyProductDefaults(d);
    const bool settingsRead = ReadInstallSettings(d, app.UnattendedMode != 0, app.SettingsFileRefused != 0);

    HKEY key = nullptr;
    if (OpenMachineKey(kWindowsKey, key)) {
        if (!app.UnattendedMode) {
            ReadValue(key, "RegisteredOrganization", d.CompanyName);
            ReadValue(key, "RegisteredOwner", d.FullName);
        }
        RegCloseKey(key);
    }
    if (OpenMachineKey(kProductKey, key)) {
        app.ExistingInstall = 1;
        RegCloseKey(key);
    }
    if ((d.CompanyName[0] == '\0' || d.FullName[0] == '\0') && OpenMachineKey(kWindowsKey, key)) {
        if (d.CompanyName[0] == '\0') ReadValue(key, "RegisteredOrganization", d.CompanyName);
        if (d.FullName[0] == '\0') ReadValue(key, "RegisteredOwner", d.FullName);
        RegCloseKey(key);
    }
    if (!app.UnattendedMode) {
        std::string product = std::string(kProductKey) + "\\Path";
        std::string product95 = std::string(kProduct95Key) + "\\Path";
        if (OpenMachineKey(product.c_str(), key) || OpenMachineKey(product95.c_str(), key)) {
            char home[256] = {};
            // An unreadable or empty value is no earlier home directory.
            if (ReadValue(key, "HOME", home) && home[0] != '\0') {
                CopyText(d.InstallPath, home);
                SetDestinationPath(app.DestinationTable, 0, home);
                ResolveDestinations(app.DestinationTable);
            }
            RegCloseKey(key);
        }
    }
    return settingsRead;
}

void ReadInstallProfile(SetupApp& app)
{
    PrivateProfileFile profile(app.ProfilePath.Text());
    LoadDestinations(profile, app.DestinationTable);
    ProcessPendingMessages();
    LoadGroups(profile, app.GroupTable);
    ProcessPendingMessages();
    LoadTargets(profile, app.TargetTable);
    ProcessPendingMessages();
    LoadArchiveItems(profile, app.GroupTable, app.ArchiveList);
    ProcessPendingMessages();
    LoadDiskettes(profile, app.DisketteTable);
    ProcessPendingMessages();
}

bool StoppingProductPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    RepaintMainWindow();
    return true;
}

int32_t StoppingProductPage::RunWork()
{
    SetupApp& app = *SetupApp::Instance();
    StopRunningProduct(app.MainWindowHandle);
    if (!PrepareSetupData(app) && app.UnattendedMode) {
        // Nobody is there to choose: installing with no settings at all
        // would configure the product with empty lists and schedules.
        app.NoteFailure("Error During Install");
        app.SetupFailed = 1;
        return IDD_NOT_INSTALLED;
    }
    NextPageId = IDD_READING_SETUP;
    return IDD_READING_SETUP;
}

int32_t ReadingSetupPage::RunWork()
{
    ReadInstallProfile(*SetupApp::Instance());
    return NextPageId;
}
