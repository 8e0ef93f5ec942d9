// The option pages between the directory page and the summary: 1552 keeps or
// overwrites an existing configuration, 1557 offers browser integration for
// the browsers found and the start-up of the auto-download agent.
#pragma once
#include "wizard/base/WizardPage.h"

class KeepConfigPage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    void InitPage() override;
    void Store() override;
    bool OnCommand(int id, int code, HWND control) override;
};

class InternetOptionsPage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    void InitPage() override;
    void Store() override;
};

// Whether the browsers' keys exist (only their presence counts).
bool NavigatorInstalled();
bool InternetExplorerInstalled();
