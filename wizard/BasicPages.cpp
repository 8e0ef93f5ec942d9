#include "wizard/BasicPages.h"

#include "config/log/InstallLog.h"
#include "engine/Media.h"
#include "engine/journal/UndoLog.h"
#include "framework/Text.h"
#include "product/ProgramItems.h"
#include "resources/ids.h"

void WelcomePage::InitPage()
{
    SetPictureButton(IDB_WELCOME);
    PlayMediaSound("WELCOME.WAV", false);
}

WizardPage::Work NotInstalledPage::RunWork()
{
    if (!undojournal::Active()) return Work::Stay;
    SetItemText(IDC_RESTORE_STATUS, fw::LoadText(IDS_RESTORING));
    EnableWindow(Item(IDOK), FALSE);
    UpdateWindow(Handle());
    const undojournal::Report report = undojournal::Rollback(ProductUndoHandlers());
    if (report.undone + report.failed > 0)
        LogMessage("Setup took back its changes: %d undone, %d could not be undone", report.undone, report.failed);
    SetItemText(IDC_RESTORE_STATUS, report.failed == 0 ? fw::LoadText(IDS_RESTORED) : std::string());
    EnableWindow(Item(IDOK), TRUE);
    return Work::Stay;
}
