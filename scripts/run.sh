#!/usr/bin/env bash
# Installs what is missing, builds the suite and opens one tool on a fresh copy of the demo data.
# Usage: scripts/run.sh [surfkit|prefkit|humkit|tracekit|ionkit]   (default: surfkit)
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${1:-surfkit}
case "$tool" in
  surfkit|prefkit|humkit|tracekit|ionkit) ;;
  *) echo "Unknown tool '$tool'. The tools: surfkit prefkit humkit tracekit ionkit" >&2; exit 2 ;;
esac

bash scripts/deps.sh
cmake -S . -B build -G Ninja -DQUENVAR_WITH_QT=ON >/dev/null
ninja -C build -j"$(nproc 2>/dev/null || echo 2)" "$tool"

# A fresh copy of the demo data, so the demo itself stays clean.
rm -rf demo-run
cp -r demo demo-run
rm -f demo-run/README.md demo-run/.gitattributes
data=$(cd demo-run && pwd)
# dabase.txt and deftempar.dat name the data directory: point them at the copy.
printf '"%s/thermo.mdb","%s/type6.mdb","%s/comp.mdb","%s/gaussian.mdb"\r\n' "$data" "$data" "$data" "$data" > demo-run/dabase.txt
# deftempar.dat: line 1 is the data directory, line 3 the four database paths.
paths=$(printf '"%s/thermo.mdb","%s/type6.mdb","%s/comp.mdb","%s/gaussian.mdb"' "$data" "$data" "$data" "$data")
awk -v d="\"$data\"" -v p="$paths" 'BEGIN{ORS=""} NR==1{print d "\r\n"; next} NR==3{print p "\r\n"; next} {print $0 "\n"}' \
  demo-run/deftempar.dat > demo-run/deftempar.tmp && mv demo-run/deftempar.tmp demo-run/deftempar.dat
# The hand-off file that names the database surfkit opens at start.
printf '"%s/demo.mdb"\r\n' "$data" > demo-run/sorptemp.dat

program="$PWD/build/$tool/$tool"
echo "Data directory: $data"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display here: run it under a virtual one, e.g.  cd demo-run && xvfb-run -a $program" >&2
  exit 1
fi
cd demo-run
exec "$program"
