// Page 102 (Welcome) and page 116 (not installed): the first page of an
// installation and the page every failure ends on.
#pragma once
#include "wizard/base/WizardPage.h"

class WelcomePage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    void InitPage() override;
};

// Before it waits for OK, page 116 takes back what the installation changed
// (the undo journal), saying so on the page.
class NotInstalledPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    Work RunWork() override;
};
