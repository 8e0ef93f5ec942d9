#!/usr/bin/env bash
# Walks setup.exe through an interactive installation of the sample product as
# a person would, with the walk program of this build (tools/setupwalk):
#   scripts/walk-setup.sh MEDIA_DISK01 SHOT_DIR [PAGE,...] [WALK OPTION...]
# It types the names, chooses Custom Setup and the components, the home
# directory and the options of sample/KORVISAN.ICF (so that the walk and an
# unattended run install the same), declines the restart offer and saves each
# page (or the PAGEs named) as SHOT_DIR/NN-PAGEID.bmp. setup.exe is given
# /M:C:\KORVISAN.MIF for a status file; further walk options (/cancelled:1)
# are passed on. Needs WINEPREFIX and DISPLAY; prints the walk's lines; exits
# with the walk's status (0: installed, or cancelled as told).
set -euo pipefail
setup_root=$(cd "$(dirname "$0")/.." && pwd)
. "$setup_root/scripts/lib.sh"
media=$1
shots=$2
pages=${3:-}
shift $(($# < 3 ? $# : 3))
mkdir -p "$shots"
args=("/shots:$(winpath "$shots")" "/name:Ann User" "/company:Sample Company" '/home:C:\KORAV'
  "/components:Manager,Realtime Protection,Netware Support,Auto Download" /browsers:1 /scannow:0)
[ -n "$pages" ] && args+=("/shoot:$pages")
args+=("$@")
"$SETUP_WINE" "$setup_root/$SETUP_WIN_BUILD/bin/setupwalk.exe" "${args[@]}" \
  "$(winpath "$media/setup.exe")" '/M:C:\KORVISAN.MIF' 2> >(grep -v -E '^ALSA|alsa' >&2)
