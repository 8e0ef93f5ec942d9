#include "wizard/Pages.h"

#include "config/ConfiguringPage.h"
#include "engine/SetupContext.h"
#include "product/BackupPage.h"
#include "product/ComponentsPage.h"
#include "product/CopyPage.h"
#include "product/MemoryScanPage.h"
#include "product/OptionPages.h"
#include "product/RemovalPages.h"
#include "resources/ids.h"
#include "wizard/BasicPages.h"
#include "wizard/ChoicePages.h"
#include "wizard/ClosingPages.h"
#include "wizard/OpeningPages.h"

namespace {

template <class Page> WizardPage* Make(int32_t id) { return new Page(id); }

} // namespace

std::vector<PageRow> StandardPageTable()
{
    // id, page, next, next rule, back, back rule, unattended percent
    return {
        {IDD_WELCOME, &Make<WelcomePage>, IDD_STOPPING_PRODUCT, nullptr, kNoBack, nullptr, 1},
        {IDD_STOPPING_PRODUCT, &Make<StoppingProductPage>, IDD_READING_SETUP, nullptr, kNoBack, nullptr, 5},
        {IDD_READING_SETUP, &Make<ReadingSetupPage>, 0, &NextAfterReadingSetup, kNoBack, nullptr, 15},
        {IDD_MEMORY_SCAN, &Make<MemoryScanPage>, IDD_USER_INFO, nullptr, kNoBack, nullptr, 20},
        // Back from 126 skips the work pages before it.
        {IDD_USER_INFO, &Make<UserInfoPage>, IDD_INSTALL_CONDITIONS, nullptr, IDD_WELCOME, nullptr, 30},
        {IDD_INSTALL_CONDITIONS, &Make<InstallConditionsPage>, 0, &NextAfterInstallConditions, IDD_USER_INFO, nullptr,
         35},
        // Back from 125 skips 1537, which is passed over.
        {IDD_SETUP_TYPE, &Make<SetupTypePage>, 0, &NextAfterSetupType, IDD_USER_INFO, nullptr, 40},
        {IDD_COMPONENTS, &Make<ComponentsPage>, IDD_SELECT_DIRECTORY, nullptr, IDD_SETUP_TYPE, nullptr, -1},
        {IDD_SELECT_DIRECTORY, &Make<SelectDirectoryPage>, 0, &NextAfterSelectDirectory, 0, &BackFromSelectDirectory,
         45},
        {IDD_KEEP_CONFIG, &Make<KeepConfigPage>, IDD_INTERNET_OPTIONS, nullptr, IDD_SELECT_DIRECTORY, nullptr, -1},
        {IDD_INTERNET_OPTIONS, &Make<InternetOptionsPage>, IDD_SUMMARY, nullptr, 0, &BackFromInternetOptions, -1},
        {IDD_SUMMARY, &Make<SummaryPage>, IDD_COPY_PROGRESS, nullptr, IDD_INTERNET_OPTIONS, nullptr, 50},
        {IDD_COPY_PROGRESS, &Make<CopyPage>, IDD_CONFIGURING, nullptr, kNoBack, nullptr, -1},
        {IDD_CONFIGURING, &Make<ConfiguringPage>, IDD_BACKUP, nullptr, kNoBack, nullptr, 75},
        {IDD_BACKUP, &Make<BackupPage>, IDD_COMPLETE, nullptr, kNoBack, nullptr, 80},
        {IDD_COMPLETE, &Make<CompletePage>, 0, &NextAfterComplete, kNoBack, nullptr, 95},
        {IDD_RESTART, &Make<RestartPage>, kEndWizard, nullptr, kNoBack, nullptr, 100},
        {IDD_NOT_INSTALLED, &Make<NotInstalledPage>, kEndWizard, nullptr, kNoBack, nullptr, -1},
        {IDD_REMOVAL_CONFIRM, &Make<RemovalConfirmPage>, IDD_READING_SETUP, nullptr, kNoBack, nullptr, -1},
        {IDD_REMOVAL_FILES, &Make<RemovalFilesPage>, IDD_REMOVAL_UNREGISTER, nullptr, kNoBack, nullptr, -1},
        {IDD_REMOVAL_UNREGISTER, &Make<RemovalUnregisterPage>, IDD_REMOVAL_DONE, nullptr, kNoBack, nullptr, -1},
        {IDD_REMOVAL_DONE, &Make<RemovalDonePage>, kEndWizard, nullptr, kNoBack, nullptr, -1},
    };
}

bool InstallConditionsMet() { return true; }

int32_t NextAfterSelectDirectory(const SetupContext& setup)
{
    return setup.ExistingInstall ? IDD_KEEP_CONFIG : IDD_INTERNET_OPTIONS;
}

int32_t NextAfterComplete(const SetupContext& setup)
{
    return setup.Data && setup.Data->InstallRealtime != 0 ? IDD_RESTART : kEndWizard;
}

int32_t NextAfterReadingSetup(const SetupContext& setup)
{
    return setup.RemovalMode ? IDD_REMOVAL_FILES : IDD_MEMORY_SCAN;
}

int32_t NextAfterInstallConditions(const SetupContext& setup)
{
    return InstallConditionsMet() || setup.BatchMode ? IDD_SETUP_TYPE : IDD_NOT_INSTALLED;
}

int32_t NextAfterSetupType(const SetupContext& setup)
{
    return setup.SetupType == kSetupCustom ? IDD_COMPONENTS : IDD_SELECT_DIRECTORY;
}

int32_t BackFromSelectDirectory(const SetupContext& setup)
{
    return setup.SetupType == kSetupCustom ? IDD_COMPONENTS : IDD_SETUP_TYPE;
}

int32_t BackFromInternetOptions(const SetupContext& setup)
{
    return setup.ExistingInstall ? IDD_KEEP_CONFIG : IDD_SELECT_DIRECTORY;
}
