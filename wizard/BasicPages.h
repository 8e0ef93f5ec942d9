// Page 102 (Welcome) and page 116 (not installed): the first page of an
// installation and the page every failure ends on.
#pragma once
#include "wizard/WizardPage.h"

class WelcomePage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    bool OnInitDialog() override;
};

class NotInstalledPage : public WizardPage {
public:
    using WizardPage::WizardPage;
};
