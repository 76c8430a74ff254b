#!/usr/bin/env bash
# Builds Velmorant and runs it. Until the Windows program exists this is the
# inspect tool over the system's TrueType fonts.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DVELMORANT_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)" --target velmorant-inspect >/dev/null
fonts=()
while IFS= read -r -d '' font; do
  fonts+=("$font")
done < <(find /usr/share/fonts -name '*.ttf' -print0 2>/dev/null | sort -z)
if [ ${#fonts[@]} -eq 0 ]; then
  echo "No .ttf files under /usr/share/fonts: nothing to show." >&2
  exit 0
fi
exec build/run/tools/velmorant-inspect "$@" "${fonts[@]}"
