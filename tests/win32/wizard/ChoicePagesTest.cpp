// Pages 126, 125, 127, 104, 1552 and 1557 with the real wizard and real
// windows: what a person types and clicks, the real registry, real
// directories and the install log of unattended runs.
#include "config/log/InstallLog.h"
#include "config/Registry.h"
#include "app/SetupApp.h"
#include "engine/profile/Destinations.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <gtest/gtest.h>

#include <cstring>

using wintest::PumpUntil;

namespace {

class ChoicePagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(kInstallLogPath);
        ASSERT_TRUE(app_.PrepareSetup("", "C:\\"));
        const struct {
            const char* name;
            int optional;
        } groups[] = {{"Main", 1}, {"Realtime", 1}, {"DadOVO", 1}, {"Netware", 1}, {"Public", 0}, {"Uninstall", 0}};
        for (const auto& g : groups) {
            Group& group = app_.GroupTable[g.name];
            group.Name = g.name;
            group.Title = std::string(g.name) + " title";
            group.Text2 = std::string(g.name) + " text";
            group.Flag2 = g.optional;
            group.Optional = g.optional;
        }
        app_.DestinationTable[0].Id = 0;
        SetData({1, 1, 1, 0});
    }
    void TearDown() override
    {
        EndWizard();
        if (app_.MainWindowHandle) DestroyWindow(app_.MainWindowHandle);
        wintest::PumpPending();
        CfgDeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Netscape");
        CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer");
    }

    struct Choices {
        int manager, realtime, autoDownload, netware;
    };
    void SetData(const Choices& c)
    {
        app_.Data->InstallManager = c.manager;
        app_.Data->InstallRealtime = c.realtime;
        app_.Data->InstallAutoDownload = c.autoDownload;
        app_.Data->NetwareSupport = c.netware;
    }
    // Items of these sizes in one selected group, for the free-space check.
    void AddItems(int count, int32_t size)
    {
        for (int i = 0; i < count; ++i) {
            ArchiveItem item;
            item.FileName = "item" + std::to_string(i) + ".mf1";
            item.Size = size;
            item.FileCount = 1;
            item.OwnerGroup = &app_.GroupTable["Main"];
            app_.ArchiveList.push_back(item);
        }
    }
    void ShowPage(int32_t id)
    {
        if (!app_.MainWindowHandle) {
            ASSERT_TRUE(app_.StartWizard());
        }
        GoToPage(id);
        ASSERT_TRUE(OnPage(id));
    }
    bool OnPage(int32_t id)
    {
        return PumpUntil([&] { return CurrentPage() && CurrentPage()->PageId == id && CurrentPage()->Handle(); });
    }
    int32_t Page() { return CurrentPage() ? CurrentPage()->PageId : 0; }
    HWND Control(int id) { return CurrentPage()->Item(id); }
    void Press(int control)
    {
        SendMessageA(CurrentPage()->Handle(), WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(control)));
        wintest::PumpPending();
    }
    void Type(int control, const std::string& text) { SetWindowTextA(Control(control), text.c_str()); }
    bool Checked(int control) { return SendMessageA(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int control) { return IsWindowEnabled(Control(control)) != FALSE; }

    wintest::TempDir dir_;
    wintest::RecordingAnswerer answers_;
    SetupApp app_;
};

} // namespace

