#!/usr/bin/env bash
# Builds the benchmarks (release) and prints the ratio tables: every action against the floor
# and one full read of its file, and every tool's start against a minimal Qt program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENVAR_WITH_QT=ON -DQUENVAR_TESTS=OFF \
  -DQUENVAR_BENCH=ON -DQUENVAR_TOOLS="surfkit;prefkit;humkit;tracekit;ionkit" >/dev/null
ninja -C build-bench -j"$(nproc 2>/dev/null || echo 2)" quenvar_bench quenvar_startbench surfkit prefkit humkit tracekit ionkit
status=0
build-bench/bench/quenvar_bench --benchmark_min_time=0.2 "$@" || status=1
build-bench/bench/quenvar_startbench build-bench/{surfkit/surfkit,prefkit/prefkit,humkit/humkit,tracekit/tracekit,ionkit/ionkit} || status=1
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
exit $status
