// The removal flow (setup /U) with the real wizard, a real install record,
// real files, the SharedDLLs counts and the registry entries it removes.
#include "config/Registry.h"
#include "config/log/RunOutcome.h"
#include "app/SetupApp.h"
#include "engine/SystemRegistry.h"
#include "engine/profile/InstallRecord.h"
#include "engine/profile/ProfileFileWin32.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <gtest/gtest.h>

using wintest::PumpUntil;

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

uint32_t SharedCount(const std::string& path, bool& present)
{
    RegKey key;
    uint32_t count = 0;
    present = key.Open(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_READ) && key.QueryDword(path, count);
    return count;
}

class RemovalPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        system_ = PathName(PathName::kSystemDirectory).DirectoryWithSlash();
        home_ = dir_.Path() + "KORAV\\";
        ASSERT_TRUE(CreateDirectoryA(home_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((home_ + "Data").c_str(), nullptr));
        ASSERT_TRUE(app_.PrepareSetup("/U", "C:\\"));
        DeleteFileA(app_.RecordPath.Text().c_str());

        // What an installation leaves: files in the home directory and below
        // it, shared files in the System directory, the record, the keys.
        DestinationTable destinations;
        destinations[0] = Destination{0, "", -1, PathName(home_)};
        destinations[2] = Destination{2, "Data", 0, PathName(home_ + "Data\\")};
        destinations[-3] = Destination{-3, "", -1, PathName(system_)};
        GroupTable groups;
        groups["Main"].Name = "Main";
        groups["Main"].Title = "Manager";
        PrivateProfileFile record(app_.RecordPath.Text());
        WriteInstallRecord(record, destinations, groups, TargetTable());
        const struct {
            const char* name;
            int16_t destination;
            uint32_t sharedCount;
        } files[] = {{"korvi95.exe", 0, 0}, {"readonly.txt", 0, 0}, {"version.txt", 2, 0},
                     {"keep3.dll", -3, 3},  {"last1.dll", -3, 1},   {"_kwdinst.exe", -3, 1}};
        for (const auto& f : files) {
            std::string path = PathOf(f.destination) + f.name;
            ASSERT_TRUE(wintest::WriteFileText(path, "x"));
            ASSERT_TRUE(WriteInstalledFile(record, "Main", f.name, f.destination, true, false));
            if (f.sharedCount) {
                SharedDllCount count(path);
                count.SetValue(f.sharedCount);
            }
        }
        SetFileAttributesA((home_ + "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(wintest::WriteFileText(home_ + "user.txt", "the user's own"));
        // Put there by setup outside the archives.
        ASSERT_TRUE(wintest::WriteFileText(home_ + "NoPwd.txt", "x"));
        ASSERT_TRUE(wintest::WriteFileText(home_ + "start.job", "x"));
        ASSERT_TRUE(CreateDirectoryA((home_ + "TMP").c_str(), nullptr));
        ASSERT_EQ(CfgWriteString("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\korvi95.exe", nullptr, "",
                                 (home_ + "korvi95.exe").c_str()),
                  0);
        ASSERT_EQ(CfgWriteString("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brantoke AntiVirus", nullptr,
                                 "DisplayName", "Brantoke AntiVirus"),
                  0);
    }
    void TearDown() override
    {
        EndWizard();
        if (app_.MainWindowHandle) DestroyWindow(app_.MainWindowHandle);
        wintest::PumpPending();
    }
    std::string PathOf(int16_t destination)
    {
        return destination == 0 ? home_ : destination == 2 ? home_ + "Data\\" : system_;
    }
    bool OnPage(int32_t id)
    {
        return PumpUntil([&] { return CurrentPage() && CurrentPage()->PageId == id && CurrentPage()->Handle(); });
    }
    void Press(int control)
    {
        SendMessageA(CurrentPage()->Handle(), WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                     reinterpret_cast<LPARAM>(CurrentPage()->Item(control)));
    }
    bool KeyExists(const std::string& path)
    {
        RegKey key;
        return key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ);
    }

    wintest::TempDir dir_;
    wintest::RecordingAnswerer answers_;
    SetupApp app_;
    std::string system_, home_;
};

} // namespace

