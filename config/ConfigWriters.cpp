#include "config/ConfigWriters.h"

#include "engine/journal/UndoLog.h"

#include "config/ConfigProblem.h"
#include "config/log/InstallLog.h"
#include "config/ProductSettings.h"
#include "config/Registry.h"
#include "engine/base/FixedText.h"
#include "framework/Text.h"
#include "resources/ids.h"

#include <cstring>
#include <ctime>
#include <vector>

const char kNetscapeViewersKey[] = "SOFTWARE\\Netscape\\Netscape Navigator\\Viewers";
const char kShellExtensionClsid[] = "{5b0c2d1e-7a4f-11d0-9c3a-0060b01f22d4}";

namespace {

const char kShellExtDllKey[] = "SOFTWARE\\Brantoke\\Common\\ShellExtDll";
const char kInternetExplorerKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";
// The class description is spelled so by the shell extension's maker.
const char kShellExtensionName[] = "Brantoke Shell Extention";
constexpr DWORD kShellExtensionBit = 2;

void LogUnwritten(const std::string& key, const std::string& name, LONG status)
{
    ConfigProblem("Cannot write registry value %s\\%s (error %ld)", key.c_str(), name.c_str(),
                  static_cast<long>(status));
}

void WriteSetting(const SettingValue& v, bool overwrite)
{
    if (v.Class == WriteClass::Default && !overwrite &&
        CfgValueExists(HKEY_LOCAL_MACHINE, v.Key.c_str(), nullptr, v.Name.c_str()))
        return;
    LONG status = ERROR_SUCCESS;
    switch (v.Type) {
    case ValueType::Dword: status = CfgWriteDword(v.Key.c_str(), nullptr, v.Name.c_str(), v.Dword); break;
    case ValueType::String: status = CfgWriteString(v.Key.c_str(), nullptr, v.Name.c_str(), v.Text.c_str()); break;
    case ValueType::Binary:
        status =
            CfgWriteBinary(v.Key.c_str(), nullptr, v.Name.c_str(), v.Bytes.data(), static_cast<DWORD>(v.Bytes.size()));
        break;
    }
    if (status != ERROR_SUCCESS) LogUnwritten(v.Key, v.Name, status);
}

// The short 8.3 form of an existing file, else the path as it is.
std::string ShortForm(const std::string& path)
{
    char shortPath[MAX_PATH] = {};
    DWORD n = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    if (n == 0 || n >= sizeof shortPath) return path;
    return shortPath;
}

// A key under HKEY_CLASSES_ROOT with its unnamed value (and one named one).
void WriteClassKey(const std::string& path, const char* text, const char* name = nullptr, const char* value = nullptr)
{
    if (!undojournal::RecordValue(HKEY_CLASSES_ROOT, path, "") ||
        (name && !undojournal::RecordValue(HKEY_CLASSES_ROOT, path, name))) {
        LogUnwritten("HKEY_CLASSES_ROOT\\" + path, "", ERROR_WRITE_FAULT);
        return;
    }
    HKEY key = nullptr;
    LONG status = RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key);
    if (status != ERROR_SUCCESS) {
        LogUnwritten("HKEY_CLASSES_ROOT\\" + path, "", status);
        return;
    }
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
    if (name)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(key);
}

std::string SystemDirectory()
{
    char dir[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(dir, sizeof dir);
    std::string s(dir, n < sizeof dir ? n : 0);
    if (s.empty() || s.back() != '\\') s += '\\';
    return s;
}

std::string WindowsDirectory()
{
    char dir[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    std::string s(dir, n < sizeof dir ? n : 0);
    if (s.empty() || s.back() != '\\') s += '\\';
    return s;
}

// Every value of an open key (name, data as text without its terminator),
// however long: the buffers are sized from the key's own figures and grown
// when a value changes under the enumeration.
std::vector<std::pair<std::string, std::string>> AllValues(HKEY key)
{
    std::vector<std::pair<std::string, std::string>> values;
    DWORD maxName = 0;
    DWORD maxData = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return values;
    std::vector<char> name(maxName + 2);
    std::vector<BYTE> data(maxData + 2);
    for (DWORD i = 0;;) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG status = RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA && name.size() < 65536 && data.size() < (1u << 24)) {
            name.resize(name.size() * 2);
            data.resize(data.size() * 2);
            continue; // the same index again
        }
        if (status != ERROR_SUCCESS) break;
        std::string text(reinterpret_cast<const char*>(data.data()), dataSize);
        while (!text.empty() && text.back() == '\0') text.pop_back();
        values.emplace_back(std::string(name.data(), nameSize), text);
        ++i;
    }
    return values;
}

} // namespace

