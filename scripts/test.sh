#!/usr/bin/env bash
# The test command: installs what is needed, builds, runs every test
# headless, and prints the phases' times at the end.
#
# 1. The program as users get it (scripts/build.sh, optimised, in build/),
#    its warnings errors.
# 2. The tests' build in build-asan/: the program, its libraries and the
#    test programs with AddressSanitizer and UndefinedBehaviorSanitizer
#    (CMake option VORPLA_SANITIZE; the libraries at -O1, the level
#    AddressSanitizer is meant for, with line tables; the test code at -O0).
# 3. Every test, once, in that build: a failing test or any sanitizer
#    report (of the test programs or of the programs they start, kept in
#    build-asan/sanitizer-logs/ and printed) fails the command. No test
#    needs the optimised build to mean anything, so none runs twice.
#
# The tests print through a private CUPS spooler (scripts/cups-test-server.sh,
# its PDF printer installed from build/pdfprinter) started here in a temporary
# folder and stopped on exit; CUPS_SERVER points the programs at it and
# VORPLA_CUPS_TEST=1 tells the tests it is there. They mail through a real
# SMTP server on 127.0.0.1 (scripts/posta-di-prova.sh), and put windows and
# the terminal-server hand-over on a real X server with a window manager
# (scripts/schermo-di-prova.sh).
#
#   VORPLA_SANITIZE=0 scripts/test.sh   the tests built without sanitizers,
#                                       in build-tests/ (quick local runs)
#   scripts/test.sh -R REGEX            only the tests whose names match
#                                       (any ctest option is passed on)
set -euo pipefail
cd "$(dirname "$0")/.."
radice=$(pwd)
inizio_totale=$SECONDS
tempi=()
fase() { tempi+=("$(printf '%-34s %5d s' "$1" "$2")"); }

inizio=$SECONDS
scripts/install-deps.sh
fase "install" $((SECONDS - inizio))

inizio=$SECONDS
scripts/build.sh -DVORPLA_WERROR=ON
fase "build: program (optimised)" $((SECONDS - inizio))

lanciatore=()
if command -v ccache >/dev/null; then
  lanciatore=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ "${VORPLA_SANITIZE:-1}" = 0 ]; then
  cartella=build-tests
  opzioni=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORPLA_SANITIZE=OFF)
  nome="tests (no sanitizers)"
else
  cartella=build-asan
  opzioni=(-DCMAKE_BUILD_TYPE=None "-DCMAKE_CXX_FLAGS=-O1 -g1" -DVORPLA_SANITIZE=ON)
  nome="tests (sanitizers)"
fi

rapporti=$radice/$cartella/sanitizer-logs
rm -rf "$rapporti"
mkdir -p "$rapporti"
# Inherited by every program the tests start. The build runs the test
# programs too (to list their tests), so it gets the same settings. Leak
# reports are off: the system libraries (Qt, fontconfig, CUPS, Ghostscript)
# keep memory until the end on purpose; this pass is for memory errors and
# undefined behaviour. Only Vorpla's own code is instrumented, but a fault
# of ours found inside a system library (a bad buffer given to memcpy, say)
# is reported too.
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

inizio=$SECONDS
cmake -S . -B "$cartella" -G Ninja "${opzioni[@]}" -DVORPLA_TESTS=ON -DVORPLA_BENCH=OFF \
  "${lanciatore[@]}" >/dev/null
if ! cmake --build "$cartella" -j "$(nproc)"; then
  stampa_rapporti || true
  echo "test command: the build in $cartella/ failed" >&2
  exit 1
fi
fase "build: $nome" $((SECONDS - inizio))

export QT_QPA_PLATFORM=offscreen
# The tests choose their printers themselves.
unset LPDEST PRINTER
. "$radice/scripts/spooler-di-prova.sh"
. "$radice/scripts/posta-di-prova.sh"
. "$radice/scripts/schermo-di-prova.sh"

inizio=$SECONDS
esito=0
(cd "$cartella" && ctest --output-on-failure -j "$(nproc)" --timeout 120 "$@") || esito=$?
fase "$nome" $((SECONDS - inizio))

riepilogo() {
  echo "== Phases"
  printf '%s\n' "${tempi[@]}"
  printf '%-34s %5d s\n' "total" $((SECONDS - inizio_totale))
}
if stampa_rapporti; then
  riepilogo
  echo "test command: FAILED, the sanitizer reports above are in $rapporti" >&2
  exit 1
fi
riepilogo
if [ "$esito" -ne 0 ]; then
  echo "test command: FAILED, tests failed" >&2
  exit "$esito"
fi
echo "test command: every test passed, no sanitizer report"
