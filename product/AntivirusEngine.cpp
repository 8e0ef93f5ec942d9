#include "product/AntivirusEngine.h"

#include "engine/base/PathName.h"
#include "engine/UserMessage.h"

namespace avengine {
namespace {

// Passed as it stands; its meaning belongs to the engine.
const uint16_t kEngineOptionBlock[17] = {1, 0, 6, 0, 0, 1, 8, 1, 16, 1, 30, 0, 0, 20, 0, 0, 0};

HMODULE g_library = nullptr;
EngineHandle g_engine = 0;
FARPROC g_entries[kEngineHighestOrdinal + 1] = {};

template <class Fn> Fn Entry(uint16_t ordinal)
{
    // Through the generic function type: the entry's real type is Fn.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(g_entries[ordinal]));
}

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

void FreeEngineLibrary()
{
    if (g_library) FreeLibrary(g_library);
    g_library = nullptr;
    g_engine = 0;
    for (FARPROC& entry : g_entries) entry = nullptr;
}

bool ResolveOrdinals()
{
    for (uint16_t ordinal : kEngineOrdinals) {
        g_entries[ordinal] = GetProcAddress(g_library, MAKEINTRESOURCEA(ordinal));
        if (!g_entries[ordinal]) return false;
    }
    return true;
}

// The data-file messages have no owner and the engine's own caption.
void DataFileMessage(const char* text) { ShowUserMessage(nullptr, text, "Korvisan", MB_OK | MB_ICONERROR, IDOK); }

// The current directory, switched for the life of the object.
class CurrentDirectorySwitch {
public:
    explicit CurrentDirectorySwitch(const std::string& directory)
    {
        char buf[512] = {};
        DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
        if (n > 0 && n < sizeof buf) previous_ = buf;
        SetCurrentDirectoryA(directory.c_str());
    }
    ~CurrentDirectorySwitch()
    {
        if (!previous_.empty()) SetCurrentDirectoryA(previous_.c_str());
    }
    CurrentDirectorySwitch(const CurrentDirectorySwitch&) = delete;
    CurrentDirectorySwitch& operator=(const CurrentDirectorySwitch&) = delete;

private:
    std::string previous_;
};

LoadResult LoadInCurrentDirectory()
{
    char current[512] = {};
    DWORD n = GetCurrentDirectoryA(sizeof current, current);
    std::string path = WithTrailingBackslash(n < sizeof current ? current : "", &IsLeadByte) + kEngineLibraryName;
    g_library = LoadLibraryA(path.c_str());
    if (!g_library) g_library = LoadLibraryA(kEngineLibraryName);
    if (!g_library) return kNoLibrary;
    if (!ResolveOrdinals()) return kNoLibrary;

    if (Entry<EngineOpenFn>(kOrdEngineOpen)(&g_engine) != 0) return kOpenFailed;
    if (Entry<EngineSetOptionsFn>(kOrdEngineSetOptions)(g_engine, kEngineOptionBlock, 17) != 0) return kOptionsRefused;
    switch (Entry<EngineLoadDataFn>(kOrdEngineLoadData)(g_engine)) {
    case 0: {
        uint32_t info[4] = {};
        Entry<EngineGetDataInfoFn>(kOrdEngineGetDataInfo)(g_engine, &info[0], &info[1], &info[2], &info[3]);
        return kLoaded;
    }
    case kEngineDataNoMemory: DataFileMessage("Error allocating memory for data file"); return kDataNoMemory;
    case kEngineDataCannotOpen: DataFileMessage("Error opening data file"); return kDataCannotOpen;
    case kEngineDataBadFormat:
        DataFileMessage("Invalid format of ");
        DataFileMessage("VIRSIG.DAT");
        return kDataBadFormat;
    default: DataFileMessage("Error loading data file"); return kDataFailed;
    }
}

} // namespace

LoadResult Load(const std::string& directory)
{
    Unload();
    LoadResult result;
    {
        CurrentDirectorySwitch in(directory);
        result = LoadInCurrentDirectory();
    }
    // A failed load leaves no library behind; an engine opened before the
    // failure goes with the library, without the tear-down calls.
    if (result != kLoaded) FreeEngineLibrary();
    return result;
}

bool IsOpen() { return g_library != nullptr && g_engine != 0; }

void SetNotifyWindow(HWND window)
{
    if (IsOpen()) Entry<EngineSetNotifyWindowFn>(kOrdEngineSetNotifyWindow)(g_engine, window, 0);
}

EngineStatus ScanMemory()
{
    return IsOpen() ? Entry<EngineScanMemoryFn>(kOrdEngineScanMemory)(g_engine) : kEngineScanClean;
}

std::string VirusName()
{
    if (!IsOpen()) return std::string();
    const char* name = Entry<EngineGetVirusNameFn>(kOrdEngineGetVirusName)(g_engine);
    if (!name) return std::string();
    std::size_t length = 0;
    while (length < 1023 && name[length] != '\0') ++length; // the name buffer's 1023 characters
    return std::string(name, length);
}

int Progress() { return IsOpen() ? Entry<EngineGetProgressFn>(kOrdEngineGetProgress)(g_engine) : 0; }

void Unload()
{
    if (IsOpen()) {
        Entry<EngineReleaseDataFn>(kOrdEngineReleaseData)(g_engine);
        Entry<EngineCloseFn>(kOrdEngineClose)(g_engine);
    }
    FreeEngineLibrary();
}

void DeleteEngineFiles(const std::string& directory)
{
    std::string dir = WithTrailingBackslash(directory, &IsLeadByte);
    for (const char* name : {"Vse32eng.dll", "Virsig.dat", "Virinfo.dat"}) DeleteFileA((dir + name).c_str());
}

} // namespace avengine
