#include "config/ProductSettings.h"

#include "engine/base/FixedText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

const char kProductKey[] = "SOFTWARE\\Brantoke\\Korvisan\\CurrentVersion";
const char kProduct95Key[] = "SOFTWARE\\Brantoke\\Korvisan95\\CurrentVersion";
const char kWindowsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kAutoDownloadKey[] = "SOFTWARE\\Brantoke\\Korvisan\\DadOVO\\CurrentVersion";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunOnceKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kProductUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brantoke AntiVirus";
const char* const kZipMimeTypes[3] = {"application/x-zip", "application/zip", "application/x-zip-compressed"};

std::array<uint8_t, kExtensionListBytes> ExtensionListBytes(std::string_view list)
{
    std::array<uint8_t, kExtensionListBytes> out{};
    std::size_t used = 0;
    while (!list.empty()) {
        std::size_t star = list.find('*');
        std::string_view ext = list.substr(0, star);
        list = star == std::string_view::npos ? std::string_view() : list.substr(star + 1);
        if (ext.empty()) continue;
        // The extension, its zero, and the last byte kept for the list's end.
        if (used + ext.size() + 1 > kExtensionListBytes - 1) break;
        std::copy(ext.begin(), ext.end(), out.begin() + static_cast<std::ptrdiff_t>(used));
        used += ext.size() + 1;
    }
    return out;
}

uint32_t PrePostMethod(const SetupData& d)
{
    uint32_t v = 0;
    if (d.RealtimeCopyBeforeCure) v |= 0x10;
    if (d.RealtimeRenameCureFail) v |= 0x20;
    v |= d.RealtimeMacroCureOption ? 0x80 : 0x40;
    return v;
}

std::string HomePath(const SetupData& d, std::string_view tail) { return HomePath(TextOf(d.InstallPath), tail); }

std::string HomePath(std::string_view home, std::string_view tail)
{
    std::string path(home);
    path += tail;
    return path.size() <= kMaxConfigPath ? path : std::string();
}

namespace {

std::string Sub(const char* subkey) { return std::string(kProductKey) + "\\" + subkey; }

SettingValue Dword(std::string key, const char* name, WriteClass c, int32_t v)
{
    SettingValue s;
    s.Key = std::move(key);
    s.Name = name;
    s.Type = ValueType::Dword;
    s.Class = c;
    s.Dword = static_cast<uint32_t>(v);
    return s;
}

SettingValue String(std::string key, const char* name, WriteClass c, std::string text)
{
    SettingValue s;
    s.Key = std::move(key);
    s.Name = name;
    s.Type = ValueType::String;
    s.Class = c;
    s.Text = std::move(text);
    return s;
}

SettingValue List(std::string key, const char* name, std::string_view list)
{
    SettingValue s;
    s.Key = std::move(key);
    s.Name = name;
    s.Type = ValueType::Binary;
    s.Class = WriteClass::Default;
    auto bytes = ExtensionListBytes(list);
    s.Bytes.assign(bytes.begin(), bytes.end());
    return s;
}

} // namespace

