#include "app/SetupApp.h"

#include "app/FaultGuard.h"
#include "config/log/InstallLog.h"
#include "config/Registry.h"
#include "config/log/RunOutcome.h"
#include "config/log/StatusMif.h"
#include "config/placement/FilePlacement.h"
#include "engine/journal/CopyJournal.h"
#include "engine/journal/UndoLog.h"
#include "product/ProgramItems.h"
#include "engine/base/FixedText.h"
#include "framework/Dialog.h"
#include "framework/Exceptions.h"
#include "framework/Prompt.h"
#include "framework/Text.h"
#include "resources/ids.h"
#include "wizard/Pages.h"
#include "wizard/base/MainWindow.h"
#include "wizard/base/Wizard.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <new>

namespace {
SetupApp* g_setup = nullptr;
}

SetupApp::SetupApp()
{
    g_setup = this;
    SetPageTable(StandardPageTable());
}

SetupApp::~SetupApp()
{
    // Only an object that never reached its exit (a test's) still has the
    // journal open: what it changed stays.
    if (undojournal::Active()) undojournal::Commit();
    AttachMainWindow(nullptr);
    if (g_setup == this) g_setup = nullptr;
}

SetupApp* SetupApp::Instance() { return g_setup; }

bool SetupApp::PrepareSetup(const std::string& arguments, const std::string& currentDirectory)
{
    // Read before the platform check: an unattended run must not wait on its box.
    CommandLine line(arguments);
    const SwitchSettings switches = ReadSwitches(line, currentDirectory);

    // 1, 2: the Windows 95 family only.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = 148;
    std::string refusal;
    if (!GetVersionExA(&version))
        refusal = "GetVersionEx() Failed";
    else if (version.dwPlatformId != kPlatformWindows95)
        refusal = fw::LoadText(IDS_NEEDS_WINDOWS95);
    if (!refusal.empty()) {
        RecordRefusal(switches, refusal);
        if (!switches.UnattendedMode) fw::ShowMessageBox(nullptr, refusal, "", MB_OK);
        return false;
    }

    InitCommonControls();

    // 3: the tables, with the three fixed destinations.
    DestinationTable.clear();
    const struct {
        int16_t id;
        PathName::Kind kind;
    } fixed[] = {{-2, PathName::kWindowsDirectory}, {-3, PathName::kSystemDirectory}, {-4, PathName::kTempDirectory}};
    for (const auto& f : fixed) {
        Destination d;
        d.Id = f.id;
        d.ParentId = -1;
        d.Path = PathName(f.kind);
        DestinationTable[f.id] = d;
    }
    GroupTable.clear();
    TargetTable.clear();
    ArchiveList.clear();
    DisketteTable.clear();

    // 4: texts.
    MainTitle = fw::LoadText(IDS_MAIN_TITLE);
    ProductTitle = fw::LoadText(IDS_PRODUCT_TITLE);
    MainProgramName = fw::LoadText(IDS_MAIN_PROGRAM_NAME);
    UninstallName = fw::LoadText(IDS_UNINSTALL_NAME);

    // 5: the three paths.
    ProfilePath.SetToModuleFileName();
    ProfilePath.SetExtension("ini");
    SourcePath.SetToModuleFileName();
    SourcePath.SetFileName("");
    RecordPath = PathName(PathName::kWindowsDirectory);
    RecordPath.SetFileName("myapp.log");
    WriteRecord = 1;

    // 6: light grey dialogs with black text.
    fw::Dialog::SetColors(RGB(192, 192, 192), RGB(0, 0, 0));

    // 7: the zero-filled block.
    delete Data;
    Data = new SetupData;
    std::memset(Data, 0, sizeof *Data);

    // 8: switches.
    ApplySwitches(switches);

    // A setup killed before its end left its changes behind: they are taken
    // back first; then the copy journal's set-aside copies and debris.
    const undojournal::Report recovered = undojournal::Recover(ProductUndoHandlers());
    if (recovered.found && !recovered.committed)
        LogMessage("An earlier setup did not finish: its changes were taken back (%d undone, %d could not be undone)",
                   recovered.undone, recovered.failed);
    copyjournal::Recover();
    return true;
}

