#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine. The caller owns WINEPREFIX (a
# throwaway prefix) and stops its wineserver at the end.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to a throwaway directory}"
export WINEPREFIX
export WINEDEBUG=-all
# No Mono or Gecko installers: the programs are plain Win32.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Listing a program's test cases changes nothing, and a failed listing fails
# the whole ctest run before any test starts. Wine has been seen to end such a
# start with status 1 and nothing printed, once in CI and never in hundreds of
# runs here: try again, with Wine's error channel on so that a second failure
# says why.
if [[ " $* " == *" --gtest_list_tests "* ]]; then
  for attempt in 1 2 3; do
    status=0
    listing=$(/usr/lib/wine/wine64 "$@") || status=$?
    if [ "$status" -eq 0 ]; then
      printf '%s\n' "$listing"
      exit 0
    fi
    echo "wine-run.sh: listing the tests of $1 ended with status $status (attempt $attempt)" >&2
    export WINEDEBUG=err+all,fixme-all
    sleep 2
  done
  exit "$status"
fi
exec /usr/lib/wine/wine64 "$@"
