// Stand-in for the product's antivirus engine "VSE32ENG.DLL": every entry
// point exists under its ordinal (no names), every call leaves the line
// "ordinal N" in VSE32ENG.REC in the Windows directory. The data files are
// really looked for in the current directory; the outcomes a test wants come
// from the environment:
//   VSE32ENG_LOAD   result of loading the data (default 0)
//   VSE32ENG_SCAN   result of the memory scan (default 0; "0x4000" works)
//   VSE32ENG_VIRUS  the name the scan found (default empty)
#include "product/ProductLibraries.h"
#include "standins/StandinRecord.h"

#include <cstdlib>
#include <string>
#include <type_traits>

namespace {

constexpr EngineHandle kInstance = 0x4B56;
// A memory scan takes a moment, as on a real machine, so that its page can be seen.
constexpr DWORD kScanStepMs = 150;
// The option block setup passes; anything else is refused.
const uint16_t kExpectedOptions[17] = {1, 0, 6, 0, 0, 1, 8, 1, 16, 1, 30, 0, 0, 20, 0, 0, 0};

HWND g_notify = nullptr;
uint16_t g_progress = 0;
std::string g_virusName;

void Record(int ordinal) { RecordWindowsLine("VSE32ENG.REC", "ordinal " + std::to_string(ordinal)); }

std::string Setting(const char* name)
{
    char buf[1024] = {};
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

EngineStatus StatusSetting(const char* name)
{
    std::string value = Setting(name);
    return static_cast<EngineStatus>(std::strtoul(value.c_str(), nullptr, 0));
}

bool FileHere(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

} // namespace

extern "C" {

EngineStatus WINAPI EngineOpen(EngineHandle* handle)
{
    Record(kOrdEngineOpen);
    if (!handle) return 1;
    *handle = kInstance;
    return 0;
}

EngineStatus WINAPI EngineSetOptions(EngineHandle handle, const uint16_t* options, uint16_t count)
{
    Record(kOrdEngineSetOptions);
    if (handle != kInstance || !options || count != 17) return 1;
    for (int i = 0; i < 17; ++i)
        if (options[i] != kExpectedOptions[i]) return 1;
    return 0;
}

EngineStatus WINAPI EngineLoadData(EngineHandle handle)
{
    Record(kOrdEngineLoadData);
    if (!FileHere("VIRSIG.DAT") || !FileHere("VIRINFO.DAT")) return kEngineDataCannotOpen;
    return StatusSetting("VSE32ENG_LOAD");
}

EngineStatus WINAPI EngineGetDataInfo(EngineHandle handle, uint32_t* info1, uint32_t* info2, uint32_t* info3,
                                      uint32_t* info4)
{
    Record(kOrdEngineGetDataInfo);
    uint32_t* cells[] = {info1, info2, info3, info4};
    for (uint32_t i = 0; i < 4; ++i)
        if (cells[i]) *cells[i] = i + 1;
    return 0;
}

EngineStatus WINAPI EngineSetNotifyWindow(EngineHandle handle, HWND window, uint32_t reserved)
{
    Record(kOrdEngineSetNotifyWindow);
    g_notify = window;
    return 0;
}

EngineStatus WINAPI EngineScanMemory(EngineHandle handle)
{
    Record(kOrdEngineScanMemory);
    for (uint16_t percent : {25, 50, 75, 100}) {
        Sleep(kScanStepMs); // the scan of a quarter of the memory
        g_progress = percent;
        if (g_notify) SendMessageA(g_notify, WM_ENGINE_PROGRESS, 0, 0);
    }
    g_virusName = Setting("VSE32ENG_VIRUS");
    return StatusSetting("VSE32ENG_SCAN");
}

const char* WINAPI EngineGetVirusName(EngineHandle handle)
{
    Record(kOrdEngineGetVirusName);
    return g_virusName.c_str();
}

uint16_t WINAPI EngineGetProgress(EngineHandle handle)
{
    Record(kOrdEngineGetProgress);
    return g_progress;
}

EngineStatus WINAPI EngineReleaseData(EngineHandle handle)
{
    Record(kOrdEngineReleaseData);
    return 0;
}

EngineStatus WINAPI EngineClose(EngineHandle handle)
{
    Record(kOrdEngineClose);
    g_notify = nullptr;
    g_progress = 0;
    return 0;
}

// The entry points setup resolves but never calls.
#define UNUSED_ENTRY(n)                                                                                                \
    EngineStatus WINAPI EngineEntry##n(EngineHandle handle)                                                            \
    {                                                                                                                  \
        Record(n);                                                                                                     \
        return 0;                                                                                                      \
    }
// clang-format off
UNUSED_ENTRY(3) UNUSED_ENTRY(4) UNUSED_ENTRY(6) UNUSED_ENTRY(7) UNUSED_ENTRY(9) UNUSED_ENTRY(11) UNUSED_ENTRY(12)
UNUSED_ENTRY(13) UNUSED_ENTRY(14) UNUSED_ENTRY(15) UNUSED_ENTRY(16) UNUSED_ENTRY(17) UNUSED_ENTRY(18)
UNUSED_ENTRY(21) UNUSED_ENTRY(22) UNUSED_ENTRY(24) UNUSED_ENTRY(25) UNUSED_ENTRY(29) UNUSED_ENTRY(30)
UNUSED_ENTRY(31) UNUSED_ENTRY(32) UNUSED_ENTRY(33) UNUSED_ENTRY(34) UNUSED_ENTRY(35) UNUSED_ENTRY(36)
UNUSED_ENTRY(37) UNUSED_ENTRY(38) UNUSED_ENTRY(40) UNUSED_ENTRY(41) UNUSED_ENTRY(42) UNUSED_ENTRY(43)
UNUSED_ENTRY(44) UNUSED_ENTRY(45) UNUSED_ENTRY(47) UNUSED_ENTRY(50) UNUSED_ENTRY(51) UNUSED_ENTRY(52)
UNUSED_ENTRY(53) UNUSED_ENTRY(54) UNUSED_ENTRY(56) UNUSED_ENTRY(57) UNUSED_ENTRY(60) UNUSED_ENTRY(61)
UNUSED_ENTRY(62) UNUSED_ENTRY(63) UNUSED_ENTRY(65)
// clang-format on

} // extern "C"

// The entries setup calls have exactly the types setup calls them with.
static_assert(std::is_same_v<decltype(&EngineOpen), EngineOpenFn>);
static_assert(std::is_same_v<decltype(&EngineSetOptions), EngineSetOptionsFn>);
static_assert(std::is_same_v<decltype(&EngineLoadData), EngineLoadDataFn>);
static_assert(std::is_same_v<decltype(&EngineGetDataInfo), EngineGetDataInfoFn>);
static_assert(std::is_same_v<decltype(&EngineSetNotifyWindow), EngineSetNotifyWindowFn>);
static_assert(std::is_same_v<decltype(&EngineScanMemory), EngineScanMemoryFn>);
static_assert(std::is_same_v<decltype(&EngineGetVirusName), EngineGetVirusNameFn>);
static_assert(std::is_same_v<decltype(&EngineGetProgress), EngineGetProgressFn>);
static_assert(std::is_same_v<decltype(&EngineReleaseData), EngineReleaseDataFn>);
static_assert(std::is_same_v<decltype(&EngineClose), EngineCloseFn>);
