#!/usr/bin/env bash
# Configures and builds Vorpla as users run it, optimised (RelWithDebInfo),
# in build/: the program and its PDF printer, no tests, no benchmarks.
#   scripts/build.sh [CMAKE_OPTION ...]   options passed on to CMake
# The test command adds -DVORPLA_WERROR=ON (warnings are errors),
# scripts/bench.sh -DVORPLA_BENCH=ON. Where ccache is installed it is used,
# so a rebuild of unchanged sources (another folder, another branch) costs
# nothing; without it the build is the same, only slower.
set -euo pipefail
cd "$(dirname "$0")/.."
lanciatore=()
if command -v ccache >/dev/null; then
  lanciatore=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORPLA_TESTS=OFF -DVORPLA_BENCH=OFF \
  -DVORPLA_WERROR=OFF "${lanciatore[@]}" "$@" >/dev/null
cmake --build build -j "$(nproc)"
