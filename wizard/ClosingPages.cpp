#include "wizard/ClosingPages.h"

#include "config/Registry.h"
#include "config/log/StatusMif.h"
#include "engine/Media.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "resources/ids.h"
#include "wizard/base/MainWindow.h"
#include "wizard/base/Wizard.h"

#include <cstdio>
#include <vector>

namespace {

void PlayDoneSound() { PlayMediaSound("DONE.WAV", true); }

// The outcome goes to disk first: the restart may end the session midway.
void RestartWindowsNow()
{
    if (SetupContext* setup = SetupContext::Current())
        setup->RestartWindows();
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

void SummaryPage::InitPage() { SetPictureButton(IDB_SUMMARY); }

void CompletePage::InitPage()
{
    const SetupContext& setup = Setup();
    if (MainWindow* main = WizardMainWindow())
        SetWindowPos(main->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (setup.Data && setup.Data->InstallManager != 0)
        CheckDlgButton(Handle(), IDC_SCAN_NOW, BST_CHECKED);
    else
        EnableWindow(Item(IDC_SCAN_NOW), FALSE);
}

// Messages are dispatched while the front end runs: a second OK meanwhile
// must not start it again.
bool CompletePage::Validate() { return !frontEndRunning_; }

void CompletePage::Store()
{
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } hold(frontEndRunning_);
    SetupContext& setup = Setup();
    setup.InstallComplete = 1;
    CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke\\Korvisan95");
    const std::string home = setup.HomeDirectory();
    if (!setup.UnattendedMode) {
        if (IsDlgButtonChecked(Handle(), IDC_SCAN_NOW) == BST_CHECKED) {
            MainWindow* mainWindow = WizardMainWindow();
            HWND main = mainWindow ? mainWindow->Handle() : nullptr;
            ShowWindow(Handle(), SW_HIDE);
            if (main) ShowWindow(main, SW_HIDE);
            RunFrontEnd(home, "* /START");
            if (main) ShowWindow(main, SW_SHOW);
            ShowWindow(Handle(), SW_SHOW);
        }
    } else if (setup.Data->ScanAfter != 0) {
        RunFrontEnd(home, "* /EXIT /START");
    }
}

void RestartPage::InitPage()
{
    const SetupContext& setup = Setup();
    const bool restart = setup.Data && setup.Data->RebootAfter != 0;
    FocusItem(restart ? IDC_RESTART_NOW : IDC_DONT_RESTART);
}

WizardPage::Work RestartPage::RunWork()
{
    const SetupContext& setup = Setup();
    if (setup.Data->RebootAfter != 0 && setup.UnattendedMode) {
        RestartCountdownDialog countdown(setup.Data->RebootTimeout);
        MainWindow* main = WizardMainWindow();
        countdown.DoModal(main ? main->Handle() : nullptr);
    }
    return Work::Stay;
}

bool RestartPage::OnCommand(int id, int code, HWND control)
{
    if (code != BN_CLICKED) return WizardPage::OnCommand(id, code, control);
    SetupContext& setup = Setup();
    if (id == IDC_DONT_RESTART) {
        PlayDoneSound();
        if (setup.UnattendedMode) WriteStatusMif(*setup.Data, 0, "");
        OnNext();
        return true;
    }
    if (id == IDC_RESTART_NOW) {
        PlayDoneSound();
        RestartWindowsNow();
        OnNext();
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
    RestartWindowsNow();
    EndDialog(IDOK);
}

bool RestartCountdownDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message == WM_TIMER && wParam == kTimerId) {
        ShowTimeLeft();
        if (SecondsLeft > 0) --SecondsLeft;
        if (SecondsLeft == 0) {
            KillTimer(Handle(), kTimerId);
            RestartWindowsNow();
            EndDialog(IDOK);
        }
        result = 0;
        return true;
    }
    if (message == WM_DESTROY) KillTimer(Handle(), kTimerId);
    return false;
}
