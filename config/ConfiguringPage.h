// Page 1555: runs the system configuration steps in their fixed order while
// it shows "Configuring registry ...", then goes on to the backup page.
#pragma once
#include "wizard/base/WizardPage.h"

class ConfiguringPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    Work RunWork() override;

protected:
    void InitPage() override;
};
