#!/usr/bin/env bash
# Fuzzes the print-stream reader and interpreter with libFuzzer.
#   scripts/fuzz.sh [SECONDS]   (default 600)
# Builds the fuzz target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, seeds the corpus from
# fuzz/corpus and fuzz/regressions, and runs for SECONDS. Inputs that crash,
# hang or grow memory are written to build-fuzz/artifacts/: fix the fault and
# copy the input into fuzz/regressions/, where the tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
secondi=${1:-600}
scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORPLA_FUZZ=ON -DVORPLA_TESTS=OFF -DVORPLA_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_interprete
mkdir -p build-fuzz/corpus build-fuzz/artifacts
cp -n fuzz/corpus/* fuzz/regressions/* build-fuzz/corpus/ 2>/dev/null || true
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Absolute paths: the target works in its own program folder.
build-fuzz/fuzz/fuzz_interprete "$PWD/build-fuzz/corpus" \
  -max_total_time="$secondi" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -artifact_prefix="$PWD/build-fuzz/artifacts/" -print_final_stats=1
