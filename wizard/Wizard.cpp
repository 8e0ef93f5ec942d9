#include "wizard/Wizard.h"

#include "engine/ErrorReport.h"
#include "engine/SetupApp.h"
#include "resources/ids.h"
#include "wizard/Pages.h"
#include "wizard/UnattendedProgress.h"
#include "wizard/WizardPage.h"

#include <windows.h>

namespace {

WizardPage* g_current = nullptr;
int g_workDepth = 0;
bool g_hasPending = false;
int32_t g_pending = 0;
std::function<WizardPage*(int32_t)> g_override;

void SetPending(int32_t id)
{
    // A failure or an end wins over an ordinary switch asked for later.
    if (g_hasPending && (g_pending == kEndWizard || g_pending == IDD_NOT_INSTALLED) && id != kEndWizard) return;
    g_hasPending = true;
    g_pending = id;
}

void DestroyMainWindow()
{
    SetupApp* app = SetupApp::Instance();
    if (app && app->MainWindowHandle) DestroyWindow(app->MainWindowHandle);
}

// Steps of the switch that may raise (page creation).
void SwitchTo(int32_t id)
{
    for (;;) {
        int32_t from = 0;
        if (g_current) {
            WizardPage* leaving = g_current;
            from = leaving->PageId;
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
        page->PreviousPageId = from;
        if (!page->ShouldShow()) {
            id = page->NextPageId;
            delete page;
            g_current = nullptr;
            continue;
        }
        try {
            SetupApp* app = SetupApp::Instance();
            page->CreateModeless(app ? app->MainWindowHandle : nullptr);
        } catch (...) {
            g_current = nullptr;
            delete page;
            throw;
        }
        UpdateWindow(page->Handle());
        return;
    }
}

} // namespace

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

void FailSetup()
{
    SetupApp* app = SetupApp::Instance();
    if (g_workDepth > 0 && app) app->SetupFailed = 1; // running copy loops stop at once
    GoToPage(IDD_NOT_INSTALLED);
    if (app) app->SetupFailed = 1;
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
    if (SetupApp* app = SetupApp::Instance()) app->SetupFailed = 1;
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

void SetPageFactoryOverride(std::function<WizardPage*(int32_t)> factory) { g_override = std::move(factory); }

WizardPage* CreatePage(int32_t id)
{
    EnsureUnattendedProgress();
    SetupApp* app = SetupApp::Instance();
    if (app && app->UnattendedMode) {
        if (id == IDD_WELCOME) ShowUnattendedProgress();
        int percent = UnattendedPercent(id);
        if (percent >= 0) SetUnattendedProgress(percent);
    }
    if (g_override) {
        if (WizardPage* page = g_override(id)) return page;
    }
    return MakeTablePage(id);
}
