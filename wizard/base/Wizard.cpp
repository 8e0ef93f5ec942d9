#include "wizard/base/Wizard.h"

#include "engine/ErrorReport.h"
#include "engine/SetupContext.h"
#include "resources/ids.h"
#include "wizard/base/MainWindow.h"
#include "wizard/base/UnattendedProgress.h"
#include "wizard/base/WizardPage.h"

#include <windows.h>

namespace {

WizardPage* g_current = nullptr;
int g_workDepth = 0;
bool g_hasPending = false;
int32_t g_pending = 0;
std::vector<PageRow> g_table;
MainWindow* g_mainWindow = nullptr;

const PageRow* Row(int32_t id)
{
    for (const PageRow& row : g_table)
        if (row.id == id) return &row;
    return nullptr;
}

void SetPending(int32_t id)
{
    // A failure or an end wins over an ordinary switch asked for later.
    if (g_hasPending && (g_pending == kEndWizard || g_pending == IDD_NOT_INSTALLED) && id != kEndWizard) return;
    g_hasPending = true;
    g_pending = id;
}

void DestroyMainWindow()
{
    if (g_mainWindow && g_mainWindow->Handle()) DestroyWindow(g_mainWindow->Handle());
}

// Steps of the switch that may raise (page creation).
void SwitchTo(int32_t id)
{
    for (;;) {
        if (g_current) {
            WizardPage* leaving = g_current;
            g_current = nullptr;
            leaving->Destroy(); // deletes itself once its messages have returned
        }
        if (id == kEndWizard) {
            DestroyMainWindow();
            return;
        }
        WizardPage* page = CreatePage(id);
        if (!page) throw fw::ResourceException();
        g_current = page;
        if (!page->ShouldShow()) {
            id = NextPageOf(id);
            delete page;
            g_current = nullptr;
            continue;
        }
        try {
            page->CreateModeless(g_mainWindow ? g_mainWindow->Handle() : nullptr);
        } catch (...) {
            g_current = nullptr;
            delete page;
            throw;
        }
        UpdateWindow(page->Handle());
        return;
    }
}

int32_t Decide(int32_t fixed, PageRule rule)
{
    const SetupContext* setup = SetupContext::Current();
    return rule && setup ? rule(*setup) : fixed;
}

} // namespace

void SetPageTable(std::vector<PageRow> rows) { g_table = std::move(rows); }

int32_t NextPageOf(int32_t id)
{
    const PageRow* row = Row(id);
    return row ? Decide(row->next, row->nextRule) : kEndWizard;
}

int32_t BackPageOf(int32_t id)
{
    const PageRow* row = Row(id);
    return row ? Decide(row->back, row->backRule) : kNoBack;
}

int UnattendedPercent(int32_t id)
{
    const PageRow* row = Row(id);
    return row ? row->percent : -1;
}

void AttachMainWindow(MainWindow* window) { g_mainWindow = window; }

MainWindow* WizardMainWindow() { return g_mainWindow; }

WizardPage* CurrentPage() { return g_current; }

void GoToPage(int32_t id)
{
    if (g_workDepth > 0) {
        SetPending(id);
        return;
    }
    try {
        SwitchTo(id);
    } catch (...) {
        // No page could be shown for the id: the failure path, or the end
        // when even page 116 cannot be shown.
        std::unique_ptr<CXException> e = ConvertCurrentException();
        if (id == IDD_NOT_INSTALLED) {
            DestroyMainWindow();
            return;
        }
        ReportFatal(IDS_SETUP_CANNOT_CONTINUE, e.get());
        FailSetup();
    }
}

void FailSetup(const std::string& reason)
{
    // Set before the switch: running copy loops stop at once.
    if (SetupContext* setup = SetupContext::Current()) {
        if (!reason.empty()) setup->NoteFailure(reason);
        setup->SetupFailed = 1;
    }
    GoToPage(IDD_NOT_INSTALLED);
}

void CancelSetup()
{
    if (SetupContext* setup = SetupContext::Current()) setup->Cancelled = 1;
    GoToPage(IDD_NOT_INSTALLED);
}

void BeginWork() { ++g_workDepth; }

void EndWork()
{
    if (g_workDepth > 0) --g_workDepth;
    if (g_workDepth == 0 && g_hasPending) {
        g_hasPending = false;
        GoToPage(g_pending);
    }
}

bool WorkInProgress() { return g_workDepth > 0; }

bool RequestEndWizard()
{
    if (g_workDepth == 0) return false;
    SetPending(kEndWizard);
    return true;
}

void PageDestroyed(WizardPage* page)
{
    if (g_current == page) g_current = nullptr;
}

void EndWizard()
{
    if (g_current) {
        WizardPage* page = g_current;
        g_current = nullptr;
        if (page->Handle())
            page->Destroy();
        else
            delete page;
    }
    g_hasPending = false;
    g_workDepth = 0;
    DestroyUnattendedProgress();
}

WizardPage* CreatePage(int32_t id)
{
    EnsureUnattendedProgress();
    const SetupContext* setup = SetupContext::Current();
    if (setup && setup->UnattendedMode) {
        if (id == IDD_WELCOME) ShowUnattendedProgress();
        int percent = UnattendedPercent(id);
        if (percent >= 0) SetUnattendedProgress(percent);
    }
    const PageRow* row = Row(id);
    return row && row->make ? row->make(id) : nullptr;
}
