// The wizard driver: exactly one page at a time, switched by page id. The
// page table decides which page follows a page and which one Back returns
// to; -1 ends the wizard (the main window is destroyed), 116 reports that
// the installation did not happen.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class MainWindow;
class SetupContext;
class WizardPage;

constexpr int32_t kEndWizard = -1;
// A row's Back column: the page has no way back.
constexpr int32_t kNoBack = 0;

// A conditional row of the page table decides through one of these.
using PageRule = int32_t (*)(const SetupContext& setup);
using PageMaker = std::function<WizardPage*(int32_t id)>;

struct PageRow {
    int32_t id = 0;
    PageMaker make;              // null: not part of this program
    int32_t next = kEndWizard;   // the page after it ...
    PageRule nextRule = nullptr; // ... unless this decides
    int32_t back = kNoBack;      // the page Back goes to ...
    PageRule backRule = nullptr; // ... unless this decides
    int percent = -1;            // unattended progress, -1 none
};

// The table the driver walks (the program's own, or a test's).
void SetPageTable(std::vector<PageRow> rows);
// The page after `id`, and the one Back goes to from it (kNoBack: none).
int32_t NextPageOf(int32_t id);
int32_t BackPageOf(int32_t id);
// Percent shown by the unattended progress window for a page, or -1.
int UnattendedPercent(int32_t id);

// The main window the pages are shown over (null before it exists).
void AttachMainWindow(MainWindow* window);
MainWindow* WizardMainWindow();

// Switches to the page with this id. While a page's work is running the
// switch waits until the work has returned (the work may pump messages).
void GoToPage(int32_t id);
// The installation failed: notes the reason (when one is given) for the
// outcome, sets SetupFailed and goes to page 116.
void FailSetup(const std::string& reason = std::string());
// The user confirmed Cancel: sets Cancelled and goes to page 116.
void CancelSetup();
// A new page object for the id (the table's), or null.
WizardPage* CreatePage(int32_t id);
// The page on screen, or null.
WizardPage* CurrentPage();

// Work bracket used by the run-work handler; page switches asked for inside
// are carried out by EndWork.
void BeginWork();
void EndWork();
bool WorkInProgress();

// The main window was asked to close: true when that must wait for running
// work (the request is then remembered).
bool RequestEndWizard();

// Releases the unattended progress window and any page left (program exit).
void EndWizard();

// The unattended progress bar's position (for tests), -1 when no window.
int UnattendedProgressPosition();

// Called by a page when its window is gone.
void PageDestroyed(WizardPage* page);
