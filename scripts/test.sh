#!/usr/bin/env bash
# Installs what is missing, builds the suite (with and without Qt) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)

# The full build: windows, unit tests and end-to-end script tests.
cmake -S . -B build -G Ninja -DQUENVAR_WITH_QT=ON >/dev/null
ninja -C build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

# The same logic without Qt (script mode only), so that no toolkit can creep into it.
cmake -S . -B build-noqt -G Ninja -DQUENVAR_WITH_QT=OFF >/dev/null
ninja -C build-noqt -j"$jobs"
(cd build-noqt && ctest --output-on-failure -j"$jobs")
