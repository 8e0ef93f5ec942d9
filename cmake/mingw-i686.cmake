# Cross build of the deliverable with Debian's mingw-w64 (PE32, i686) for
# Windows 95: the win32 threading model (the posix one links winpthreads,
# which imports KERNEL32 functions Windows 95 lacks) and CRTDLL.DLL as the C
# runtime (Windows 95 ships no MSVCRT.DLL). See cmake/Win95Runtime.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(SETUP_WIN95_CRT crtdll)
# ctest runs the test programs through Wine, each in a fresh prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
