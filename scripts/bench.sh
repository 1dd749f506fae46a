#!/usr/bin/env bash
# Builds Vorpla and prints the benchmark figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DVORPLA_BENCH=ON
build/bench/vorpla_bench "$@"
build/bench/vorpla_bench_render "$@"
build/bench/vorpla_bench_gs "$@"
build/bench/vorpla_bench_print "$@"
build/bench/vorpla_bench_pdf "$@"
build/bench/vorpla_bench_preview "$@"
build/bench/vorpla_bench_mail "$@"
build/bench/vorpla_bench_handover "$@"
build/bench/vorpla_bench_robustezza "$@"
