#!/usr/bin/env bash
# Draws the program icon (our own art) and writes it as data into AppIconData.cpp.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 48x48 xc:none \
    -fill 'rgba(255,214,0,0.85)' -stroke 'rgba(200,120,0,1)' -strokewidth 2 -draw 'circle 24,24 24,3' \
    -fill black -stroke white -strokewidth 1.5 -draw 'polygon 17,11 17,37 23,31 27,40 31,38 27,29 35,29' \
    "PNG32:$tmp/icon.png"
{
    echo "// The program icon (resource 2) as PNG data; made by make-icon.sh."
    echo "#include \"res/AppIconData.h\""
    echo
    echo "const unsigned char kAppIconPng[] = {"
    od -An -v -tx1 "$tmp/icon.png" | sed -e 's/ \([0-9a-f][0-9a-f]\)/0x\1, /g' -e 's/^/   /'
    echo "};"
    echo "const unsigned int kAppIconPngSize = sizeof(kAppIconPng);"
} > AppIconData.cpp
