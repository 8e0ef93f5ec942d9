// The pages that end an installation: 1556 summary, 115 complete (may start
// the front end for a first scan), 1554 restart, with the timed restart
// dialog of unattended mode.
#pragma once
#include "framework/Dialog.h"
#include "wizard/WizardPage.h"

#include <cstdint>
#include <string>

class SummaryPage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    bool OnInitDialog() override;
};

class CompletePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void OnNext() override;

protected:
    bool OnInitDialog() override;
};

class RestartPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    int32_t RunWork() override;

protected:
    bool OnInitDialog() override;
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
