#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on a copy of its
# seed corpus. Fails on any crash, hang, leak or sanitizer report.
# Usage: scripts/fuzz.sh [seconds per target]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

bash scripts/deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQUENVAR_FUZZ=ON -DQUENVAR_WITH_QT=OFF \
  -DQUENVAR_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd build-fuzz && ninja -t targets all | sed -n 's/^\(fuzz_[a-z_]*\): phony.*/\1/p' | sort -u)
ninja -C build-fuzz -j"$(nproc 2>/dev/null || echo 2)" $targets

status=0
for t in $targets; do
  seeds=fuzz/corpus/${t#fuzz_}
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "== $t (${seconds}s)"
  if ! build-fuzz/fuzz/$t -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
       -artifact_prefix="build-fuzz/$t-" "$work" > "build-fuzz/$t.log" 2>&1; then
    echo "FAILED: $t (see build-fuzz/$t.log)"; tail -40 "build-fuzz/$t.log"; status=1
  fi
  rm -rf "$work"
done
exit $status
