// Page 1568 run by the real wizard against install media whose "Engine"
// archive holds the engine stand-in (VSE32ENG.DLL) and its data files: the
// extraction into the temporary directory, the calls the engine records, the
// messages (or, unattended, the log lines) and the page that follows.
#include "config/log/InstallLog.h"
#include "app/SetupApp.h"
#include "engine/profile/Destinations.h"
#include "product/AntivirusEngine.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"
#include "tools/mediatool/Layout.h"
#include "tools/mediatool/MediaBuilder.h"
#include "wizard/OpeningPages.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

const char* const kTitle = "Brantoke AntiVirus for Windows 95 Setup";
const char* const kEngineInitFailed = "Cannot initialize the antivirus engine.";
const char* const kScanError = "Error Scanning Memory!\nWould you like to continue Setup now?";
const char* const kVirusStays =
    "Brantoke AntiVirus found a virus (Jerusalem) in you computer's memory. The virus cannot "
    "be removed. Please reboot using a clean diskette and scan the computer. \nWould you "
    "like to continue Setup?";
const UINT kDataBox = MB_OK | MB_ICONERROR;
const UINT kQuestion = MB_YESNO | MB_ICONSTOP;

std::vector<int32_t> g_reached;

// Stands in for the pages after 1568 and notes which one came.
struct ReachedPage : WizardPage {
    explicit ReachedPage(int32_t id) : WizardPage(id, IDD_NOT_INSTALLED) { g_reached.push_back(id); }
};

// Also notes how page 1568 looked when each message came.
struct ScanAnswerer : wintest::RecordingAnswerer {
    int AnswerMessage(const fw::PromptRecord& prompt) override
    {
        HWND page = CurrentPage() ? CurrentPage()->Handle() : nullptr;
        bars.push_back(static_cast<int>(SendDlgItemMessageA(page, IDC_PROGRESS, PBM_GETPOS, 0, 0)));
        statuses.push_back(wintest::WindowText(GetDlgItem(page, IDC_SCAN_STATUS)));
        return RecordingAnswerer::AnswerMessage(prompt);
    }
    std::vector<int> bars;
    std::vector<std::string> statuses;
};

std::string Temporary()
{
    char buf[MAX_PATH + 1] = {};
    GetTempPathA(sizeof buf, buf);
    return buf;
}

std::string EngineRecordPath()
{
    char buf[MAX_PATH + 1] = {};
    GetWindowsDirectoryA(buf, MAX_PATH);
    return std::string(buf) + "\\VSE32ENG.REC";
}

void SetSetting(const char* name, const char* value) { SetEnvironmentVariableA(name, value); }

struct Shown {
    std::string text;
    std::string caption;
    UINT type;
};

struct ScanCase {
    const char* what;
    const char* engineGroup; // null: the media have no engine
    const char* load;        // VSE32ENG_LOAD, VSE32ENG_SCAN, VSE32ENG_VIRUS (null: unset)
    const char* scan;
    const char* virus;
    std::deque<int> answers;
    std::vector<Shown> shown; // message boxes, or unattended the log lines
    std::vector<int> ordinals;
    int32_t next;
};

const std::vector<int> kScanned = {2, 5, 8, 10, 39, 28, 55, 55, 55, 55};
std::vector<int> Then(std::vector<int> calls, std::initializer_list<int> more)
{
    calls.insert(calls.end(), more);
    return calls;
}

class MemoryScanPageTest : public ::testing::Test {
protected:
    // Ends one case's wizard; the next case gets a fresh application and media.
    void TearDown() override
    {
        EndWizard();
        if (app_ && app_->MainWindowHandle) DestroyWindow(app_->MainWindowHandle);
        wintest::UseStandardPages();
        wintest::PumpPending();
        app_.reset();
        media_.reset();
        answerer_.prompts.clear();
        answerer_.bars.clear();
        answerer_.statuses.clear();
        for (const char* name : {"VSE32ENG_LOAD", "VSE32ENG_SCAN", "VSE32ENG_VIRUS"}) SetSetting(name, nullptr);
    }

    void MakeMedia(const char* engineGroup)
    {
        media_ = std::make_unique<wintest::TempDir>();
        const std::string root = media_->Path();
        const std::string src = root + "src\\";
        CreateDirectoryA(src.c_str(), nullptr);
        for (const char* name : {"VSE32ENG.DLL", "VIRSIG.DAT", "VIRINFO.DAT"})
            ASSERT_TRUE(
                CopyFileA((wintest::ModuleDirectory() + "engine\\" + name).c_str(), (src + name).c_str(), FALSE));
        ASSERT_TRUE(wintest::WriteFileText(src + "korvi95.exe", "main"));
        std::ostringstream l;
        l << "[media]\nMethod=deflate\nProfile=SETUP.INI\n[destinations]\n0=|-1|\n[groups]\nMain=Main|M|1|1|0\n";
        if (engineGroup) {
            l << engineGroup << "=Engine|Scanning engine|1|1|0\n[archive ENGINE.MF1]\nGroup=" << engineGroup << "\n"
              << "Member=src/VSE32ENG.DLL|0|\nMember=src/VIRSIG.DAT|0|\nMember=src/VIRINFO.DAT|0|\n";
        }
        l << "[archive MAIN.MF1]\nGroup=Main\nMember=src/korvi95.exe|0|\n";
        ASSERT_TRUE(wintest::WriteFileText(root + "layout.txt", l.str()));
        std::ostringstream progress;
        media::BuildMedia(media::ReadLayout(root + "layout.txt"), root + "media", progress);
    }

