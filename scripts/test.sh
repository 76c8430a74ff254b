#!/usr/bin/env bash
# Every test, three ways: native, native under ASan + UBSan, and the MinGW-w64
# build under Wine; then a minute of fuzzing the loader.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
jobs=$(nproc)

run_suite() {  # the name of a configure preset (CMakePresets.json), whose folder is build/NAME
  local name=$1
  echo "=== $name ==="
  cmake --preset "$name" -DVELMORANT_WERROR=ON >/dev/null
  cmake --build "build/$name" -j "$jobs"
  ctest --test-dir "build/$name" --output-on-failure -j "$jobs"
}

run_suite native
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite sanitize

WINEPREFIX=$(mktemp -d /tmp/velmorant-wine.XXXXXX)
# Wine's recycle bin is the XDG trash of HOME: the tests' files go to one of
# their own. (The CLI's integration test makes its own prefix and HOME.)
wine_home=$(mktemp -d /tmp/velmorant-home.XXXXXX)
export WINEPREFIX
trap 'WINEPREFIX=$WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$wine_home"' EXIT
# Tests that start Wine at the same moment in a new prefix race to create it
# and its server: start a server that stays until the end, then the prefix.
/usr/lib/wine/wineserver -p
HOME=$wine_home bash scripts/wine-run.sh wineboot --init >/dev/null 2>&1
HOME=$wine_home run_suite mingw

echo "=== fuzz (60 s) ==="
bash scripts/fuzz.sh 60

echo "=== all tests passed ==="
