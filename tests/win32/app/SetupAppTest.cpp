// Start-up and exit of the application object under Wine in win95 mode.
#include "app/SetupApp.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"
#include "wizard/base/Wizard.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using wintest::ModuleDirectory;

std::string ModuleBaseName()
{
    char buf[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string s = buf;
    s = s.substr(s.find_last_of('\\') + 1);
    return s.substr(0, s.find_last_of('.'));
}

TEST(Startup, RunsOnWindows95AndFixesThePaths)
{
    wintest::RecordingAnswerer answerer;
    SetupApp app;
    ASSERT_TRUE(app.PrepareSetup("/T42 /M:C:\\status.mif word", "C:\\"));
    EXPECT_TRUE(answerer.prompts.empty());
    EXPECT_EQ(app.ProfilePath.Text(), ModuleDirectory() + ModuleBaseName() + ".ini");
    EXPECT_EQ(app.SourcePath.Text(), ModuleDirectory());
    EXPECT_EQ(app.RecordPath.Text(), wintest::WindowsDirectory() + "myapp.log");
    EXPECT_EQ(app.NotifyThreadId, 42u);
    EXPECT_EQ(app.WriteRecord, 1);
    EXPECT_STREQ(app.Data->StatusFile, "C:\\status.mif");
    EXPECT_EQ(app.MainTitle, "Brantoke AntiVirus for Windows 95 Setup");
    EXPECT_EQ(app.ProductTitle, "Brantoke AntiVirus for Windows 95");
    EXPECT_EQ(app.MainProgramName, "korvi95.exe");
    EXPECT_EQ(app.UninstallName, "Brantoke AntiVirus for Windows 95");
    ASSERT_EQ(app.DestinationTable.size(), 3u);
    EXPECT_EQ(app.DestinationTable.at(-2).Path.Text(), wintest::WindowsDirectory());
    EXPECT_EQ(app.DestinationTable.at(-3).Path.Directory(), PathName(PathName::kSystemDirectory).Directory());
    EXPECT_FALSE(app.DestinationTable.at(-4).Path.Directory().empty());
    EXPECT_TRUE(app.GroupTable.empty() && app.TargetTable.empty() && app.ArchiveList.empty());
    // Everything but the switches' fields is zero.
    SetupData zero;
    std::memset(&zero, 0, sizeof zero);
    std::memset(app.Data->StatusFile, 0, sizeof app.Data->StatusFile);
    EXPECT_EQ(std::memcmp(app.Data, &zero, sizeof zero), 0);
}

TEST(Startup, MediaDirectorySwitchMovesProfileAndSource)
{
    SetupApp app;
    ASSERT_TRUE(app.PrepareSetup("/D:A:\\DISK1", "C:\\"));
    EXPECT_EQ(app.SourcePath.Text(), "A:\\DISK1\\");
    EXPECT_EQ(app.ProfilePath.Text(), "A:\\DISK1\\" + ModuleBaseName() + ".ini");
    SetupApp other;
    ASSERT_TRUE(other.PrepareSetup("/DA:\\DISK1", "C:\\"));
    EXPECT_EQ(other.SourcePath.Text(), ModuleDirectory());
}

TEST(Startup, RemovalModeReadsTheRecordAndStartsTheCompletionProgram)
{
    wintest::RecordingAnswerer answerer;
    // The stand-in of the completion program, in the System directory.
    std::string system = PathName(PathName::kSystemDirectory).DirectoryWithSlash();
    ASSERT_TRUE(CopyFileA((ModuleDirectory() + "_kwdinst.exe").c_str(), (system + "_kwdinst.exe").c_str(), FALSE));
    DeleteFileA((system + "_kwdinst.txt").c_str());
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, "KwdinstStandInDone");
    ResetEvent(done);

    SetupApp app;
    ASSERT_TRUE(app.PrepareSetup("/U", "C:\\"));
    EXPECT_EQ(app.RemovalMode, 1);
    ASSERT_TRUE(app.StartWizard());
    EXPECT_EQ(app.ProfilePath.Text(), app.RecordPath.Text());
    EndWizard();
    DestroyWindow(app.MainWindowHandle);
    app.NotifyAndStartCompletion();
    ASSERT_EQ(WaitForSingleObject(done, 20000), WAIT_OBJECT_0);
    CloseHandle(done);
    std::string line = wintest::ReadFileText(system + "_kwdinst.txt");
    EXPECT_EQ(line, system + "_kwdinst.exe /U /PP:" + ModuleDirectory() + ModuleBaseName() + ".ini");
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
}

TEST(Startup, ExitTellsTheWaitingThread)
{
    SetupApp app;
    ASSERT_TRUE(app.PrepareSetup("/T" + std::to_string(GetCurrentThreadId()), "C:\\"));
    app.NotifyAndStartCompletion();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, THREAD_MESSAGE_SETUP_DONE, THREAD_MESSAGE_SETUP_DONE, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(msg.lParam, 0);

    SetupApp silent;
    ASSERT_TRUE(silent.PrepareSetup("/Tabc", "C:\\"));
    silent.NotifyAndStartCompletion();
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, THREAD_MESSAGE_SETUP_DONE, THREAD_MESSAGE_SETUP_DONE, PM_REMOVE));
}

} // namespace
