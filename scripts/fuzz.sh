#!/usr/bin/env bash
# Fuzzes the print-stream reader and interpreter with libFuzzer.
#   scripts/fuzz.sh [SECONDS]   (default 600 for each of the two runs)
# Builds the fuzz target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ and runs it twice for SECONDS:
# - on short inputs (up to 16 kB), seeded from fuzz/corpus and
#   fuzz/regressions: many executions, every marker and their mixes;
# - on long inputs (lines up to 1 MB, the longest a print file keeps),
#   seeded with a megabyte line of each family of markers generated here:
#   what is slow only for long lines (a fit measured character by character,
#   a text drawn far past the sheet) shows up as a timeout there.
# Inputs that crash, hang or grow memory are written to build-fuzz/artifacts/:
# fix the fault and copy the input into fuzz/regressions/, where the tests
# replay it (a long one only when it is small; else a test of its own).
set -euo pipefail
cd "$(dirname "$0")/.."
secondi=${1:-600}
scripts/install-deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORPLA_FUZZ=ON -DVORPLA_TESTS=OFF -DVORPLA_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_interprete
mkdir -p build-fuzz/corpus build-fuzz/corpus-lunghe build-fuzz/artifacts
cp -n fuzz/corpus/* fuzz/regressions/* build-fuzz/corpus/ 2>/dev/null || true

# A megabyte line (marker included) for each family, in the context it needs.
mega() { yes 'Agenzia Viaggi Esempio, Via Roma 1 - Bologna. ' | tr -d '\n' | head -c 1048560 || true; }
seme() { # NAME PREFIX MARKER SUFFIX
  { printf '%b' "$2"; printf '%s ' "$3"; mega; printf '%b' "\r\n$4@PAGE\r\n"; } >"build-fuzz/corpus-lunghe/$1"
}
seme etichette '@ETTI N\r\n' '@ETRI' '@ETFI\r\n'
seme etichette-b '@ETTI N\r\n' '@ETRB' '@ETFI\r\n'
seme griglia '@LARG 080\r\n' '@RIGA' ''
seme intestazione '@INTE\r\n' '@INT1' ''
seme indirizzo '@INDI\r\n' '@INDb' '@INDf fine\r\n'
seme titolo '' '@TITB' ''
seme testo '@TEXT\r\n' '@TXTc' ''
seme due-colonne '' '@TX2c' '@TX2c fine\r\n'
seme data '' '@DATA' ''
seme data-3 '' '@DAT3' ''
seme fax '' '@FAXN' '@FILE x\r\n'
seme tabella '@BOXt 080\r\n@BOXi 080\r\n@BXt1 c     D\r\n' '@BXr1' '@BOXf\r\n'
seme figura '@TEXT\r\n@TXTn <<IMG=pic.png;10;10;20;20>>\r\n' '@LOGO' ''

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Absolute paths: the target works in its own program folder.
echo "== short inputs, $secondi s"
build-fuzz/fuzz/fuzz_interprete "$PWD/build-fuzz/corpus" \
  -max_total_time="$secondi" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -artifact_prefix="$PWD/build-fuzz/artifacts/" -print_final_stats=1
echo "== long inputs, $secondi s"
build-fuzz/fuzz/fuzz_interprete "$PWD/build-fuzz/corpus-lunghe" \
  -max_total_time="$secondi" -timeout=20 -rss_limit_mb=3072 -max_len=1100000 -len_control=0 \
  -artifact_prefix="$PWD/build-fuzz/artifacts/lunga-" -print_final_stats=1
