#include "config/log/StatusMif.h"
#include "tests/win32/support/WinTest.h"
#include "tests/support/BlankSetupData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Line 45 carries the time of writing; the golden file has 03/09/98 14:05:07.
std::string WithGoldenTime(std::string text, const SYSTEMTIME& t)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d %02d:%02d:%02d", t.wMonth, t.wDay, t.wYear % 100, t.wHour,
                  t.wMinute, t.wSecond);
    std::size_t at = text.find(stamp);
    if (at != std::string::npos) text.replace(at, std::strlen(stamp), "03/09/98 14:05:07");
    return text;
}

std::string WrittenWithGoldenTime(SetupData& d, int failed, const char* description)
{
    // Retried when the second turns over while writing.
    for (int attempt = 0; attempt < 3; ++attempt) {
        SYSTEMTIME before, after;
        GetLocalTime(&before);
        WriteStatusMif(d, failed, description);
        GetLocalTime(&after);
        if (before.wSecond == after.wSecond && before.wMinute == after.wMinute)
            return WithGoldenTime(wintest::ReadFileText(d.StatusFile), before);
    }
    return {};
}

} // namespace

TEST(StatusMif, DefaultPathInWindowsDirectory)
{
    auto d = BlankSetupData();
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string expected = std::string(windows) + "\\KORVISAN.MIF";
    DeleteFileA(expected.c_str());
    WriteStatusMif(*d, 0, "");
    EXPECT_STREQ(d->StatusFile, expected.c_str());
    EXPECT_NE(GetFileAttributesA(expected.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(StatusMif, BytesOfSuccessAndErrorFiles)
{
    auto d = BlankSetupData();
    std::string path = wintest::ScratchDirectory() + "status.mif";
    std::strcpy(d->StatusFile, path.c_str());
    // A longer earlier file is replaced, not overwritten in part.
    ASSERT_TRUE(wintest::WriteFileText(path, std::string(10000, '#')));
    EXPECT_EQ(WrittenWithGoldenTime(*d, 0, ""),
              wintest::ReadFileText(wintest::HostPath(GOLDEN_DIR "/status-success.mif")));
    EXPECT_EQ(WrittenWithGoldenTime(*d, 1024, "Error During Install"),
              wintest::ReadFileText(wintest::HostPath(GOLDEN_DIR "/status-error-1024.mif")));
    EXPECT_FALSE(wintest::ReadFileText(wintest::HostPath(GOLDEN_DIR "/status-success.mif")).empty());
}

TEST(StatusMif, UnwritablePathIsSkipped)
{
    auto d = BlankSetupData();
    std::strcpy(d->StatusFile, "C:\\no-such-directory\\status.mif");
    WriteStatusMif(*d, 1, "x");
    EXPECT_EQ(GetFileAttributesA(d->StatusFile), INVALID_FILE_ATTRIBUTES);
}
