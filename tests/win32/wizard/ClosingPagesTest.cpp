// Pages 1556, 115 and 1554 and the restart countdown, with the real wizard,
// real dialogs, the real registry and the front-end stand-in (korcmd95.exe).
#include "config/log/InstallLog.h"
#include "config/Registry.h"
#include "config/log/RunOutcome.h"
#include "app/SetupApp.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"
#include "wizard/ClosingPages.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <gtest/gtest.h>

#include <cstring>

using wintest::PumpUntil;

namespace {

class ClosingPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetRestartHandler([this] {
            ++restarts_;
            return TRUE;
        });
        ASSERT_TRUE(app_.PrepareSetup("", "C:\\"));
        std::strcpy(app_.Data->InstallPath, dir_.Path().substr(0, dir_.Path().size() - 1).c_str());
        std::string mif = dir_.Path() + "status.mif";
        std::strcpy(app_.Data->StatusFile, mif.c_str());
        ASSERT_TRUE(CopyFileA((wintest::ModuleDirectory() + "korcmd95.exe").c_str(),
                              (dir_.Path() + "korcmd95.exe").c_str(), FALSE));
    }
    void TearDown() override
    {
        EndWizard();
        if (app_.MainWindowHandle) DestroyWindow(app_.MainWindowHandle);
        wintest::PumpPending();
        SetRestartHandler(previous_);
    }

    // The wizard with its main window, then straight to the page.
    void ShowPage(int32_t id)
    {
        ASSERT_TRUE(app_.StartWizard());
        GoToPage(id);
        ASSERT_TRUE(PumpUntil([&] { return CurrentPage() && CurrentPage()->PageId == id && CurrentPage()->Handle(); }));
    }
    void Press(int control)
    {
        ASSERT_NE(CurrentPage(), nullptr);
        SendMessageA(CurrentPage()->Handle(), WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                     reinterpret_cast<LPARAM>(CurrentPage()->Item(control)));
    }
    bool WizardEnded()
    {
        return PumpUntil([&] { return app_.MainWindowHandle == nullptr; });
    }
    std::vector<std::string> FrontEndRecord()
    {
        return wintest::SplitCrLf(wintest::ReadFileText(dir_.Path() + "korcmd95.txt"));
    }
    bool StatusFileWritten() { return GetFileAttributesA(app_.Data->StatusFile) != INVALID_FILE_ATTRIBUTES; }

    wintest::TempDir dir_;
    SetupApp app_;
    int restarts_ = 0;
    RestartHandler previous_;
};

// Answers the countdown dialog by sending it timer ticks.
struct Countdown {
    std::vector<std::string> shown;
    int ticksToEnd = -1;
    int restartsAtEnd = -1;

    int Run(fw::Dialog& dialog, int maxTicks, const int& restarts)
    {
        shown.push_back(dialog.ItemText(IDC_COUNTDOWN));
        for (int tick = 1; tick <= maxTicks && !dialog.Ended(); ++tick) {
            SendMessageA(dialog.Handle(), WM_TIMER, 2, 0); // not its timer: no effect
            SendMessageA(dialog.Handle(), WM_TIMER, RestartCountdownDialog::kTimerId, 0);
            if (dialog.Ended()) {
                ticksToEnd = tick;
                restartsAtEnd = restarts;
            } else {
                shown.push_back(dialog.ItemText(IDC_COUNTDOWN));
            }
        }
        return IDCANCEL;
    }
};

} // namespace

