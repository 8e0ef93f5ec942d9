// The configuration writers against the real registry and INI files, pages
// 1555 and 1567 with the rescue stand-in, and how a run ends: exit code,
// status file and the install log's last line.
#include "config/ConfigWriters.h"
#include "config/log/InstallLog.h"
#include "config/InstallSettings.h"
#include "config/ProductPresets.h"
#include "config/ProductSettings.h"
#include "config/Registry.h"
#include "config/log/RunOutcome.h"
#include "app/SetupApp.h"
#include "resources/ids.h"
#include "tests/win32/support/WinTest.h"
#include "wizard/OpeningPages.h"
#include "wizard/base/Wizard.h"
#include "wizard/base/WizardPage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

using wintest::PumpUntil;

namespace {

const std::string kProduct = "SOFTWARE\\Brantoke\\Korvisan\\CurrentVersion";

// Presets, then the settings file's defaults, as an installation has them.
void FillDefaults(SetupData& d, const std::string& home)
{
    std::memset(&d, 0, sizeof d);
    ApplyProductDefaults(d);
    std::string ignored;
    ReadInstallSettings(d, ignored, false, true);
    std::strcpy(d.InstallPath, home.c_str());
    std::strcpy(d.FullName, "Ann Smith");
    std::strcpy(d.CompanyName, "Smith Ltd");
}

std::string ReadString(HKEY root, const std::string& key, const char* name)
{
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
    char value[1024] = {};
    DWORD size = sizeof value - 1;
    LONG status = RegQueryValueExA(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(k);
    return status == ERROR_SUCCESS ? std::string(value) : "<missing>";
}

std::vector<uint8_t> ReadBytes(const std::string& key, const char* name)
{
    HKEY k = nullptr;
    std::vector<uint8_t> bytes(1024);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return {};
    DWORD size = static_cast<DWORD>(bytes.size());
    LONG status = RegQueryValueExA(k, name, nullptr, nullptr, bytes.data(), &size);
    RegCloseKey(k);
    bytes.resize(status == ERROR_SUCCESS ? size : 0);
    return bytes;
}

uint32_t ReadDword(const std::string& key, const char* name)
{
    auto b = ReadBytes(key, name);
    uint32_t v = 0xDEADBEEF;
    if (b.size() == 4) std::memcpy(&v, b.data(), 4);
    return v;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string WindowsFile(const char* name)
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\" + name;
}

std::string LastLogLine()
{
    auto lines = wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath));
    return lines.empty() ? std::string() : lines.back();
}

struct Writers : ::testing::Test {
    SetupData d;
    ConfigContext ctx;
    std::string home = wintest::ScratchDirectory() + "KORAV";

    void SetUp() override
    {
        CreateDirectoryA(home.c_str(), nullptr);
        FillDefaults(d, home);
        ASSERT_EQ(RegConnectRegistryA(nullptr, HKEY_LOCAL_MACHINE, &ctx.TargetRegistry), ERROR_SUCCESS);
        ctx.Data = &d;
    }
    void TearDown() override { RegCloseKey(ctx.TargetRegistry); }
};

} // namespace

