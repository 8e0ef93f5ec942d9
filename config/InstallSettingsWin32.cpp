#include "config/log/InstallLog.h"
#include "config/InstallSettings.h"
#include "config/ProductSettings.h"
#include "config/Registry.h"
#include "engine/base/FixedText.h"
#include "engine/profile/ProfileFileWin32.h"

#include <windows.h>

#include <cstring>

namespace {

const char kDefaultHome[] = "C:\\Brantoke AntiVirus";

} // namespace

std::string RecordedHomeDirectory(const char* productKey)
{
    const std::string path = std::string(productKey) + "\\Path";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    char home[256] = {};
    DWORD size = sizeof home - 1; // room for a terminator the value may lack
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, "HOME", nullptr, &type, reinterpret_cast<BYTE*>(home), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return {};
    return std::string(home, strnlen(home, size));
}

std::string EarlierHomeDirectory()
{
    for (const char* key : {kProductKey, kProduct95Key}) {
        std::string home = RecordedHomeDirectory(key);
        if (!home.empty()) return home;
    }
    return {};
}

std::string ProgramFilesDirectory()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWindowsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    char value[261] = {};
    DWORD size = 260;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    return std::string(value, strnlen(value, size));
}

std::string ProgramFilesInstallPath()
{
    const std::string dir = ProgramFilesDirectory();
    if (dir.empty()) return kDefaultHome;
    std::string path = dir + "\\Brantoke\\AntiVirus";
    // A directory that would not fit the setup data is not cut into another one.
    if (path.size() > sizeof(SetupData::InstallPath) - 1) return kDefaultHome;
    return path;
}

namespace {

// The settings file of a retail installation that has none.
class EmptySettings : public ProfileStore {
public:
    uint32_t GetString(const char*, const char*, const char* defaultText, char* buffer, uint32_t size) override
    {
        if (size == 0) return 0;
        CopyText(buffer, size, defaultText ? defaultText : "");
        return static_cast<uint32_t>(std::strlen(buffer));
    }
    int32_t GetInt(const char*, const char*, int32_t defaultValue) override { return defaultValue; }
    bool WriteString(const char*, const char*, const char*) override { return false; }
};

std::string FallbackHome()
{
    std::string home = EarlierHomeDirectory();
    return home.empty() ? ProgramFilesInstallPath() : home;
}

} // namespace

bool ReadInstallSettings(SetupData& data, std::string& home, bool unattended, bool nameRefused)
{
    if (!nameRefused && data.UnattendedFile[0] == '\0') {
        char current[MAX_PATH + 1] = {};
        DWORD n = GetCurrentDirectoryA(MAX_PATH, current);
        std::string path(current, n <= MAX_PATH ? n : 0);
        if (path.empty() || path.back() != '\\') path += '\\';
        path += "KORVISAN.ICF";
        CopyText(data.UnattendedFile, path);
    }

    const DWORD attributes = nameRefused ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(data.UnattendedFile);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if (unattended) {
            ReportSetupError(data, 1024);
            data.ComponentMask |= kComponentManager | kComponentAutoDownload | kComponentRealtime;
            home = ProgramFilesInstallPath();
        } else {
            EmptySettings none;
            SettingsHooks hooks;
            hooks.fallbackInstallPath = FallbackHome;
            home = ReadSettingsKeys(data, none, hooks);
        }
        return false;
    }

    PrivateProfileFile file(data.UnattendedFile);
    SettingsHooks hooks;
    hooks.log = [](const std::string& line) { LogMessage("%s", line.c_str()); };
    hooks.fallbackInstallPath = FallbackHome;
    home = ReadSettingsKeys(data, file, hooks);
    return true;
}