    // Runs page 1568 until the page after it has come.
    void Run(const ScanCase& c, bool unattended)
    {
        MakeMedia(c.engineGroup);
        SetSetting("VSE32ENG_LOAD", c.load);
        SetSetting("VSE32ENG_SCAN", c.scan);
        SetSetting("VSE32ENG_VIRUS", c.virus);
        DeleteFileA(EngineRecordPath().c_str());
        std::string media = media_->Path() + "media\\DISK01";
        app_ = std::make_unique<SetupApp>();
        ASSERT_TRUE(app_->PrepareSetup("/D:" + media + (unattended ? " /I:C:\\none.icf" : ""), "C:\\"));
        app_->ProfilePath.Set(media + "\\SETUP.INI");
        ReadInstallProfile(*app_);
        DeleteFileA(app_->RecordPath.Text().c_str());
        DeleteFileA(kInstallLogPath);
        g_reached.clear();
        wintest::UseStandInPages({IDD_USER_INFO, IDD_NOT_INSTALLED},
                                 [](int32_t id) -> WizardPage* { return new ReachedPage(id); });
        answerer_.messageAnswers = c.answers;
        ASSERT_TRUE(app_->StartWizard());
        GoToPage(IDD_MEMORY_SCAN);
        ASSERT_TRUE(wintest::PumpUntil([] { return !g_reached.empty(); }, 60000));
    }

    std::vector<int> Ordinals() const
    {
        std::vector<int> ordinals;
        for (const std::string& line : wintest::SplitCrLf(wintest::ReadFileText(EngineRecordPath())))
            ordinals.push_back(line.rfind("ordinal ", 0) == 0 ? std::atoi(line.c_str() + 8) : -1);
        return ordinals;
    }

    std::unique_ptr<wintest::TempDir> media_;
    ScanAnswerer answerer_;
    std::unique_ptr<SetupApp> app_;
};

const ScanCase kCases[] = {
    {"clean", "Engine", nullptr, nullptr, nullptr, {}, {}, Then(kScanned, {26, 27}), IDD_USER_INFO},
    {"bad signature file",
     "Engine",
     "20",
     nullptr,
     nullptr,
     {},
     {{"Invalid format of ", "Korvisan", kDataBox},
      {"VIRSIG.DAT", "Korvisan", kDataBox},
      {kEngineInitFailed, kTitle, MB_OK}},
     {2, 5, 8},
     IDD_USER_INFO},
    {"other data failure",
     "Engine",
     "3",
     nullptr,
     nullptr,
     {},
     {{"Error loading data file", "Korvisan", kDataBox}, {kEngineInitFailed, kTitle, MB_OK}},
     {2, 5, 8},
     IDD_USER_INFO},
    {"virus removed, group named in capitals",
     "ENGINE",
     nullptr,
     "1",
     "Stoned.A",
     {},
     {{"A virus \"Stoned.A\" was removed from memory. Please scan your computer immediately after setup!", kTitle,
       MB_OK | MB_ICONSTOP}},
     Then(kScanned, {23, 26, 27}),
     IDD_USER_INFO},
    {"scan failed, go on",
     "Engine",
     nullptr,
     "0x4000",
     nullptr,
     {IDYES},
     {{kScanError, kTitle, kQuestion}},
     Then(kScanned, {23, 26, 27}),
     IDD_USER_INFO},
    {"scan failed, stop",
     "Engine",
     nullptr,
     "16384",
     nullptr,
     {IDNO},
     {{kScanError, kTitle, kQuestion}},
     Then(kScanned, {23, 26, 27}),
     IDD_NOT_INSTALLED},
    {"virus stays, go on",
     "engine",
     nullptr,
     "7",
     "Jerusalem",
     {IDYES},
     {{kVirusStays, kTitle, kQuestion}},
     Then(kScanned, {23, 26, 27}),
     IDD_USER_INFO},
    {"virus stays, stop",
     "Engine",
     nullptr,
     "7",
     "Jerusalem",
     {IDNO},
     {{kVirusStays, kTitle, kQuestion}},
     Then(kScanned, {23, 26, 27}),
     IDD_NOT_INSTALLED},
    {"no engine on the media",
     nullptr,
     nullptr,
     nullptr,
     nullptr,
     {},
     {{kEngineInitFailed, kTitle, MB_OK}},
     {},
     IDD_USER_INFO},
};

const ScanCase& Case(const std::string& what)
{
    for (const ScanCase& c : kCases)
        if (what == c.what) return c;
    throw std::invalid_argument(what);
}

