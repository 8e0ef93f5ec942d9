// Pages 1559 and 114 with real windows, a real named event, the real registry
// and profile files, and the product's test windows (avwindow.exe).
#include "config/log/InstallLog.h"
#include "config/Registry.h"
#include "app/SetupApp.h"
#include "engine/base/XException.h"
#include "engine/profile/Destinations.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"
#include "wizard/OpeningPages.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <gtest/gtest.h>

#include <cstring>

using wintest::PumpUntil;

namespace {

// One test window of the running product, started and waited for.
struct ProductWindow {
    std::string name;
    HANDLE process = nullptr;

    explicit ProductWindow(const std::string& n, const std::string& options = "") : name(n)
    {
        DeleteFileA(Record().c_str());
        std::string ready = "BrantokeReady-" + n;
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
        process = wintest::StartProgram("\"" + wintest::ModuleDirectory() + "avwindow.exe\" " + n + " " + options +
                                        " ready=" + ready);
        if (process) WaitForSingleObject(event, 20000);
        CloseHandle(event);
    }
    ~ProductWindow()
    {
        if (!process) return;
        if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
    std::string Record() const { return wintest::ModuleDirectory() + "avwindow-" + name + ".txt"; }
    std::vector<std::string> Lines() const { return wintest::SplitCrLf(wintest::ReadFileText(Record())); }
    bool Ended(DWORD ms = 10000) const { return WaitForSingleObject(process, ms) == WAIT_OBJECT_0; }
};

void SetMachineString(const char* key, const char* name, const char* value)
{
    ASSERT_EQ(CfgWriteString(key, nullptr, name, value), ERROR_SUCCESS);
}

} // namespace

TEST(StopRunningProduct, ClosesEveryProductWindowButTheSetupsOwn)
{
    // Setup's own main window carries the text too.
    HWND own = CreateWindowA("STATIC", "Brantoke AntiVirus for Windows 95 Setup", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                             0, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(own, nullptr);
    // Held open as the product's programs hold it.
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, "KorvisanTerminationEvent");
    ASSERT_NE(event, nullptr);
    ProductWindow first("first");
    ProductWindow iconic("iconic", "minimized");
    ASSERT_NE(first.process, nullptr);
    ASSERT_NE(iconic.process, nullptr);

    StopRunningProduct(own);

    ASSERT_TRUE(first.Ended());
    ASSERT_TRUE(iconic.Ended());
    EXPECT_EQ(first.Lines(), (std::vector<std::string>{"started", "query 1 0", "close 1 0 set normal", "destroyed"}));
    // Restored to its normal size before it was asked to close.
    EXPECT_EQ(iconic.Lines(), (std::vector<std::string>{"started", "query 1 0", "close 1 0 set normal", "destroyed"}));
    EXPECT_TRUE(IsWindow(own));
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT)); // reset again at the end
    CloseHandle(event);
    DestroyWindow(own);
}

TEST(StopRunningProduct, WindowThatRefusesIsLeftRunning)
{
    ProductWindow stubborn("stubborn", "refuse");
    ASSERT_NE(stubborn.process, nullptr);
    EXPECT_FALSE(CloseWindowsTitled("Brantoke AntiVirus", nullptr));
    EXPECT_EQ(stubborn.Lines(),
              (std::vector<std::string>{"started", "query 1 0", "close 1 0 clear normal", "close 1 0 clear normal"}));
    EXPECT_FALSE(stubborn.Ended(0));
    EXPECT_TRUE(CloseWindowsTitled("No such title", nullptr));
}

TEST(StopRunningProduct, HungWindowIsPassedOver)
{
    ProductWindow hung("hung", "hang");
    ProductWindow other("other");
    ASSERT_NE(hung.process, nullptr);
    ASSERT_NE(other.process, nullptr);
    // On a thread of its own, so that a close that never returns fails the
    // test instead of hanging it (ending the hung program frees it).
    struct Worker {
        static DWORD WINAPI Close(void*) { return CloseWindowsTitled("Brantoke AntiVirus", nullptr) ? 1 : 0; }
    };
    DWORD workerId = 0; // Windows 95 fails a CreateThread without it
    HANDLE worker = CreateThread(nullptr, 0, &Worker::Close, nullptr, 0, &workerId);
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(WaitForSingleObject(worker, 60000), WAIT_OBJECT_0);
    TerminateProcess(hung.process, 1);
    WaitForSingleObject(worker, INFINITE);
    DWORD result = 2;
    GetExitCodeThread(worker, &result);
    CloseHandle(worker);
    EXPECT_EQ(result, 0u); // the hung one is left
    EXPECT_TRUE(other.Ended());
}