TEST_F(ClosingPagesTest, SummaryComesBackTo1557)
{
    ShowPage(IDD_SUMMARY);
    EXPECT_EQ(BackPageOf(IDD_SUMMARY), IDD_INTERNET_OPTIONS);
    EXPECT_EQ(NextPageOf(IDD_SUMMARY), IDD_COPY_PROGRESS);
    EXPECT_NE(SendMessageA(CurrentPage()->Item(IDC_PICTURE), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(wintest::WindowText(CurrentPage()->Item(IDOK)), "&Finish>");
}

TEST_F(ClosingPagesTest, CompleteWithoutManagerNeverStartsTheFrontEnd)
{
    app_.Data->InstallManager = 0;
    app_.Data->InstallRealtime = 0;
    ASSERT_EQ(CfgWriteString("SOFTWARE\\Brantoke\\Korvisan95\\CurrentVersion", "Path", "HOME", "C:\\X"), 0);
    ShowPage(IDD_COMPLETE);
    HWND box = CurrentPage()->Item(IDC_SCAN_NOW);
    EXPECT_FALSE(IsWindowEnabled(box));
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    Press(IDOK);
    EXPECT_TRUE(WizardEnded());
    EXPECT_TRUE(FrontEndRecord().empty());
    EXPECT_FALSE(CfgValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke\\Korvisan95\\CurrentVersion", "Path", "HOME"));
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke\\Korvisan95", 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(ClosingPagesTest, CompleteStartsTheFrontEndAndWaitsForIt)
{
    app_.Data->InstallManager = 1;
    app_.Data->InstallRealtime = 1;
    ShowPage(IDD_COMPLETE);
    EXPECT_EQ(SendMessageA(CurrentPage()->Item(IDC_SCAN_NOW), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(NextPageOf(IDD_COMPLETE), IDD_RESTART);
    Press(IDOK);
    // Waited for: the record is complete as soon as OK has returned.
    EXPECT_EQ(FrontEndRecord(),
              (std::vector<std::string>{"argc=3", "argv[0]=korcmd95.exe", "argv[1]=*", "argv[2]=/START"}));
    ASSERT_TRUE(PumpUntil([&] { return CurrentPage() && CurrentPage()->PageId == IDD_RESTART; }));
    EXPECT_TRUE(IsWindowVisible(app_.MainWindowHandle));
}

TEST_F(ClosingPagesTest, FrontEndCanSendToTheSetupWhileWaitedFor)
{
    HWND window = CreateWindowA("STATIC", "Setup window the front end talks to", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    SetEnvironmentVariableA("KORCMD95_SEND", "Setup window the front end talks to");
    std::string home = dir_.Path().substr(0, dir_.Path().size() - 1);
    const DWORD begun = GetTickCount();
    EXPECT_TRUE(RunFrontEnd(home, "* /START"));
    SetEnvironmentVariableA("KORCMD95_SEND", nullptr);
    DestroyWindow(window);
    ASSERT_FALSE(FrontEndRecord().empty());
    EXPECT_EQ(FrontEndRecord().back(), "answered");
    EXPECT_LT(GetTickCount() - begun, 15000u);
}

TEST_F(ClosingPagesTest, CompleteUnattendedScansOnlyWhenAskedTo)
{
    app_.Data->InstallManager = 1;
    app_.Data->InstallRealtime = 0;
    ShowPage(IDD_COMPLETE);
    app_.UnattendedMode = 1;
    app_.Data->ScanAfter = 1;
    Press(IDOK);
    EXPECT_EQ(
        FrontEndRecord(),
        (std::vector<std::string>{"argc=4", "argv[0]=korcmd95.exe", "argv[1]=*", "argv[2]=/EXIT", "argv[3]=/START"}));
    EXPECT_TRUE(WizardEnded());
}

TEST_F(ClosingPagesTest, RestartButtons)
{
    app_.Data->RebootAfter = 1;
    ResetRestartNotes();
    ShowPage(IDD_RESTART);
    EXPECT_EQ(GetFocus(), CurrentPage()->Item(IDC_RESTART_NOW));
    Press(IDC_RESTART_NOW);
    EXPECT_EQ(restarts_, 1);
    EXPECT_TRUE(RestartRequestedNoted());
    EXPECT_TRUE(WizardEnded());
    EXPECT_FALSE(StatusFileWritten());
}

TEST_F(ClosingPagesTest, DontRestartWritesTheStatusFileOnlyUnattended)
{
    ShowPage(IDD_RESTART);
    EXPECT_EQ(GetFocus(), CurrentPage()->Item(IDC_DONT_RESTART));
    Press(IDC_DONT_RESTART);
    EXPECT_TRUE(WizardEnded());
    EXPECT_FALSE(StatusFileWritten());
    EXPECT_EQ(restarts_, 0);
}

TEST_F(ClosingPagesTest, DontRestartUnattendedReportsSuccess)
{
    ShowPage(IDD_RESTART);
    app_.UnattendedMode = 1;
    Press(IDC_DONT_RESTART);
    EXPECT_TRUE(WizardEnded());
    ASSERT_TRUE(StatusFileWritten());
    std::vector<std::string> lines = wintest::SplitCrLf(wintest::ReadFileText(app_.Data->StatusFile));
    ASSERT_EQ(lines.size(), 69u);
    EXPECT_EQ(lines[57], "      VALUE = \"Success\"                   ");
    EXPECT_EQ(restarts_, 0);
}

TEST_F(ClosingPagesTest, UnattendedWithoutRebootAfterEndsQuietly)
{
    app_.UnattendedMode = 1;
    app_.Data->RebootAfter = 0;
    wintest::RecordingAnswerer answerer;
    ASSERT_TRUE(app_.StartWizard());
    GoToPage(IDD_RESTART);
    EXPECT_TRUE(WizardEnded());
    EXPECT_TRUE(answerer.prompts.empty());
    EXPECT_EQ(restarts_, 0);
    EXPECT_FALSE(StatusFileWritten());
}

TEST_F(ClosingPagesTest, UnattendedCountdownRestartsAtTheTickThatReachesZero)
{
    app_.UnattendedMode = 1;
    app_.Data->RebootAfter = 1;
    app_.Data->RebootTimeout = 3;
    Countdown countdown;
    wintest::RecordingAnswerer answerer;
    answerer.onDialog = [&](fw::Dialog& d) {
        EXPECT_EQ(d.TemplateId(), IDD_RESTART_COUNTDOWN);
        EXPECT_TRUE(GetWindowLongA(d.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        return countdown.Run(d, 400, restarts_);
    };
    ASSERT_TRUE(app_.StartWizard());
    GoToPage(IDD_RESTART);
    EXPECT_TRUE(WizardEnded());
    ASSERT_GE(countdown.shown.size(), 4u);
    EXPECT_EQ(countdown.shown[0], "3:00");
    EXPECT_EQ(countdown.shown[1], "3:00");
    EXPECT_EQ(countdown.shown[2], "2:59");
    EXPECT_EQ(countdown.shown[61], "2:00");
    EXPECT_EQ(countdown.shown.back(), "0:02"); // tick 180 shows 0:01, then restarts
    EXPECT_EQ(countdown.ticksToEnd, 180);
    EXPECT_EQ(countdown.restartsAtEnd, 1);
    EXPECT_EQ(restarts_, 1);
}

// The restart may end the session at once: status file and last log line
// are final before it is asked for. A refused restart is decided again.
TEST_F(ClosingPagesTest, TheOutcomeIsOnDiskBeforeTheRestartIsAsked)
{
    const struct {
        BOOL granted;
        const char* lastLineAtExit;
    } rows[] = {{TRUE, "Setup ended: Success, restarting Windows, exit code 3010"},
                {FALSE, "Setup ended: Success, restart required, exit code 3010"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.lastLineAtExit);
        SetupApp app;
        ASSERT_TRUE(app.PrepareSetup("/M:" + dir_.Path() + "status.mif", "C:\\"));
        DeleteFileA(kInstallLogPath);
        ResetRestartNotes();
        NoteRestartPending();
        app.UnattendedMode = 1;
        app.InstallComplete = 1;
        app.Data->RebootAfter = 1;
        std::vector<std::string> statusAtRestart, logAtRestart;
        SetRestartHandler([&] {
            statusAtRestart = wintest::SplitCrLf(wintest::ReadFileText(app.Data->StatusFile));
            logAtRestart = wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath));
            return r.granted;
        });
        wintest::RecordingAnswerer answerer;
        answerer.onDialog = [&](fw::Dialog& d) {
            SendMessageA(d.Handle(), WM_TIMER, RestartCountdownDialog::kTimerId, 0); // 0:00 restarts at once
            return IDCANCEL;
        };
        ASSERT_TRUE(app.StartWizard());
        GoToPage(IDD_RESTART);
        ASSERT_TRUE(PumpUntil([&] { return app.MainWindowHandle == nullptr; }));
        EndWizard();
        ASSERT_EQ(statusAtRestart.size(), 69u);
        EXPECT_EQ(statusAtRestart[57], "      VALUE = \"Success\"                   ");
        ASSERT_FALSE(logAtRestart.empty());
        EXPECT_EQ(logAtRestart.back(), "Setup ended: Success, restarting Windows, exit code 3010");
        EXPECT_EQ(app.FinishRun(), 3010);
        EXPECT_EQ(wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath)).back(), r.lastLineAtExit);
        for (const std::string& name : wintest::FileNames(dir_.Path()))
            EXPECT_NE(name.rfind("mif", 0), 0u) << "work file left: " << name;
    }
}

TEST_F(ClosingPagesTest, CountdownOfZeroRestartsAtTheFirstTick)
{
    Countdown countdown;
    wintest::RecordingAnswerer answerer;
    answerer.onDialog = [&](fw::Dialog& d) { return countdown.Run(d, 5, restarts_); };
    RestartCountdownDialog dialog(0);
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(countdown.shown, (std::vector<std::string>{"0:00"}));
    EXPECT_EQ(countdown.ticksToEnd, 1);
    EXPECT_EQ(restarts_, 1);

    RestartCountdownDialog negative(-5); // a bogus time-out from the settings file
    EXPECT_EQ(negative.SecondsLeft, 0u);
    RestartCountdownDialog huge(INT32_MAX);
    EXPECT_GT(huge.SecondsLeft, 0u);
    EXPECT_EQ(huge.SecondsLeft % 60u, 0u);
}

TEST_F(ClosingPagesTest, RestartNowButtonOfTheCountdown)
{
    wintest::RecordingAnswerer answerer;
    answerer.onDialog = [&](fw::Dialog& d) {
        SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(d.Item(IDOK)));
        EXPECT_TRUE(d.Ended());
        return IDCANCEL;
    };
    RestartCountdownDialog dialog(3);
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(restarts_, 1);
}