TEST_F(Writers, KeepModeKeepsWhatTheUserSetAndOverwriteRestoresTheDefaults)
{
    ASSERT_EQ(CfgWriteDword("SOFTWARE\\Brantoke\\Common\\ShellExtDll", nullptr, "Counter", 1), ERROR_SUCCESS);
    d.ScheduledScanAgent = 1;
    const uint32_t before = static_cast<uint32_t>(std::time(nullptr));
    WriteProductSettings(ctx); // first installation: keep mode writes everything
    const uint32_t after = static_cast<uint32_t>(std::time(nullptr));

    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct, "CurrentBuild"), "(Nov 13, 1997)");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct, "CurrentBuildNumber"), "464");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct, "RegisteredOwner"), "Ann Smith");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct, "RegisteredOrganization"), "Smith Ltd");
    uint32_t date = ReadDword(kProduct, "InstallDate");
    EXPECT_TRUE(date >= before && date <= after) << date;
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct + "\\Path", "HOME"), home);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct + "\\Path", "TMP"), home + "\\TMP");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct + "\\Path\\DB", "MASTER"), home + "\\MASTER");
    EXPECT_EQ(ReadDword(kProduct + "\\Distribute", "DaysOfWeek"), 0x7fu);
    EXPECT_EQ(ReadDword(kProduct + "\\Distribute", "TimeOut"), 0xf0u);
    EXPECT_EQ(ReadDword(kProduct + "\\Filter", "PrePostMethod"), 0x70u);
    std::vector<uint8_t> comp(80, 0);
    std::memcpy(comp.data(), "ZIP\0ARJ", 8);
    EXPECT_EQ(ReadBytes(kProduct + "\\Filter", "CompFiles"), comp);
    EXPECT_EQ(ReadBytes(kProduct + "\\Filter", "ExeFiles").size(), 80u);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct + "\\Systemsetting", "ReportFileExt"), "REC");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRunKey, "Brantoke Scanning Service"), home + "\\scnsvc95.exe");
    for (const char* dir : {"\\TMP", "\\MASTER", "\\VIRUS", "\\GBBSData"}) EXPECT_TRUE(Exists(home + dir)) << dir;
    // The shell extension, with the other products' usage bit kept.
    const std::string clsid = std::string("CLSID\\") + kShellExtensionClsid;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid, nullptr), "Brantoke Shell Extention");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, clsid + "\\InProcServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(
        ReadString(HKEY_CLASSES_ROOT, std::string("*\\shellex\\ContextMenuHandlers\\") + kShellExtensionClsid, nullptr),
        "");
    EXPECT_EQ(ReadDword("SOFTWARE\\Brantoke\\Common\\ShellExtDll", "Counter"), 3u);
    const std::string ini = WindowsFile("KORVISAN.INI");
    char text[64] = {};
    GetPrivateProfileStringA("SCANOPTIONS", "ExtName", "", text, sizeof text, ini.c_str());
    EXPECT_STREQ(text, "APP*BIN*COM*DLL*DOT*DOC*DRV*EXE*OVL*OVR*PRG*SYS*VXD*");
    EXPECT_EQ(GetPrivateProfileIntA("SCANOPTIONS", "ScanMode", -1, ini.c_str()), 1u);

    // The user's own settings: a changed and a deleted default value, INI
    // entries in their own spelling and a text longer than the setup reads.
    ASSERT_EQ(CfgWriteDword((kProduct + "\\Filter").c_str(), nullptr, "bFloppyDrive", 0), ERROR_SUCCESS);
    HKEY filter = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kProduct + "\\Filter").c_str(), 0, KEY_ALL_ACCESS, &filter), 0);
    RegDeleteValueA(filter, "bFloppyBoot");
    RegCloseKey(filter);
    const std::string longText(400, 'L');
    WritePrivateProfileStringA("SCANOPTIONS", "ScanMode", " 07 ", ini.c_str());
    WritePrivateProfileStringA("SCANOPTIONS", "ExtName", longText.c_str(), ini.c_str());
    const std::string userIni = wintest::ReadFileText(ini);
    std::strcpy(d.FullName, "Bob");

    WriteProductSettings(ctx); // keep mode again
    EXPECT_EQ(ReadDword(kProduct + "\\Filter", "bFloppyDrive"), 0u);
    EXPECT_EQ(ReadDword(kProduct + "\\Filter", "bFloppyBoot"), 1u) << "a missing value is completed";
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct, "RegisteredOwner"), "Bob") << "always written";
    EXPECT_EQ(wintest::ReadFileText(ini), userIni);
    EXPECT_EQ(ReadDword("SOFTWARE\\Brantoke\\Common\\ShellExtDll", "Counter"), 3u);

    d.OverwriteRegistry = 1;
    WriteProductSettings(ctx);
    EXPECT_EQ(ReadDword(kProduct + "\\Filter", "bFloppyDrive"), 1u);
    EXPECT_EQ(GetPrivateProfileIntA("SCANOPTIONS", "ScanMode", -1, ini.c_str()), 1u);
    GetPrivateProfileStringA("SCANOPTIONS", "ExtName", "", text, sizeof text, ini.c_str());
    EXPECT_STREQ(text, "APP*BIN*COM*DLL*DOT*DOC*DRV*EXE*OVL*OVR*PRG*SYS*VXD*");
}

TEST_F(Writers, KeepModeWritesOnlyMissingIniEntries)
{
    const std::string ini = wintest::ScratchDirectory() + "keep.ini";
    wintest::WriteFileText(ini, "[SCANOPTIONS]\r\nScanMode=7\r\nReNameExt=\r\n");
    WriteScannerIniFile(ini, d, false);
    EXPECT_EQ(GetPrivateProfileIntA("SCANOPTIONS", "ScanMode", -1, ini.c_str()), 7u);
    char text[16] = {};
    GetPrivateProfileStringA("SCANOPTIONS", "ReNameExt", "x", text, sizeof text, ini.c_str());
    EXPECT_STREQ(text, "") << "an empty entry is the user's";
    EXPECT_EQ(GetPrivateProfileIntA("SCANOPTIONS", "BeepOnDetect", -1, ini.c_str()), 1u);
    WriteScannerIniFile(ini, d, true);
    EXPECT_EQ(GetPrivateProfileIntA("SCANOPTIONS", "ScanMode", -1, ini.c_str()), 1u);
}