class OpeningPagesTest : public ::testing::Test {
protected:
    void Prepare(const std::string& arguments)
    {
        CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke");
        SetMachineString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "RegisteredOwner", "Registry Owner");
        SetMachineString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "RegisteredOrganization", "Registry Org");
        DeleteFileA(kInstallLogPath);
        ASSERT_TRUE(app_.PrepareSetup(arguments, "C:\\"));
        SetCurrentDirectoryA(dir_.Path().c_str()); // no KORVISAN.ICF here
    }
    void TearDown() override
    {
        EndWizard();
        if (app_.MainWindowHandle) DestroyWindow(app_.MainWindowHandle);
        wintest::PumpPending();
        CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke");
    }

    // A settings file naming the user and the home directory (nothing to log).
    std::string NamedSettings()
    {
        std::string settings = dir_.Path() + "named.icf";
        wintest::WriteFileText(settings,
                               "[UserInfo]\r\nFullName=A\r\nCompanyName=B\r\n[KorvisanInstall]\r\n"
                               "KorvisanPath=C:\\AV\r\n");
        return settings;
    }

    wintest::TempDir dir_;
    SetupApp app_;
};

TEST_F(OpeningPagesTest, PreparationTakesNamesAndEarlierHomeFromTheRegistry)
{
    Prepare("");
    SetMachineString("SOFTWARE\\Brantoke\\Korvisan\\CurrentVersion\\Path", "HOME", "C:\\OLDAV");
    EXPECT_FALSE(PrepareSetupData(app_));
    // No settings file, interactively: the retail case, nothing logged, the
    // settings file's defaults (Manager, auto-download, realtime, uninstall).
    EXPECT_EQ(GetFileAttributesA(kInstallLogPath), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(app_.Data->ComponentMask, 0x59);
    EXPECT_EQ(app_.Data->StatusReporting, 1);
    EXPECT_STREQ(app_.Data->FullName, "Registry Owner");
    EXPECT_STREQ(app_.Data->CompanyName, "Registry Org");
    EXPECT_EQ(app_.ExistingInstall, 1);
    EXPECT_STREQ(app_.Data->InstallPath, "C:\\OLDAV");
    EXPECT_EQ(DestinationPath(app_.DestinationTable, 0), "C:\\OLDAV\\");
}

TEST_F(OpeningPagesTest, UnattendedKeepsTheSettingsFileNamesAndFillsOnlyBlanks)
{
    std::string settings = dir_.Path() + "unattended.icf";
    ASSERT_TRUE(wintest::WriteFileText(
        settings, "[UserInfo]\r\nFullName=File Name\r\n[KorvisanInstall]\r\nKorvisanPath=D:\\AV\r\n"));
    Prepare("/I:" + settings);
    SetMachineString("SOFTWARE\\Brantoke\\Korvisan95\\CurrentVersion\\Path", "HOME", "C:\\OLD95");
    PrepareSetupData(app_);
    EXPECT_STREQ(app_.Data->FullName, "File Name");
    EXPECT_STREQ(app_.Data->CompanyName, "Registry Org");
    EXPECT_STREQ(app_.Data->InstallPath, "D:\\AV"); // the earlier home is not asked for
    EXPECT_EQ(app_.ExistingInstall, 0);
    EXPECT_EQ(wintest::ReadFileText(kInstallLogPath),
              "Could not read company name from Install Ini File Organization\r\n");
}

TEST_F(OpeningPagesTest, ProfileIsReadIntoTheTables)
{
    Prepare("");
    std::string profile = dir_.Path() + "setup.ini";
    ASSERT_TRUE(wintest::WriteFileText(profile,
                                       "[destinations]\r\n0=|-1|\r\n2=Bin|0|\r\n[groups]\r\nMain=M|T|1|1|0\r\n"
                                       "[targets]\r\nkorvi95.exe=0|-1|0|AV|||\r\n[Main]\r\nb.mf=1|1|1|-1|0\r\n"
                                       "a.mf=1|1|1|1|0\r\n[diskettes]\r\n1=Disk 1\r\n"));
    app_.ProfilePath.Set(profile);
    ReadInstallProfile(app_);
    EXPECT_EQ(app_.DestinationTable.count(2), 1u);
    EXPECT_EQ(app_.DestinationTable.count(-2), 1u); // the fixed entries stay
    EXPECT_EQ(app_.GroupTable.size(), 1u);
    EXPECT_EQ(app_.TargetTable.count("KORVI95.EXE"), 1u);
    ASSERT_EQ(app_.ArchiveList.size(), 2u);
    EXPECT_EQ(app_.ArchiveList.front().FileName, "a.mf");
    ASSERT_EQ(app_.DisketteTable.size(), 2u);
    EXPECT_EQ(app_.DisketteTable[1].Label, "Disk 1");

    app_.ProfilePath.Set(dir_.Path() + "missing.ini");
    try {
        ReadInstallProfile(app_);
        FAIL() << "no exception";
    } catch (const CInstallProfileException& e) {
        EXPECT_EQ(e.Cause(), 0);
    }
}

TEST_F(OpeningPagesTest, UnattendedRunWithoutProfileEndsOnPage116WithTheReasonLogged)
{
    Prepare("/I:" + NamedSettings());
    app_.ProfilePath.Set(dir_.Path() + "setup.ini");
    std::vector<int32_t> seen;
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(PumpUntil(
        [&] {
            int32_t id = CurrentPage() ? CurrentPage()->PageId : 0;
            if (id != 0 && (seen.empty() || seen.back() != id)) seen.push_back(id);
            return app_.MainWindowHandle == nullptr;
        },
        30000));
    // Pages may pass between two looks; the log shows 1559's and 114's work.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), IDD_NOT_INSTALLED);
    EXPECT_EQ(app_.SetupFailed, 1);
    std::vector<std::string> log = wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("Incomplete or missing profile."), std::string::npos) << log[0];
}

