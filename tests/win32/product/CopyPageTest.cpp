// Page 108 run by the real wizard: the direct copies, the copy engine with
// the on-screen gauge and billboards, the Program Manager items made through
// Wine's DDE server, and the install record written at the end.
#include "app/SetupApp.h"
#include "config/ProductPresets.h"
#include "config/ProductSettings.h"
#include "engine/SystemRegistry.h"
#include "engine/journal/UndoLog.h"
#include "engine/profile/Destinations.h"
#include "engine/profile/ProfileFileWin32.h"
#include "engine/profile/ProfileLoaders.h"
#include "wizard/OpeningPages.h"
#include "product/Billboards.h"
#include "product/BackupPage.h"
#include "product/CopyPage.h"
#include "config/ConfiguringPage.h"
#include "wizard/Pages.h"
#include "resources/ids.h"
#include "tests/win32/engine/UndoState.h"
#include "tests/win32/support/WinTest.h"
#include "tools/mediatool/Layout.h"
#include "tools/mediatool/MediaBuilder.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <sstream>

namespace {

using wintest::ProgramsFolder;

struct StopPage : WizardPage {
    StopPage(int32_t id) : WizardPage(id, IDD_NOT_INSTALLED) {}
};

class CopyPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = temp_.Path();
        std::string src = root_ + "src\\";
        CreateDirectoryA(src.c_str(), nullptr);
        ASSERT_TRUE(wintest::WriteFileText(src + "korvi95.exe", wintest::Noise(300000)));
        ASSERT_TRUE(wintest::WriteFileText(src + "korcmd95.exe", std::string(5000, 'c')));
        for (const char* name : kDirectCopyFiles) ASSERT_TRUE(wintest::WriteFileText(src + name, name));
        std::ostringstream l;
        l << "[media]\nCapacity=200000\nMethod=lzh\nProfile=SETUP.INI\n";
        for (const char* name : kDirectCopyFiles) l << "Setup=src/" << name << "\n";
        l << "[destinations]\n0=|-1|\n[groups]\nMain=Main program|Manager|1|1|0\n"
          << "[targets]\nKORVI95.EXE=0|-1|0|Brantoke AntiVirus|||\nKORCMD95.EXE=0|-1|1|@Korvisan Agent|||\n"
          << "[diskettes]\n1=Disk one|\n";
        l << "[archive MAIN.MF1]\nGroup=Main\nMember=src/korvi95.exe|0|\nMember=src/korcmd95.exe|0|\n";
        ASSERT_TRUE(wintest::WriteFileText(root_ + "layout.txt", l.str()));
        std::ostringstream progress;
        media::BuildMedia(media::ReadLayout(root_ + "layout.txt"), root_ + "media", progress);

        home_ = root_ + "Korvisan";
        ASSERT_TRUE(app_.PrepareSetup("/D:" + root_ + "media\\DISK01", "C:\\"));
        app_.ProfilePath.Set(root_ + "media\\DISK01\\SETUP.INI");
        ReadInstallProfile(app_);
        CreateDirectoryA(home_.c_str(), nullptr);
        SetDestinationPath(app_.DestinationTable, 0, home_ + "\\");
        ResolveDestinations(app_.DestinationTable);
        std::snprintf(app_.Data->InstallPath, sizeof app_.Data->InstallPath, "%s", home_.c_str());
        app_.GroupTable.at("Main").Selected = 1;
        DeleteFileA(app_.RecordPath.Text().c_str());
        wintest::UseStandInPages({IDD_CONFIGURING}, [](int32_t id) -> WizardPage* { return new StopPage(id); });
    }
    void TearDown() override
    {
        EndWizard();
        if (app_.MainWindowHandle) DestroyWindow(app_.MainWindowHandle);
        wintest::UseStandardPages();
        BillboardClose();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }

    wintest::TempDir temp_;
    std::string root_, home_;
    SetupApp app_;
};