TEST_F(ChoicePagesTest, CustomSetupForwardThenBackWithoutValidation)
{
    ShowPage(IDD_USER_INFO);
    EXPECT_FALSE(Enabled(IDOK)); // no name yet
    Type(IDC_USER_NAME, "Ann User");
    EXPECT_TRUE(Enabled(IDOK));
    Press(IDOK);
    ASSERT_EQ(answers_.prompts.size(), 1u); // no company
    EXPECT_EQ(answers_.prompts[0].text, "Please specify a company name");
    EXPECT_EQ(Page(), IDD_USER_INFO);
    Type(IDC_COMPANY_NAME, "Ann's Firm");
    Press(IDOK);
    ASSERT_TRUE(OnPage(IDD_SETUP_TYPE)); // 1537 passed over
    EXPECT_STREQ(app_.Data->CompanyName, "Ann's Firm");

    Press(IDC_CUSTOM);
    Press(IDOK);
    ASSERT_TRUE(OnPage(IDD_COMPONENTS));
    EXPECT_EQ(app_.SetupType, 2);
    HWND list = Control(IDC_COMPONENT_LIST);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 4);
    // Uncheck every checked item with the space bar, then Next is refused.
    for (int i = 0; i < 4; ++i) {
        SendMessageA(list, LB_SETCURSEL, i, 0);
        if (reinterpret_cast<Group*>(SendMessageA(list, LB_GETITEMDATA, i, 0))->Checked) {
            SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
        }
    }
    wintest::PumpPending();
    for (const char* name : {"Main", "Realtime", "DadOVO", "Netware"})
        EXPECT_EQ(app_.GroupTable[name].Checked, 0) << name;
    Press(IDOK);
    ASSERT_EQ(answers_.prompts.size(), 2u);
    EXPECT_EQ(answers_.prompts[1].text.rfind("No component(s) have been selected.", 0), 0u);
    EXPECT_EQ(Page(), IDD_COMPONENTS);
    // A press on the first item's box checks it again.
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const int x = item.left + 4, y = (item.top + item.bottom) / 2;
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Group* first = reinterpret_cast<Group*>(SendMessageA(list, LB_GETITEMDATA, 0, 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Checked, 1);
    EXPECT_EQ(CurrentPage()->ItemText(IDC_COMPONENT_TEXT), first->Text2);
    Press(IDOK);
    ASSERT_TRUE(OnPage(IDD_SELECT_DIRECTORY));
    EXPECT_EQ(first->Selected, 1);
    EXPECT_EQ(app_.GroupTable["Public"].Selected, 1);

    std::string home = dir_.Path() + "new\\deeper";
    Type(IDC_HOME_DIRECTORY, home + "\\");
    Press(IDOK);
    ASSERT_TRUE(OnPage(IDD_INTERNET_OPTIONS)) << Page(); // no earlier install
    EXPECT_NE(GetFileAttributesA(home.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_STREQ(app_.Data->InstallPath, home.c_str());
    EXPECT_EQ(DestinationPath(app_.DestinationTable, 0), home + "\\");
    EXPECT_EQ(answers_.prompts.size(), 2u);

    // Back walks the pages in reverse and never validates, even with the
    // page's fields emptied.
    for (int32_t expected : {IDD_SELECT_DIRECTORY, IDD_COMPONENTS, IDD_SETUP_TYPE, IDD_USER_INFO, IDD_WELCOME}) {
        if (Page() == IDD_SELECT_DIRECTORY) Type(IDC_HOME_DIRECTORY, "");
        if (Page() == IDD_USER_INFO) Type(IDC_COMPANY_NAME, "");
        Press(IDC_BACK);
        ASSERT_TRUE(OnPage(expected)) << expected;
    }
    EXPECT_EQ(answers_.prompts.size(), 2u);
}

TEST_F(ChoicePagesTest, NotEnoughSpaceAsksAndNoStays)
{
    AddItems(60, 2000000000); // 120 GB, more than any test drive has
    ShowPage(IDD_SETUP_TYPE);
    Press(IDOK);
    ASSERT_TRUE(OnPage(IDD_SELECT_DIRECTORY));
    Type(IDC_HOME_DIRECTORY, dir_.Path() + "av");
    answers_.messageAnswers = {IDNO, IDYES};
    Press(IDOK);
    ASSERT_EQ(answers_.prompts.size(), 1u);
    const fw::PromptRecord& asked = answers_.prompts[0];
    EXPECT_NE(asked.text.find("approximately  12000"), std::string::npos) << asked.text; // 64-bit, unsigned
    EXPECT_NE(asked.text.find("ONLY HAS"), std::string::npos) << asked.text;
    EXPECT_EQ(asked.text.find('-'), std::string::npos) << asked.text;
    EXPECT_EQ(asked.type, static_cast<UINT>(MB_YESNO | MB_ICONSTOP | MB_DEFBUTTON2));
    EXPECT_EQ(Page(), IDD_SELECT_DIRECTORY);
    Press(IDOK);
    EXPECT_TRUE(OnPage(IDD_INTERNET_OPTIONS));
}

TEST_F(ChoicePagesTest, DirectoryPageRefusalsAndTheBrowser)
{
    app_.Data->ComponentMask = kComponentManager;
    ShowPage(IDD_SELECT_DIRECTORY);
    answers_.onDirectory = [&](std::string& path) {
        path = dir_.Path() + "picked";
        return true;
    };
    Press(IDC_BROWSE);
    ASSERT_EQ(answers_.prompts.size(), 1u);
    EXPECT_EQ(answers_.prompts[0].kind, fw::PromptRecord::kDirectoryPicker);
    EXPECT_EQ(CurrentPage()->ItemText(IDC_HOME_DIRECTORY), dir_.Path() + "picked");
    answers_.prompts.clear();

    // A relative path, and a directory under a file, are refused with a message.
    ASSERT_TRUE(wintest::WriteFileText(dir_.Path() + "file.txt", "x"));
    for (const std::string& typed : {std::string("relative\\av"), dir_.Path() + "file.txt\\av"}) {
        Type(IDC_HOME_DIRECTORY, typed);
        Press(IDOK);
        EXPECT_EQ(Page(), IDD_SELECT_DIRECTORY) << typed;
    }
    ASSERT_EQ(answers_.prompts.size(), 3u);
    EXPECT_NE(answers_.prompts[0].text.find("full path of the home directory"), std::string::npos);
    EXPECT_EQ(answers_.prompts[1].text.rfind("Failed to Create Dir (", 0), 0u) << answers_.prompts[1].text;
    EXPECT_EQ(answers_.prompts[2].text, "Cannot Create Directory");
}

TEST_F(ChoicePagesTest, UnattendedHomeThatCannotBeMadeFailsTheRun)
{
    app_.UnattendedMode = 1;
    ASSERT_TRUE(wintest::WriteFileText(dir_.Path() + "file.txt", "x"));
    std::strcpy(app_.Data->InstallPath, (dir_.Path() + "file.txt\\av").c_str());
    app_.Data->ComponentMask = kComponentManager;
    ASSERT_TRUE(app_.StartWizard());
    GoToPage(IDD_SELECT_DIRECTORY);
    ASSERT_TRUE(OnPage(IDD_NOT_INSTALLED));
    EXPECT_EQ(app_.SetupFailed, 1);
    EXPECT_TRUE(answers_.prompts.empty());
    std::vector<std::string> log = wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0].rfind("Failed to Create Dir (", 0), 0u) << log[0];
    EXPECT_EQ(log[1], "Cannot Create Directory");
}

