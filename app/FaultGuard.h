// The top-level guard of the setup program: nothing may end it silently. A
// C++ exception that leaves the run and a processor fault (page fault, ...)
// that no one handles both go to one handler, which reports them and gives
// the exit code the process ends with.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

using FaultHandler = std::function<int(const std::string& fault)>;

// Runs `run` under the guard and returns its result, or the handler's for
// an exception; a fault ends the process with the handler's result.
int RunGuarded(const std::function<int()>& run, FaultHandler onFault);

// "fault 0xC0000005 at 0x401000" (code and address in hex).
std::string DescribeFault(uint32_t code, uint64_t address);