TEST_F(Writers, NavigatorNeverTakesAnotherProgramsEntry)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kNetscapeViewersKey, &key), ERROR_SUCCESS);
    const std::string longType = "text/" + std::string(600, 'x'); // longer than any fixed buffer
    RegSetValueExA(key, "TYPE0", 0, REG_SZ, reinterpret_cast<const BYTE*>("application/x-zip-compressed-not"), 33);
    RegSetValueExA(key, "TYPE2", 0, REG_SZ, reinterpret_cast<const BYTE*>(longType.c_str()),
                   static_cast<DWORD>(longType.size() + 1));
    RegSetValueExA(key, "TYPE1", 0, REG_SZ, reinterpret_cast<const BYTE*>("application/zip"), 16);
    RegCloseKey(key);

    ctx.IntegrateNavigator = true;
    RegisterBrowserIntegration(ctx);
    RegisterBrowserIntegration(ctx); // a second run adds nothing
    const std::string viewers = kNetscapeViewersKey;
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, viewers, "TYPE0"), "application/x-zip-compressed-not");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, viewers, "TYPE2").size(), 605u);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, viewers, "TYPE3"), "application/x-zip");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, viewers, "TYPE4"), "application/x-zip-compressed");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, viewers, "TYPE5"), "<missing>");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, viewers, "application/zip"), home + "\\korcmd95.EXE /DOWNLOAD");
}

TEST_F(Writers, ExplorerZipAssociationOnlyWithInternetExplorer)
{
    ctx.IntegrateExplorer = true;
    CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer");
    CfgDeleteKeyTree(HKEY_CLASSES_ROOT, ".zip");
    RegisterBrowserIntegration(ctx);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip", nullptr), "<no key>");
    ASSERT_EQ(CfgWriteString("SOFTWARE\\Microsoft\\Internet Explorer", nullptr, "Version", "4.0"), ERROR_SUCCESS);
    RegisterBrowserIntegration(ctx);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip", nullptr), "zipfile");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".zip", "Content Type"), "application/x-zip");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "zipfile\\Shell\\Open\\Command", nullptr),
              "\"" + home + "\\korcmd95.EXE\" /DOWNLOAD %1");
}

namespace {

// Pages 1555 and 1567 in the real wizard, up to page 115.
class ConfigPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(WindowsFile("RESCUE.REC").c_str());
        ASSERT_TRUE(app_.PrepareSetup("", "C:\\"));
        FillDefaults(*app_.Data, home_.Path() + "KORAV");
        CreateDirectoryA(app_.Data->InstallPath, nullptr);
        app_.Data->ComponentMask = kComponentManager | kComponentAutoDownload | kComponentRealtime;
        app_.Data->NetwareSupport = 1;
        app_.SourcePath.SetDirectory(source_.Path().substr(0, source_.Path().size() - 1));
        wintest::WriteFileText(source_.Path() + "start.job", "job\r\n");
        ASSERT_EQ(CfgWriteString(kRunOnceKey, nullptr, "Korvisan Unistall", "x"), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        EndWizard();
        if (app_.MainWindowHandle) DestroyWindow(app_.MainWindowHandle);
        wintest::PumpPending();
    }
    bool RunToComplete()
    {
        if (!app_.StartWizard()) return false;
        GoToPage(IDD_CONFIGURING);
        return PumpUntil([&] { return CurrentPage() && CurrentPage()->PageId == IDD_COMPLETE; });
    }
    std::string Home() const { return app_.Data->InstallPath; }

    wintest::TempDir home_;
    wintest::TempDir source_;
    SetupApp app_;
};

} // namespace

