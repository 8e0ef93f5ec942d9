#include "config/InstallSettings.h"

#include "engine/base/FixedText.h"

#include <cstring>
#include <vector>

namespace {

const char kExeList[] = "APP*BIN*COM*DLL*DOT*DOC*DRV*EXE*OVL*OVR*PRG*SYS*VXD*";
const char kExclList[] = "BTR*DBF*SBF*DB*MDB*MDX*NDX*";

class Reader {
public:
    explicit Reader(ProfileStore& f) : f_(f) {}

    void Number(const char* section, const char* key, int32_t def, int32_t& field)
    {
        field = f_.GetInt(section, key, def);
    }

    // Reads into a buffer of bufferSize bytes, then into the field (cut to
    // the field's size). Returns the length read.
    template <std::size_t N>
    std::size_t Text(const char* section, const char* key, const char* def, std::size_t bufferSize, char (&field)[N])
    {
        std::vector<char> buffer(bufferSize + 1, '\0');
        uint32_t n = f_.GetString(section, key, def, buffer.data(), static_cast<uint32_t>(bufferSize));
        if (n >= bufferSize) n = static_cast<uint32_t>(bufferSize ? bufferSize - 1 : 0);
        std::string_view text(buffer.data(), strnlen(buffer.data(), n));
        CopyText(field, text);
        return text.size();
    }

    // The "In..." key first; its 0 (or absence) falls back to the second key.
    void Time(const char* inKey, const char* key, int32_t& field)
    {
        field = f_.GetInt("Distribution", inKey, 0);
        if (field == 0) field = f_.GetInt("Distribution", key, 0);
    }

private:
    ProfileStore& f_;
};

} // namespace

void AddComponentBits(SetupData& d)
{
    if (d.InstallManager) d.ComponentMask |= kComponentManager;
    if (d.InstallRealtime) d.ComponentMask |= kComponentRealtime;
    if (d.NetwareSupport) d.ComponentMask |= kComponentNetware;
    if (d.InstallUninstall) d.ComponentMask |= kComponentUninstall;
    if (d.InstallAutoDownload) d.ComponentMask |= kComponentAutoDownload;
}