TEST_F(CopyPageTest, InstallsShowsBillboardsAndMakesTheItems)
{
    wintest::RecordingAnswerer answerer;
    ASSERT_TRUE(app_.StartWizard());
    GoToPage(IDD_COPY_PROGRESS);
    CopyPage* page = dynamic_cast<CopyPage*>(CurrentPage());
    ASSERT_NE(page, nullptr);
    ASSERT_NE(page->GaugeControl(), nullptr);
    EXPECT_EQ(GetDlgItem(page->Handle(), IDC_GAUGE), page->GaugeControl()->Handle());
    ASSERT_TRUE(wintest::PumpUntil([&] { return CurrentPage() && CurrentPage()->PageId == IDD_CONFIGURING; }, 60000));
    EXPECT_EQ(app_.SetupFailed, 0);
    EXPECT_TRUE(answerer.prompts.empty());
    EXPECT_EQ(ShownBillboard(), -1); // closed at the end
    // 305000 bytes at 4096 a step: all four billboards, each once.
    EXPECT_EQ(BillboardChanges(), 4);

    // The direct copies, with normal + archive attributes.
    for (const char* name : kDirectCopyFiles) {
        EXPECT_EQ(wintest::ReadFileText(home_ + "\\" + name), name);
        EXPECT_EQ(GetFileAttributesA((home_ + "\\" + name).c_str()) & FILE_ATTRIBUTE_ARCHIVE,
                  DWORD(FILE_ATTRIBUTE_ARCHIVE));
    }
    EXPECT_EQ(wintest::ReadFileText(home_ + "\\korvi95.exe"), wintest::Noise(300000));

    // The record: per-file lines and, at the end, the tables.
    std::string record = wintest::ReadFileText(app_.RecordPath.Text());
    EXPECT_NE(record.find("[Main]"), std::string::npos);
    EXPECT_NE(record.find("korvi95.exe=0|1|0"), std::string::npos);
    EXPECT_NE(record.find("[destinations]"), std::string::npos);
    EXPECT_NE(record.find("[targets]"), std::string::npos);

    // Program Manager made the product group with the items, and the "@"
    // target also went into StartUp.
    std::string group = ProgramsFolder() + "Brantoke AntiVirus for Windows 95\\";
    EXPECT_NE(GetFileAttributesA((group + "Brantoke AntiVirus.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((ProgramsFolder() + "StartUp\\Korvisan Agent.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CopyPageTest, CancelOnThePageAsksAtTheNextBlockAndEndsOn116)
{
    wintest::RecordingAnswerer answerer;
    answerer.messageAnswers = {IDYES};
    answerer.onDialog = [](fw::Dialog&) { return IDOK; };
    ASSERT_TRUE(app_.StartWizard());
    GoToPage(IDD_COPY_PROGRESS);
    // Queued behind the run-work message: it arrives while the copy pumps.
    PostMessageA(CurrentPage()->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(wintest::PumpUntil([&] { return CurrentPage() && CurrentPage()->PageId == IDD_NOT_INSTALLED; }, 60000));
    EXPECT_EQ(app_.Cancelled, 1);
    EXPECT_LT(BillboardChanges(), 4);
    ASSERT_FALSE(answerer.prompts.empty());
    EXPECT_EQ(answerer.prompts[0].kind, fw::PromptRecord::kMessageBox);
    EXPECT_EQ(ShownBillboard(), -1);
}

TEST_F(CopyPageTest, CancelWhileTheItemsAreMadeIsCarriedOutAfterwards)
{
    app_.GroupTable.at("Main").Selected = 0; // no copy step: the cancel arrives while the items are made
    wintest::RecordingAnswerer answerer;
    answerer.messageAnswers = {IDYES};
    ASSERT_TRUE(app_.StartWizard());
    GoToPage(IDD_COPY_PROGRESS);
    PostMessageA(CurrentPage()->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(wintest::PumpUntil([&] { return CurrentPage() && CurrentPage()->PageId != IDD_COPY_PROGRESS; }, 60000));
    EXPECT_EQ(CurrentPage()->PageId, IDD_NOT_INSTALLED);
    EXPECT_EQ(app_.Cancelled, 1);
    ASSERT_EQ(answerer.prompts.size(), 1u);
    EXPECT_EQ(answerer.prompts[0].kind, fw::PromptRecord::kMessageBox);
}

std::string ProgramDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

// What the installation may change: the home directory, the files it writes
// in the Windows directory, the start-up files and the keys the configuration
// writes.
std::string MachineState(const std::string& home)
{
    std::vector<std::string> lines;
    undotest::DumpFiles(home + "\\", "home\\", lines);
    for (const char* name : {"KORVISAN.INI", "WIN.INI", "SYSTEM.INI", "WININIT.INI", "myapp.log"}) {
        const std::string path = wintest::WindowsDirectory() + name;
        const bool there = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        lines.push_back(std::string(name) + (there ? ": " + wintest::ReadFileText(path) : " missing"));
    }
    lines.push_back(wintest::ReadFileText("C:\\AUTOEXEC.BAT"));
    const struct {
        HKEY root;
        const char* key;
    } keys[] = {{HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke"},
                {HKEY_LOCAL_MACHINE, kSharedDllsKey},
                {HKEY_LOCAL_MACHINE, kUninstallKey},
                {HKEY_LOCAL_MACHINE, kAppPathsKey},
                {HKEY_LOCAL_MACHINE, kRunKey},
                {HKEY_LOCAL_MACHINE, kRunOnceKey},
                {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\VxD"},
                {HKEY_CLASSES_ROOT, ".zip"},
                {HKEY_CLASSES_ROOT, "zipfile"}};
    for (const auto& k : keys) undotest::DumpKey(k.root, k.key, k.key, lines);
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The real page, with a Cancel pressed as soon as its work begins.
template <class Page> struct CancelledInItsWork : Page {
    using Page::Page;
    WizardPage::Work RunWork() override
    {
        PostMessageA(this->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return Page::RunWork();
    }
};

template <class Page> WizardPage* MakeCancelled(int32_t id) { return new CancelledInItsWork<Page>(id); }

// A Cancel confirmed on the copy, the configuration or the backup page ends
// on page 116, which takes the run back: the machine is as it was.
TEST_F(CopyPageTest, CancelOnALatePageTakesTheRunBack)
{
    ApplyProductDefaults(*app_.Data);
    app_.Data->ComponentMask = kComponentManager | kComponentRealtime;
    std::snprintf(app_.Data->InstallPath, sizeof app_.Data->InstallPath, "%s", home_.c_str());
    // The backup page loads the rescue library from the home directory.
    ASSERT_TRUE(CopyFileA((ProgramDirectory() + "rescue.dll").c_str(), (home_ + "\\rescue.dll").c_str(), FALSE));
    const struct {
        int32_t page;
        WizardPage* (*make)(int32_t);
    } cases[] = {{IDD_COPY_PROGRESS, &MakeCancelled<CopyPage>},
                 {IDD_CONFIGURING, &MakeCancelled<ConfiguringPage>},
                 {IDD_BACKUP, &MakeCancelled<BackupPage>}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        std::vector<PageRow> rows = StandardPageTable();
        for (PageRow& row : rows) {
            if (row.id == c.page) row.make = c.make;
            if (row.id == IDD_COMPLETE) row.make = [](int32_t id) -> WizardPage* { return new StopPage(id); };
        }
        SetPageTable(rows);
        const std::string before = MachineState(home_);
        wintest::RecordingAnswerer answerer;
        answerer.messageAnswers = {IDYES};
        answerer.onDialog = [](fw::Dialog&) { return IDOK; };
        app_.Cancelled = 0;
        ASSERT_TRUE(app_.StartWizard());
        GoToPage(IDD_COPY_PROGRESS);
        // Page 116 has taken the run back once the journal is gone.
        ASSERT_TRUE(wintest::PumpUntil(
            [&] { return CurrentPage() && CurrentPage()->PageId == IDD_NOT_INSTALLED && !undojournal::Active(); },
            60000));
        EXPECT_EQ(app_.Cancelled, 1);
        EXPECT_EQ(MachineState(home_), before);
        EndWizard();
        if (app_.MainWindowHandle) DestroyWindow(app_.MainWindowHandle);
        wintest::PumpPending();
    }
}

// Repaints are rationed, but the end of the run is never left unpainted.
TEST_F(CopyPageTest, ProgressPaintsTheGaugeEndAtOnce)
{
    struct IdlePage : CopyPage {
        IdlePage() : CopyPage(IDD_COPY_PROGRESS) {}
        Work RunWork() override { return Work::Stay; }
    };
    ASSERT_TRUE(app_.StartWizard());
    IdlePage* page = new IdlePage; // deletes itself with its window
    page->CreateModeless(app_.MainWindowHandle);
    page->SetGaugeRange(1, 1000);
    BillboardStart(1000);
    for (int64_t pos = 1; pos < 1000; ++pos)
        page->ShowProgress(pos, "C:\\Korvisan\\korvi95.exe (" + std::to_string(pos / 10) + "%)",
                           static_cast<uint64_t>(pos));
    page->ShowProgress(1000, "C:\\Korvisan\\korvi95.exe (100%)", 1000);
    EXPECT_EQ(page->GaugeControl()->Pos, 1000);
    EXPECT_EQ(wintest::WindowText(GetDlgItem(page->Handle(), IDC_DEST_FILE)), "C:\\Korvisan\\korvi95.exe (100%)");
    EXPECT_EQ(ShownBillboard(), 3);
    page->Destroy();
}

} // namespace