namespace {

// Stands in for the page after 114 and ends the wizard.
class WizardEndStub : public WizardPage {
public:
    WizardEndStub(int32_t id, int* runs) : WizardPage(id, IDD_READING_SETUP), runs_(runs) {}
    Work RunWork() override
    {
        ++*runs_;
        GoToPage(kEndWizard);
        return Work::Stay;
    }

private:
    int* runs_;
};

} // namespace

TEST_F(OpeningPagesTest, UnattendedWizardLoadsTheProfileIntoTheTables)
{
    Prepare("/I:" + NamedSettings());
    std::string profile = dir_.Path() + "setup.ini";
    ASSERT_TRUE(wintest::WriteFileText(profile,
                                       "[destinations]\r\n0=|-1|\r\n[groups]\r\nMain=M|T|1|1|0\r\n"
                                       "[Main]\r\nmain.mf=1000|1|2|1|0\r\n"));
    app_.ProfilePath.Set(profile);
    int endRuns = 0;
    wintest::UseStandInPages({IDD_MEMORY_SCAN},
                             [&](int32_t id) -> WizardPage* { return new WizardEndStub(id, &endRuns); });
    ASSERT_TRUE(app_.StartWizard());
    bool ended = PumpUntil([&] { return app_.MainWindowHandle == nullptr; }, 30000);
    wintest::UseStandardPages();
    ASSERT_TRUE(ended);
    EXPECT_EQ(endRuns, 1);
    EXPECT_EQ(app_.SetupFailed, 0);
    ASSERT_EQ(app_.ArchiveList.size(), 1u);
    EXPECT_EQ(app_.ArchiveList.front().FileName, "main.mf");
    EXPECT_EQ(wintest::ReadFileText(kInstallLogPath), "");
}

namespace {

// setup.exe run for real from a media directory, unattended, until it ends.
std::vector<std::string> RunSetupProgram(const std::string& profile, DWORD* exitCode = nullptr)
{
    wintest::TempDir media;
    EXPECT_TRUE(
        CopyFileA((wintest::ModuleDirectory() + "setup.exe").c_str(), (media.Path() + "setup.exe").c_str(), FALSE));
    if (!profile.empty()) {
        EXPECT_TRUE(wintest::WriteFileText(media.Path() + "setup.ini", profile));
    }
    std::string settings = media.Path() + "KORVISAN.ICF";
    EXPECT_TRUE(wintest::WriteFileText(settings,
                                       "[UserInfo]\r\nFullName=A\r\nCompanyName=B\r\n[KorvisanInstall]\r\n"
                                       "KorvisanPath=C:\\AV\r\n"));
    DeleteFileA(kInstallLogPath);
    HANDLE setup = wintest::StartProgram("\"" + media.Path() + "setup.exe\" /I:" + settings);
    EXPECT_NE(setup, nullptr);
    if (!setup) return {};
    DWORD waited = WaitForSingleObject(setup, 60000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(setup, 1);
    if (exitCode) GetExitCodeProcess(setup, exitCode);
    CloseHandle(setup);
    EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0));
    return wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath));
}

} // namespace

TEST(SetupProgram, UnattendedRunWithoutProfileLogsTheReason)
{
    DWORD code = 0;
    std::vector<std::string> log = RunSetupProgram("", &code);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find("Incomplete or missing profile."), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("CInstallProfileException"), std::string::npos) << log[0];
    // The exit code and the last line say the same.
    EXPECT_EQ(code, 1603u);
    EXPECT_EQ(log[1].rfind("Setup ended: Failed (", 0), 0u) << log[1];
    EXPECT_EQ(log[1].substr(log[1].size() - 14), "exit code 1603") << log[1];
}

TEST(SetupProgram, UnattendedRunWithProfileBesideTheProgramGetsPastReadingIt)
{
    std::vector<std::string> log = RunSetupProgram("[destinations]\r\n0=|-1|\r\n[groups]\r\nMain=M|T|1|1|0\r\n");
    for (const std::string& line : log) {
        EXPECT_EQ(line.find("profile"), std::string::npos) << line;
    }
}
