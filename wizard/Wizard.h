// The wizard driver: exactly one page at a time, switched by page id.
// -1 ends the wizard (the main window is destroyed); 116 reports failure.
#pragma once
#include <cstdint>
#include <functional>

class WizardPage;

constexpr int32_t kEndWizard = -1;

// Switches to the page with this id. While a page's work is running the
// switch waits until the work has returned (the work may pump messages).
void GoToPage(int32_t id);
// Page 116, then SetupFailed := 1.
void FailSetup();
// The page factory: a new page object for the id, or null.
WizardPage* CreatePage(int32_t id);
// The page on screen, or null.
WizardPage* CurrentPage();

// Work bracket used by the run-work handler; page switches asked for inside
// are carried out by EndWork.
void BeginWork();
void EndWork();
bool WorkInProgress();

// The main window was asked to close: true when that must wait for running
// work (the request is then remembered and SetupFailed set).
bool RequestEndWizard();

// Releases the unattended progress window and any page left (program exit).
void EndWizard();

// Percent shown by the unattended progress window for a page, or -1.
int UnattendedPercent(int32_t id);
// The unattended progress bar's position (for tests), -1 when no window.
int UnattendedProgressPosition();

// Tests may stand in their own pages for ids; null falls back to the table.
void SetPageFactoryOverride(std::function<WizardPage*(int32_t)> factory);

// Called by a page when its window is gone.
void PageDestroyed(WizardPage* page);
