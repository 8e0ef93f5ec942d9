// Run in a prefix whose Windows version is not Windows 95: the program
// creates no window and ends failed. Interactive, it shows string 26;
// unattended, nobody would answer the box: the refusal goes to the install
// log instead. With /M or /I the status file says the same.
#include "config/log/InstallLog.h"
#include "app/SetupApp.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

namespace {

TEST(Refusal, OtherPlatformsAreRefusedBeforeAnyWindow)
{
    const std::string mif = wintest::ScratchDirectory() + "refused.mif";
    const std::string refusal = "This program requires Microsoft Windows95";
    const struct {
        bool unattended;
        bool statusFile; // /M
    } rows[] = {{false, false}, {false, true}, {true, true}};
    for (const auto& r : rows) {
        const std::string arguments =
            std::string(r.unattended ? "/I:C:\\KORVISAN.ICF " : "") + (r.statusFile ? "/M:" + mif : "");
        SCOPED_TRACE(arguments);
        const bool box = !r.unattended;
        DeleteFileA(kInstallLogPath);
        wintest::WriteFileText(mif, "stale");
        wintest::RecordingAnswerer answerer;
        SetupApp app;
        EXPECT_FALSE(app.PrepareSetup(arguments, "C:\\"));
        EXPECT_EQ(app.ExitInstance(), 1603);
        EXPECT_EQ(answerer.prompts.size(), box ? 1u : 0u);
        if (box && !answerer.prompts.empty()) {
            EXPECT_EQ(answerer.prompts[0].text, refusal);
        }
        const auto log = wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath));
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), "Setup ended: Failed (" + refusal + "), exit code 1603");
        // Unattended, the refusal itself is logged first.
        EXPECT_EQ(log.front(), box ? log.back() : refusal);
        EXPECT_EQ(log.size(), box ? 1u : 2u);
        const auto status = wintest::SplitCrLf(wintest::ReadFileText(mif));
        if (!r.statusFile) {
            EXPECT_EQ(status, std::vector<std::string>{"stale"});
            continue;
        }
        ASSERT_EQ(status.size(), 69u);
        EXPECT_EQ(status[57], "      VALUE = \"Failed\"                    ");
        EXPECT_EQ(status[65].rfind("      VALUE = \"" + refusal + "\"", 0), 0u) << status[65];
    }
}

} // namespace
