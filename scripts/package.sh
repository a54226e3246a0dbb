#!/usr/bin/env bash
# Builds the Debian package from the full build (build/), installs it on this machine and checks
# the installed suite: every program's --version, one program in script mode on a copy of the
# demo data (ended by the DOS end-of-file mark), the desktop entries, and lintian.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh dpkg-dev lintian desktop-file-utils
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

cmake -S . -B build -G Ninja -DQUENVAR_WITH_QT=ON >/dev/null
ninja -C build -j"$(nproc 2>/dev/null || echo 2)"
rm -f build/quenvar-tools_*.deb
(cd build && cpack -G DEB >/dev/null)
(cd build && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall ./quenvar-tools_*.deb >/dev/null)

echo "-- installed programs"
programs=$(dpkg -L quenvar-tools | grep '^/usr/bin/.')
for program in $programs; do
  version=$("$program" --version)
  echo "$version"
  [[ "$version" == "$(basename "$program") "[0-9]* ]] || { echo "$program --version: $version" >&2; exit 1; }
done

echo "-- installed ionkit in script mode on a copy of the demo data"
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
cp demo/*.* "$data"/
printf '"%s/thermo.mdb","%s/type6.mdb","%s/comp.mdb","%s/gaussian.mdb"\r\n' "$data" "$data" "$data" "$data" \
  > "$data/dabase.txt"
printf '\032' >> "$data/sit_eta.txt"
(cd "$data" && printf '%s\n' 'expect lblDbname.caption "sit_eta.txt"' 'expect cboCat.text "H+"' \
  'expect cboAn.text "Cl-"' 'type txtEta "0.125"' 'click cmdSave' 'click cmdQuit' | ionkit --script -)
head -n 1 "$data/sit_eta.txt" | grep -q '^"H+","Cl-",0.125,' || { echo "ionkit did not save" >&2; exit 1; }
if grep -q $'\032' "$data/sit_eta.txt"; then echo "ionkit kept the end-of-file mark" >&2; exit 1; fi

echo "-- desktop entries"
entries=$(dpkg -L quenvar-tools | grep '^/usr/share/applications/.*\.desktop$')
desktop-file-validate $entries
echo "$entries" | wc -l

echo "-- lintian"
lintian --fail-on error build/quenvar-tools_*.deb
echo "package ok: $(cd build && ls quenvar-tools_*.deb)"
