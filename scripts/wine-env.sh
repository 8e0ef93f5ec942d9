# Sourced by the scripts: chooses how Win32 programs run here.
# 32-bit Wine when this machine can execute 32-bit code, else 64-bit Wine with
# the PE32+ build of the same sources. 32-bit code run through a qemu-user
# binfmt registration (the PE32 smoke install) does not count: everything else
# would crawl through the emulator. Sets SETUP_WINE (the loader),
# SETUP_WINEARCH, SETUP_WIN_BUILD (the build the tests and the demo run from;
# build-win32 is the Windows 95 deliverable, without tests) and SETUP_WIN_TOOLCHAIN.
setup_root=${setup_root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
if [ -z "${SETUP_WINE:-}" ]; then
  setup_emulated32=0
  for setup_entry in /proc/sys/fs/binfmt_misc/*; do
    if [ -f "$setup_entry" ] && grep -qx enabled "$setup_entry" 2>/dev/null && grep -q '^interpreter .*qemu-i386' "$setup_entry" 2>/dev/null; then
      setup_emulated32=1
    fi
  done
  if [ "$setup_emulated32" = 0 ] && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    SETUP_WINE=/usr/lib/wine/wine
    SETUP_WINEARCH=win32
    SETUP_WIN_BUILD=build-win32-tests
    SETUP_WIN_TOOLCHAIN=$setup_root/cmake/mingw-i686-tests.cmake
  else
    SETUP_WINE=/usr/lib/wine/wine64
    SETUP_WINEARCH=win64
    SETUP_WIN_BUILD=build-win64
    SETUP_WIN_TOOLCHAIN=$setup_root/cmake/mingw-x86_64.cmake
  fi
fi
export SETUP_WINE SETUP_WINEARCH SETUP_WIN_BUILD SETUP_WIN_TOOLCHAIN
# winemenubuilder off: Wine would copy the program groups setup makes into the
# Linux user's menus, and wait on them, keeping the prefix's server alive.
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=$SETUP_WINEARCH

