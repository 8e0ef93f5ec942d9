// The setup program's application object: refuses every platform but the
// Windows 95 family, owns the run's context (the setup data block, the five
// profile tables, the three well-known paths and the run flags), reads the
// command line, creates the main window and hands over to the wizard; at exit
// decides the outcome, frees what it owns, tells a waiting thread, and after
// a removal starts the program that completes it.
#pragma once
#include "engine/CommandLine.h"
#include "engine/SetupContext.h"
#include "framework/App.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MainWindow;

class SetupApp : public fw::Application, public SetupContext {
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

    // Decides the outcome once: the status file (unattended, or when /M named
    // one), then the install log's last line; returns the exit code.
    int FinishRun();
    // Makes the outcome final on disk, then asks Windows to restart. A
    // refused restart leaves the outcome to be decided again at exit.
    void RestartWindows() override;
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

    std::unique_ptr<MainWindow> mainWindow_;
    bool statusFileNamed_ = false;
    std::string statusPath_;
    bool finished_ = false;
    int exitCode_ = 0;
};

// setup.exe's whole run: the application under the fault guard; its exit code.
int RunSetup();

// The platform's version check: the Windows 95 family is platform id 1.
constexpr uint32_t kPlatformWindows95 = 1;
