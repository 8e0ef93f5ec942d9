// What starts with the system: the realtime driver (a static VxD) and its
// monitor in the registry, old realtime loaders taken out of WIN.INI and
// SYSTEM.INI, and the DOS scan in AUTOEXEC.BAT.
//
// These files decide whether the machine still starts. Each is read whole,
// edited as text (StartupText.h) and rewritten through a work file only
// when something changes (SystemTextFile.h); a file that cannot be read or
// replaced stays exactly as it was, and the reason goes to the install log.
// None of the writers stops the installation.
#pragma once
#include "engine/base/SetupData.h"

#include <string>

constexpr const char* kAutoexecPath = "C:\\AUTOEXEC.BAT";

// The VxD key "System\CurrentControlSet\Services\VxD\Vigilo32" ("Start" one
// byte 0, "StaticVxD" the short path of vigilo32.vxd in the home directory),
// the product key's "CurrentBuildNumber", "InstallDate" and "Path\HOME",
// and the Run value "Brantoke Realtime Monitor". Without a short form of
// the home directory the VxD key is not written (logged).
void RegisterRealtime(const SetupData& data);

// One pass over an INI-style file (see DropLoaderEntries): the file is
// rewritten only when an entry was dropped. False when the file could not
// be read or replaced (logged); true otherwise, a missing file included.
bool RemoveLoaderEntry(const std::string& path, const std::string& program, const std::string& key);

// vigilor.exe and vgload.exe out of "load=" and "run=" of WIN.INI, lines
// naming vigilor out of SYSTEM.INI, in `windowsDirectory` (empty: the
// Windows directory).
void CleanIniLoaders(const std::string& windowsDirectory = std::string());

// Puts "SET KORVISAN=<short home>" and "<short home>\EXAMINE.EXE <options>"
// at the end of AUTOEXEC.BAT, replacing earlier such lines. Before the
// first change the file is copied to AUTOEXEC.KOR in the home directory;
// an existing backup is kept (it holds the state before the first
// installation). Without a short form of the home directory, or when the
// backup cannot be made, the file is left alone (logged).
void EditAutoexec(const SetupData& data, const std::string& autoexecPath = kAutoexecPath);
