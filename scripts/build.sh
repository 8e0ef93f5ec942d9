#!/usr/bin/env bash
# Builds the trees: scripts/build.sh [native|win|all|demo]
#   build-native  the platform-free core, its tests (sanitizers on), the media tool
#   build-win32   setup.exe and the rest as PE32 (i686) for Windows 95: the
#                 deliverable (win32 threading, CRTDLL.DLL), no tests; its
#                 imports are checked by scripts/check-win95-imports.py
#   build-win64   the same as PE32+ with the Win32 tests, where this machine
#                 cannot run 32-bit Wine (else build-win32-tests as PE32)
#   demo          only what the main job runs, from the tree the tests run
#                 from: setup.exe, the stand-ins, the walk and the media tool
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
. "$setup_root/scripts/wine-env.sh"
what=${1:-all}
jobs=${SETUP_JOBS:-2}
if [ "$what" = demo ]; then
  cmake -S "$setup_root" -B "$setup_root/$SETUP_WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$SETUP_WIN_TOOLCHAIN" >/dev/null
  cmake --build "$setup_root/$SETUP_WIN_BUILD" -j"$jobs" --target setup _kwdinst korcmd95 avwindow prodprog bshell \
    rescue vse32eng setupwalk mediatool
fi
if [ "$what" = all ] || [ "$what" = native ]; then
  cmake -S "$setup_root" -B "$setup_root/build-native" -DSETUP_SANITIZE=ON >/dev/null
  cmake --build "$setup_root/build-native" -j"$jobs"
fi
if [ "$what" = all ] || [ "$what" = win ]; then
  cmake -S "$setup_root" -B "$setup_root/build-win32" -DCMAKE_TOOLCHAIN_FILE="$setup_root/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$setup_root/build-win32" -j"$jobs"
  cmake -S "$setup_root" -B "$setup_root/$SETUP_WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$SETUP_WIN_TOOLCHAIN" >/dev/null
  cmake --build "$setup_root/$SETUP_WIN_BUILD" -j"$jobs"
fi
