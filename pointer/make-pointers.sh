#!/usr/bin/env bash
# Draws the pointer pictures that ship with Lumicue (our own art). A number
# after the last hyphen of a name is the hot spot (n, n); names without one
# are centred on the cursor. Run from anywhere; writes beside this script.
set -euo pipefail
cd "$(dirname "$0")"
# The real ImageMagick: a convert earlier on PATH may flatten transparency.
CONVERT=${CONVERT:-/usr/bin/convert}
out=(-strip -define png:exclude-chunks=date,time -define png:color-type=6 -depth 8)

# A soft yellow disc, centred.
"$CONVERT" -size 96x96 xc:none -fill 'rgba(255,221,0,0.85)' -draw 'circle 48,48 48,12' \
    -channel A -blur 0x5 +channel "${out[@]}" circle-yellow.png

# A red ring, centred: the cursor stays visible inside it.
"$CONVERT" -size 96x96 xc:none -fill none -stroke 'rgba(225,30,30,0.9)' -strokewidth 8 \
    -draw 'circle 48,48 48,14' "${out[@]}" ring-red.png

# A soft blue spot, centred.
"$CONVERT" -size 72x72 xc:none -fill 'rgba(40,120,255,0.8)' -draw 'circle 36,36 36,8' \
    -channel A -blur 0x8 +channel "${out[@]}" spot-blue.png

# A large white arrow with a dark edge, its tip at (4, 4).
"$CONVERT" -size 64x64 xc:none -fill 'rgba(255,255,255,0.95)' -stroke 'rgba(20,20,20,1)' -strokewidth 2 \
    -draw 'polygon 4,4 4,52 16,41 26,60 35,56 25,37 41,37' "${out[@]}" arrow-4.png