TEST_F(ChoicePagesTest, OptionPagesFollowTheBrowsersFound)
{
    const struct {
        bool navigator, explorer;
        int navigatorWanted, explorerWanted;
        bool autoDownloadComponent;
    } cases[] = {
        {false, false, 1, 1, false},
        {true, true, 1, 0, true},
        {false, true, 1, 1, true},
    };
    for (const auto& c : cases) {
        CfgDeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Netscape");
        CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer");
        if (c.navigator) {
            ASSERT_EQ(CfgWriteUserString("SOFTWARE\\Netscape\\Netscape Navigator", nullptr, "x", "1"), 0);
        }
        if (c.explorer) {
            ASSERT_EQ(CfgWriteString("SOFTWARE\\Microsoft\\Internet Explorer\\Main", nullptr, "x", "1"), 0);
        }
        app_.Data->NavigatorIntegration = c.navigatorWanted;
        app_.Data->ExplorerIntegration = c.explorerWanted;
        app_.Data->ComponentMask = c.autoDownloadComponent ? kComponentAutoDownload : 0;
        app_.Data->AutoDownloadAgent = 1;
        ShowPage(IDD_INTERNET_OPTIONS);
        EXPECT_EQ(Enabled(IDC_NAVIGATOR), c.navigator);
        EXPECT_EQ(Checked(IDC_NAVIGATOR), c.navigator && c.navigatorWanted);
        EXPECT_EQ(Enabled(IDC_EXPLORER), c.explorer);
        EXPECT_EQ(Checked(IDC_EXPLORER), c.explorer && c.explorerWanted);
        EXPECT_EQ(Enabled(IDC_INTERNET_TEXT), c.navigator || c.explorer);
        EXPECT_EQ(Enabled(IDC_RUN_AUTO_DOWNLOAD), c.autoDownloadComponent);
        EXPECT_EQ(Checked(IDC_RUN_AUTO_DOWNLOAD), c.autoDownloadComponent);
        // Changed, then Back: the earlier choice stays; Next stores the box.
        SendMessageA(Control(IDC_RUN_AUTO_DOWNLOAD), BM_SETCHECK, BST_UNCHECKED, 0);
        Press(IDC_BACK);
        ASSERT_TRUE(OnPage(IDD_SELECT_DIRECTORY));
        EXPECT_EQ(app_.Data->AutoDownloadAgent, 1);
        ShowPage(IDD_INTERNET_OPTIONS);
        Press(IDOK);
        ASSERT_TRUE(OnPage(IDD_SUMMARY));
        EXPECT_EQ(app_.Data->AutoDownloadAgent, c.autoDownloadComponent ? 1 : 0);
        EXPECT_EQ(app_.IntegrateNavigator, c.navigator && c.navigatorWanted ? 1 : 0);
        EXPECT_EQ(app_.IntegrateExplorer, c.explorer && c.explorerWanted ? 1 : 0);
    }

    app_.Data->OverwriteRegistry = 1;
    ShowPage(IDD_KEEP_CONFIG);
    EXPECT_TRUE(Checked(IDC_OVERWRITE_CONFIG));
    SendMessageA(Control(IDC_KEEP_CONFIG), BM_CLICK, 0, 0);
    wintest::PumpPending();
    EXPECT_TRUE(Checked(IDC_KEEP_CONFIG));
    EXPECT_EQ(app_.Data->OverwriteRegistry, 1); // stored on Next only
    Press(IDOK);
    ASSERT_TRUE(OnPage(IDD_INTERNET_OPTIONS));
    EXPECT_EQ(app_.Data->OverwriteRegistry, 0);
}
