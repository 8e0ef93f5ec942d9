// The call interfaces of the product libraries setup loads at run time: the
// antivirus engine (reached by ordinals only) and the rescue library. One
// header for setup and for the stand-ins, so that calling convention and
// argument widths cannot drift apart. Fixed-width types only: the same
// declarations serve the PE32 and the PE32+ build.
#pragma once
#include <windows.h>

#include <cstdint>

// ---- Antivirus engine "VSE32ENG.DLL" ----------------------------------------
// Status results are 16-bit, 0 = success. Handles are 32-bit cells.
using EngineStatus = uint16_t;
using EngineHandle = uint32_t;

// Sent to the notify window during a scan (WM_USER + 1000); no parameters.
constexpr UINT WM_ENGINE_PROGRESS = WM_USER + 1000;

// EngineLoadData results setup tells apart.
constexpr EngineStatus kEngineDataNoMemory = 10;
constexpr EngineStatus kEngineDataCannotOpen = 11;
constexpr EngineStatus kEngineDataBadFormat = 20;
// EngineScanMemory results: 0 clean, 1 removed, 0x4000 the scan failed,
// anything else a virus that stays.
constexpr EngineStatus kEngineScanClean = 0;
constexpr EngineStatus kEngineScanRemoved = 1;
constexpr EngineStatus kEngineScanFailed = 0x4000;

// The ordinals setup calls.
enum EngineOrdinal : uint16_t {
    kOrdEngineOpen = 2,
    kOrdEngineSetOptions = 5,
    kOrdEngineLoadData = 8,
    kOrdEngineGetDataInfo = 10,
    kOrdEngineGetVirusName = 23,
    kOrdEngineReleaseData = 26,
    kOrdEngineClose = 27,
    kOrdEngineScanMemory = 28,
    kOrdEngineSetNotifyWindow = 39,
    kOrdEngineGetProgress = 55,
};

using EngineOpenFn = EngineStatus(WINAPI*)(EngineHandle* handle);
using EngineSetOptionsFn = EngineStatus(WINAPI*)(EngineHandle handle, const uint16_t* options, uint16_t count);
using EngineLoadDataFn = EngineStatus(WINAPI*)(EngineHandle handle);
using EngineGetDataInfoFn = EngineStatus(WINAPI*)(EngineHandle handle, uint32_t* info1, uint32_t* info2,
                                                  uint32_t* info3, uint32_t* info4);
using EngineSetNotifyWindowFn = EngineStatus(WINAPI*)(EngineHandle handle, HWND window, uint32_t reserved);
using EngineScanMemoryFn = EngineStatus(WINAPI*)(EngineHandle handle);
using EngineGetVirusNameFn = const char*(WINAPI*)(EngineHandle handle);
using EngineGetProgressFn = uint16_t(WINAPI*)(EngineHandle handle);
using EngineReleaseDataFn = EngineStatus(WINAPI*)(EngineHandle handle);
using EngineCloseFn = EngineStatus(WINAPI*)(EngineHandle handle);
// The ordinals setup resolves but never calls only have to exist.
using EngineUnusedFn = EngineStatus(WINAPI*)(EngineHandle handle);

// The library's file name, and every ordinal setup resolves: loading fails
// when one of them is missing (19, 20, 46, 48, 49, 58, 59, 64 are not asked for).
constexpr const char* kEngineLibraryName = "VSE32ENG.DLL";
constexpr uint16_t kEngineOrdinals[] = {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 21, 22,
                                        23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41,
                                        42, 43, 44, 45, 47, 50, 51, 52, 53, 54, 55, 56, 57, 60, 61, 62, 63, 65};
static_assert(sizeof kEngineOrdinals / sizeof kEngineOrdinals[0] == 56, "the engine has 56 entry points");
constexpr uint16_t kEngineHighestOrdinal = 65;

// ---- Rescue library "rescue.dll" ---------------------------------------------
// Backs up the critical disk areas; returns when done. The result is not used.
using CreateRescueDiskFn = int32_t(WINAPI*)(HWND page, int32_t unattended);
constexpr const char* kCreateRescueDiskName = "CreateRescueDisk";
