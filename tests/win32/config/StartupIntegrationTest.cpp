// The start-up writers on the prefix's real files and registry: what an
// install leaves, that a second one changes nothing, that a file held by
// another process, a read-only file or a full disk keeps its old text, and
// the auto-download schedule with its one start of vgdist.exe.
#include "config/AutoDownload.h"
#include "config/log/InstallLog.h"
#include "config/StartupIntegration.h"
#include "engine/base/FixedText.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

using wintest::ReadFileText;
using wintest::RegistryValue;
using wintest::WriteFileText;

const char kAutoexec[] = "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\DOS\r\nset korvisan=c:\\old\r\nC:\\OLD\\EXAMINE.EXE /A\r\n"
                         "REM end";
const char kWinIni[] = "[windows]\r\nload=a.exe   vgload.exe b.exe\r\nrun=C:\\OLD\\VIGILOR.EXE\r\n"
                       "NullPort=None\r\n  device = x  \r\n\r\n[Desktop]\r\nWallpaper=(None)\r\n";
const char kSystemIni[] = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\ndevice=C:\\OLD\\VIGILOR.386\r\n"
                          "device=*vmm   ;  kept\r\n";

std::string WindowsFile(const char* name)
{
    char buf[MAX_PATH + 1] = {};
    GetWindowsDirectoryA(buf, MAX_PATH);
    return std::string(buf) + "\\" + name;
}

std::string ShortForm(const std::string& path)
{
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetShortPathNameA(path.c_str(), buf, MAX_PATH);
    return n && n <= MAX_PATH ? std::string(buf, n) : std::string();
}

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); }
std::string Sz(const std::string& text) { return text + '\0'; }

// The file's identity: a rewrite through a work file gives a new one.
uint64_t FileId(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    return (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
}

std::string Log() { return ReadFileText(kInstallLogPath); }

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(kInstallLogPath);
        CopyText(data_.InstallPath, "C:\\KORAV");
        CopyText(data_.ExamineOptions, "/ALL /NOMEM");
        CreateDirectoryA("C:\\KORAV", nullptr);
    }
    SetupData data_{};
};

TEST_F(Startup, InstallEditsTheSystemFilesOnceAndRegistersTheDriver)
{
    const std::string autoexec = kAutoexecPath, win = WindowsFile("WIN.INI"), sys = WindowsFile("SYSTEM.INI");
    ASSERT_TRUE(WriteFileText(autoexec, kAutoexec));
    ASSERT_TRUE(WriteFileText(win, kWinIni));
    ASSERT_TRUE(WriteFileText(sys, kSystemIni));
    const DWORD before = static_cast<DWORD>(std::time(nullptr));

    CleanIniLoaders();
    EditAutoexec(data_);
    RegisterRealtime(data_);

    const std::string edited = "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\DOS\r\nREM end\r\nSET KORVISAN=C:\\KORAV\r\n"
                               "C:\\KORAV\\EXAMINE.EXE /ALL /NOMEM\r\n";
    EXPECT_EQ(ReadFileText(autoexec), edited);
    EXPECT_EQ(ReadFileText("C:\\KORAV\\AUTOEXEC.KOR"), kAutoexec);
    EXPECT_EQ(ReadFileText(win),
              "[windows]\r\nload=a.exe b.exe\r\nNullPort=None\r\n  device = x  \r\n\r\n"
              "[Desktop]\r\nWallpaper=(None)\r\n");
    EXPECT_EQ(ReadFileText(sys), "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\ndevice=*vmm   ;  kept\r\n");

    const char vxd[] = "System\\CurrentControlSet\\Services\\VxD\\Vigilo32";
    const char product[] = "SOFTWARE\\Brantoke\\Korvisan\\CurrentVersion";
    DWORD type = 0;
    EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, vxd, "Start", &type), std::string(1, '\0'));
    EXPECT_EQ(type, DWORD{REG_BINARY});
    EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, vxd, "StaticVxD"), Sz(ShortForm("C:\\KORAV") + "\\vigilo32.vxd"));
    EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                            "Brantoke Realtime Monitor"),
              Sz("C:\\KORAV\\rtwatch.exe"));
    EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, product, "CurrentBuildNumber"), Sz("464"));
    EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, std::string(product) + "\\Path", "HOME"), Sz("C:\\KORAV"));
    std::string date = RegistryValue(HKEY_LOCAL_MACHINE, product, "InstallDate", &type);
    ASSERT_EQ(date.size(), 4u);
    EXPECT_GE(*reinterpret_cast<const DWORD*>(date.data()), before);
    EXPECT_LE(*reinterpret_cast<const DWORD*>(date.data()), static_cast<DWORD>(std::time(nullptr)));

    // A second identical install rewrites none of them.
    const std::vector<std::string> files = {autoexec, win, sys, "C:\\KORAV\\AUTOEXEC.KOR"};
    std::vector<uint64_t> ids;
    std::vector<std::string> texts;
    for (const std::string& f : files) {
        ids.push_back(FileId(f));
        texts.push_back(ReadFileText(f));
    }
    CleanIniLoaders();
    EditAutoexec(data_);
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(FileId(files[i]), ids[i]) << files[i];
        EXPECT_EQ(ReadFileText(files[i]), texts[i]) << files[i];
    }
    EXPECT_EQ(Log(), "");
}

