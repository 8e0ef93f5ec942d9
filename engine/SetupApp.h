// The setup program's application object: refuses every platform but the
// Windows 95 family, owns the setup data block, the five profile tables and
// the three well-known paths, reads the command line, creates the main window
// and hands over to the wizard; at exit frees what it owns, tells a waiting
// thread, and after a removal starts the program that completes it.
#pragma once
#include "engine/CommandLine.h"
#include "engine/PathName.h"
#include "engine/SetupData.h"
#include "engine/profile/ProfileTables.h"
#include "framework/App.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MainWindow;

class SetupApp : public fw::Application {
public:
    SetupApp();
    ~SetupApp() override;

    // The one application object (null before it is constructed).
    static SetupApp* Instance();

    bool InitInstance() override;
    int ExitInstance() override;

    // Steps 1 to 8 of initialisation, without the window and the wizard:
    // false when the platform is refused. Tests call this alone.
    bool PrepareSetup(const std::string& arguments, const std::string& currentDirectory);
    // Steps 9 to 11: the main window and the first page.
    bool StartWizard();

    SetupData* Data = nullptr;
    std::string MainTitle;
    std::string ProductTitle;
    std::string UninstallName;
    std::string MainProgramName;
    int32_t RemovalMode = 0;
    ::DestinationTable DestinationTable;
    ::GroupTable GroupTable;
    ::TargetTable TargetTable;
    ::ArchiveList ArchiveList;
    ::DisketteTable DisketteTable;
    PathName ProfilePath;
    PathName SourcePath;
    PathName RecordPath;
    int32_t WriteRecord = 1;
    int32_t SetupFailed = 0;
    uint32_t NotifyThreadId = 0;
    int32_t UnattendedMode = 0;
    int32_t BatchMode = 0;

    // Wizard and page state.
    int32_t SetupType = 1; // 1 Express, 2 Custom
    int32_t ExistingInstall = 0;
    int32_t IntegrateNavigator = 0;
    int32_t IntegrateExplorer = 0;

    // How the run ends. Cancelled: the user confirmed Cancel (or closed the
    // main window); InstallComplete: the installation was done (page 115).
    int32_t Cancelled = 0;
    int32_t InstallComplete = 0;
    // The /I value was empty or did not fit: the settings file counts as missing.
    int32_t SettingsFileRefused = 0;
    // The reason a failed run reports (the latest one noted).
    void NoteFailure(const std::string& reason) { failureReason_ = reason; }
    const std::string& FailureReason() const { return failureReason_; }
    // An item of the media that was not installed: logged with its reason at
    // once and counted in the outcome. The reason names the item; a failed
    // run without a reason of its own reports the first one.
    void NoteSkippedItem(const std::string& item, const std::string& reason);
    const std::vector<std::string>& SkippedItems() const { return skippedItems_; }
    // Decides the outcome once: the status file (unattended, or when /M named
    // one), then the install log's last line; returns the exit code.
    int FinishRun();
    // Makes the outcome final on disk, then asks Windows to restart: the
    // restart may end the process at any moment after. A refused restart
    // leaves the outcome to be decided again at exit.
    void RestartWindows();
    // The top-level guard: "Setup cannot continue" with the fault in the log,
    // the Failed status file, exit code 1603.
    int FailFromFault(const std::string& fault);

    MainWindow* Window() const { return mainWindow_.get(); }
    // The main window is gone (destroyed by the wizard or closed).
    void OnMainWindowDestroyed();

    // Exit steps 4 and 5, also used by tests.
    void NotifyAndStartCompletion();

private:
    void ApplySwitches(const SwitchSettings& s);
    // A refused platform: the reason of the outcome; unattended also a log
    // line instead of the box; with /I or /M the block for the status file.
    void RecordRefusal(const SwitchSettings& s, const std::string& refusal);
    int FinishRun(bool restarting);
    void ReleaseOwned();

    std::unique_ptr<MainWindow> mainWindow_;
    std::string failureReason_;
    std::vector<std::string> skippedItems_;
    std::string firstSkipReason_;
    bool statusFileNamed_ = false;
    std::string statusPath_;
    bool finished_ = false;
    int exitCode_ = 0;
};

// The platform's version check: the Windows 95 family is platform id 1.
constexpr uint32_t kPlatformWindows95 = 1;
