#!/usr/bin/env bash
# The load benchmark: every .ttf under /usr/share/fonts (or the folder given),
# loaded by the library, by FreeType and by fontTools, several rounds each.
#   bash tools/benchmark/run.sh [--rounds N] [--outlines] [FONT_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/install-deps.sh bench >/dev/null
cmake --preset bench >/dev/null
cmake --build build/bench -j "$(nproc)" --target velmorant-bench-load >/dev/null
# The FreeType worker exists only where CMake found FreeType.
cmake --build build/bench -j "$(nproc)" --target velmorant-bench-freetype >/dev/null 2>&1 || true
exec /usr/bin/python3 tools/benchmark/run.py build/bench "$@"
