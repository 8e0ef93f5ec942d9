#include "config/log/InstallLog.h"
#include "config/ProductPresets.h"
#include "tests/win32/support/WinTest.h"
#include "tests/support/BlankSetupData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

namespace {

std::string Log() { return wintest::ReadFileText(kInstallLogPath); }

std::string ExpectedLine(const std::string& tag, int i)
{
    return tag + " " + std::to_string(i) + " " + std::string(static_cast<std::size_t>((i * 7) % 90), 'a' + i % 26) +
        ".";
}

} // namespace

TEST(InstallLog, LinesAppendedAfterEarlierContent)
{
    DeleteFileA(kInstallLogPath);
    ASSERT_TRUE(wintest::WriteFileText(kInstallLogPath, "earlier\r\n"));
    LogMessage("first %d", 1);
    LogMessage("%s", "second");
    EXPECT_EQ(Log(), "earlier\r\nfirst 1\r\nsecond\r\n");
}

TEST(InstallLog, LongMessageCutTo253)
{
    DeleteFileA(kInstallLogPath);
    std::string text(400, 'x');
    LogMessage("%s", text.c_str());
    EXPECT_EQ(Log(), std::string(253, 'x') + "\r\n");
}

TEST(InstallLog, UnwritableLogIsSkippedSilently)
{
    EXPECT_FALSE(AppendLogLine("C:\\no-such-directory\\x.log", "line"));
}

TEST(InstallLog, ConcurrentWritersNeverLoseOrSplitALine)
{
    DeleteFileA(kInstallLogPath);
    const int kWriters = 4;
    const int kLines = 150;
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, "BrantokeLogTestStart");
    ASSERT_NE(start, nullptr);
    std::vector<HANDLE> processes;
    for (int w = 0; w < kWriters; ++w) {
        std::string cmd = "\"" + wintest::ModuleDirectory() + "logwriter.exe\" " + std::to_string(kLines) + " w" +
            std::to_string(w) + " BrantokeLogTestStart";
        HANDLE p = wintest::StartProgram(cmd);
        ASSERT_NE(p, nullptr) << cmd;
        processes.push_back(p);
    }
    SetEvent(start); // all writers start appending at once
    for (HANDLE p : processes) {
        ASSERT_EQ(WaitForSingleObject(p, 120000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(p, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(p);
    }
    CloseHandle(start);

    std::string log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    std::map<std::string, int> seen;
    for (const std::string& line : wintest::SplitCrLf(log)) ++seen[line];
    std::size_t expectedCount = 0;
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kLines; ++i) {
            std::string line = ExpectedLine("w" + std::to_string(w), i);
            EXPECT_EQ(seen[line], 1) << line;
            ++expectedCount;
        }
    EXPECT_EQ(wintest::SplitCrLf(log).size(), expectedCount);
}

TEST(InstallLog, ReportSetupErrorLogsAndWritesFailedStatus)
{
    DeleteFileA(kInstallLogPath);
    auto data = BlankSetupData();
    ApplyProductDefaults(*data);
    std::string mif = wintest::ScratchDirectory() + "report.mif";
    std::strcpy(data->StatusFile, mif.c_str());
    DeleteFileA(mif.c_str());
    ReportSetupError(*data, 1024);
    EXPECT_EQ(Log(), "Setup Error:1024\r\n");
    std::vector<std::string> lines = wintest::SplitCrLf(wintest::ReadFileText(mif));
    ASSERT_EQ(lines.size(), 69u);
    EXPECT_EQ(lines[57], "      VALUE = \"Failed\"                    ");
    EXPECT_EQ(lines[65], "      VALUE = \"Error During Install\"" + std::string(24, ' '));

    // Status reporting off: nothing at all.
    DeleteFileA(kInstallLogPath);
    DeleteFileA(mif.c_str());
    data->StatusReporting = 0;
    ReportSetupError(*data, 7);
    EXPECT_EQ(GetFileAttributesA(kInstallLogPath), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(mif.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(InstallLog, AStuckLockCostsARunTenSecondsAtMost)
{
    DeleteFileA(kInstallLogPath);
    ASSERT_TRUE(wintest::WriteFileText(kInstallLogPath, "earlier\r\n"));
    // A reader that locks the whole log and never lets go.
    HANDLE reader = CreateFileA(kInstallLogPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(LockFile(reader, 0, 0, 0x40000000, 0));
    HANDLE start = CreateEventA(nullptr, TRUE, TRUE, "BrantokeLogTestStuck");
    const DWORD begun = GetTickCount();
    HANDLE p = wintest::StartProgram("\"" + wintest::ModuleDirectory() + "logwriter.exe\" 3 s BrantokeLogTestStuck");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(WaitForSingleObject(p, 60000), WAIT_OBJECT_0);
    // Three lines at ten seconds each took half a minute.
    EXPECT_LT(GetTickCount() - begun, 20000u);
    UnlockFile(reader, 0, 0, 0x40000000, 0);
    CloseHandle(reader);
    CloseHandle(p);
    CloseHandle(start);
    std::vector<std::string> lines = wintest::SplitCrLf(Log());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "Install log locked too long: lines appended without the lock");
    EXPECT_EQ(lines[4], ExpectedLine("s", 2));
}