void SetupApp::ApplySwitches(const SwitchSettings& s)
{
    if (s.MediaDirectory) {
        // Absolute from the start: every later look-up on the media must not
        // depend on the current directory.
        std::string media = *s.MediaDirectory;
        char full[MAX_PATH + 1] = {};
        DWORD n = media.empty() ? 0 : GetFullPathNameA(media.c_str(), sizeof full, full, nullptr);
        if (n > 0 && n <= MAX_PATH) media.assign(full, n);
        SourcePath.SetDirectory(media);
        ProfilePath.SetDirectory(media);
    }
    NotifyThreadId = s.NotifyThreadId;
    if (s.RemovalMode) RemovalMode = 1;
    if (s.UnattendedMode) {
        UnattendedMode = 1;
        // Nobody answers the system's "not ready" box either: a drive
        // without its medium fails the call and the run says why.
        SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
        CopyText(Data->UnattendedFile, s.UnattendedFile);
    }
    if (s.UnattendedFileRefused) SettingsFileRefused = 1;
    if (!s.StatusFile.empty()) CopyText(Data->StatusFile, s.StatusFile);
    statusFileNamed_ = !s.StatusFile.empty();
    statusPath_ = s.StatusFile;
    if (s.BatchMode) BatchMode = 1;
    // A result of an earlier run must not pass for this one's.
    if (UnattendedMode) DeleteFileA(StatusFilePath(*Data).c_str());
}

void SetupApp::RecordRefusal(const SwitchSettings& s, const std::string& refusal)
{
    NoteFailure(refusal);
    if (s.UnattendedMode) {
        // Nobody would answer the box: the log says it instead.
        LogMessage("%s", refusal.c_str());
        UnattendedMode = 1;
    }
    if (!s.UnattendedMode && s.StatusFile.empty()) return;
    // Only what the outcome needs: the block holding the status file's path.
    delete Data;
    Data = new SetupData;
    std::memset(Data, 0, sizeof *Data);
    CopyText(Data->StatusFile, s.StatusFile);
    statusFileNamed_ = !s.StatusFile.empty();
    statusPath_ = s.StatusFile;
}

bool SetupApp::StartWizard()
{
    // 9, 10: the main window.
    mainWindow_ = std::make_unique<MainWindow>();
    if (!mainWindow_->Create(MainTitle, UnattendedMode != 0)) {
        mainWindow_.reset();
        return false;
    }
    MainWindowHandle = mainWindow_->Handle();
    mainWindow_->OnDestroyed = [this] { OnMainWindowDestroyed(); };
    AttachMainWindow(mainWindow_.get());
    // Every change of an installation from here on can be taken back.
    if (!RemovalMode && !undojournal::Begin())
        LogMessage("The undo journal cannot be made: a failed run is not taken back");
    // 11: the first page.
    if (RemovalMode) {
        ProfilePath = RecordPath;
        GoToPage(IDD_REMOVAL_CONFIRM);
    } else {
        GoToPage(IDD_WELCOME);
    }
    return true;
}

bool SetupApp::InitInstance()
{
    const char* all = GetCommandLineA();
    // The arguments are what follows the program name (quoted or not).
    std::string cmd = all ? all : "";
    std::size_t i = 0;
    if (!cmd.empty() && cmd[0] == '"') {
        std::size_t close = cmd.find('"', 1);
        i = close == std::string::npos ? cmd.size() : close + 1;
    } else {
        while (i < cmd.size() && cmd[i] != ' ' && cmd[i] != '\t') ++i;
    }
    char current[257] = {};
    GetCurrentDirectoryA(sizeof current, current);
    if (!PrepareSetup(cmd.substr(i), current)) return false;
    try {
        return StartWizard();
    } catch (const fw::Exception&) {
        return false;
    }
}

