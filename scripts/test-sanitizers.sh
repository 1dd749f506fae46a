#!/usr/bin/env bash
# The test command's second pass: every test again, in build-asan/, with all
# of Vorpla (libraries, the vorpla program the tests start, the test
# programs) built with AddressSanitizer and UndefinedBehaviorSanitizer
# (CMake option VORPLA_SANITIZE). scripts/test.sh runs it after the normal
# pass, on the same private CUPS spooler; on its own it starts one.
#
# Every sanitizer report, of the test programs and of the programs they
# start, is written to a file in build-asan/sanitizer-logs/ (emptied at each
# run). The pass fails when a test fails or when any report was written, and
# prints the reports. Leak reports are off: the system libraries (Qt,
# fontconfig, CUPS, Ghostscript) keep memory until the end on purpose; this
# pass is for memory errors and undefined behaviour. Only Vorpla's own code
# is instrumented, but a fault of ours found inside a system library (a bad
# buffer given to memcpy, say) is reported too.
set -euo pipefail
cd "$(dirname "$0")/.."
radice=$(pwd)
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
unset LPDEST PRINTER

. "$radice/scripts/spooler-di-prova.sh"
. "$radice/scripts/posta-di-prova.sh"
. "$radice/scripts/schermo-di-prova.sh"

rapporti=$radice/build-asan/sanitizer-logs
rm -rf "$rapporti"
mkdir -p "$rapporti"
# Inherited by every program the tests start. The build runs the test
# programs too (to list their tests), so it gets the same settings.
export ASAN_OPTIONS="detect_leaks=0:halt_on_error=1:log_path=$rapporti/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$rapporti/ubsan"

stampa_rapporti() {
  local f trovati=0
  for f in "$rapporti"/*; do
    [ -e "$f" ] || continue
    trovati=1
    echo "==== sanitizer report $(basename "$f") ===="
    cat "$f"
  done
  [ "$trovati" -eq 1 ]
}

echo "== Sanitizer pass (AddressSanitizer, UndefinedBehaviorSanitizer) in build-asan/"
inizio=$SECONDS
# -O1 with line tables only (-g1): what AddressSanitizer is meant to run
# at, with reports that name file and line, and a fifth less build time on
# two cores than -O2 with full debug information (10 against 13 minutes).
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=None "-DCMAKE_CXX_FLAGS=-O1 -g1" \
  -DVORPLA_SANITIZE=ON -DVORPLA_BENCH=OFF >/dev/null
if ! cmake --build build-asan -j "$(nproc)"; then
  stampa_rapporti || true
  echo "sanitizer pass: the build failed" >&2
  exit 1
fi
echo "sanitizer build: $((SECONDS - inizio)) s"

inizio=$SECONDS
esito=0
(cd build-asan && ctest --output-on-failure -j "$(nproc)" --timeout 300) || esito=$?
echo "sanitizer tests: $((SECONDS - inizio)) s"

if stampa_rapporti; then
  echo "sanitizer pass: FAILED, the reports above are in $rapporti" >&2
  exit 1
fi
if [ "$esito" -ne 0 ]; then
  echo "sanitizer pass: FAILED, tests failed (no sanitizer report)" >&2
  exit "$esito"
fi
echo "sanitizer pass: no sanitizer report"
