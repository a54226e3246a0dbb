#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   0. the layout check of the sources (scripts/format-check.sh), which takes seconds;
#   1. the full build (windows, unit tests, end-to-end script tests, crash-safety and
#      malformed-file tests);
#   2. the Debian package of that build: built, installed with apt-get, and checked installed
#      (scripts/package.sh);
#   3. the same logic without Qt (script mode only) under AddressSanitizer and
#      UndefinedBehaviorSanitizer, running the whole suite again;
#   4. every fuzz target for a bounded time (FUZZ_SECONDS each, default 20; 0 skips), as many
#      at once as there are cores.
# The end-to-end tests run the tools' logic in the test programs' own process where they can
# (QVTEST_PROCESS=1 runs them as programs of their own). Each stage prints its time.
#   5. the Qt-free suite cross-built for Windows and run under Wine (scripts/test-windows.sh;
#      QUENVAR_WINDOWS=0 skips), leaving build-win/quenvar-tools-windows.zip.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh clang libclang-rt-14-dev clang-format-14
jobs=$(nproc 2>/dev/null || echo 2)
# Compiler results are cached between runs where ccache is installed.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

stage() { echo "== $1 (${SECONDS}s so far)"; }

stage "format check"
bash scripts/format-check.sh

stage "full build"
cmake -S . -B build -G Ninja -DQUENVAR_WITH_QT=ON "${launcher[@]}" >/dev/null
ninja -C build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

stage "package: build, install, run the installed programs, desktop-file-validate, lintian"
bash scripts/package.sh

stage "script-mode build under the sanitizers"
cmake -S . -B build-san -G Ninja -DQUENVAR_WITH_QT=OFF -DQUENVAR_SANITIZE=ON "${launcher[@]}" >/dev/null
ninja -C build-san -j"$jobs"
(cd build-san && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs")

seconds=${FUZZ_SECONDS:-20}
if [ "$seconds" != 0 ]; then
  stage "fuzzing (${seconds}s a target)"
  bash scripts/fuzz.sh "$seconds"
fi
if [ "${QUENVAR_WINDOWS:-1}" != 0 ]; then
  stage "Windows build under Wine"
  bash scripts/test-windows.sh
fi
echo "All tests passed (${SECONDS}s)."
