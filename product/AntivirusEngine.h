// The product's antivirus engine, loaded at run time from the directory it
// was extracted to and reached by ordinals only. One engine at a time: the
// library handle and the engine handle are process-wide cells.
#pragma once
#include "product/ProductLibraries.h"

#include <windows.h>

#include <string>

namespace avengine {

// Why loading failed; 0 = loaded and data ready.
enum LoadResult : int {
    kLoaded = 0,
    kNoLibrary = 1, // not found, or an ordinal missing
    kOpenFailed = 2,
    kOptionsRefused = 3,
    kDataNoMemory = 4,
    kDataCannotOpen = 5,
    kDataBadFormat = 6,
    kDataFailed = 7,
};

// Loads the library from `directory` (made current for the duration, then
// restored), opens an engine, passes the option block and loads the data
// files, telling the user about data-file failures. Anything but kLoaded
// leaves nothing loaded.
LoadResult Load(const std::string& directory);

bool IsOpen();
// From now on the engine sends WM_ENGINE_PROGRESS to the window while scanning.
void SetNotifyWindow(HWND window);
// Returns when the scan is finished: kEngineScanClean, ...Removed, ...Failed or a virus that stays.
EngineStatus ScanMemory();
// The name of what the scan found, at most 1023 characters.
std::string VirusName();
// Percent of the running scan; 0 without an engine.
int Progress();
// Releases the data, closes the engine and frees the library (nothing when not loaded).
void Unload();

// The engine's files in the directory they were extracted to, deleted by the
// clean-up; failures to delete are ignored.
void DeleteEngineFiles(const std::string& directory);

} // namespace avengine
