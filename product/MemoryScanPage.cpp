#include "product/MemoryScanPage.h"

#include "engine/CopyEngine.h"
#include "engine/Media.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "engine/UserMessage.h"
#include "framework/Text.h"
#include "product/AntivirusEngine.h"
#include "resources/ids.h"
#include "wizard/base/Wizard.h"

#include <commctrl.h>

namespace {

// The extraction shows nothing of its own: the page's status text says what
// happens, and a confirmed Cancel on the page stops it at once.
class SilentCopyView : public CopyView {
public:
    void ShowItem(const std::string&) override {}
    void SetGaugeRange(int64_t, int64_t) override {}
    void ShowProgress(int64_t, const std::string&, uint64_t) override {}
    bool TakeCancelRequest() override { return false; }
    bool ConfirmLeave() override { return false; }
};

bool IsEngineItem(const ArchiveItem& item)
{
    return item.OwnerGroup && lstrcmpiA(item.OwnerGroup->Name.c_str(), "Engine") == 0;
}

std::string TemporaryDirectory()
{
    char buf[261] = {};
    DWORD n = GetTempPathA(sizeof buf, buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

// Whatever way the run leaves: the engine torn down and its files gone.
struct EngineCleanUp {
    std::string directory;
    ~EngineCleanUp()
    {
        avengine::Unload();
        avengine::DeleteEngineFiles(directory);
    }
};

} // namespace

void MemoryScanPage::InitPage() { SendDlgItemMessageA(Handle(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100)); }

bool MemoryScanPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message != WM_ENGINE_PROGRESS) return WizardPage::OnMessage(message, wParam, lParam, result);
    result = 0;
    if (!avengine::IsOpen()) return true; // a late message after the tear-down
    SendDlgItemMessageA(Handle(), IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(avengine::Progress()), 0);
    UpdateWindow(Handle());
    ProcessPendingMessages(); // the wizard stays responsive during the scan
    return true;
}

bool MemoryScanPage::ExtractEngine(const std::string& directory)
{
    SetupContext& app = Setup();
    for (const ArchiveItem& item : app.ArchiveList) {
        if (app.StopRequested()) return false;
        if (!IsEngineItem(item)) continue;
        // Asked for on its own diskette; given up, nothing is extracted and
        // the loading below reports the missing engine.
        if (EnsureMediaFile(item.FileName, item.Diskette)) {
            ArchiveItem archive = item;
            archive.Kind = 1; // the engine always comes as an archive
            SilentCopyView view;
            CopyEngine engine(app, view);
            // The engine's members are named for the home directory: here
            // they go to the scan's own directory instead.
            engine.RedirectDestination(0, directory);
            engine.InstallItem(archive); // reports its own failures
        }
        break;
    }
    return true;
}

WizardPage::Work MemoryScanPage::Stop()
{
    // A confirmed Cancel has asked for page 116 already.
    if (!Setup().Cancelled) FailSetup();
    return Work::Stay;
}

bool MemoryScanPage::ReportScanResult(EngineStatus result)
{
    std::string name = avengine::VirusName();
    std::string title = fw::LoadText(IDS_MAIN_TITLE);
    if (result == kEngineScanRemoved) {
        ShowUserMessage(Handle(), fw::FormatText(fw::LoadText(IDS_VIRUS_REMOVED).c_str(), name.c_str()), title,
                        MB_OK | MB_ICONSTOP, IDOK);
        return true;
    }
    if (result == kEngineScanFailed)
        return ShowUserMessage(Handle(), fw::LoadText(IDS_SCAN_ERROR), title, MB_YESNO | MB_ICONSTOP, IDYES) == IDYES;
    // Nobody there to reboot from a clean diskette: an unattended run stops.
    return ShowUserMessage(Handle(), fw::FormatText(fw::LoadText(IDS_VIRUS_NOT_REMOVED).c_str(), name.c_str()), title,
                           MB_YESNO | MB_ICONSTOP, IDNO) == IDYES;
}

WizardPage::Work MemoryScanPage::RunWork()
{
    const SetupContext& app = Setup();
    SetItemText(IDC_SCAN_STATUS, fw::LoadText(IDS_LOADING_ENGINE));
    std::string temp = TemporaryDirectory();
    EngineCleanUp cleanUp{temp};

    if (!ExtractEngine(temp)) return Stop();
    ProcessPendingMessages();
    if (app.StopRequested()) return Stop();

    if (avengine::Load(temp) != avengine::kLoaded) {
        ShowUserMessage(Handle(), fw::LoadText(IDS_ENGINE_INIT_FAILED), fw::LoadText(IDS_MAIN_TITLE), MB_OK, IDOK);
        return Work::Next; // setup goes on without a memory scan
    }
    avengine::SetNotifyWindow(Handle());
    SetItemText(IDC_SCAN_STATUS, fw::LoadText(IDS_SCANNING_MEMORY));
    ProcessPendingMessages();
    if (app.StopRequested()) return Stop();

    EngineStatus result = avengine::ScanMemory();
    bool goOn = result == kEngineScanClean || ReportScanResult(result);
    if (app.StopRequested() || !goOn) return Stop();
    return Work::Next;
}
