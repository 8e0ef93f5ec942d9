#include "wizard/Pages.h"

#include "engine/SetupApp.h"
#include "resources/ids.h"
#include "config/ConfiguringPage.h"
#include "product/BackupPage.h"
#include "product/ComponentsPage.h"
#include "product/CopyPage.h"
#include "product/MemoryScanPage.h"
#include "product/OptionPages.h"
#include "product/RemovalPages.h"
#include "wizard/BasicPages.h"
#include "wizard/ChoicePages.h"
#include "wizard/ClosingPages.h"
#include "wizard/OpeningPages.h"
#include "wizard/Wizard.h"

namespace {

using Maker = WizardPage* (*)(int32_t id, int32_t next);

template <class Page> WizardPage* Make(int32_t id, int32_t next) { return new Page(id, next); }

struct PageEntry {
    int32_t id;
    Maker make;   // null: not part of this program yet
    int32_t next; // 0: computed by a rule
    int percent;  // unattended progress, -1 none
};

constexpr int32_t kRuleA = 0;
constexpr int32_t kRuleB = 0;
constexpr int32_t kRuleC = 0;

const PageEntry kPages[] = {
    {IDD_WELCOME, &Make<WelcomePage>, IDD_STOPPING_PRODUCT, 1},
    {IDD_STOPPING_PRODUCT, &Make<StoppingProductPage>, IDD_READING_SETUP, 5},
    {IDD_READING_SETUP, &Make<ReadingSetupPage>, kRuleC, 15},
    {IDD_MEMORY_SCAN, &Make<MemoryScanPage>, IDD_USER_INFO, 20},
    {IDD_USER_INFO, &Make<UserInfoPage>, IDD_INSTALL_CONDITIONS, 30},
    {IDD_INSTALL_CONDITIONS, &Make<InstallConditionsPage>, IDD_SETUP_TYPE, 35},
    {IDD_SETUP_TYPE, &Make<SetupTypePage>, IDD_SELECT_DIRECTORY, 40},
    {IDD_COMPONENTS, &Make<ComponentsPage>, IDD_SELECT_DIRECTORY, -1},
    {IDD_SELECT_DIRECTORY, &Make<SelectDirectoryPage>, kRuleA, 45},
    {IDD_KEEP_CONFIG, &Make<KeepConfigPage>, IDD_INTERNET_OPTIONS, -1},
    {IDD_INTERNET_OPTIONS, &Make<InternetOptionsPage>, IDD_SUMMARY, -1},
    {IDD_SUMMARY, &Make<SummaryPage>, IDD_COPY_PROGRESS, 50},
    {IDD_COPY_PROGRESS, &Make<CopyPage>, IDD_CONFIGURING, -1},
    {IDD_CONFIGURING, &Make<ConfiguringPage>, IDD_BACKUP, 75},
    {IDD_BACKUP, &Make<BackupPage>, IDD_COMPLETE, 80},
    {IDD_COMPLETE, &Make<CompletePage>, kRuleB, 95},
    {IDD_RESTART, &Make<RestartPage>, kEndWizard, 100},
    {IDD_NOT_INSTALLED, &Make<NotInstalledPage>, kEndWizard, -1},
    {IDD_REMOVAL_CONFIRM, &Make<RemovalConfirmPage>, IDD_READING_SETUP, -1},
    {IDD_REMOVAL_FILES, &Make<RemovalFilesPage>, IDD_REMOVAL_UNREGISTER, -1},
    {IDD_REMOVAL_UNREGISTER, &Make<RemovalUnregisterPage>, IDD_REMOVAL_DONE, -1},
    {IDD_REMOVAL_DONE, &Make<RemovalDonePage>, kEndWizard, -1},
};

const PageEntry* Find(int32_t id)
{
    for (const PageEntry& e : kPages)
        if (e.id == id) return &e;
    return nullptr;
}

} // namespace

int32_t NextAfterSelectDirectory()
{
    SetupApp* app = SetupApp::Instance();
    return app && app->ExistingInstall ? IDD_KEEP_CONFIG : IDD_INTERNET_OPTIONS;
}

int32_t NextAfterComplete()
{
    SetupApp* app = SetupApp::Instance();
    return app && app->Data && app->Data->InstallRealtime != 0 ? IDD_RESTART : kEndWizard;
}

int32_t NextAfterReadingSetup()
{
    SetupApp* app = SetupApp::Instance();
    return app && app->RemovalMode ? IDD_REMOVAL_FILES : IDD_MEMORY_SCAN;
}

int UnattendedPercent(int32_t id)
{
    const PageEntry* e = Find(id);
    return e ? e->percent : -1;
}

WizardPage* MakeTablePage(int32_t id)
{
    const PageEntry* e = Find(id);
    if (!e || !e->make) return nullptr;
    int32_t next = e->next;
    if (id == IDD_SELECT_DIRECTORY) next = NextAfterSelectDirectory();
    if (id == IDD_COMPLETE) next = NextAfterComplete();
    if (id == IDD_READING_SETUP) next = NextAfterReadingSetup();
    return e->make(id, next);
}
