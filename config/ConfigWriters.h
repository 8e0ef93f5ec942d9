// The configuration writers the configuring page runs: uninstall
// registration, the product settings (registry, working directories,
// KORVISAN.INI), the shell extension, browser viewers and the ZIP
// association, the scan job file. None of them stops the installation: a
// value or file that cannot be written is logged and passed over.
#pragma once
#include "engine/base/SetupData.h"

#include <windows.h>

#include <string>

// What the steps of the configuring page share.
struct ConfigContext {
    HKEY TargetRegistry = nullptr; // connection to HKEY_LOCAL_MACHINE
    SetupData* Data = nullptr;
    std::string StartJob; // start.job as found on the media; empty when it is not there
    bool IntegrateNavigator = false;
    bool IntegrateExplorer = false;
};

// DisplayName (string 22) and UninstallString "<home>\uninstal.exe".
void RegisterUninstall(const ConfigContext& ctx);
// Deletes RunOnce "Korvisan Unistall" through the open connection.
void RemoveOldUninstallRunOnce(const ConfigContext& ctx);

// The product's registry values (always / default classes against
// OverwriteRegistry), working directories, the shell extension and
// KORVISAN.INI.
void WriteProductSettings(const ConfigContext& ctx);
// KORVISAN.INI in the Windows directory. Overwrite: every entry gets the
// field's value. Keep: only missing entries are written; what is there stays
// byte for byte.
void WriteScannerIni(const SetupData& d, bool overwrite);
// Same, for a given file (tests).
void WriteScannerIniFile(const std::string& path, const SetupData& d, bool overwrite);

// CLSID, the four shellex handlers, ShellExtDll Path and Counter |= 2, the
// product's ShellExtEnable/ShellExtExePath. Returns 1.
int RegisterShellExtension(const SetupData& d);
// Navigator viewers (per user) and, when Internet Explorer is present, the
// ".zip" association with the front end.
void RegisterBrowserIntegration(const ConfigContext& ctx);
// Adds a TYPEn entry naming the MIME type under HKEY_CURRENT_USER\keyPath,
// unless a TYPE value holds exactly that type; never overwrites a value.
void AddNetscapeViewer(const char* keyPath, const char* mime);

// Copies start.job into the home directory; a failure is logged.
void CopyStartJob(const ConfigContext& ctx);

extern const char kNetscapeViewersKey[];
extern const char kShellExtensionClsid[];
