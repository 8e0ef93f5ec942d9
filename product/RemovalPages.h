// The removal flow (setup /U): 1545 asks, 1546 deletes the installed files,
// the Program Manager items and the empty directories, 1550 removes the
// registration, 1547 reports the end. The tables come from the install
// record, read by page 114.
#pragma once
#include "wizard/base/WizardPage.h"

#include <string>

class RemovalConfirmPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    // Cancel here needs no question: nothing has been touched. The run ends
    // as cancelled.
    bool ConfirmCancel() override;
};

class RemovalFilesPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    Work RunWork() override;
};

class RemovalUnregisterPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    Work RunWork() override;
};

class RemovalDonePage : public WizardPage {
public:
    using WizardPage::WizardPage;
};

// The completion program deletes itself; the removal must not take it away
// before it is started.
extern const char kCompletionProgram[]; // "_kwdinst.exe"
