// The wizard driver with the real main window and real modeless pages:
// navigation, skipped pages, unattended auto-Next with its progress window,
// the failure and cancel paths, and work that pumps messages.
#include "app/SetupApp.h"
#include "framework/Exceptions.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"
#include "wizard/BasicPages.h"
#include "wizard/base/MainWindow.h"
#include "wizard/Pages.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

using wintest::PumpUntil;
using wintest::RecordingAnswerer;

namespace {

constexpr int kTestTemplate = 9001;

struct PageScript {
    PageScript(int32_t n = 0, bool s = true, std::function<WizardPage::Work()> w = {}, int32_t b = kNoBack)
        : next(n), show(s), work(std::move(w)), back(b)
    {
    }
    int32_t next;
    bool show;
    std::function<WizardPage::Work()> work;
    int32_t back;
};

std::vector<std::string> g_log;
int g_alivePages = 0;

class TestPage : public WizardPage {
public:
    TestPage(int32_t id, const PageScript& script) : WizardPage(id, kTestTemplate), script_(script) { ++g_alivePages; }
    ~TestPage() override { --g_alivePages; }
    Work RunWork() override
    {
        g_log.push_back("work " + std::to_string(PageId));
        return script_.work ? script_.work() : Work::Stay;
    }
    bool ShouldShow() override { return script_.show; }

protected:
    void InitPage() override { g_log.push_back("init " + std::to_string(PageId)); }
    void Store() override { g_log.push_back("store " + std::to_string(PageId)); }

private:
    PageScript script_;
};

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        ASSERT_TRUE(app_.PrepareSetup(arguments_, "C:\\"));
    }
    void TearDown() override
    {
        EndWizard();
        if (app_.MainWindowHandle) DestroyWindow(app_.MainWindowHandle);
        SetPageTable(StandardPageTable());
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
        EXPECT_EQ(g_alivePages, 0);
    }

    // A page table of test pages.
    void UseScripts(std::map<int32_t, PageScript> scripts)
    {
        scripts_ = std::move(scripts);
        std::vector<PageRow> rows = StandardPageTable();
        for (const auto& [id, script] : scripts_) {
            auto row = std::find_if(rows.begin(), rows.end(), [id = id](const PageRow& r) { return r.id == id; });
            ASSERT_NE(row, rows.end()) << id;
            row->make = [this](int32_t page) -> WizardPage* { return new TestPage(page, scripts_.at(page)); };
            row->next = script.next;
            row->nextRule = nullptr;
            row->back = script.back;
            row->backRule = nullptr;
        }
        SetPageTable(rows);
    }

    int32_t Current() const { return CurrentPage() ? CurrentPage()->PageId : 0; }
    bool WaitForPage(int32_t id)
    {
        return PumpUntil([&] { return Current() == id && CurrentPage()->Handle(); });
    }
    void Press(int control)
    {
        ASSERT_NE(CurrentPage(), nullptr);
        SendMessageA(CurrentPage()->Handle(), WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                     reinterpret_cast<LPARAM>(CurrentPage()->Item(control)));
    }

    std::string arguments_;
    SetupApp app_;
    std::map<int32_t, PageScript> scripts_;
};

