// Page 1567: hands over to the product's rescue library (rescue.dll in the
// home directory), which backs up the critical disk areas, then goes on to
// page 115. A missing home entry, library or entry point skips the backup.
#pragma once
#include "wizard/base/WizardPage.h"

class BackupPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    Work RunWork() override;

protected:
    void InitPage() override;
};
