#!/usr/bin/env bash
# Renders the PNG sizes of the icon from its SVG (librsvg2-bin). The PNGs are committed so
# that building needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" quillet.svg -o "quillet-$size.png"
done
