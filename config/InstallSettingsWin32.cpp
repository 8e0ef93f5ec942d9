#include "config/InstallLog.h"
#include "config/InstallSettings.h"
#include "config/Registry.h"
#include "engine/FixedText.h"
#include "engine/profile/ProfileFileWin32.h"

#include <windows.h>

#include <cstring>

namespace {

const char kDefaultHome[] = "C:\\Brantoke AntiVirus";

// An earlier installation's home directory, if any.
std::string EarlierHome()
{
    char home[256];
    static const char* const kKeys[] = {"SOFTWARE\\Brantoke\\Korvisan\\CurrentVersion",
                                        "SOFTWARE\\Brantoke\\Korvisan95\\CurrentVersion"};
    for (const char* key : kKeys) {
        CfgReadString(key, "Path", "HOME", "", home, sizeof home);
        if (home[0] != '\0') return home;
    }
    return {};
}

} // namespace

std::string ProgramFilesInstallPath()
{
    HKEY key = nullptr;
    std::string dir;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        char value[261] = {};
        DWORD size = 260;
        DWORD type = 0;
        if (RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS)
            dir.assign(value, strnlen(value, size));
        RegCloseKey(key);
    }
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
    std::string home = EarlierHome();
    return home.empty() ? ProgramFilesInstallPath() : home;
}

} // namespace

bool ReadInstallSettings(SetupData& data, bool unattended, bool nameRefused)
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
            CopyText(data.InstallPath, ProgramFilesInstallPath());
        } else {
            EmptySettings none;
            SettingsHooks hooks;
            hooks.fallbackInstallPath = FallbackHome;
            ReadSettingsKeys(data, none, hooks);
        }
        return false;
    }

    PrivateProfileFile file(data.UnattendedFile);
    SettingsHooks hooks;
    hooks.log = [](const std::string& line) { LogMessage("%s", line.c_str()); };
    hooks.fallbackInstallPath = FallbackHome;
    ReadSettingsKeys(data, file, hooks);
    return true;
}