TEST_F(MemoryScanPageTest, EveryOutcomeOfLoadingAndScanning)
{
    for (const ScanCase& c : kCases) {
        SCOPED_TRACE(c.what);
        Run(c, false);
        ASSERT_EQ(g_reached, std::vector<int32_t>{c.next});
        EXPECT_EQ(app_->SetupFailed, c.next == IDD_NOT_INSTALLED ? 1 : 0);
        EXPECT_EQ(Ordinals(), c.ordinals);
        ASSERT_EQ(answerer_.prompts.size(), c.shown.size());
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            EXPECT_EQ(answerer_.prompts[i].text, c.shown[i].text);
            EXPECT_EQ(answerer_.prompts[i].caption, c.shown[i].caption);
            EXPECT_EQ(answerer_.prompts[i].type, c.shown[i].type);
        }
        // Before the scan the page says it loads the engine; during it the
        // engine's progress moved the bar to its end.
        bool scanned = std::find(c.ordinals.begin(), c.ordinals.end(), 28) != c.ordinals.end();
        for (std::size_t i = 0; i < answerer_.bars.size(); ++i) {
            EXPECT_EQ(answerer_.bars[i], scanned ? 100 : 0);
            EXPECT_EQ(answerer_.statuses[i],
                      scanned ? "Setup is scanning your computer's memory for viruses" : "Loading AntiVirus Engine...");
        }
        // Extracted through the member installation, recorded, and removed again.
        if (c.engineGroup) {
            std::string record = wintest::ReadFileText(app_->RecordPath.Text());
            EXPECT_NE(record.find(std::string("[") + c.engineGroup + "]\r\nVSE32ENG.DLL=0|1|0"), std::string::npos)
                << record;
        }
        for (const char* name : {"Vse32eng.dll", "Virsig.dat", "Virinfo.dat"})
            EXPECT_EQ(GetFileAttributesA((Temporary() + name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
        EXPECT_EQ(DestinationPath(app_->DestinationTable, 0), "");

        TearDown();
    }
}

// The library is loaded from the directory given, which is current only
// while loading; the tear-down calls come with Unload.
TEST(AntivirusEngine, LoadsFromTheDirectoryAndRestoresTheCurrentOne)
{
    wintest::TempDir engineDir, elsewhere;
    for (const char* name : {"VSE32ENG.DLL", "VIRSIG.DAT", "VIRINFO.DAT"})
        ASSERT_TRUE(CopyFileA((wintest::ModuleDirectory() + "engine\\" + name).c_str(),
                              (engineDir.Path() + name).c_str(), FALSE));
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.Path().c_str()));
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    DeleteFileA(EngineRecordPath().c_str());

    ASSERT_EQ(avengine::Load(engineDir.Path()), avengine::kLoaded); // the path ends in a backslash
    char after[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(after, before);
    EXPECT_TRUE(avengine::IsOpen());
    avengine::Unload();
    EXPECT_FALSE(avengine::IsOpen());
    EXPECT_EQ(wintest::ReadFileText(EngineRecordPath()),
              "ordinal 2\r\nordinal 5\r\nordinal 8\r\nordinal 10\r\nordinal 26\r\nordinal 27\r\n");
    // Without its data files in the current directory the engine refuses.
    DeleteFileA((engineDir.Path() + "VIRINFO.DAT").c_str());
    wintest::RecordingAnswerer answerer;
    EXPECT_EQ(avengine::Load(engineDir.Path()), avengine::kDataCannotOpen);
    EXPECT_FALSE(avengine::IsOpen());
    ASSERT_EQ(answerer.prompts.size(), 1u);
    EXPECT_EQ(answerer.prompts[0].text, "Error opening data file");
    avengine::DeleteEngineFiles(engineDir.Path().substr(0, engineDir.Path().size() - 1));
    EXPECT_EQ(wintest::FileNames(engineDir.Path()), std::vector<std::string>{});
    SetCurrentDirectoryA(wintest::ModuleDirectory().c_str());
}

// Unattended: nothing is shown, every message is a log line; a scan error
// goes on, a virus that stays ends the run.
TEST_F(MemoryScanPageTest, UnattendedLogsAndAnswersByItself)
{
    // 0x4000 is answered Yes, a virus that stays No.
    for (const char* what :
         {"bad signature file", "virus removed, group named in capitals", "scan failed, go on", "virus stays, stop"}) {
        const ScanCase& c = Case(what);
        SCOPED_TRACE(c.what);
        Run(c, true);
        // The page after 1568 pressed its own Next and ended the wizard.
        ASSERT_TRUE(wintest::PumpUntil([&] { return app_->MainWindowHandle == nullptr; }, 20000));
        EXPECT_EQ(g_reached, std::vector<int32_t>{c.next});
        EXPECT_EQ(app_->SetupFailed, c.next == IDD_NOT_INSTALLED ? 1 : 0);
        EXPECT_TRUE(answerer_.prompts.empty());
        EXPECT_EQ(Ordinals(), c.ordinals);
        std::vector<std::string> expected;
        for (const Shown& s : c.shown) expected.push_back(s.text);
        EXPECT_EQ(wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath)), expected);
        TearDown();
    }
}

} // namespace