void RegisterUninstall(const ConfigContext& ctx)
{
    const std::string displayName = fw::LoadText(IDS_UNINSTALL_NAME);
    LONG status = CfgWriteString(kProductUninstallKey, nullptr, "DisplayName", displayName.c_str());
    if (status != ERROR_SUCCESS) LogUnwritten(kProductUninstallKey, "DisplayName", status);
    const std::string command = HomePath(*ctx.Data, "\\uninstal.exe");
    if (command.empty()) {
        LogUnwritten(kProductUninstallKey, "UninstallString", ERROR_FILENAME_EXCED_RANGE);
        return;
    }
    status = CfgWriteString(kProductUninstallKey, nullptr, "UninstallString", command.c_str());
    if (status != ERROR_SUCCESS) LogUnwritten(kProductUninstallKey, "UninstallString", status);
}

void RemoveOldUninstallRunOnce(const ConfigContext& ctx)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(ctx.TargetRegistry, kRunOnceKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    // The value name is spelled so by the uninstaller that writes it.
    if (undojournal::RecordValue(HKEY_LOCAL_MACHINE, kRunOnceKey, "Korvisan Unistall"))
        RegDeleteValueA(key, "Korvisan Unistall");
    RegCloseKey(key);
}

void WriteProductSettings(const ConfigContext& ctx)
{
    const SetupData& d = *ctx.Data;
    const bool overwrite = d.OverwriteRegistry == 1;
    BuildTexts texts{fw::LoadText(IDS_CURRENT_BUILD), fw::LoadText(IDS_CURRENT_BUILD_NUMBER)};
    const uint32_t now = static_cast<uint32_t>(std::time(nullptr));
    for (const SettingValue& v : ProductSettingValues(d, texts, now)) WriteSetting(v, overwrite);
    // An existing directory is no error; one that cannot be made is passed over.
    for (const std::string& dir : WorkingDirectories(d))
        if (undojournal::RecordDirectories(dir)) CreateDirectoryA(dir.c_str(), nullptr);
    RegisterShellExtension(d);
    WriteScannerIni(d, overwrite);
    for (const SettingValue& v : LateSettingValues(d)) WriteSetting(v, overwrite);
}

void WriteScannerIni(const SetupData& d, bool overwrite)
{
    WriteScannerIniFile(WindowsDirectory() + "KORVISAN.INI", d, overwrite);
}

void WriteScannerIniFile(const std::string& path, const SetupData& d, bool overwrite)
{
    // No user text starts with this control character: its return means the
    // entry is missing.
    static const char kMissing[] = "\x7f?";
    for (const IniEntry& e : ScannerIniEntries(d)) {
        if (!overwrite) {
            char probe[8] = {};
            GetPrivateProfileStringA(e.Section, e.Key, kMissing, probe, sizeof probe, path.c_str());
            if (std::strcmp(probe, kMissing) != 0) continue;
        }
        if (!undojournal::RecordIniEntry(path, e.Section, e.Key) ||
            !WritePrivateProfileStringA(e.Section, e.Key, e.ValueText().c_str(), path.c_str()))
            ConfigProblem("Cannot write %s [%s] %s", path.c_str(), e.Section, e.Key);
    }
}

