#!/usr/bin/env bash
# Installs every system package the build, the tests and the demo run need (fresh Debian 12, as root).
set -euo pipefail
need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686 gcc-mingw-w64-i686)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64)
[ -f /usr/i686-w64-mingw32/include/zlib.h ] || need+=(libz-mingw-w64-dev)
command -v wine >/dev/null || need+=(wine wine32:i386 wine64)
command -v Xvfb >/dev/null || need+=(xvfb xauth)
# Wine's own fonts: scripts/make-prefix.sh copies Marlett (the caption buttons) from them.
dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
command -v import >/dev/null || need+=(imagemagick)
command -v xdpyinfo >/dev/null || need+=(x11-utils)
command -v cmake >/dev/null || need+=(cmake)
command -v clang++ >/dev/null || need+=(clang)
command -v clang-format >/dev/null || need+=(clang-format)
command -v clang-tidy >/dev/null || need+=(clang-tidy)
[ -d /usr/src/googletest ] || need+=(googletest libgtest-dev)
[ -f /usr/include/zlib.h ] || need+=(zlib1g-dev)
command -v lha >/dev/null || need+=(lhasa)
command -v jlha >/dev/null || need+=(jlha-utils)
command -v python3 >/dev/null || need+=(python3)
command -v bc >/dev/null || need+=(bc)
# The peer installer of scripts/bench-peers.sh.
command -v makensis >/dev/null || need+=(nsis)
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
# 32-bit Wine through qemu for the PE32 smoke install where the kernel runs no 32-bit code.
command -v qemu-i386-static >/dev/null || need+=(qemu-user-static)
if [ ${#need[@]} -gt 0 ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
