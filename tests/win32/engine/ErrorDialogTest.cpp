// Dialog 1544 from the real template: texts, the error-information line, the
// Continue/Cancel choice and the More>> toggle.
#include "engine/ErrorReport.h"
#include "app/SetupApp.h"
#include "framework/Exceptions.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

namespace {

struct ToggleView {
    bool explanationEnabled;
    bool infoEnabled;
    std::string moreText;
    int height;
};

ToggleView Look(fw::Dialog& d)
{
    RECT r;
    GetWindowRect(d.Handle(), &r);
    return {IsWindowEnabled(d.Item(IDC_ERR_EXPLANATION)) != FALSE, IsWindowEnabled(d.Item(IDC_ERR_INFO)) != FALSE,
            d.ItemText(IDC_ERR_MORE), r.bottom - r.top};
}

class ErrorDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app_.PrepareSetup("", "C:\\")); }
    SetupApp app_;
};

TEST_F(ErrorDialogTest, ShowsTitlesFromTheTableAndOffersTheChoice)
{
    wintest::RecordingAnswerer answerer;
    std::string message, title, explanation, info, ok, cancel;
    bool cancelVisible = false;
    answerer.onDialog = [&](fw::Dialog& d) {
        message = d.ItemText(IDC_ERR_MESSAGE);
        title = d.ItemText(IDC_ERR_TITLE);
        explanation = d.ItemText(IDC_ERR_EXPLANATION);
        info = d.ItemText(IDC_ERR_INFO);
        ok = d.ItemText(IDOK);
        cancel = d.ItemText(IDCANCEL);
        cancelVisible = IsWindowVisible(d.Item(IDCANCEL)) != FALSE;
        SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return IDOK; // ignored: the dialog has already ended
    };
    fw::FileException e(fw::kFileNotFound, "A:\\KORVI.Z01");
    EXPECT_FALSE(ReportError(IDS_CANNOT_INSTALL_FILES, &e, "KORVI.Z01"));
    EXPECT_EQ(message, "Cannot install files from 'KORVI.Z01':");
    EXPECT_EQ(title, "File not found.");
    EXPECT_EQ(explanation.substr(0, 40), "A file required for this operation was n");
    EXPECT_EQ(info, "17.2 (CXFileException)");
    EXPECT_EQ(ok, "Continue Operation");
    EXPECT_EQ(cancel, "Cancel Operation");
    EXPECT_TRUE(cancelVisible);

    answerer.onDialog = [](fw::Dialog& d) {
        SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return IDCANCEL;
    };
    EXPECT_TRUE(ReportError(IDS_CANNOT_INSTALL_FILES, &e, "x"));
    // Closing the dialog is not continuing.
    answerer.onDialog = [](fw::Dialog& d) {
        SendMessageA(d.Handle(), WM_CLOSE, 0, 0);
        return IDCANCEL;
    };
    EXPECT_FALSE(ReportError(IDS_CANNOT_INSTALL_FILES, &e, "x"));
}

TEST_F(ErrorDialogTest, FatalReportHasOnlyOk)
{
    wintest::RecordingAnswerer answerer;
    bool cancelVisible = true;
    std::string ok, info, title;
    answerer.onDialog = [&](fw::Dialog& d) {
        cancelVisible = IsWindowVisible(d.Item(IDCANCEL)) != FALSE;
        ok = d.ItemText(IDOK);
        info = d.ItemText(IDC_ERR_INFO);
        title = d.ItemText(IDC_ERR_TITLE);
        return IDOK;
    };
    CMultiFileException e(9);
    ReportFatal(IDS_SETUP_CANNOT_CONTINUE, &e);
    EXPECT_FALSE(cancelVisible);
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(info, "9.9 (CMultiFileException)");
    EXPECT_EQ(title, "An unkown error occured."); // cause outside 1..5: the base texts
}

TEST_F(ErrorDialogTest, MoreTogglesTheLowerPart)
{
    wintest::RecordingAnswerer answerer;
    ToggleView start{}, expanded{}, collapsed{};
    answerer.onDialog = [&](fw::Dialog& d) {
        start = Look(d);
        SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(IDC_ERR_MORE, BN_CLICKED), 0);
        expanded = Look(d);
        SendMessageA(d.Handle(), WM_COMMAND, MAKEWPARAM(IDC_ERR_MORE, BN_CLICKED), 0);
        collapsed = Look(d);
        return IDOK;
    };
    fw::MemoryException e;
    ReportFatal(IDS_SETUP_CANNOT_CONTINUE, &e);
    // It starts collapsed: the lower controls are disabled and cut off.
    EXPECT_FALSE(start.explanationEnabled);
    EXPECT_FALSE(start.infoEnabled);
    EXPECT_EQ(start.moreText, "&More>>");
    EXPECT_TRUE(expanded.explanationEnabled);
    EXPECT_TRUE(expanded.infoEnabled);
    EXPECT_EQ(expanded.moreText, "&More<<");
    EXPECT_GT(expanded.height, start.height);
    EXPECT_FALSE(collapsed.explanationEnabled);
    EXPECT_EQ(collapsed.moreText, "&More>>");
    EXPECT_EQ(collapsed.height, start.height);
}

TEST_F(ErrorDialogTest, UnknownExceptionIsShownAsCXException)
{
    struct Odd : fw::Exception {
        const char* ClassName() const override { return "Odd"; }
    } odd;
    ErrorReport r = MakeErrorReport(9, "Setup cannot continue", &odd, false);
    EXPECT_EQ(r.Information, "9.1 (CXException)");
    EXPECT_EQ(r.Title, "An unkown error occured.");
    fw::FileException invalid(fw::kFileInvalid);
    ErrorReport f = MakeErrorReport(17, "m", &invalid, true);
    EXPECT_EQ(f.Title, "Invalid file.");
    EXPECT_EQ(f.Explanation, "An error occurred with one of the files used in this operation.");
}

TEST_F(ErrorDialogTest, UnattendedReportsWaitForNobody)
{
    wintest::RecordingAnswerer answerer;
    app_.UnattendedMode = 1;
    fw::FileException e(fw::kFileDiskFull);
    EXPECT_FALSE(ReportError(IDS_CANNOT_INSTALL_FILES, &e, "x"));
    EXPECT_TRUE(answerer.prompts.empty());
}

} // namespace
