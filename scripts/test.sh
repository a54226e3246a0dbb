#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   1. the full build (windows, unit tests, end-to-end script tests, crash-safety and
#      malformed-file tests);
#   2. the same logic without Qt (script mode only) under AddressSanitizer and
#      UndefinedBehaviorSanitizer, running the whole suite again;
#   3. every fuzz target for a bounded time (FUZZ_SECONDS each, default 20; 0 skips);
#   4. the Qt-free suite cross-built for Windows and run under Wine (scripts/test-windows.sh;
#      QUENVAR_WINDOWS=0 skips), leaving build-win/quenvar-tools-windows.zip.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh clang libclang-rt-14-dev
jobs=$(nproc 2>/dev/null || echo 2)

echo "== full build"
cmake -S . -B build -G Ninja -DQUENVAR_WITH_QT=ON >/dev/null
ninja -C build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

echo "== script-mode build under the sanitizers"
cmake -S . -B build-san -G Ninja -DQUENVAR_WITH_QT=OFF -DQUENVAR_SANITIZE=ON >/dev/null
ninja -C build-san -j"$jobs"
(cd build-san && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs")

seconds=${FUZZ_SECONDS:-20}
if [ "$seconds" != 0 ]; then
  echo "== fuzzing (${seconds}s a target)"
  bash scripts/fuzz.sh "$seconds"
fi
if [ "${QUENVAR_WINDOWS:-1}" != 0 ]; then
  echo "== Windows build under Wine"
  start=$(date +%s)
  bash scripts/test-windows.sh
  echo "Windows stage: $(( $(date +%s) - start )) s"
fi
echo "All tests passed."
