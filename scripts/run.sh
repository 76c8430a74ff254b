#!/usr/bin/env bash
# Builds velmorant.exe with MinGW-w64 and runs it under Wine.
#  - With a display (DISPLAY set) it opens the window, in WINEPREFIX or in a
#    demo prefix of its own (build/run-win/prefix).
#  - Without one it starts Xvfb and runs a short scripted demonstration on a
#    demo prefix with one planted entry of every problem code (WINEPREFIX
#    picks another prefix): a scan, a screenshot of the main window saved as
#    a PNG, and exits, printing the picture's path and the rows it shows.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh run
# The MinGW configuration of the tests (RelWithDebInfo: GCC 12 at -O3 warns
# falsely about string concatenation) in a folder of its own; warnings are not
# errors here, as in any user's build.
cmake --preset run-win >/dev/null
cmake --build build/run-win -j "$(nproc)" --target velmorant velmorant-ui-probe velmorant-cli >/dev/null
exe=$root/build/run-win/ui/win32/velmorant.exe
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX=${WINEPREFIX:-$root/build/run-win/prefix}
  exec /usr/lib/wine/wine64 "$exe"
fi
echo "No display: running a scripted demonstration on Xvfb."
exec /usr/bin/python3 scripts/run-demo.py "$exe" build/run-win/tests/velmorant-ui-probe.exe build/run-win/screenshots
