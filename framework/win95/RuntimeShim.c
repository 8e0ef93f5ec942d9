/* Names that mingw-w64's libstdc++ and start-up code take from MSVCRT.DLL
 * but CRTDLL.DLL, the C runtime of Windows 95, does not export under them. */
#include <errno.h>
#include <io.h>
#include <windows.h>

int close(int fd) { return _close(fd); }
int read(int fd, void* buffer, unsigned int count) { return _read(fd, buffer, count); }

/* time() with a 32-bit time_t: CRTDLL.DLL names it plain "time", which the
 * headers do not reach; the system clock gives the same seconds since 1970. */
static long __cdecl Time32(long* result)
{
    FILETIME now;
    ULARGE_INTEGER ticks;
    GetSystemTimeAsFileTime(&now);
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    long seconds = (long)((ticks.QuadPart - 116444736000000000ULL) / 10000000ULL);
    if (result) *result = seconds;
    return seconds;
}
long(__cdecl* ImportTime32)(long*) __asm__("__imp___time32") = Time32;

/* std::random_device's default source; setup never asks it for a number.
 * Failing makes libstdc++ throw instead of returning something not random. */
static int __cdecl NoRandS(unsigned int* value)
{
    (void)value;
    return ENOSYS;
}
int(__cdecl* ImportRandS)(unsigned int*) __asm__("__imp__rand_s") = NoRandS;

/* The win32 threading model makes a semaphore for every mutex (libstdc++'s
 * locale and exception pools); CreateSemaphoreW is a failing stub on
 * Windows 95, so these unnamed semaphores are made through the ANSI call. */
static HANDLE WINAPI CreateUnnamedSemaphore(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name)
{
    if (name) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return NULL;
    }
    return CreateSemaphoreA(attributes, initial, maximum, NULL);
}
HANDLE(WINAPI* ImportCreateSemaphoreW)
(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) __asm__("__imp__CreateSemaphoreW@16") = CreateUnnamedSemaphore;
