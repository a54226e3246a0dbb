#!/usr/bin/env bash
# Makes the 64 px PNG icon of each tool from its SVG (packaging/icons); run after changing an SVG
# and commit both. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for svg in *.svg; do
  rsvg-convert -w 64 -h 64 "$svg" -o "${svg%.svg}.png"
done