TEST_F(RemovalPagesTest, RemovesWhatTheRecordListsAndKeepsTheUsersFile)
{
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(OnPage(IDD_REMOVAL_CONFIRM));
    Press(IDOK);
    ASSERT_TRUE(OnPage(IDD_REMOVAL_DONE));
    EXPECT_EQ(app_.SetupFailed, 0);
    for (const char* gone :
         {"korvi95.exe", "readonly.txt", "Data\\version.txt", "Data", "NoPwd.txt", "start.job", "TMP"})
        EXPECT_FALSE(Exists(home_ + gone)) << gone;
    EXPECT_TRUE(Exists(home_ + "user.txt"));
    bool present = false;
    EXPECT_TRUE(Exists(system_ + "keep3.dll"));
    EXPECT_EQ(SharedCount(system_ + "keep3.dll", present), 2u);
    EXPECT_FALSE(Exists(system_ + "last1.dll"));
    SharedCount(system_ + "last1.dll", present);
    EXPECT_FALSE(present);
    // The completion program is started next: it stays, its count goes.
    EXPECT_TRUE(Exists(system_ + "_kwdinst.exe"));
    SharedCount(system_ + "_kwdinst.exe", present);
    EXPECT_FALSE(present);
    EXPECT_FALSE(KeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\korvi95.exe"));
    EXPECT_FALSE(KeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brantoke AntiVirus"));
    EXPECT_TRUE(answers_.prompts.empty());
    Press(IDOK);
    EXPECT_TRUE(PumpUntil([&] { return app_.MainWindowHandle == nullptr; }));
}

TEST_F(RemovalPagesTest, CancelOnTheFirstPageTouchesNothing)
{
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(OnPage(IDD_REMOVAL_CONFIRM));
    Press(IDCANCEL);
    ASSERT_TRUE(OnPage(IDD_NOT_INSTALLED));
    EXPECT_TRUE(answers_.prompts.empty()); // no question
    EXPECT_EQ(app_.Cancelled, 1);
    EXPECT_TRUE(Exists(home_ + "korvi95.exe"));
    EXPECT_TRUE(KeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brantoke AntiVirus"));
    EXPECT_EQ(app_.FinishRun(), 1602);
}

TEST_F(RemovalPagesTest, AFileInUseGoesAtTheNextStartOfWindows)
{
    const std::string wininit = PathName(PathName::kWindowsDirectory).DirectoryWithSlash() + "WININIT.INI";
    DeleteFileA(wininit.c_str());
    ResetRestartNotes();
    // Held open without delete sharing, as a running program's file is.
    const std::string inUse = home_ + "korvi95.exe";
    HANDLE held = CreateFileA(inUse.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(OnPage(IDD_REMOVAL_CONFIRM));
    Press(IDOK);
    const bool done = OnPage(IDD_REMOVAL_DONE);
    CloseHandle(held);
    ASSERT_TRUE(done);
    EXPECT_TRUE(Exists(inUse));
    for (const char* gone : {"readonly.txt", "Data\\version.txt", "NoPwd.txt"})
        EXPECT_FALSE(Exists(home_ + gone)) << gone;
    const std::string text = wintest::ReadFileText(wininit);
    EXPECT_EQ(text, "[rename]\r\nNUL=" + PathName(inUse).ShortText() + "\r\n");
    EXPECT_EQ(app_.FinishRun(), 3010);
    DeleteFileA(wininit.c_str());
}

namespace {
HWND g_cancelPage = nullptr;
// Presses Cancel once the page shows its first file name, as a person would
// while the removal runs.
LRESULT CALLBACK CancelOnFirstFile(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETTEXT && GetDlgCtrlID(call->hwnd) == IDC_REMOVING_FILE &&
        g_cancelPage == nullptr) {
        g_cancelPage = GetParent(call->hwnd);
        PostMessageA(g_cancelPage, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
} // namespace

TEST_F(RemovalPagesTest, CancelWhileRemovingAsksThenStops)
{
    answers_.messageAnswers = {IDYES};
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CancelOnFirstFile, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(OnPage(IDD_REMOVAL_CONFIRM));
    Press(IDOK);
    bool failed = OnPage(IDD_NOT_INSTALLED);
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(failed);
    ASSERT_EQ(answers_.prompts.size(), 1u);
    EXPECT_NE(answers_.prompts[0].text.find("Do you really want to exit Setup?"), std::string::npos);
    EXPECT_EQ(app_.Cancelled, 1);
    // One file went before the question; the rest and the registration stay.
    int left = 0;
    for (const char* name : {"korvi95.exe", "readonly.txt", "Data\\version.txt"}) left += Exists(home_ + name);
    EXPECT_EQ(left, 2);
    EXPECT_TRUE(KeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brantoke AntiVirus"));
}