// A file held open by another process, or made read-only, keeps its text;
// no work file is left and the log says why. A missing SYSTEM.INI stays
// missing.
TEST_F(Startup, HeldOrReadOnlyFilesKeepTheirText)
{
    for (const char* how : {"held", "read-only"}) {
        wintest::TempDir dir;
        CreateDirectoryA((dir.Path() + "home").c_str(), nullptr);
        CopyText(data_.InstallPath, dir.Path() + "home");
        const std::string win = dir.Path() + "WIN.INI", autoexec = dir.Path() + "AUTOEXEC.BAT";
        ASSERT_TRUE(WriteFileText(win, kWinIni));
        ASSERT_TRUE(WriteFileText(autoexec, kAutoexec));
        DeleteFileA(kInstallLogPath);
        const bool held = how[0] == 'h';
        std::unique_ptr<wintest::FileHolder> holdWin, holdAutoexec;
        if (held) {
            holdWin = std::make_unique<wintest::FileHolder>("open", win);
            holdAutoexec = std::make_unique<wintest::FileHolder>("open", autoexec);
            ASSERT_TRUE(holdWin->Holding() && holdAutoexec->Holding());
        } else {
            SetFileAttributesA(win.c_str(), FILE_ATTRIBUTE_READONLY);
            SetFileAttributesA(autoexec.c_str(), FILE_ATTRIBUTE_READONLY);
        }
        CleanIniLoaders(dir.Path());
        EditAutoexec(data_, autoexec);
        holdWin.reset();
        holdAutoexec.reset();
        EXPECT_EQ(ReadFileText(win), kWinIni) << how;
        EXPECT_EQ(ReadFileText(autoexec), kAutoexec) << how;
        std::vector<std::string> names = wintest::FileNames(dir.Path());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"AUTOEXEC.BAT", "WIN.INI"})) << how;
        const std::string log = Log();
        const char* reason = held ? "Cannot read " : "read-only";
        EXPECT_NE(log.find(reason), std::string::npos) << log;
        EXPECT_NE(log.find(win), std::string::npos) << log;
        EXPECT_NE(log.find(autoexec), std::string::npos) << log;
        SetFileAttributesA(win.c_str(), FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesA(autoexec.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(Startup, NoShortFormOfTheHomeLeavesAutoexecAndTheDriverKeyAlone)
{
    wintest::TempDir dir;
    const std::string autoexec = dir.Path() + "AUTOEXEC.BAT";
    ASSERT_TRUE(WriteFileText(autoexec, kAutoexec));
    CopyText(data_.InstallPath, "C:\\NO SUCH DIRECTORY\\KORAV");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\VxD\\Vigilo32");
    EditAutoexec(data_, autoexec);
    RegisterRealtime(data_);
    EXPECT_EQ(ReadFileText(autoexec), kAutoexec);
    EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\VxD\\Vigilo32", "Start"),
              "<no key>");
    EXPECT_EQ(wintest::SplitCrLf(Log()).size(), 2u) << Log();
}

// A real full disk: scripts/wine-run.sh mounts a small drive for the ctest
// entry startup_diskfull_win32 (elsewhere there is none and the test is
// skipped). The work file cannot be written whole; the old file stays.
TEST_F(Startup, DiskFullWhileWritingKeepsTheOldFile)
{
    const char* drive = std::getenv("SETUP_SMALL_DRIVE");
    if (drive == nullptr || *drive == '\0') GTEST_SKIP() << "no small drive";
    CreateDirectoryA("C:\\KORFULL", nullptr);
    CopyText(data_.InstallPath, "C:\\KORFULL");
    std::string filler;
    while (filler.size() < 80 * 1024) filler += "; a comment line that takes room on the small drive\r\n";
    const std::string win = std::string(drive) + "WIN.INI", autoexec = std::string(drive) + "AUTOEXEC.BAT";
    const std::string winText = "[windows]\r\nload=vgload.exe a.exe\r\n" + filler;
    const std::string autoexecText = "@ECHO OFF\r\n" + filler;

    ASSERT_TRUE(WriteFileText(win, winText));
    CleanIniLoaders(drive);
    EXPECT_EQ(ReadFileText(win), winText);
    EXPECT_EQ(wintest::FileNames(drive), std::vector<std::string>{"WIN.INI"});
    ASSERT_TRUE(DeleteFileA(win.c_str()));

    ASSERT_TRUE(WriteFileText(autoexec, autoexecText));
    EditAutoexec(data_, autoexec);
    EXPECT_EQ(ReadFileText(autoexec), autoexecText);
    EXPECT_EQ(wintest::FileNames(drive), std::vector<std::string>{"AUTOEXEC.BAT"});
    EXPECT_EQ(ReadFileText("C:\\KORFULL\\AUTOEXEC.KOR"), autoexecText);

    const std::string log = Log();
    EXPECT_NE(log.find("Cannot rewrite " + win + ", the work file cannot be written"), std::string::npos) << log;
    EXPECT_NE(log.find("Cannot rewrite " + autoexec + ", the work file cannot be written"), std::string::npos) << log;
}

class AutoDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(kInstallLogPath);
        DeleteFileA(WindowsFile("VGDIST.REC").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAutoDownloadKey);
        HKEY run = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, "Brantoke AutoDownload");
            RegCloseKey(run);
        }
    }
    std::string Value(const char* name, DWORD* type = nullptr)
    {
        return RegistryValue(HKEY_LOCAL_MACHINE, kAutoDownloadKey, name, type);
    }
    static constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    SetupData data_{};
};

