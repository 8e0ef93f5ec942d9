#include "app/FaultGuard.h"

#include <windows.h>

#include <cstdio>
#include <exception>

namespace {

FaultHandler g_onFault;

LONG WINAPI OnUnhandledFault(EXCEPTION_POINTERS* info)
{
    // Once only: a fault inside the report ends the process at once.
    static LONG entered = 0;
    if (InterlockedExchange(&entered, 1) != 0) ExitProcess(1603);
    const EXCEPTION_RECORD* record = info ? info->ExceptionRecord : nullptr;
    std::string fault = DescribeFault(record ? record->ExceptionCode : 0,
                                      record ? reinterpret_cast<uintptr_t>(record->ExceptionAddress) : 0);
    int code = g_onFault ? g_onFault(fault) : 1603;
    ExitProcess(static_cast<UINT>(code));
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

std::string DescribeFault(uint32_t code, uint64_t address)
{
    char text[64];
    std::snprintf(text, sizeof text, "fault 0x%08lX at 0x%llX", static_cast<unsigned long>(code),
                  static_cast<unsigned long long>(address));
    return text;
}

int RunGuarded(const std::function<int()>& run, FaultHandler onFault)
{
    g_onFault = std::move(onFault);
    SetUnhandledExceptionFilter(&OnUnhandledFault);
    try {
        return run();
    } catch (const std::exception& e) {
        return g_onFault(std::string("exception: ") + e.what());
    } catch (...) {
        return g_onFault("unknown exception");
    }
}
