#!/usr/bin/env bash
# Builds Velmorant and runs it. Until the Windows program exists this is the
# inspect tool over the system's TrueType fonts.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DVELMORANT_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)" --target velmorant-inspect >/dev/null
find /usr/share/fonts -name '*.ttf' -print0 | sort -z | xargs -0 build/run/tools/velmorant-inspect "$@"