TEST_F(WizardTest, StartsWithTheWelcomePageInFrontOfTheMaximisedMainWindow)
{
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    EXPECT_NE(dynamic_cast<WelcomePage*>(CurrentPage()), nullptr);
    EXPECT_EQ(BackPageOf(IDD_WELCOME), kNoBack);
    EXPECT_EQ(NextPageOf(IDD_WELCOME), IDD_STOPPING_PRODUCT);
    EXPECT_TRUE(IsWindowVisible(CurrentPage()->Handle()));
    EXPECT_EQ(GetWindow(CurrentPage()->Handle(), GW_OWNER), app_.MainWindowHandle);
    EXPECT_TRUE(IsZoomed(app_.MainWindowHandle));
    EXPECT_EQ(wintest::WindowText(app_.MainWindowHandle), "Brantoke AntiVirus for Windows 95 Setup");
    // The picture button carries bitmap 103.
    HWND picture = CurrentPage()->Item(IDC_PICTURE);
    EXPECT_NE(SendMessageA(picture, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(wintest::WindowText(CurrentPage()->Item(IDOK)), "&Next>");
    // Page 116 ends the wizard with OK.
    GoToPage(IDD_NOT_INSTALLED);
    ASSERT_TRUE(WaitForPage(IDD_NOT_INSTALLED));
    Press(IDOK);
    EXPECT_EQ(app_.MainWindowHandle, nullptr);
    EXPECT_EQ(CurrentPage(), nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // the loop ends
}

TEST_F(WizardTest, NextStoresAndBackLeavesForTheTablesPageWithoutStoring)
{
    UseScripts({{IDD_WELCOME, {IDD_USER_INFO}},
                {IDD_USER_INFO, {IDD_SETUP_TYPE, true, {}, IDD_WELCOME}},
                {IDD_SETUP_TYPE, {IDD_SUMMARY, true, {}, IDD_USER_INFO}},
                {IDD_SUMMARY, {IDD_COMPLETE}}});
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    // The page is filled before it is shown and its work posted.
    ASSERT_GE(g_log.size(), 2u);
    EXPECT_EQ(g_log[0], "init 102");
    EXPECT_EQ(g_log[1], "work 102");
    Press(IDOK);
    ASSERT_TRUE(WaitForPage(IDD_USER_INFO));
    EXPECT_NE(std::find(g_log.begin(), g_log.end(), "store 102"), g_log.end());
    Press(IDOK);
    ASSERT_TRUE(WaitForPage(IDD_SETUP_TYPE));
    g_log.clear();
    Press(IDC_BACK);
    ASSERT_TRUE(WaitForPage(IDD_USER_INFO));
    EXPECT_EQ(std::find(g_log.begin(), g_log.end(), "store 125"), g_log.end());
    g_log.clear();
    Press(IDC_BACK);
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    EXPECT_EQ(std::find(g_log.begin(), g_log.end(), "store 126"), g_log.end());
}

TEST_F(WizardTest, SkippedPageIsNeverShown)
{
    UseScripts({{IDD_WELCOME, {IDD_INSTALL_CONDITIONS}},
                {IDD_INSTALL_CONDITIONS, {IDD_SETUP_TYPE, false}},
                {IDD_SETUP_TYPE, {IDD_SUMMARY}}});
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    Press(IDOK);
    ASSERT_TRUE(WaitForPage(IDD_SETUP_TYPE));
    for (const std::string& line : g_log) {
        EXPECT_NE(line, "work 1537");
        EXPECT_NE(line, "init 1537");
    }
}

TEST_F(WizardTest, WorkPageMovesOnToTheTablesNextWhenDone)
{
    UseScripts({{IDD_WELCOME, {IDD_STOPPING_PRODUCT}},
                {IDD_STOPPING_PRODUCT, {IDD_READING_SETUP, true, [] { return WizardPage::Work::Next; }}},
                {IDD_READING_SETUP, {IDD_MEMORY_SCAN}}});
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    Press(IDOK);
    ASSERT_TRUE(WaitForPage(IDD_READING_SETUP));
    // A page whose work says Stay waits for the user in interactive mode.
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(Current(), IDD_READING_SETUP);
}

TEST_F(WizardTest, WorkFailureIsReportedAndEndsOnPage116)
{
    RecordingAnswerer answerer;
    std::string information;
    answerer.onDialog = [&](fw::Dialog& d) {
        information = d.ItemText(IDC_ERR_INFO);
        return IDOK;
    };
    UseScripts(
        {{IDD_WELCOME, {IDD_READING_SETUP}}, {IDD_READING_SETUP, {IDD_MEMORY_SCAN, true, []() -> WizardPage::Work {
                                                                      throw fw::FileException(fw::kFileNotFound, "x");
                                                                  }}}});
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    Press(IDOK);
    ASSERT_TRUE(WaitForPage(IDD_NOT_INSTALLED));
    EXPECT_EQ(app_.SetupFailed, 1);
    ASSERT_EQ(answerer.prompts.size(), 1u);
    EXPECT_EQ(answerer.prompts[0].dialogId, IDD_ERROR_REPORT);
    EXPECT_EQ(information, "9.2 (CXFileException)");
}

TEST_F(WizardTest, CancelAsksAndOnlyYesCancels)
{
    RecordingAnswerer answerer;
    answerer.messageAnswers = {IDNO, IDYES, IDYES};
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    Press(IDCANCEL);
    EXPECT_EQ(Current(), IDD_WELCOME);
    EXPECT_EQ(app_.Cancelled, 0);
    ASSERT_EQ(answerer.prompts.size(), 1u);
    EXPECT_EQ(answerer.prompts[0].text,
              "Brantoke AntiVirus for Windows 95 installation not complete. Do you really want to exit Setup?");
    EXPECT_EQ(answerer.prompts[0].type, UINT(MB_YESNO | MB_ICONQUESTION));
    Press(IDCANCEL);
    ASSERT_TRUE(WaitForPage(IDD_NOT_INSTALLED));
    // A cancel is no failure: the run ends as cancelled.
    EXPECT_EQ(app_.Cancelled, 1);
    EXPECT_EQ(app_.SetupFailed, 0);
    // Escape on 116 asks again; Yes shows 116 anew.
    SendMessageA(CurrentPage()->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    ASSERT_TRUE(WaitForPage(IDD_NOT_INSTALLED));
    EXPECT_EQ(answerer.prompts.size(), 3u);
}

TEST_F(WizardTest, CancelDuringPumpingWorkWaitsForTheWork)
{
    RecordingAnswerer answerer;
    answerer.messageAnswers = {IDYES};
    bool pageAliveAfterPumping = false;
    bool stopSeenInsideWork = false;
    UseScripts({{IDD_WELCOME, {IDD_COPY_PROGRESS}},
                {IDD_COPY_PROGRESS,
                 {IDD_CONFIGURING, true,
                  [&] {
                      WizardPage* self = CurrentPage();
                      // Escape arrives while the work pumps messages.
                      PostMessageA(self->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
                      PumpUntil([&] { return app_.StopRequested(); }, 5000);
                      stopSeenInsideWork = app_.StopRequested();
                      pageAliveAfterPumping = CurrentPage() == self && IsWindow(self->Handle());
                      return WizardPage::Work::Next;
                  }}},
                {IDD_CONFIGURING, {IDD_BACKUP}}});
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    Press(IDOK);
    ASSERT_TRUE(WaitForPage(IDD_NOT_INSTALLED));
    EXPECT_TRUE(stopSeenInsideWork);
    EXPECT_TRUE(pageAliveAfterPumping);
    EXPECT_EQ(app_.Cancelled, 1);
    // The work's own result lost to the cancel.
    for (const std::string& line : g_log) EXPECT_EQ(line.find("work 1555"), std::string::npos);
}

TEST_F(WizardTest, ClosingTheMainWindowDuringWorkEndsAfterTheWork)
{
    bool windowAliveAfterClose = false;
    UseScripts({{IDD_WELCOME, {IDD_COPY_PROGRESS}},
                {IDD_COPY_PROGRESS,
                 {IDD_CONFIGURING, true,
                  [&] {
                      PostMessageA(app_.MainWindowHandle, WM_CLOSE, 0, 0);
                      PumpUntil([&] { return app_.StopRequested(); }, 5000);
                      windowAliveAfterClose = IsWindow(app_.MainWindowHandle) && CurrentPage() != nullptr;
                      return WizardPage::Work::Next;
                  }}},
                {IDD_CONFIGURING, {IDD_BACKUP}}});
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    Press(IDOK);
    ASSERT_TRUE(PumpUntil([&] { return app_.MainWindowHandle == nullptr; }));
    EXPECT_TRUE(windowAliveAfterClose);
    EXPECT_EQ(CurrentPage(), nullptr);
    EXPECT_EQ(app_.Cancelled, 1);
}

TEST_F(WizardTest, EndingFromAWorkPageStopsEverything)
{
    UseScripts(
        {{IDD_WELCOME, {IDD_RESTART}}, {IDD_RESTART, {kEndWizard, true, [] { return WizardPage::Work::Next; }}}});
    ASSERT_TRUE(app_.StartWizard());
    ASSERT_TRUE(WaitForPage(IDD_WELCOME));
    Press(IDOK);
    ASSERT_TRUE(PumpUntil([&] { return app_.MainWindowHandle == nullptr; }));
    EXPECT_EQ(CurrentPage(), nullptr);
    EXPECT_EQ(app_.SetupFailed, 0);
}

TEST_F(WizardTest, TableRules)
{
    const struct {
        int32_t page;
        void (*set)(SetupApp&);
        int32_t next;
        int32_t back;
    } cases[] = {
        {IDD_SELECT_DIRECTORY, [](SetupApp& a) { a.ExistingInstall = 0; }, IDD_INTERNET_OPTIONS, IDD_SETUP_TYPE},
        {IDD_SELECT_DIRECTORY, [](SetupApp& a) { a.ExistingInstall = 1; }, IDD_KEEP_CONFIG, IDD_SETUP_TYPE},
        {IDD_SELECT_DIRECTORY, [](SetupApp& a) { a.SetupType = kSetupCustom; }, IDD_INTERNET_OPTIONS, IDD_COMPONENTS},
        {IDD_SETUP_TYPE, [](SetupApp& a) { a.SetupType = kSetupCustom; }, IDD_COMPONENTS, IDD_USER_INFO},
        {IDD_SETUP_TYPE, [](SetupApp& a) { a.SetupType = kSetupExpress; }, IDD_SELECT_DIRECTORY, IDD_USER_INFO},
        {IDD_INTERNET_OPTIONS, [](SetupApp& a) { a.ExistingInstall = 1; }, IDD_SUMMARY, IDD_KEEP_CONFIG},
        {IDD_INTERNET_OPTIONS, [](SetupApp& a) { a.ExistingInstall = 0; }, IDD_SUMMARY, IDD_SELECT_DIRECTORY},
        {IDD_COMPLETE, [](SetupApp& a) { a.Data->InstallRealtime = 1; }, IDD_RESTART, kNoBack},
        {IDD_COMPLETE, [](SetupApp& a) { a.Data->InstallRealtime = 0; }, kEndWizard, kNoBack},
        {IDD_READING_SETUP, [](SetupApp& a) { a.RemovalMode = 1; }, IDD_REMOVAL_FILES, kNoBack},
        {IDD_READING_SETUP, [](SetupApp& a) { a.RemovalMode = 0; }, IDD_MEMORY_SCAN, kNoBack},
        {IDD_INSTALL_CONDITIONS, [](SetupApp&) {}, IDD_SETUP_TYPE, IDD_USER_INFO},
    };
    for (const auto& c : cases) {
        c.set(app_);
        EXPECT_EQ(NextPageOf(c.page), c.next) << c.page;
        EXPECT_EQ(BackPageOf(c.page), c.back) << c.page;
        app_.SetupType = kSetupExpress;
        app_.ExistingInstall = 0;
    }
    EXPECT_EQ(UnattendedPercent(IDD_COMPONENTS), -1);
    EXPECT_EQ(UnattendedPercent(IDD_CONFIGURING), 75);
    EXPECT_EQ(UnattendedPercent(4242), -1);
    EXPECT_EQ(CreatePage(4242), nullptr);
}

class UnattendedWizardTest : public WizardTest {
protected:
    UnattendedWizardTest() { arguments_ = "/I:C:\\nothing.iss"; }
};

TEST_F(UnattendedWizardTest, PagesPressTheirOwnNextAndTheProgressMoves)
{
    const int32_t chain[] = {IDD_WELCOME,     IDD_STOPPING_PRODUCT, IDD_READING_SETUP,
                             IDD_MEMORY_SCAN, IDD_USER_INFO,        IDD_INSTALL_CONDITIONS,
                             IDD_SETUP_TYPE,  IDD_SELECT_DIRECTORY, IDD_INTERNET_OPTIONS,
                             IDD_SUMMARY,     IDD_COPY_PROGRESS,    IDD_CONFIGURING,
                             IDD_BACKUP,      IDD_COMPLETE,         IDD_RESTART};
    std::map<int32_t, PageScript> scripts;
    std::vector<int> positions;
    for (size_t i = 0; i < std::size(chain); ++i) {
        PageScript s;
        s.next = i + 1 < std::size(chain) ? chain[i + 1] : kEndWizard;
        s.show = chain[i] != IDD_INSTALL_CONDITIONS;
        s.work = [&positions] {
            positions.push_back(UnattendedProgressPosition());
            return WizardPage::Work::Stay;
        };
        scripts[chain[i]] = s;
    }
    UseScripts(scripts);
    ASSERT_TRUE(app_.StartWizard());
    EXPECT_TRUE(IsIconic(app_.MainWindowHandle));
    ASSERT_TRUE(PumpUntil([&] { return app_.MainWindowHandle == nullptr; }, 20000));
    // 1537 is skipped (no work of its own) but still moves the bar to 35
    // before 125 shows 40; 1557 has no percentage of its own.
    std::vector<int> expected = {1, 5, 15, 20, 30, 40, 45, 45, 50, 50, 75, 80, 95, 100};
    EXPECT_EQ(positions, expected);
    EXPECT_EQ(app_.SetupFailed, 0);
}

TEST_F(UnattendedWizardTest, PagesAreShrunkToNothing)
{
    ASSERT_TRUE(app_.StartWizard());
    // The real welcome page presses its own Next; with no page 1559 built
    // into this test's factory, the failure path shows page 116.
    ASSERT_TRUE(PumpUntil([&] { return Current() == IDD_NOT_INSTALLED || app_.MainWindowHandle == nullptr; }));
    if (CurrentPage() && CurrentPage()->Handle()) {
        RECT r;
        GetWindowRect(CurrentPage()->Handle(), &r);
        EXPECT_EQ(r.right - r.left, 0);
        EXPECT_EQ(r.bottom - r.top, 0);
    }
    EXPECT_EQ(app_.SetupFailed, 1);
}

} // namespace
