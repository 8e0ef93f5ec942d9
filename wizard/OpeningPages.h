// Page 1559 (stopping the running product, then preparing the setup data)
// and page 114 (reading the install profile into the tables).
#pragma once
#include "wizard/base/WizardPage.h"

#include <string>

class SetupContext;

// Asks the top-level windows whose title contains the text (case-sensitive)
// to end, one after another, never touching `keep`. True when none is left,
// false when one refused to close or did not answer in time (the others are
// still asked).
bool CloseWindowsTitled(const char* text, HWND keep);

// Sets the product's termination event, closes its windows (three rounds),
// waits half a second and resets the event. Failures are ignored.
void StopRunningProduct(HWND keep);

// Presets, the install settings file, then the user's name, organisation and
// the home directory (the settings file's, or interactively an earlier
// installation's). False when there was no settings file to read.
bool PrepareSetupData(SetupContext& setup);

// Loads the profile at ProfilePath into the five tables, letting the window
// repaint between the sections.
void ReadInstallProfile(SetupContext& setup);

class StoppingProductPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    Work RunWork() override;

protected:
    void InitPage() override;
};

class ReadingSetupPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    Work RunWork() override;
};
