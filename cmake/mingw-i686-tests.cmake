# The Win32 tests as PE32, where this machine runs 32-bit Wine: the
# deliverable's toolchain (cmake/mingw-i686.cmake) with the posix threading
# model and MSVCRT.DLL, because GoogleTest needs std::mutex. These programs
# run under Wine only, never on Windows 95.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
unset(SETUP_WIN95_CRT)
