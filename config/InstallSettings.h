// The install settings file (KORVISAN.ICF): the product's options for an
// unattended or interactive installation, read into the setup data block.
//
// Format: Windows INI. Numbers are a value's leading decimal digits (missing
// or empty key: the default; non-numeric: 0); texts are read into a buffer of
// a fixed size and cut. Sections: UserInfo, KorvisanInstall, Components,
// LocalScanner, Examine, Startup, SystemSetting, Distribution (the begin/end
// times are read from "InBegHr" etc. first, then "BeginHour" etc. when that
// gives 0; server names are cut to 16 characters), Internet Integration,
// Realtime, AutoDownload. The keys and their defaults are listed in
// InstallSettings.cpp in the order they are read.
#pragma once
#include "engine/base/SetupData.h"
#include "engine/profile/ProfileStore.h"

#include <functional>
#include <string>

struct SettingsHooks {
    // One install log line.
    std::function<void(const std::string&)> log;
    // The home directory when the file names none: an earlier installation's,
    // else the program-files default.
    std::function<std::string()> fallbackInstallPath;
};

// Reads every key of an existing settings file into the block; returns the
// home directory it names (or the fallback), which the caller sets.
std::string ReadSettingsKeys(SetupData& data, ProfileStore& file, const SettingsHooks& hooks);

// Adds the ComponentMask bits of the selected components (never clears one).
void AddComponentBits(SetupData& data);

// The full sequence, Win32: fixes UnattendedFile (current directory +
// "\KORVISAN.ICF" when empty) and reads the file. The file is missing when
// it does not exist, names a directory, or the command line's name for it was
// refused. Unattended, a missing file is setup error 1024, the express mask
// 0x19 and the program-files default directory. Interactively it is the
// normal retail case: every key takes its default, as for an empty file,
// and nothing is logged. `home` gets the home directory to install into.
// Returns whether the file was read.
bool ReadInstallSettings(SetupData& data, std::string& home, bool unattended = false, bool nameRefused = false);

// The program-files directory + "\Brantoke\AntiVirus", or
// "C:\Brantoke AntiVirus" when it is unknown or would not fit. Win32.
std::string ProgramFilesInstallPath();
// "ProgramFilesDir" of the machine's Windows key; empty when missing or not
// a string. Win32.
std::string ProgramFilesDirectory();
// HOME under the product key's "Path" subkey; empty when missing, unreadable
// or not a string. Win32.
std::string RecordedHomeDirectory(const char* productKey);
// The home directory an earlier installation recorded (the product's, else
// the older product's), or empty. Win32.
std::string EarlierHomeDirectory();