std::vector<SettingValue> ProductSettingValues(const SetupData& d, const BuildTexts& texts, uint32_t installDate)
{
    constexpr WriteClass A = WriteClass::Always;
    constexpr WriteClass D = WriteClass::Default;
    std::vector<SettingValue> v;
    v.push_back(String(kProductKey, "CurrentBuild", A, texts.CurrentBuild));
    v.push_back(String(kProductKey, "CurrentBuildNumber", A, texts.CurrentBuildNumber));
    v.push_back(Dword(kProductKey, "InstallDate", A, static_cast<int32_t>(installDate)));
    v.push_back(String(kProductKey, "RegisteredOrganization", A, std::string(TextOf(d.CompanyName))));
    v.push_back(String(kProductKey, "RegisteredOwner", A, std::string(TextOf(d.FullName))));
    v.push_back(Dword(kProductKey, "CopyInfectionReport", A, d.CopyInfectionReport));

    // Paths that would not fit are left out (HomePath gives empty).
    const std::string home = HomePath(d, "");
    const std::string tmp = HomePath(d, "\\TMP");
    const std::string master = HomePath(d, "\\MASTER");
    const std::string download = HomePath(d, "\\GBBSData");
    const std::string scanService = HomePath(d, "\\scnsvc95.exe");
    if (!home.empty()) v.push_back(String(Sub("Path"), "HOME", A, home));
    if (!tmp.empty()) v.push_back(String(Sub("Path"), "TMP", A, tmp));
    if (!master.empty()) v.push_back(String(Sub("Path\\DB"), "MASTER", A, master));

    const std::string dist = Sub("Distribute");
    v.push_back(Dword(dist, "bAllHrs", D, d.NoTimeLimit));
    v.push_back(Dword(dist, "bUseDadOVO", D, 0));
    v.push_back(Dword(dist, "bUseMaster", D, 0));
    v.push_back(Dword(dist, "State", D, 1));
    v.push_back(Dword(dist, "DaysOfWeek", D, d.DaysOfWeek));
    v.push_back(Dword(dist, "TimeOut", D, d.Timeout));
    v.push_back(Dword(dist, "InBegHr", D, d.BeginHour));
    v.push_back(Dword(dist, "InEndHr", D, d.EndHour));
    v.push_back(Dword(dist, "InBegMin", D, d.BeginMinute));
    v.push_back(Dword(dist, "InEndMin", D, d.EndMinute));
    v.push_back(Dword(dist, "Languages", D, 0));
    v.push_back(Dword(dist, "Platforms", D, 2));
    v.push_back(Dword(dist, "bPurgeBeforeCopy", D, 1));
    v.push_back(String(dist, "PrimaryServer", D, std::string(TextOf(d.PrimaryServer))));
    v.push_back(String(dist, "SecondaryServer", D, std::string(TextOf(d.SecondaryServer))));

    const std::string filter = Sub("Filter");
    v.push_back(Dword(filter, "bFloppyBoot", D, d.bFloppyBoot));
    v.push_back(Dword(filter, "bFloppyDrive", D, d.bFloppyDrive));
    v.push_back(Dword(filter, "bNetworkDrive", D, d.bNetworkDrive));
    v.push_back(Dword(filter, "SuspendTime", D, d.SuspendTime));
    v.push_back(List(filter, "CompFiles", TextOf(d.CompFiles)));
    v.push_back(Dword(filter, "Direction", D, d.Direction));
    v.push_back(List(filter, "ExclFiles", TextOf(d.ExclFiles)));
    v.push_back(List(filter, "ExeFiles", TextOf(d.ExeFiles)));
    v.push_back(Dword(filter, "ExeOnly", D, d.ExeOnly));
    v.push_back(Dword(filter, "Method", D, d.Method));
    v.push_back(Dword(filter, "Mode", D, d.Mode));
    v.push_back(Dword(filter, "ScanCompressedFiles", D, d.ScanCompressed));
    v.push_back(Dword(filter, "skipCDROM", D, d.skipCDROM));
    v.push_back(Dword(filter, "PrePostMethod", D, static_cast<int32_t>(PrePostMethod(d))));
    v.push_back(Dword(filter, "HeuristicScan", D, d.RealtimeHeuristicScan));

    v.push_back(Dword(Sub("Startup"), "bJob", D, d.bStartJob));
    v.push_back(Dword(Sub("MAIL"), "IncTime", D, 0));

    if (!download.empty()) v.push_back(String(kAutoDownloadKey, "DownloadPath", A, download));
    if (!home.empty()) v.push_back(String(kAutoDownloadKey, "DadOVOHomeDir", A, home));

    if (d.InstallManager && d.ScheduledScanAgent && !scanService.empty())
        v.push_back(String(kRunKey, "Brantoke Scanning Service", A, scanService));
    return v;
}

std::vector<SettingValue> LateSettingValues(const SetupData& d)
{
    return {String(Sub("Systemsetting"), "ReportFileExt", WriteClass::Default, std::string(TextOf(d.ReportFileExt)))};
}

const char* const kWorkingDirectoryTails[4] = {"\\TMP", "\\MASTER", "\\VIRUS", "\\GBBSData"};

std::vector<std::string> WorkingDirectories(const SetupData& d) { return WorkingDirectories(TextOf(d.InstallPath)); }

