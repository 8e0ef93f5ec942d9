// The pages that end an installation: 1556 summary, 115 complete (may start
// the front end for a first scan), 1554 restart, with the timed restart
// dialog of unattended mode.
#pragma once
#include "framework/Dialog.h"
#include "wizard/base/WizardPage.h"

#include <cstdint>
#include <string>

class SummaryPage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    void InitPage() override;
};

class CompletePage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    void InitPage() override;
    bool Validate() override;
    // Marks the installation complete and starts the front end's first scan
    // when it was asked for.
    void Store() override;

private:
    bool frontEndRunning_ = false;
};

class RestartPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    Work RunWork() override;

protected:
    void InitPage() override;
    bool OnCommand(int id, int code, HWND control) override;
};

// Counts down from RebootTimeout minutes, showing "m:ss", and restarts
// Windows at the tick that reaches 0 (or when "Restart Now" is pressed).
class RestartCountdownDialog : public fw::Dialog {
public:
    explicit RestartCountdownDialog(int32_t rebootTimeoutMinutes);

    uint32_t SecondsLeft;
    static constexpr UINT_PTR kTimerId = 1;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void ShowTimeLeft();
};

// Runs "<home>\korcmd95.exe" with the arguments after the program name and
// waits until it has ended; false when it could not be started.
bool RunFrontEnd(const std::string& homeDirectory, const std::string& arguments);