void SetupApp::OnMainWindowDestroyed()
{
    MainWindowHandle = nullptr;
    PostQuitMessage(0);
}

void SetupApp::NotifyAndStartCompletion()
{
    if (NotifyThreadId != 0) PostThreadMessageA(NotifyThreadId, THREAD_MESSAGE_SETUP_DONE, 0, 0);
    // Only a removal that ran to its end is completed; after a cancelled or
    // failed one the product is still there.
    if (RemovalMode && !StopRequested()) {
        PathName program(PathName::kSystemDirectory);
        program.SetFileName("_kwdinst.exe");
        PathName self;
        self.SetToModuleFileName();
        self.SetExtension("ini");
        std::string line = program.Text() + " /U /PP:" + self.Text();
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOW;
        PROCESS_INFORMATION pi = {};
        std::string mutableLine = line;
        if (CreateProcessA(program.Text().c_str(), &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                           &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
}

int SetupApp::FinishRun() { return FinishRun(false); }

int SetupApp::FinishRun(bool restarting)
{
    if (finished_) return exitCode_;
    finished_ = true;
    RunFacts facts;
    facts.Completed = InstallComplete != 0 || (RemovalMode != 0 && !StopRequested());
    facts.Cancelled = Cancelled != 0;
    facts.Failed = SetupFailed != 0;
    facts.RestartPending = RestartPendingNoted();
    facts.RestartRequested = restarting || RestartRequestedNoted();
    facts.Unattended = UnattendedMode != 0;
    facts.Skipped = SkippedItems().size();
    const RunOutcome outcome = DecideOutcome(facts);
    // Kept for a failure that page 116 did not take back (a fault, a page that
    // could not be shown); after success the journal and its old copies go.
    if (undojournal::Active()) {
        if (IsSuccess(outcome)) {
            for (const std::string& copy : undojournal::Commit()) DeleteAtRestart(copy);
        } else {
            const undojournal::Report report = undojournal::Rollback(ProductUndoHandlers());
            if (report.undone + report.failed > 0)
                LogMessage("Setup took back its changes: %d undone, %d could not be undone", report.undone,
                           report.failed);
        }
    }
    const std::string& reason = FailureReason().empty() ? FirstSkipReason() : FailureReason();
    if (Data && (UnattendedMode || statusFileNamed_))
        WriteStatusMif(*Data, IsSuccess(outcome) ? 0 : 1, StatusDescription(outcome, reason, SkippedItems()).c_str());
    LogMessage("%s", FinalLogLine(outcome, reason, SkippedItems()).c_str());
    exitCode_ = ExitCodeOf(outcome);
    return exitCode_;
}

void SetupApp::RestartWindows()
{
    // The end of the session may stop this process midway through anything
    // written after the request.
    finished_ = false;
    FinishRun(true);
    if (!CfgRestartWindows()) finished_ = false;
}

int SetupApp::FailFromFault(const std::string& fault)
{
    LogMessage("%s: %s", fw::LoadText(IDS_SETUP_CANNOT_CONTINUE).c_str(), fault.c_str());
    SetupFailed = 1;
    Cancelled = 0;
    NoteFailure(fault);
    finished_ = false;
    if (Data) return FinishRun();
    // Released already (or not made yet): a block of its own for the status file.
    static SetupData spare;
    CopyText(spare.StatusFile, statusPath_);
    Data = &spare;
    const int code = FinishRun();
    Data = nullptr;
    return code;
}

int SetupApp::ExitInstance()
{
    EndWizard();
    AttachMainWindow(nullptr);
    mainWindow_.reset();
    const int code = FinishRun();
    ReleaseOwned();
    NotifyAndStartCompletion();
    fw::Application::ExitInstance();
    return code;
}

int RunSetup()
{
    SetupApp app;
    return RunGuarded([&app] { return app.Run(); },
                      [&app](const std::string& fault) { return app.FailFromFault(fault); });
}
