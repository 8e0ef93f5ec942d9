#include "product/CopyPage.h"

#include "engine/Media.h"
#include "engine/journal/UndoLog.h"
#include "engine/base/Placement.h"
#include "engine/SetupContext.h"
#include "engine/profile/InstallRecord.h"
#include "engine/profile/ProfileFileWin32.h"
#include "product/Billboards.h"
#include "product/ProgramItems.h"
#include "resources/ids.h"
#include "wizard/base/Wizard.h"

const char* const kDirectCopyFiles[6] = {"NoPwd.txt", "WrongPwd.txt", "Alert.ip",
                                         "Alert.spx", "Version.txt",  "Korvi95.wri"};

void CopyPage::PositionPage()
{
    RECT r;
    GetWindowRect(Handle(), &r);
    Placement p = PlaceByFractions(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), r.right - r.left,
                                   r.bottom - r.top, 1, 2, 3, 4);
    SetWindowPos(Handle(), nullptr, p.left, p.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CopyPage::InitPage()
{
    gauge_ = std::make_unique<Gauge>(0, 99, 0);
    gauge_->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, Handle(), IDC_GAUGE);
}

void CopyPage::CopyProductFiles()
{
    const SetupContext& app = Setup();
    if (!EnsureMediaFile(kDirectCopyFiles[0], 1)) return; // failures of the direct copies are not reported
    PathName home;
    home.SetDirectory(app.HomeDirectory());
    for (const char* name : kDirectCopyFiles) {
        PathName from = app.SourcePath;
        from.SetFileName(name);
        PathName to = home;
        to.SetFileName(name);
        if (undojournal::RecordFile(to.Text()) && CopyFileA(from.Text().c_str(), to.Text().c_str(), FALSE))
            SetFileAttributesA(to.Text().c_str(), FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE);
    }
}

WizardPage::Work CopyPage::RunWork()
{
    SetupContext& app = Setup();
    CopyProductFiles();

    CopyEngine engine(app, *this);
    engine.Begin();
    BillboardStart(engine.SelectedBytes());
    if (!engine.InstallItems()) {
        BillboardClose();
        if (app.Cancelled)
            CancelSetup();
        else
            FailSetup();
        return Work::Stay;
    }
    CreateProgramItems();
    BillboardClose();
    // A Cancel pressed while the items or the record were written is asked
    // about when that step returns. The record is written either way: the
    // files are installed, and a removal needs it.
    bool leave = TakeCancelRequest() && ConfirmLeave();
    if (app.WriteRecord && undojournal::RecordFile(app.RecordPath.Text())) {
        PrivateProfileFile record(app.RecordPath.Text());
        WriteInstallRecord(record, app.DestinationTable, app.GroupTable, app.TargetTable);
    }
    if (leave || (TakeCancelRequest() && ConfirmLeave())) {
        CancelSetup();
        return Work::Stay;
    }
    return Work::Next;
}

void CopyPage::ShowItem(const std::string& fileName)
{
    SetItemText(IDC_SOURCE_FILE, fileName);
    UpdateWindow(Handle());
}

void CopyPage::SetGaugeRange(int64_t min, int64_t max)
{
    if (!gauge_) return;
    gauge_->Min = min;
    gauge_->Max = max;
    gauge_->SetPos(0, true);
}

void CopyPage::ShowProgress(int64_t gaugePosition, const std::string& destinationText, uint64_t byteCount)
{
    ShowGaugeAndText(gaugePosition, destinationText);
    BillboardStep(byteCount);
}

void CopyPage::ShowGaugeAndText(int64_t gaugePosition, const std::string& destinationText)
{
    // At most 25 repaints a second, and the gauge's end at once: the eye
    // follows no more, and a repaint costs more than copying a block.
    bool atEnd = gauge_ && gaugePosition >= gauge_->Max;
    if (!paintGate_.Due(GetTickCount()) && !atEnd) return;
    if (gauge_) gauge_->SetPos(gaugePosition, true);
    if (destinationText != shownDestination_) { // repaint only what changes
        shownDestination_ = destinationText;
        SetItemText(IDC_DEST_FILE, destinationText);
    }
}

bool CopyPage::TakeCancelRequest()
{
    bool requested = cancelRequested_;
    cancelRequested_ = false;
    return requested;
}
