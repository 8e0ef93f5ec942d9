// The product's configuration as data: every registry value the settings
// writer stores (with its write class), the entries of the scanner settings
// file KORVISAN.INI, the 80-byte extension lists and the Navigator viewer
// numbering. Platform-free; the Win32 writers (ConfigWriters.h) only store
// what these functions list.
#pragma once
#include "engine/base/SetupData.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

extern const char kProductKey[];          // SOFTWARE\Brantoke\Korvisan\CurrentVersion
extern const char kProduct95Key[];        // SOFTWARE\Brantoke\Korvisan95\CurrentVersion (the older product)
extern const char kWindowsKey[];          // SOFTWARE\Microsoft\Windows\CurrentVersion
extern const char kAutoDownloadKey[];     // SOFTWARE\Brantoke\Korvisan\DadOVO\CurrentVersion
extern const char kRunKey[];              // SOFTWARE\Microsoft\Windows\CurrentVersion\Run
extern const char kRunOnceKey[];          // SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce
extern const char kProductUninstallKey[]; // ...\Uninstall\Brantoke AntiVirus

// Longest path the writers build from InstallPath (the platform's path limit
// less the terminator); a longer one is logged and passed over.
constexpr std::size_t kMaxConfigPath = 259;

// The registry form of an extension list ("ZIP*ARJ*"): each extension
// followed by a zero byte, zero bytes up to 80. An extension that does not
// fit whole is left out with all after it, and the last byte is always zero
// (the list's end); empty extensions ("**") are skipped.
constexpr std::size_t kExtensionListBytes = 80;
std::array<uint8_t, kExtensionListBytes> ExtensionListBytes(std::string_view list);

// 0x10 copy before cure, 0x20 rename when the cure fails, then 0x80 macro
// cure or else 0x40.
uint32_t PrePostMethod(const SetupData& d);

enum class ValueType { Dword, String, Binary };
// Always: written on every installation. Default: written in overwrite mode
// or when the value is missing.
enum class WriteClass { Always, Default };

struct SettingValue {
    std::string Key; // full key path under HKEY_LOCAL_MACHINE
    std::string Name;
    ValueType Type = ValueType::Dword;
    WriteClass Class = WriteClass::Always;
    uint32_t Dword = 0;
    std::string Text;           // String
    std::vector<uint8_t> Bytes; // Binary
};

struct BuildTexts {
    std::string CurrentBuild;       // string 29111
    std::string CurrentBuildNumber; // string 29112
};

// The values of the product settings, in writing order, up to the Run value
// (steps before the shell extension and KORVISAN.INI). installDate: seconds
// since 1970 UTC.
std::vector<SettingValue> ProductSettingValues(const SetupData& d, const BuildTexts& texts, uint32_t installDate);
// The values written after KORVISAN.INI (Systemsetting).
std::vector<SettingValue> LateSettingValues(const SetupData& d);
// The working directories below InstallPath, in creation order.
extern const char* const kWorkingDirectoryTails[4]; // "\TMP", ...
std::vector<std::string> WorkingDirectories(const SetupData& d);
std::vector<std::string> WorkingDirectories(std::string_view home);

// InstallPath + tail, or empty when that would exceed kMaxConfigPath.
std::string HomePath(const SetupData& d, std::string_view tail);
std::string HomePath(std::string_view home, std::string_view tail);

// One entry of KORVISAN.INI. Numbers are written as signed decimal text.
struct IniEntry {
    const char* Section;
    const char* Key;
    bool IsNumber;
    int32_t Number;
    std::string Text; // at most 255 characters
    std::string ValueText() const;
};
std::vector<IniEntry> ScannerIniEntries(const SetupData& d);

// Navigator's viewer table: the TYPEn value name to set for a MIME type,
// given the key's values (name, data); empty when a TYPE value already holds
// exactly this type. With no TYPE value at all the three ZIP types take
// TYPE0..TYPE2; otherwise the number after the greatest TYPE name (by byte
// order) and upward, skipping every name the key already has.
std::string ViewerTypeName(const std::vector<std::pair<std::string, std::string>>& values, const std::string& mime);
extern const char* const kZipMimeTypes[3];
