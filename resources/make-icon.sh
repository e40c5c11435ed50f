#!/bin/bash
# Renders the launcher's icon from its SVG source into a Windows icon file:
# 256x256 stored as PNG, and 64, 48, 40, 32, 24, 20 and 16 pixels as 32-bit
# images with alpha. Usage: make-icon.sh SOURCE.svg OUTPUT.ico
set -euo pipefail
source_svg=$1
output=$2
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

bitmaps=()
for size in 64 48 40 32 24 20 16; do
  rsvg-convert --width "$size" --height "$size" --output "$work/$size.png" "$source_svg"
  bitmaps+=("$work/$size.png")
done
rsvg-convert --width 256 --height 256 --output "$work/256.png" "$source_svg"

mkdir -p "$(dirname "$output")"
icotool --create --output "$output.tmp" --raw="$work/256.png" "${bitmaps[@]}"
mv -f "$output.tmp" "$output"