TEST_F(ConfigPages, ConfiguresThenBacksUpWithTheRescueLibrary)
{
    ASSERT_TRUE(
        CopyFileA((wintest::ModuleDirectory() + "rescue.dll").c_str(), (Home() + "\\rescue.dll").c_str(), FALSE));
    ASSERT_TRUE(RunToComplete());
    const std::string uninstall = kProductUninstallKey;
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, uninstall, "DisplayName"), "Brantoke AntiVirus for Windows 95");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, uninstall, "UninstallString"), Home() + "\\uninstal.exe");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kRunOnceKey, "Korvisan Unistall"), "<missing>");
    EXPECT_EQ(ReadDword(kProduct, "NetwareSupport"), 1u);
    EXPECT_EQ(wintest::ReadFileText(Home() + "\\start.job"), "job\r\n");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProduct + "\\Path", "HOME"), Home());
    auto calls = wintest::SplitCrLf(wintest::ReadFileText(WindowsFile("RESCUE.REC")));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rfind("CreateRescueDisk ", 0), 0u);
    EXPECT_EQ(calls[0].substr(calls[0].size() - 2), " 0") << "interactive";
    EXPECT_NE(calls[0], "CreateRescueDisk 0 0") << "the page's window";
}

TEST_F(ConfigPages, WithoutTheRescueLibraryGoesOnToComplete)
{
    app_.Data->ComponentMask = kComponentRealtime; // no browser, no NetWare value
    CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, kProduct.c_str());
    DeleteFileA((source_.Path() + "start.job").c_str());
    ASSERT_TRUE(RunToComplete());
    EXPECT_FALSE(Exists(WindowsFile("RESCUE.REC")));
    EXPECT_FALSE(Exists(Home() + "\\start.job"));
    EXPECT_EQ(ReadDword(kProduct, "NetwareSupport"), 0xDEADBEEFu);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kProductUninstallKey, "UninstallString"), Home() + "\\uninstal.exe");
}

TEST_F(ConfigPages, AStepsFailureEndsOnlyAnUnattendedRun)
{
    const std::string ini = WindowsFile("KORVISAN.INI");
    for (int unattended : {0, 1}) {
        SCOPED_TRACE(unattended);
        DeleteFileA(ini.c_str());
        ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr)); // cannot be written
        CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, kProduct.c_str());
        app_.UnattendedMode = unattended;
        app_.SetupFailed = 0;
        ASSERT_TRUE(app_.StartWizard());
        GoToPage(IDD_CONFIGURING);
        EXPECT_TRUE(
            PumpUntil([&] { return app_.SetupFailed || (CurrentPage() && CurrentPage()->PageId == IDD_COMPLETE); }));
        EndWizard();
        if (app_.MainWindowHandle) DestroyWindow(app_.MainWindowHandle);
        wintest::PumpPending();
        RemoveDirectoryA(ini.c_str());
        // The steps after KORVISAN.INI ran only when the run went on.
        EXPECT_EQ(app_.SetupFailed, unattended);
        EXPECT_EQ(ReadDword(kProduct, "NetwareSupport"), unattended ? 0xDEADBEEFu : 1u);
        EXPECT_EQ(app_.FailureReason().rfind("Cannot configure the product: Cannot write ", 0),
                  unattended ? 0u : std::string::npos);
    }
}

namespace {

struct Ending {
    const char* what;
    int completed, cancelled, failed;
    bool restartPending;
    int code;
    const char* status;      // line 58 value
    const char* description; // line 66 value
};

std::string MifValue(const std::string& line)
{
    std::size_t open = line.find('"');
    std::size_t close = line.rfind('"');
    return open == std::string::npos || close == open ? line : line.substr(open + 1, close - open - 1);
}

} // namespace

TEST(RunEnd, ExitCodeStatusFileAndLastLogLineAgree)
{
    const Ending rows[] = {
        {"completed", 1, 0, 0, false, 0, "Success", ""},
        {"restart pending", 1, 0, 0, true, 3010, "Success", ""},
        {"cancelled", 0, 1, 1, false, 1602, "Failed", "Cancelled by the user"},
        {"failed", 0, 0, 1, false, 1603, "Failed", "Disk full"},
        {"never completed", 0, 0, 0, false, 1603, "Failed", "Disk full"},
    };
    const std::string mif = wintest::ScratchDirectory() + "end.mif";
    for (const Ending& r : rows) {
        SCOPED_TRACE(r.what);
        wintest::WriteFileText(mif, "stale");
        ResetRestartNotes();
        if (r.restartPending) NoteRestartPending();
        SetupApp app;
        ASSERT_TRUE(app.PrepareSetup("/M:" + mif, "C:\\"));
        app.InstallComplete = r.completed;
        app.Cancelled = r.cancelled;
        app.SetupFailed = r.failed;
        app.NoteFailure("Disk full");
        EXPECT_EQ(app.FinishRun(), r.code);
        auto lines = wintest::SplitCrLf(wintest::ReadFileText(mif));
        ASSERT_EQ(lines.size(), 69u);
        EXPECT_EQ(MifValue(lines[57]), r.status);
        EXPECT_EQ(MifValue(lines[65]), r.description);
        const std::string last = LastLogLine();
        EXPECT_NE(last.find(std::string("exit code ") + std::to_string(r.code)), std::string::npos) << last;
        EXPECT_NE(last.find(r.status), std::string::npos) << last;
        EXPECT_EQ(FinalLogLine(DecideOutcome({r.completed != 0, r.cancelled != 0, r.failed != 0, r.restartPending,
                                              false, false, 0}),
                               "Disk full"),
                  last);
        for (const std::string& name : wintest::FileNames(wintest::ScratchDirectory()))
            EXPECT_NE(name.rfind("mif", 0), 0u) << "work file left: " << name;
    }
    ResetRestartNotes();
}