int RegisterShellExtension(const SetupData& d)
{
    const std::string library = ShortForm(SystemDirectory() + "bshell.dll");
    const std::string clsid = std::string("CLSID\\") + kShellExtensionClsid;
    WriteClassKey(clsid, kShellExtensionName);
    WriteClassKey(clsid + "\\InProcServer32", library.c_str(), "ThreadingModel", "Apartment");
    for (const char* handler : {"Drive\\shellex\\PropertySheetHandlers\\", "Drive\\shellex\\ContextMenuHandlers\\",
                                "Directory\\shellex\\ContextMenuHandlers\\", "*\\shellex\\ContextMenuHandlers\\"})
        WriteClassKey(std::string(handler) + kShellExtensionClsid, "");

    LONG status = CfgWriteString(kShellExtDllKey, nullptr, "Path", library.c_str());
    if (status != ERROR_SUCCESS) LogUnwritten(kShellExtDllKey, "Path", status);
    // A usage bit per product of the maker: keep the others' bits.
    DWORD counter = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kShellExtDllKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD value = 0;
        DWORD size = sizeof value;
        DWORD type = 0;
        if (RegQueryValueExA(key, "Counter", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
            size == sizeof value)
            counter = value;
        RegCloseKey(key);
    }
    status = CfgWriteDword(kShellExtDllKey, nullptr, "Counter", counter | kShellExtensionBit);
    if (status != ERROR_SUCCESS) LogUnwritten(kShellExtDllKey, "Counter", status);

    status = CfgWriteDword(kProductKey, nullptr, "ShellExtEnable", 1);
    if (status != ERROR_SUCCESS) LogUnwritten(kProductKey, "ShellExtEnable", status);
    const std::string frontEnd = HomePath(d, "\\korcmd95.exe");
    if (!frontEnd.empty()) {
        status = CfgWriteString(kProductKey, nullptr, "ShellExtExePath", ShortForm(frontEnd).c_str());
        if (status != ERROR_SUCCESS) LogUnwritten(kProductKey, "ShellExtExePath", status);
    }
    return 1;
}

void AddNetscapeViewer(const char* keyPath, const char* mime)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    const std::string name = ViewerTypeName(AllValues(key), mime);
    // Never over another program's entry, even one that appeared meanwhile.
    if (!name.empty() &&
        RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND &&
        undojournal::RecordValue(HKEY_CURRENT_USER, keyPath, name))
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(mime),
                       static_cast<DWORD>(std::strlen(mime) + 1));
    RegCloseKey(key);
}

void RegisterBrowserIntegration(const ConfigContext& ctx)
{
    const SetupData& d = *ctx.Data;
    const std::string frontEnd = HomePath(d, "\\korcmd95.EXE");
    if (frontEnd.empty()) {
        ConfigProblem("Cannot register the browser viewers: the home directory is too long");
        return;
    }
    if (ctx.IntegrateNavigator) {
        const std::string command = frontEnd + " /DOWNLOAD";
        for (const char* mime : kZipMimeTypes) {
            LONG status = CfgWriteUserString(kNetscapeViewersKey, nullptr, mime, command.c_str());
            if (status != ERROR_SUCCESS) LogUnwritten(kNetscapeViewersKey, mime, status);
        }
        for (const char* mime : kZipMimeTypes) AddNetscapeViewer(kNetscapeViewersKey, mime);
    }
    if (ctx.IntegrateExplorer) {
        HKEY explorer = nullptr;
        if (RegOpenKeyExA(ctx.TargetRegistry, kInternetExplorerKey, 0, KEY_ALL_ACCESS, &explorer) != ERROR_SUCCESS)
            return;
        RegCloseKey(explorer);
        WriteClassKey(".zip", "zipfile", "Content Type", "application/x-zip");
        WriteClassKey("zipfile\\Shell\\Open\\Command", ("\"" + frontEnd + "\" /DOWNLOAD %1").c_str());
    }
}

void CopyStartJob(const ConfigContext& ctx)
{
    const std::string destination = HomePath(*ctx.Data, "\\start.job");
    if (destination.empty()) return;
    if (ctx.StartJob.empty())
        LogMessage("start.job is not on the media: no scan job installed");
    else if (!undojournal::RecordFile(destination) || !CopyFileA(ctx.StartJob.c_str(), destination.c_str(), FALSE))
        LogMessage("Cannot copy %s to %s", ctx.StartJob.c_str(), destination.c_str());
}
