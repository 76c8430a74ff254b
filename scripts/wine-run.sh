#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine. The caller owns WINEPREFIX (a
# throwaway prefix) and stops its wineserver at the end.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to a throwaway directory}"
export WINEPREFIX
export WINEDEBUG=-all
# No Mono or Gecko installers: the programs are plain Win32.
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
