// The media search with its sibling-directory switch and the diskette
// prompt from the real template; the gauge painted for real.
#include "engine/Gauge.h"
#include "engine/Media.h"
#include "app/SetupApp.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

namespace {

class MediaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app_.PrepareSetup("", "C:\\"));
        root_ = temp_.Path();
        CreateDirectoryA((root_ + "SETUP").c_str(), nullptr);
        CreateDirectoryA((root_ + "SETUP\\DISK01").c_str(), nullptr);
        CreateDirectoryA((root_ + "SETUP\\DISK03").c_str(), nullptr);
        ASSERT_TRUE(wintest::WriteFileText(root_ + "SETUP\\DISK01\\one.z", "1"));
        ASSERT_TRUE(wintest::WriteFileText(root_ + "SETUP\\DISK03\\three.z", "3"));
        app_.SourcePath.Set(root_ + "SETUP\\DISK01\\");
    }
    SetupApp app_;
    wintest::TempDir temp_;
    std::string root_;
};

TEST_F(MediaTest, FileInPlaceNeedsNoPrompt)
{
    wintest::RecordingAnswerer answerer;
    EXPECT_TRUE(EnsureMediaFile("one.z", 1));
    EXPECT_TRUE(answerer.prompts.empty());
}

TEST_F(MediaTest, SiblingDirectoryIsFoundAndKept)
{
    wintest::RecordingAnswerer answerer;
    EXPECT_TRUE(EnsureMediaFile("three.z", 3));
    EXPECT_TRUE(answerer.prompts.empty());
    EXPECT_EQ(app_.SourcePath.Text(), root_ + "SETUP\\DISK03\\");
    // Later files are looked for in DISK03 first.
    ASSERT_TRUE(wintest::WriteFileText(root_ + "SETUP\\DISK03\\later.z", "x"));
    EXPECT_TRUE(EnsureMediaFile("later.z", 3));
    EXPECT_EQ(app_.SourcePath.Text(), root_ + "SETUP\\DISK03\\");
}

TEST_F(MediaTest, PromptOkOnlyClosesWhenTheFileIsThere)
{
    wintest::RecordingAnswerer answerer;
    app_.DisketteTable.resize(5);
    std::string text;
    bool stayedOpen = false;
    answerer.onDialog = [&](fw::Dialog& d) {
        text = d.ItemText(IDC_DISKETTE_TEXT);
        SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        stayedOpen = !d.Ended() && IsWindow(d.Handle());
        // The diskette arrives; OK now closes.
        wintest::WriteFileText(root_ + "SETUP\\DISK01\\four.z", "4");
        SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return IDCANCEL; // not used: the dialog ended by itself
    };
    EXPECT_TRUE(EnsureMediaFile("four.z", 4));
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(answerer.prompts.size(), 1u);
    EXPECT_EQ(answerer.prompts[0].dialogId, IDD_DISKETTE_PROMPT);
    EXPECT_EQ(text, "Please insert diskette 4 in drive " + app_.SourcePath.Drive() + ":");
}

TEST_F(MediaTest, PromptByLabelAndCancel)
{
    wintest::RecordingAnswerer answerer;
    app_.DisketteTable.resize(3);
    app_.DisketteTable[2].Label = "Engine Disk";
    std::string text;
    answerer.onDialog = [&](fw::Dialog& d) {
        text = d.ItemText(IDC_DISKETTE_TEXT);
        SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return IDOK;
    };
    EXPECT_FALSE(EnsureMediaFile("two.z", 2));
    EXPECT_EQ(text, "Please insert the diskette labelled 'Engine Disk' in drive " + app_.SourcePath.Drive() + ":");
}

TEST_F(MediaTest, DirectoryEndingInLettersPromptsAtOnce)
{
    wintest::RecordingAnswerer answerer;
    CreateDirectoryA((root_ + "SETUP\\DISKAB").c_str(), nullptr);
    app_.SourcePath.Set(root_ + "SETUP\\DISKAB\\");
    answerer.onDialog = [](fw::Dialog&) { return IDCANCEL; };
    EXPECT_FALSE(EnsureMediaFile("three.z", 3));
    EXPECT_EQ(answerer.prompts.size(), 1u);
    EXPECT_EQ(app_.SourcePath.Text(), root_ + "SETUP\\DISKAB\\");
}

TEST_F(MediaTest, UnattendedNeverPrompts)
{
    wintest::RecordingAnswerer answerer;
    app_.UnattendedMode = 1;
    EXPECT_FALSE(EnsureMediaFile("missing.z", 2));
    EXPECT_TRUE(answerer.prompts.empty());
}