TEST(RunEnd, UnattendedWithoutSettingsFileEndsOnPage116)
{
    const std::string mif = wintest::ScratchDirectory() + "nosettings.mif";
    wintest::WriteFileText(mif, "stale");
    // A missing file, a directory and an empty name all count as no settings.
    for (std::string settings :
         {wintest::ScratchDirectory() + "missing.icf", std::string("C:\\windows"), std::string()}) {
        SCOPED_TRACE(settings);
        DeleteFileA(kInstallLogPath);
        SetupApp app;
        ASSERT_TRUE(app.PrepareSetup("/I:" + settings + " /M:" + mif, "C:\\"));
        EXPECT_FALSE(Exists(mif)) << "the stale file is gone at once";
        ASSERT_TRUE(app.StartWizard());
        ASSERT_TRUE(PumpUntil([&] { return app.MainWindowHandle == nullptr; }, 30000));
        EndWizard();
        EXPECT_EQ(app.FinishRun(), 1603);
        auto log = wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath));
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[0], "Setup Error:1024");
        EXPECT_EQ(log[1], "Setup ended: Failed (Error During Install), exit code 1603");
        auto lines = wintest::SplitCrLf(wintest::ReadFileText(mif));
        ASSERT_EQ(lines.size(), 69u);
        EXPECT_EQ(MifValue(lines[65]), "Error During Install");
    }
}

TEST(RunEnd, InteractiveWithoutSettingsFileTakesTheDefaults)
{
    DeleteFileA(kInstallLogPath);
    const std::string dir = wintest::ScratchDirectory() + "retail";
    CreateDirectoryA(dir.c_str(), nullptr);
    SetCurrentDirectoryA(dir.c_str());
    SetupApp app;
    ASSERT_TRUE(app.PrepareSetup("", dir));
    EXPECT_FALSE(PrepareSetupData(app));
    const SetupData& d = *app.Data;
    EXPECT_EQ(d.DaysOfWeek, 127);
    EXPECT_EQ(d.Timeout, 240);
    EXPECT_EQ(d.SuspendTime, 1);
    EXPECT_STREQ(d.CompFiles, "ZIP*ARJ*");
    EXPECT_STREQ(d.ReportFileExt, "REC");
    EXPECT_NE(d.InstallPath[0], '\0');
    EXPECT_FALSE(Exists(kInstallLogPath)) << "no Setup Error 1024, no other line";
    EXPECT_FALSE(Exists(WindowsFile("KORVISAN.MIF")));
}

TEST(RunEnd, TheTopLevelGuardReportsEveryFault)
{
    for (const char* mode : {"fault", "window", "throw"}) {
        SCOPED_TRACE(mode);
        const std::string mif = wintest::ScratchDirectory() + mode + ".mif";
        wintest::WriteFileText(mif, "stale");
        DeleteFileA(kInstallLogPath);
        HANDLE process =
            wintest::StartProgram("\"" + wintest::ModuleDirectory() + "faultrun.exe\" " + mode + " " + mif);
        ASSERT_NE(process, nullptr);
        ASSERT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        CloseHandle(process);
        EXPECT_EQ(code, 1603u);
        auto log = wintest::SplitCrLf(wintest::ReadFileText(kInstallLogPath));
        ASSERT_EQ(log.size(), 2u);
        const std::string fault = std::string(mode) == "throw" ? "exception: boom" : "fault 0xC0000005 at 0x";
        EXPECT_EQ(log[0].rfind("Setup cannot continue: " + fault, 0), 0u) << log[0];
        EXPECT_EQ(log[1].rfind("Setup ended: Failed (" + fault, 0), 0u) << log[1];
        auto lines = wintest::SplitCrLf(wintest::ReadFileText(mif));
        ASSERT_EQ(lines.size(), 69u);
        EXPECT_EQ(MifValue(lines[57]), "Failed");
    }
}