std::string ReadSettingsKeys(SetupData& d, ProfileStore& file, const SettingsHooks& hooks)
{
    Reader r(file);
    auto log = [&](const char* message, const char* what) {
        if (hooks.log) hooks.log(std::string(message) + " " + what);
    };

    if (r.Text("UserInfo", "FullName", "", 255, d.FullName) == 0)
        log("Could not read user name from Install Ini File", "User Name");
    if (r.Text("UserInfo", "CompanyName", "", 255, d.CompanyName) == 0)
        log("Could not read company name from Install Ini File", "Organization");
    char path[sizeof d.InstallPath] = {};
    if (r.Text("KorvisanInstall", "KorvisanPath", "", sizeof path, path) == 0)
        log("Could not read Korvisan install path from Install Ini File", "Install Path");
    r.Number("KorvisanInstall", "RebootAfter", 0, d.RebootAfter);
    r.Number("KorvisanInstall", "RebootTimeout", 3, d.RebootTimeout);
    r.Number("KorvisanInstall", "ScanAfter", 1, d.ScanAfter);
    std::string home(TextOf(path));
    if (home.empty() && hooks.fallbackInstallPath) {
        CopyText(path, hooks.fallbackInstallPath());
        home = TextOf(path);
    }

    r.Number("Components", "Manager", 1, d.InstallManager);
    r.Number("Components", "Service", 1, d.InstallService);
    r.Number("Components", "Realtime", 1, d.InstallRealtime);
    r.Number("Components", "DadOVO", 1, d.InstallAutoDownload);
    r.Number("Components", "bNetwareSupport", 0, d.NetwareSupport);
    r.Number("Components", "OverwriteRegistry", 0, d.OverwriteRegistry);
    r.Number("Components", "Uninstall", 1, d.InstallUninstall);
    AddComponentBits(d);

    r.Number("LocalScanner", "CopyInfectionReport", 0, d.CopyInfectionReport);
    r.Text("Examine", "Options", "", 512, d.ExamineOptions);
    r.Number("Startup", "AutoDownloadAgent", 0, d.AutoDownloadAgent);
    r.Number("Startup", "SchedualedScanAgent", 1, d.ScheduledScanAgent);
    r.Text("SystemSetting", "ReportFileExt", "REC", 16, d.ReportFileExt);

    d.PrimaryServer[0] = '\0';
    d.SecondaryServer[0] = '\0';
    d.NoTimeLimit = 1;
    d.BeginHour = d.BeginMinute = d.EndHour = d.EndMinute = 0;
    d.DaysOfWeek = 127;
    d.Timeout = 240;
    r.Text("Distribution", "PrimaryServer", "", 64, d.PrimaryServer);
    d.PrimaryServer[16] = '\0';
    r.Text("Distribution", "SecondaryServer", "", 64, d.SecondaryServer);
    d.SecondaryServer[16] = '\0';
    r.Number("Distribution", "NoTimeLimit", 1, d.NoTimeLimit);
    r.Time("InBegHr", "BeginHour", d.BeginHour);
    r.Time("InBegMin", "BegMinute", d.BeginMinute);
    r.Time("InEndHr", "EndHour", d.EndHour);
    r.Time("InEndMin", "EndMinute", d.EndMinute);
    r.Number("Distribution", "DaysOfWeek", 127, d.DaysOfWeek);
    r.Number("Distribution", "Timeout", 240, d.Timeout);

    r.Number("Internet Integration", "Explorer", 0, d.ExplorerIntegration);
    r.Number("Internet Integration", "Navigator", 1, d.NavigatorIntegration);

    r.Number("Realtime", "ExeOnly", 1, d.ExeOnly);
    r.Number("Realtime", "Method", 0, d.Method);
    r.Number("Realtime", "CopyBeforeCure", 1, d.RealtimeCopyBeforeCure);
    r.Number("Realtime", "RenameCureFail", 1, d.RealtimeRenameCureFail);
    r.Number("Realtime", "HeuristicScan", 0, d.RealtimeHeuristicScan);
    r.Number("Realtime", "MacroCureOption", 0, d.RealtimeMacroCureOption);
    r.Number("Realtime", "Mode", 1, d.Mode);
    r.Number("Realtime", "Direction", 3, d.Direction);
    r.Number("Realtime", "bFirewall", 0, d.bFirewall);
    r.Number("Realtime", "bFloppyDrive", 1, d.bFloppyDrive);
    r.Number("Realtime", "bNetworkDrive", 0, d.bNetworkDrive);
    r.Number("Realtime", "bEnforcement", 0, d.bEnforcement);
    r.Number("Realtime", "bGetUserName", 1, d.bGetUserName);
    r.Number("Realtime", "bFloppyBoot", 1, d.bFloppyBoot);
    r.Text("Realtime", "CompFiles", "ZIP*ARJ*", 512, d.CompFiles);
    r.Text("Realtime", "ExclFiles", kExclList, 512, d.ExclFiles);
    r.Text("Realtime", "ExeFiles", kExeList, 512, d.ExeFiles);
    r.Number("Realtime", "ScanCompressed", 1, d.ScanCompressed);
    r.Number("Realtime", "skipCDROM", 0, d.skipCDROM);
    r.Number("Realtime", "SuspendTime", 1, d.SuspendTime);
    r.Number("Startup", "bStartJob", 0, d.bStartJob);

    r.Number("LocalScanner", "NodeBrowser", 0, d.NodeBrowser);
    r.Number("LocalScanner", "Databases", 0, d.Databases);
    r.Text("LocalScanner", "DatabasePath", "", 256, d.DatabasePath);
    r.Text("LocalScanner", "DatabaseMappedPath", "", 256, d.DatabaseMappedPath);
    r.Number("LocalScanner", "BeepOnDetect", 1, d.BeepOnDetect);
    r.Number("LocalScanner", "ScanExeOnly", 0, d.ScanExeOnly);
    r.Number("LocalScanner", "ScanArchives", 1, d.ScanArchives);
    r.Number("LocalScanner", "ScanLotusDatabases", 1, d.ScanLotusDatabases);
    r.Number("LocalScanner", "ScanBoot", 1, d.ScanBoot);
    r.Number("LocalScanner", "ScanFiles", 1, d.ScanFiles);
    r.Number("LocalScanner", "InfctAct", 0, d.InfctAct);
    r.Number("LocalScanner", "CopyBeforeCure", 1, d.ScannerCopyBeforeCure);
    r.Number("LocalScanner", "RenameCureFail", 1, d.ScannerRenameCureFail);
    r.Number("LocalScanner", "HeuristicScan", 0, d.ScannerHeuristicScan);
    r.Number("LocalScanner", "MacroCureOption", 0, d.ScannerMacroCureOption);
    r.Number("LocalScanner", "ScanMode", 1, d.ScanMode);
    r.Number("LocalScanner", "AutoDisplay", 1, d.AutoDisplay);
    r.Number("LocalScanner", "IncrementalScan", 0, d.IncrementalScan);
    r.Number("LocalScanner", "NotifyOwner", 1, d.NotifyOwner);
    r.Number("LocalScanner", "NotifySender", 0, d.NotifySender);
    r.Number("LocalScanner", "bNotifyAdministrator", 0, d.bNotifyAdministrator);
    r.Number("LocalScanner", "bAttachInfoFile", 1, d.bAttachInfoFile);
    r.Number("LocalScanner", "ScanAfter", 0, d.ScannerScanAfter);
    r.Text("LocalScanner", "ExtName", kExeList, 512, d.ExtName);
    r.Text("LocalScanner", "SkipExtName", kExclList, 512, d.SkipExtName);
    r.Text("LocalScanner", "ArcExtName", "ZIP*ARJ*", 512, d.ArcExtName);
    r.Text("LocalScanner", "LotusNotesExtName", "NSF*NTF*", 512, d.LotusNotesExtName);
    r.Text("LocalScanner", "ReNameExt", "AVB", 16, d.ReNameExt);

    r.Number("AutoDownload", "ConnectionMethod", 2, d.ConnectionMethod);
    r.Text("AutoDownload", "NextDownloadDate", "", 11, d.NextDownloadDate);
    r.Text("AutoDownload", "NextDownloadTime", "", 6, d.NextDownloadTime);
    r.Text("AutoDownload", "DownloadTime", "", 6, d.DownloadTime);
    r.Number("AutoDownload", "DownloadOnDay", 17, d.DownloadOnDay);
    r.Number("AutoDownload", "SkipMonths", 1, d.SkipMonths);
    r.Text("AutoDownload", "DownloadPath", "", 256, d.DownloadPath);
    r.Text("AutoDownload", "FtpHostName", "ftp.brantoke.com", 32, d.FtpHostName);
    r.Text("AutoDownload", "FtpUserEMailAddress", "user@host.domain", 128, d.FtpUserEMailAddress);
    r.Text("AutoDownload", "FtpUserName", "anonymous", 16, d.FtpUserName);
    r.Number("AutoDownload", "FtpFastConnection", 0, d.FtpFastConnection);
    return home;
}