// Files setup reads from its media besides the archives: beside the program
// first, then the media directory in use, then its siblings; never a prompt,
// and the media directory stays.
TEST_F(MediaTest, MediaFilesAreFoundWhereverTheyLie)
{
    app_.DisketteTable.resize(4); // diskettes 1 to 3
    app_.SourcePath.Set(root_ + "SETUP\\DISK03\\");
    const std::string program = wintest::ModuleDirectory();
    ASSERT_TRUE(wintest::WriteFileText(program + "beside.wav", "p"));
    ASSERT_TRUE(wintest::WriteFileText(root_ + "SETUP\\DISK03\\beside.wav", "3"));
    const struct {
        const char* name;
        std::string found;
    } rows[] = {{"beside.wav", program + "beside.wav"},
                {"three.z", root_ + "SETUP\\DISK03\\three.z"},
                {"one.z", root_ + "SETUP\\DISK01\\one.z"},
                {"nowhere.wav", ""}};
    wintest::RecordingAnswerer answerer;
    for (const auto& r : rows) EXPECT_EQ(FindMediaFile(r.name), r.found) << r.name;
    EXPECT_TRUE(answerer.prompts.empty());
    EXPECT_EQ(app_.SourcePath.Text(), root_ + "SETUP\\DISK03\\");
    DeleteFileA((program + "beside.wav").c_str());
}

COLORREF PixelAt(HWND w, int x, int y)
{
    HDC dc = GetDC(w);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
}

class GaugeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent_ =
            CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
        placeholder_ = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 10, 20, 300, 24, parent_,
                                     reinterpret_cast<HMENU>(IDC_GAUGE), nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }
    HWND parent_;
    HWND placeholder_;
};

TEST_F(GaugeTest, TakesThePlaceholdersPlaceAndPaintsTheSplit)
{
    Gauge gauge(0, 99, 0);
    ASSERT_TRUE(gauge.Create(WS_CHILD | WS_VISIBLE, parent_, IDC_GAUGE));
    EXPECT_FALSE(IsWindow(placeholder_));
    EXPECT_EQ(GetDlgItem(parent_, IDC_GAUGE), gauge.Handle());
    EXPECT_EQ(wintest::WindowText(gauge.Handle()), "Gauge");
    RECT r;
    GetWindowRect(gauge.Handle(), &r);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 300);

    COLORREF bar = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF back = GetSysColor(COLOR_WINDOW);
    gauge.Min = 0;
    gauge.Max = 200;
    gauge.SetPos(0, true);
    EXPECT_EQ(gauge.Percent(), 0);
    EXPECT_EQ(PixelAt(gauge.Handle(), 2, 2), back);
    gauge.SetPos(100, true);
    EXPECT_EQ(gauge.Percent(), 50);
    EXPECT_EQ(PixelAt(gauge.Handle(), 2, 2), bar);
    EXPECT_EQ(PixelAt(gauge.Handle(), 149, 2), bar);
    EXPECT_EQ(PixelAt(gauge.Handle(), 150, 2), back);
    EXPECT_EQ(PixelAt(gauge.Handle(), 297, 2), back);
    gauge.SetPos(5000, true);
    EXPECT_EQ(gauge.Pos, 200);
    EXPECT_EQ(PixelAt(gauge.Handle(), 297, 2), bar);
    gauge.SetPos(-7, true);
    EXPECT_EQ(gauge.Pos, 0);
}

TEST_F(GaugeTest, EqualBoundsStayBlankAndDeferredRedrawWaits)
{
    Gauge gauge(5, 5, 5);
    ASSERT_TRUE(gauge.Create(WS_CHILD | WS_VISIBLE, parent_, IDC_GAUGE));
    UpdateWindow(gauge.Handle());
    COLORREF blank = PixelAt(gauge.Handle(), 150, 12);
    gauge.SetPos(5, true);
    EXPECT_EQ(PixelAt(gauge.Handle(), 150, 12), blank);

    gauge.Min = 0;
    gauge.Max = 100;
    gauge.SetPos(0, true);
    COLORREF back = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(PixelAt(gauge.Handle(), 2, 2), back);
    gauge.SetPos(100, false); // only invalidated
    EXPECT_EQ(PixelAt(gauge.Handle(), 2, 2), back);
    UpdateWindow(gauge.Handle());
    EXPECT_EQ(PixelAt(gauge.Handle(), 2, 2), GetSysColor(COLOR_HIGHLIGHT));
}

} // namespace
