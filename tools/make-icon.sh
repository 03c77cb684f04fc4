#!/bin/sh
# Draws the setup program's icon (resources/app/setup.ico) with ImageMagick.
set -e
out=${1:-$(dirname "$0")/../resources/app/setup.ico}
tmp=$(mktemp -d)
for s in 16 32 48 256; do
  r=$((s / 6))
  convert -size ${s}x${s} xc:none -fill '#1f6fd1' \
    -draw "roundrectangle 0,0,$((s - 1)),$((s - 1)),$r,$r" \
    -fill white -stroke white -strokewidth $((s / 12 + 1)) \
    -draw "line $((s * 3 / 10)),$((s * 3 / 4)) $((s * 3 / 10)),$((s / 4))" \
    -draw "line $((s * 3 / 10)),$((s / 4)) $((s * 7 / 10)),$((s * 3 / 4))" \
    -draw "line $((s * 7 / 10)),$((s * 3 / 4)) $((s * 7 / 10)),$((s / 4))" \
    "$tmp/i$s.png"
done
convert "$tmp/i16.png" "$tmp/i32.png" "$tmp/i48.png" "$tmp/i256.png" "$out"
rm -rf "$tmp"
