#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on a copy of its
# seed corpus, as many at once as there are cores. Fails on any crash, hang, leak or sanitizer
# report.
# Usage: scripts/fuzz.sh [seconds per target]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

bash scripts/deps.sh clang libclang-rt-14-dev
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQUENVAR_FUZZ=ON -DQUENVAR_WITH_QT=OFF \
  -DQUENVAR_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
targets=$(cd build-fuzz && ninja -t targets all | sed -n 's/^\(fuzz_[a-z_]*\): phony.*/\1/p' | sort -u)
ninja -C build-fuzz -j"$(nproc 2>/dev/null || echo 2)" $targets

# The targets run side by side, one a core: each keeps its full time.
jobs=$(nproc 2>/dev/null || echo 2)
fuzz_one() {
  local t=$1 seeds=fuzz/corpus/${1#fuzz_} work
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  if build-fuzz/fuzz/$t -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
       -artifact_prefix="build-fuzz/$t-" "$work" > "build-fuzz/$t.log" 2>&1; then
    echo "== $t (${seconds}s) passed"
  else
    echo "FAILED: $t (see build-fuzz/$t.log)"; tail -40 "build-fuzz/$t.log"; touch "build-fuzz/$t.failed"
  fi
  rm -rf "$work"
}
rm -f build-fuzz/*.failed
running=0
for t in $targets; do
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
  fuzz_one "$t" &
  running=$((running + 1))
done
wait
if ls build-fuzz/*.failed >/dev/null 2>&1; then exit 1; fi
exit 0
