#!/usr/bin/env bash
# The Windows build, proven under Wine: installs what is missing (mingw-w64, Wine, zip),
# cross-builds GoogleTest from Debian's sources and the Qt-free suite (script mode) with static
# runtime libraries, runs every test under Wine through ctest, and leaves the Windows programs
# as build-win/quenvar-tools-windows.zip.
#   QUENVAR_WIN_BUILD          the build folder (default build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/deps.sh g++-mingw-w64-x86-64-posix wine wine64 zip googletest
jobs=$(nproc 2>/dev/null || echo 2)
build=${QUENVAR_WIN_BUILD:-build-win}
mkdir -p "$build"
build=$(cd "$build" && pwd)
toolchain="$root/cmake/toolchain-mingw.cmake"

# Wine: a prefix of its own in the build folder, quiet, no window system needed.
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Wine prefix"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
fi

gtest="$build/googletest"
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  echo "== GoogleTest for Windows"
  cmake -S /usr/src/googletest -B "$build/googletest-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest" -DBUILD_GMOCK=ON -Dgtest_force_shared_crt=OFF >/dev/null
  ninja -C "$build/googletest-build" -j"$jobs" install >/dev/null
fi

echo "== Windows build (Qt-free)"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQUENVAR_WITH_QT=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGTest_DIR="$gtest/lib/cmake/GTest" "${launcher[@]}" >/dev/null
ninja -C "$build" -j"$jobs"

echo "== tests under Wine"
# One server for all the test programs, started before the first of them, and Wine's own
# background programs (services.exe and the rest) started by a first program of our own here.
# Otherwise the first test program starts them: they inherit its output, which ctest then waits
# on until the test's timeout, long after the test itself has ended.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
status=0
# Every test program, the crash-safety and malformed-file sweeps included: the scripts run in
# the test programs' own process, so only the kill faults start a program under Wine. A test that
# times out runs once more.
(cd "$build" && ctest --output-on-failure -j"$jobs" --repeat after-timeout:2) || status=$?
wineserver -k || true

echo "== zip of the Windows programs"
stage="$build/quenvar-tools-windows"
rm -rf "$stage" "$build/quenvar-tools-windows.zip"
mkdir -p "$stage"
# The programs of the tools (and any other program beside them, such as a checker), stripped.
for program in "$build"/*/*.exe; do
  case "$program" in */tests/*|*/googletest*|*/wineprefix/*) continue ;; esac
  x86_64-w64-mingw32-strip -o "$stage/$(basename "$program")" "$program"
done
cp README.md "$stage/README.md"
(cd "$build" && zip -qr quenvar-tools-windows.zip quenvar-tools-windows)
echo "$build/quenvar-tools-windows.zip"
exit $status
