#include "config/StartupIntegration.h"

#include "engine/journal/UndoLog.h"

#include "config/ConfigProblem.h"
#include "config/ProductSettings.h"
#include "config/Registry.h"
#include "config/StartupText.h"
#include "config/placement/SystemTextFile.h"
#include "engine/base/FixedText.h"
#include "engine/base/PathName.h"
#include "framework/Text.h"
#include "resources/ids.h"

#include <windows.h>

#include <ctime>
#include <vector>

namespace {

const char kVxdKey[] = "System\\CurrentControlSet\\Services\\VxD\\Vigilo32";

// Larger than any start-up file the system itself would read: such a file
// is damaged and is not rewritten.
constexpr std::size_t kMaxStartupFileSize = 8u << 20;

struct LoaderEntry {
    const char* program;
    const char* key;
};

void LogFailedValue(LONG status, const char* key, const char* value)
{
    if (status != ERROR_SUCCESS) ConfigProblem("Cannot write %s\\%s (error %ld)", key, value, status);
}

void WriteVxdKey(const SetupData& data)
{
    const std::string home(TextOf(data.InstallPath));
    const std::string shortHome = PathName(home).ShortText();
    if (shortHome.empty()) {
        ConfigProblem("No short form of %s: the realtime driver is not registered", home.c_str());
        return;
    }
    PathName vxd;
    vxd.SetDirectory(shortHome);
    vxd.SetFileName("vigilo32.vxd");
    const std::string vxdPath = vxd.Text();

    if (!undojournal::RecordValue(HKEY_LOCAL_MACHINE, kVxdKey, "Start") ||
        !undojournal::RecordValue(HKEY_LOCAL_MACHINE, kVxdKey, "StaticVxD")) {
        LogFailedValue(ERROR_WRITE_FAULT, kVxdKey, "");
        return;
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kVxdKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, &disposition);
    if (status != ERROR_SUCCESS) {
        LogFailedValue(status, kVxdKey, "");
        return;
    }
    const BYTE start = 0;
    LogFailedValue(RegSetValueExA(key, "Start", 0, REG_BINARY, &start, 1), kVxdKey, "Start");
    LogFailedValue(RegSetValueExA(key, "StaticVxD", 0, REG_SZ, reinterpret_cast<const BYTE*>(vxdPath.c_str()),
                                  static_cast<DWORD>(vxdPath.size() + 1)),
                   kVxdKey, "StaticVxD");
    RegCloseKey(key);
}

// Applies the passes to one file and rewrites it once, if anything changed.
bool RemoveLoaderEntries(const std::string& path, const std::vector<LoaderEntry>& entries)
{
    std::string text;
    if (!ReadSystemTextFile(path, kMaxStartupFileSize, text)) {
        ConfigProblem("Cannot read %s: left as it is", path.c_str());
        return false;
    }
    bool changed = false;
    std::string edited;
    for (const LoaderEntry& entry : entries) {
        if (DropLoaderEntries(text, entry.program, entry.key, edited)) {
            text.swap(edited);
            changed = true;
        }
    }
    if (!changed) return true;
    std::string failure;
    if (!ReplaceSystemTextFile(path, text, &failure)) {
        ConfigProblem("Cannot rewrite %s, %s: left as it is", path.c_str(), failure.c_str());
        return false;
    }
    return true;
}

// Copies AUTOEXEC.BAT to the backup unless a backup exists; false when a
// backup was needed and could not be made.
bool KeepBackup(const std::string& autoexecPath, const std::string& backupPath)
{
    if (GetFileAttributesA(autoexecPath.c_str()) == INVALID_FILE_ATTRIBUTES) return true; // nothing to keep
    if (GetFileAttributesA(backupPath.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (undojournal::RecordFile(backupPath) && CopyFileA(autoexecPath.c_str(), backupPath.c_str(), TRUE)) return true;
    DWORD error = GetLastError();
    DeleteFileA(backupPath.c_str()); // a partial copy would pass for the backup next time
    ConfigProblem("Cannot copy %s to %s (error %lu): left as it is", autoexecPath.c_str(), backupPath.c_str(), error);
    return false;
}

} // namespace

void RegisterRealtime(const SetupData& data)
{
    WriteVxdKey(data);

    const std::string build = fw::LoadText(IDS_CURRENT_BUILD_NUMBER);
    if (!build.empty())
        LogFailedValue(CfgWriteString(kProductKey, nullptr, "CurrentBuildNumber", build.c_str()), kProductKey,
                       "CurrentBuildNumber");
    LogFailedValue(CfgWriteDword(kProductKey, nullptr, "InstallDate", static_cast<DWORD>(std::time(nullptr))),
                   kProductKey, "InstallDate");
    const std::string home(TextOf(data.InstallPath));
    LogFailedValue(CfgWriteString(kProductKey, "Path", "HOME", home.c_str()), kProductKey, "Path\\HOME");
    const std::string monitor = HomePath(data, "\\rtwatch.exe");
    LogFailedValue(CfgWriteString(kRunKey, nullptr, "Brantoke Realtime Monitor", monitor.c_str()), kRunKey,
                   "Brantoke Realtime Monitor");
}

bool RemoveLoaderEntry(const std::string& path, const std::string& program, const std::string& key)
{
    return RemoveLoaderEntries(path, {{program.c_str(), key.c_str()}});
}

void CleanIniLoaders(const std::string& windowsDirectory)
{
    PathName directory(PathName::kWindowsDirectory);
    if (!windowsDirectory.empty()) directory.SetDirectory(windowsDirectory);
    PathName winIni = directory;
    winIni.SetFileName("WIN.INI");
    RemoveLoaderEntries(
        winIni.Text(),
        {{"vigilor.exe", "load"}, {"vigilor.exe", "run"}, {"vgload.exe", "load"}, {"vgload.exe", "run"}});
    PathName systemIni = directory;
    systemIni.SetFileName("SYSTEM.INI");
    RemoveLoaderEntries(systemIni.Text(), {{"vigilor", "*"}});
}

void EditAutoexec(const SetupData& data, const std::string& autoexecPath)
{
    // "SET KORVISAN=" with nothing after it would point the DOS scan nowhere.
    const std::string home(TextOf(data.InstallPath));
    const std::string shortHome = PathName(home).ShortText();
    if (shortHome.empty()) {
        ConfigProblem("No short form of %s: %s left as it is", home.c_str(), autoexecPath.c_str());
        return;
    }
    std::string text;
    if (!ReadSystemTextFile(autoexecPath, kMaxStartupFileSize, text)) {
        ConfigProblem("Cannot read %s: left as it is", autoexecPath.c_str());
        return;
    }
    if (!KeepBackup(autoexecPath, HomePath(data, "\\AUTOEXEC.KOR"))) return;
    const std::string edited = EditAutoexecText(text, shortHome, std::string(TextOf(data.ExamineOptions)));
    if (edited == text) return;
    std::string failure;
    if (!ReplaceSystemTextFile(autoexecPath, edited, &failure))
        ConfigProblem("Cannot rewrite %s, %s: left as it is", autoexecPath.c_str(), failure.c_str());
}
