#include "wizard/ClosingPages.h"

#include "config/Registry.h"
#include "config/StatusMif.h"
#include "engine/Media.h"
#include "engine/SetupApp.h"
#include "engine/SystemHelpers.h"
#include "resources/ids.h"
#include "wizard/Wizard.h"

#include <cstdio>
#include <vector>

namespace {

void PlayDoneSound() { PlayMediaSound("DONE.WAV", true); }

// The outcome goes to disk first: the restart may end the session midway.
void RestartWindows()
{
    if (SetupApp* app = SetupApp::Instance())
        app->RestartWindows();
    else
        CfgRestartWindows();
}

} // namespace

bool RunFrontEnd(const std::string& homeDirectory, const std::string& arguments)
{
    std::string program = homeDirectory + "\\korcmd95.exe";
    std::string commandLine = "korcmd95.exe " + arguments;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(program.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    WaitDispatching(pi.hProcess);
    CloseHandle(pi.hProcess);
    return true;
}

bool SummaryPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    PreviousPageId = IDD_INTERNET_OPTIONS;
    SetPictureButton(IDB_SUMMARY);
    return true;
}

bool CompletePage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    SetupApp* app = SetupApp::Instance();
    if (app && app->MainWindowHandle)
        SetWindowPos(app->MainWindowHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (app && app->Data && app->Data->InstallManager != 0)
        CheckDlgButton(Handle(), IDC_SCAN_NOW, BST_CHECKED);
    else
        EnableWindow(Item(IDC_SCAN_NOW), FALSE);
    return true;
}

void CompletePage::OnNext()
{
    // Messages are dispatched while the front end runs: a second OK meanwhile
    // must not start it again.
    static bool busy = false;
    if (busy) return;
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } hold(busy);
    SetupApp& app = *SetupApp::Instance();
    app.InstallComplete = 1;
    CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke\\Korvisan95");
    const std::string home = app.Data->InstallPath;
    if (!app.UnattendedMode) {
        if (IsDlgButtonChecked(Handle(), IDC_SCAN_NOW) == BST_CHECKED) {
            HWND main = app.MainWindowHandle;
            ShowWindow(Handle(), SW_HIDE);
            if (main) ShowWindow(main, SW_HIDE);
            RunFrontEnd(home, "* /START");
            if (main) ShowWindow(main, SW_SHOW);
            ShowWindow(Handle(), SW_SHOW);
        }
    } else if (app.Data->ScanAfter != 0) {
        RunFrontEnd(home, "* /EXIT /START");
    }
    WizardPage::OnNext();
}

bool RestartPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    SetupApp* app = SetupApp::Instance();
    bool restart = app && app->Data && app->Data->RebootAfter != 0;
    SetFocus(Item(restart ? IDC_RESTART_NOW : IDC_DONT_RESTART));
    return false; // the focus is set
}

int32_t RestartPage::RunWork()
{
    SetupApp& app = *SetupApp::Instance();
    if (app.Data->RebootAfter != 0 && app.UnattendedMode) {
        RestartCountdownDialog countdown(app.Data->RebootTimeout);
        countdown.DoModal(app.MainWindowHandle);
    }
    return 0;
}

bool RestartPage::OnCommand(int id, int code, HWND control)
{
    if (code != BN_CLICKED) return WizardPage::OnCommand(id, code, control);
    SetupApp& app = *SetupApp::Instance();
    if (id == IDC_DONT_RESTART) {
        PlayDoneSound();
        if (app.UnattendedMode) WriteStatusMif(*app.Data, 0, "");
        GoToPage(NextPageId);
        return true;
    }
    if (id == IDC_RESTART_NOW) {
        PlayDoneSound();
        RestartWindows();
        GoToPage(NextPageId);
        return true;
    }
    return WizardPage::OnCommand(id, code, control);
}

RestartCountdownDialog::RestartCountdownDialog(int32_t rebootTimeoutMinutes)
    : fw::Dialog(IDD_RESTART_COUNTDOWN),
      // A negative time-out from the settings file counts as none.
      SecondsLeft(rebootTimeoutMinutes > 0 ? static_cast<uint32_t>(rebootTimeoutMinutes) * 60u : 0u)
{
    if (rebootTimeoutMinutes > static_cast<int32_t>(UINT32_MAX / 60u)) SecondsLeft = UINT32_MAX / 60u * 60u;
}

bool RestartCountdownDialog::OnInitDialog()
{
    SetTimer(Handle(), kTimerId, 1000, nullptr);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowTimeLeft();
    return true;
}

void RestartCountdownDialog::ShowTimeLeft()
{
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(SecondsLeft / 60u),
                  static_cast<int>(SecondsLeft % 60u));
    SetItemText(IDC_COUNTDOWN, text);
}

void RestartCountdownDialog::OnOK()
{
    KillTimer(Handle(), kTimerId);
    RestartWindows();
    EndDialog(IDOK);
}

bool RestartCountdownDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message == WM_TIMER && wParam == kTimerId) {
        ShowTimeLeft();
        if (SecondsLeft > 0) --SecondsLeft;
        if (SecondsLeft == 0) {
            KillTimer(Handle(), kTimerId);
            RestartWindows();
            EndDialog(IDOK);
        }
        result = 0;
        return true;
    }
    if (message == WM_DESTROY) KillTimer(Handle(), kTimerId);
    return false;
}