std::vector<std::string> WorkingDirectories(std::string_view home)
{
    std::vector<std::string> dirs;
    for (const char* tail : kWorkingDirectoryTails) {
        std::string path = HomePath(home, tail);
        if (!path.empty()) dirs.push_back(path);
    }
    return dirs;
}

std::string IniEntry::ValueText() const
{
    if (!IsNumber) return Text;
    return std::to_string(static_cast<int>(Number));
}

std::vector<IniEntry> ScannerIniEntries(const SetupData& d)
{
    auto number = [](const char* section, const char* key, int32_t v) { return IniEntry{section, key, true, v, {}}; };
    auto text = [](const char* section, const char* key, std::string_view t) {
        return IniEntry{section, key, false, 0, std::string(t.substr(0, 255))};
    };
    return {
        number("SERVICES", "NodeBrowser", d.NodeBrowser),
        number("SERVICES", "Databases", d.Databases),
        text("DATABASE", "DatabasePath", TextOf(d.DatabasePath)),
        text("DATABASE", "DatabaseMappedPath", TextOf(d.DatabaseMappedPath)),
        number("SCANOPTIONS", "BeepOnDetect", d.BeepOnDetect),
        number("SCANOPTIONS", "ScanExeOnly", d.ScanExeOnly),
        number("SCANOPTIONS", "ScanArchives", d.ScanArchives),
        number("SCANOPTIONS", "ScanLotusDatabases", d.ScanLotusDatabases),
        number("SCANOPTIONS", "ScanBoot", d.ScanBoot),
        number("SCANOPTIONS", "ScanFiles", d.ScanFiles),
        number("SCANOPTIONS", "InfctAct", d.InfctAct),
        number("SCANOPTIONS", "ScanMode", d.ScanMode),
        number("SCANOPTIONS", "AutoDisplay", d.AutoDisplay),
        number("SCANOPTIONS", "IncrementalScan", d.IncrementalScan),
        number("SCANOPTIONS", "NotifyOwner", d.NotifyOwner),
        number("SCANOPTIONS", "NotifySender", d.NotifySender),
        number("SCANOPTIONS", "bNotifyAdministrator", d.bNotifyAdministrator),
        number("SCANOPTIONS", "bAttachInfoFile", d.bAttachInfoFile),
        number("SCANOPTIONS", "ScanAfter", d.ScannerScanAfter),
        text("SCANOPTIONS", "ExtName", TextOf(d.ExtName)),
        text("SCANOPTIONS", "SkipExtName", TextOf(d.SkipExtName)),
        text("SCANOPTIONS", "ArcExtName", TextOf(d.ArcExtName)),
        text("SCANOPTIONS", "LotusNotesExtName", TextOf(d.LotusNotesExtName)),
        text("SCANOPTIONS", "ReNameExt", TextOf(d.ReNameExt)),
        number("SCANOPTIONS", "CopyBeforeCure", d.ScannerCopyBeforeCure),
        number("SCANOPTIONS", "HeuristicScan", d.ScannerHeuristicScan),
        number("SCANOPTIONS", "MacroCureOption", d.ScannerMacroCureOption),
        number("SCANOPTIONS", "DontRenameWhenCureFails", d.ScannerRenameCureFail == 0 ? 1 : 0),
    };
}

std::string ViewerTypeName(const std::vector<std::pair<std::string, std::string>>& values, const std::string& mime)
{
    std::set<std::string> names; // registry names compare without case
    const std::string* greatest = nullptr;
    for (const auto& [name, data] : values) {
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        names.insert(upper);
        if (name.compare(0, 4, "TYPE") != 0) continue;
        if (data == mime) return {};
        if (!greatest || name > *greatest) greatest = &name;
    }
    if (!greatest) {
        for (int i = 0; i < 3; ++i)
            if (mime == kZipMimeTypes[i]) return "TYPE" + std::to_string(i);
        return "TYPE0";
    }
    long n = 0;
    int read = std::sscanf(greatest->c_str(), "TYPE%ld", &n);
    if (read != 1 || n < 0 || n > 1000000) n = 0;
    // Among n+1 .. n+1+count there is always a free name.
    for (long k = n + 1;; ++k) {
        std::string candidate = "TYPE" + std::to_string(k);
        if (names.count(candidate) == 0) return candidate;
    }
}