TEST_F(AutoDownload, ScheduleValuesAndOneStartOfTheAgent)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\KORDL", nullptr));
    ASSERT_TRUE(CopyFileA((wintest::ModuleDirectory() + "prodprog.exe").c_str(), "C:\\KORDL\\vgdist.exe", FALSE));
    CopyText(data_.InstallPath, "C:\\KORDL");
    data_.AutoDownloadAgent = 1;
    CopyText(data_.NextDownloadDate, "12/31/1997");
    CopyText(data_.NextDownloadTime, "23:30");
    CopyText(data_.DownloadTime, "02:15");
    data_.ConnectionMethod = 2;
    data_.DownloadOnDay = 5;
    data_.SkipMonths = 1;
    CopyText(data_.FtpHostName, "ftp.brantoke.com");
    CopyText(data_.FtpUserEMailAddress, "user@example.com");
    CopyText(data_.FtpUserName, "anonymous");
    data_.FtpFastConnection = 1;
    CopyText(data_.DownloadPath, "C:\\KORDL\\SIGS");

    HANDLE agent = nullptr;
    WriteAutoDownloadSchedule(data_, &agent);
    ASSERT_NE(agent, nullptr);
    EXPECT_EQ(WaitForSingleObject(agent, 20000), WAIT_OBJECT_0);
    CloseHandle(agent);

    struct Expected {
        const char* name;
        DWORD type;
        std::string data;
    } values[] = {
        {"NextDownload", REG_BINARY, std::string("\x00\x8C\xFD\x02\x44\x16\xBD\x01", 8)},
        {"DownloadAtHour", REG_DWORD, Dword(2)},
        {"DownloadAtMin", REG_DWORD, Dword(15)},
        {"ConnectionMethod", REG_DWORD, Dword(2)},
        {"DownloadOnDays", REG_DWORD, Dword(5)},
        {"SkipMonths", REG_DWORD, Dword(1)},
        {"FtpHostName", REG_SZ, Sz("ftp.brantoke.com")},
        {"FtpUserEMailAddress", REG_SZ, Sz("user@example.com")},
        {"FtpUserName", REG_SZ, Sz("anonymous")},
        {"FtpFastConnection", REG_DWORD, Dword(1)},
        {"DadOVOHomeDir", REG_SZ, Sz("C:\\KORDL")},
        {"DownloadPath", REG_SZ, Sz("C:\\KORDL\\SIGS")},
    };
    for (const Expected& v : values) {
        DWORD type = 0;
        EXPECT_EQ(Value(v.name, &type), v.data) << v.name;
        EXPECT_EQ(type, v.type) << v.name;
    }
    EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Brantoke AutoDownload"), Sz("C:\\KORDL\\autodl95.exe"));
    EXPECT_NE(GetFileAttributesA("C:\\KORDL\\SIGS") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadFileText(WindowsFile("VGDIST.REC")), "\r\n"); // one start, no arguments
    EXPECT_EQ(Log(), "");
}

TEST_F(AutoDownload, UnreadableDateIsLoggedAndEmptyFieldsFallBack)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\KORDL2", nullptr));
    CopyText(data_.InstallPath, "C:\\KORDL2");
    CopyText(data_.NextDownloadDate, "12/31/97");
    CopyText(data_.NextDownloadTime, "23:30");
    WriteAutoDownloadSchedule(data_);
    EXPECT_EQ(Value("NextDownload"), "<no value>");
    EXPECT_EQ(Value("DownloadAtHour"), Dword(0));
    EXPECT_EQ(Value("DownloadAtMin"), Dword(0));
    EXPECT_EQ(Value("DownloadPath"), Sz("C:\\KORDL2\\GBBSData"));
    EXPECT_NE(GetFileAttributesA("C:\\KORDL2\\GBBSData") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Brantoke AutoDownload"), "<no value>");
    const std::vector<std::string> log = wintest::SplitCrLf(Log());
    ASSERT_EQ(log.size(), 2u) << Log(); // the date, and vgdist.exe missing
    EXPECT_NE(log[0].find("12/31/97 23:30"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find("vgdist.exe"), std::string::npos) << log[1];
}

} // namespace
