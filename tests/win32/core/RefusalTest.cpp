// Run in a prefix whose Windows version is not Windows 95: the program shows
// string 26 and creates no window.
#include "engine/SetupApp.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

namespace {

TEST(Refusal, OtherPlatformsAreRefusedBeforeAnyWindow)
{
    wintest::RecordingAnswerer answerer;
    SetupApp app;
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(answerer.prompts.size(), 1u);
    EXPECT_EQ(answerer.prompts[0].text, "This program requires Microsoft Windows95");
    EXPECT_EQ(app.MainWindowHandle, nullptr);
    EXPECT_EQ(app.Data, nullptr);
}

} // namespace
