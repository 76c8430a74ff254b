#!/usr/bin/env bash
# Fuzzes the font loader and the registry-file parser with libFuzzer (clang,
# ASan + UBSan) for SECONDS together: three quarters for the loader, one
# quarter for the parser.
#   bash scripts/fuzz.sh SECONDS [libFuzzer options...]
# The corpora grow in build/fuzz/corpus and build/fuzz/registry-corpus across
# runs; findings land in build/fuzz/findings (copy each into
# tests/fuzz/regressions).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz.sh SECONDS [libFuzzer options...]}
shift
registry_seconds=$(( seconds / 4 > 0 ? seconds / 4 : 1 ))
font_seconds=$(( seconds - registry_seconds > 0 ? seconds - registry_seconds : 1 ))
bash scripts/install-deps.sh test
cmake --preset fuzz -DVELMORANT_WERROR=ON >/dev/null
cmake --build build/fuzz -j "$(nproc)" --target velmorant-fuzz-load velmorant-fuzz-registry velmorant-fuzz-seeds
cd build/fuzz
mkdir -p corpus registry-corpus findings
tests/fuzz/velmorant-fuzz-seeds seeds registry-seeds
# Any input must load within one second and 256 MB. A smaller ASan quarantine
# keeps the freed memory of earlier inputs from counting against that limit.
# With -jobs=N libFuzzer logs to fuzz-*.log here.
export ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=32:allocator_release_to_os_interval_ms=1000
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
tests/fuzz/velmorant-fuzz-load -max_total_time="$font_seconds" -rss_limit_mb=256 -timeout=1 \
  -dict=../../tests/fuzz/sfnt.dict -artifact_prefix=findings/ -print_final_stats=1 "$@" corpus seeds
# A file read, written and read again must give the same values.
tests/fuzz/velmorant-fuzz-registry -max_total_time="$registry_seconds" -rss_limit_mb=256 -timeout=1 \
  -dict=../../tests/fuzz/registry.dict -artifact_prefix=findings/registry- -print_final_stats=1 "$@" \
  registry-corpus registry-seeds
