#!/usr/bin/env bash
# Draws the pointer pictures that ship with Lumicue (our own art, vector shapes
# rendered anti-aliased by ImageMagick) and the contact sheet in docs/.
# A number after the last hyphen of a name is the hot spot (n, n); names
# without one are centred on the cursor. Every picture carries a light and a
# dark edge so it reads over a white slide and over a dark editor alike.
# Run from anywhere; writes beside this script.
set -euo pipefail
cd "$(dirname "$0")"
# The real ImageMagick: a convert earlier on PATH may flatten transparency.
CONVERT=${CONVERT:-/usr/bin/convert}
MONTAGE=${MONTAGE:-/usr/bin/montage}
out=(-strip -define png:exclude-chunks=date,time -define png:color-type=6 -depth 8)
rm -f ./*.png

# The arrow outline on a 64-pixel grid, tip at (0, 0).
arrow_points() { # scale dx dy
    awk -v k="$1" -v dx="$2" -v dy="$3" 'BEGIN {
        split("0,0 0,48 12,37 22,56 31,52 21,33 37,33", p, " ");
        for (i = 1; i <= 7; i++) { split(p[i], c, ","); printf "%.2f,%.2f ", c[1] * k + dx, c[2] * k + dy }
    }'
}

# arrow NAME SIZE HOTSPOT FILL EDGE HALO [WEIGHT]: a classic arrow, tip on the
# hot spot, with a wide halo of the contrasting colour under a thin edge;
# WEIGHT thickens both for a bolder outline.
arrow() {
    local name=$1 size=$2 n=$3 fill=$4 edge=$5 halo=$6 weight=${7:-1}
    local k pts
    k=$(awk -v s="$size" -v n="$n" 'BEGIN { printf "%.3f", (s - n - 6) / 58 }')
    pts=$(arrow_points "$k" "$n" "$n")
    "$CONVERT" -size "${size}x${size}" xc:none \
        -fill "$halo" -stroke "$halo" -strokewidth "$(awk -v k="$k" -v w="$weight" 'BEGIN { printf "%.1f", (3 * k + 2) * w }')" -draw "stroke-linejoin round polygon $pts" \
        -fill "$fill" -stroke "$edge" -strokewidth "$(awk -v k="$k" -v w="$weight" 'BEGIN { printf "%.1f", (1.2 * k + 0.5) * w }')" -draw "stroke-linejoin round polygon $pts" \
        "${out[@]}" "$name"
}

# ring NAME SIZE COLOUR WIDTH: a ring with dark and light borders; the cursor
# stays visible inside it.
ring() {
    local name=$1 size=$2 colour=$3 w=$4
    local c=$((size / 2)) r=$((size / 2 - w - 4))
    "$CONVERT" -size "${size}x${size}" xc:none -fill none \
        -stroke 'rgba(255,255,255,0.9)' -strokewidth $((w + 6)) -draw "circle $c,$c $c,$((c - r))" \
        -stroke 'rgba(20,20,20,0.95)' -strokewidth $((w + 2)) -draw "circle $c,$c $c,$((c - r))" \
        -stroke "$colour" -strokewidth "$w" -draw "circle $c,$c $c,$((c - r))" \
        "${out[@]}" "$name"
}

# halo NAME SIZE R G B: a soft glow that fades outwards, with a crisp thin rim
# halfway so it shows on a white page too.
halo() {
    local name=$1 size=$2 r=$3 g=$4 b=$5
    local c=$((size / 2)) rim=$((size * 3 / 8))
    "$CONVERT" -size "${size}x${size}" "radial-gradient:rgba($r,$g,$b,0.75)-rgba($r,$g,$b,0)" \
        -fill none -stroke 'rgba(30,30,30,0.7)' -strokewidth 1.5 -draw "circle $c,$c $c,$((c - rim))" \
        -stroke "rgba($r,$g,$b,1)" -strokewidth 2 -draw "circle $c,$c $c,$((c - rim + 2))" \
        "${out[@]}" "$name"
}

# Alpha times a smoothstep of the distance dd to the centre, from 1 an eighth
# of the size inside the picture's edge down to 0 one pixel inside it: the
# blurred shadow's faint tail would otherwise end in a square edge.
edge_fade="cc=(w-1)/2; dd=hypot(i-cc,j-cc); tt=(cc-1-dd)/(w/8); tt=tt<0?0:(tt>1?1:tt); u*tt*tt*(3-2*tt)"

# spotlight NAME SIZE R G B A: a disc of light with a wide soft edge.
spotlight() {
    local name=$1 size=$2 r=$3 g=$4 b=$5 a=$6
    local c=$((size / 2)) rad=$((size / 2 - size / 6))
    "$CONVERT" \( -size "${size}x${size}" xc:none -fill 'rgba(0,0,0,0.35)' \
           -draw "circle $c,$c $c,$((c - rad - size / 14))" -channel A -blur "0x$((size / 12))" +channel \) \
        \( -size "${size}x${size}" xc:none -fill "rgba($r,$g,$b,$a)" \
           -draw "circle $c,$c $c,$((c - rad))" -channel A -blur "0x$((size / 20))" +channel \) \
        -composite -channel A -fx "$edge_fade" +channel "${out[@]}" "$name"
}

# vignette NAME SIZE: a dark veil with a clear soft-edged hole at the cursor,
# and a light rim so it shows over a dark editor. The veil fades smoothly to
# nothing before the picture's edge, so no square ever shows.
vignette() {
    local name=$1 size=$2
    local c=$((size / 2)) rad=$((size / 5))
    # Alpha from the distance dd to the centre: smoothstep up across the
    # hole's edge, full veil, then smoothstep down to 0 four pixels inside
    # the picture's edge.
    local fx="cc=(w-1)/2; dd=hypot(i-cc,j-cc);
        uu=(dd-($rad-3))/11; uu=uu<0?0:(uu>1?1:uu); uu=uu*uu*(3-2*uu);
        vv=(dd-0.6*cc)/(0.4*cc-4); vv=vv<0?0:(vv>1?1:vv); vv=vv*vv*(3-2*vv);
        0.55*uu*(1-vv)"
    "$CONVERT" -size "${size}x${size}" xc:black -alpha set -channel A -fx "$fx" +channel \
        -fill none -stroke 'rgba(255,255,255,0.8)' -strokewidth 2 -draw "circle $c,$c $c,$((c - rad - 2))" \
        "${out[@]}" "$name"
}

# crosshair NAME SIZE COLOUR: a circle with four ticks and an open centre.
crosshair() {
    local name=$1 size=$2 colour=$3
    local c=$((size / 2)) r=$((size / 2 - 8)) g=$((size / 10))
    local lines="line $c,6 $c,$((c - g)) line $c,$((c + g)) $c,$((size - 6)) line 6,$c $((c - g)),$c line $((c + g)),$c $((size - 6)),$c"
    "$CONVERT" -size "${size}x${size}" xc:none -fill none \
        -stroke 'rgba(255,255,255,0.9)' -strokewidth 7 -draw "circle $c,$c $c,$((c - r))" -draw "stroke-linecap round $lines" \
        -stroke "$colour" -strokewidth 3 -draw "circle $c,$c $c,$((c - r))" -draw "stroke-linecap round $lines" \
        "${out[@]}" "$name"
}

# target NAME SIZE COLOUR: concentric rings around a small dot.
target() {
    local name=$1 size=$2 colour=$3
    local c=$((size / 2))
    "$CONVERT" -size "${size}x${size}" xc:none -fill none \
        -stroke 'rgba(255,255,255,0.9)' -strokewidth 8 \
        -draw "circle $c,$c $c,$((c - size / 2 + 6))" -draw "circle $c,$c $c,$((c - size / 4))" \
        -stroke "$colour" -strokewidth 4 \
        -draw "circle $c,$c $c,$((c - size / 2 + 6))" -draw "circle $c,$c $c,$((c - size / 4))" \
        -stroke 'rgba(255,255,255,0.9)' -strokewidth 2 -fill "$colour" -draw "circle $c,$c $c,$((c - 5))" \
        "${out[@]}" "$name"
}

# hand NAME SIZE N FILL EDGE HALO: a pointing hand in a glove, drawn upright
# with the fingertip at the origin, then tilted and placed so the fingertip
# lies on the hot spot (n, n). Finger, palm, thumb and cuff are drawn three
# times, halo, edge and fill, so their union gets one smooth outline; the edge
# and halo are as wide as on an arrow of the same size. The halo is drawn
# opaque and faded afterwards so overlapping shapes do not darken it.
hand() {
    local name=$1 size=$2 n=$3 fill=$4 edge=$5 halo=$6
    local k ka e h
    k=$(awk -v s="$size" 'BEGIN { printf "%.3f", s / 77 }')
    ka=$(awk -v s="$size" -v n="$n" 'BEGIN { printf "%.3f", (s - n - 6) / 58 }')
    e=$(awk -v a="$ka" -v k="$k" 'BEGIN { printf "%.3f", 2 * (1.2 * a + 0.5) / k }')
    h=$(awk -v a="$ka" -v k="$k" 'BEGIN { printf "%.3f", 2 * (2.1 * a + 1.25) / k }')
    local place="translate $n,$n rotate -35 scale $k,$k"
    local shape="roundrectangle -5.5,0 5.5,38 5.5,5.5
        roundrectangle 5,16 16.5,42 5.75,5.75 roundrectangle 15.5,19 26.5,44 5.5,5.5
        roundrectangle 25.5,23 34.5,46 4.5,4.5 roundrectangle -5.5,28 34.5,60 9,9
        push graphic-context translate -2,44 rotate 30 roundrectangle -17,-6 2,6 6,6 pop graphic-context
        roundrectangle -1,56 32,67 2.5,2.5"
    local lines="line 5.5,22 5.5,32 line 16,26 16,35 line 26,29 26,37 line 0,57 31,57"
    local halo_rgb="${halo%,*})" halo_alpha=${halo##*,}
    "$CONVERT" -size "${size}x${size}" xc:none \
        \( -size "${size}x${size}" xc:none -fill "${halo_rgb/rgba/rgb}" -stroke "${halo_rgb/rgba/rgb}" -strokewidth "$h" \
           -draw "stroke-linejoin round $place $shape" -channel A -evaluate multiply "${halo_alpha%)}" +channel \) -composite \
        -fill "$edge" -stroke "$edge" -strokewidth "$e" -draw "stroke-linejoin round $place $shape" \
        -fill "$fill" -stroke none -draw "$place $shape" \
        -fill none -stroke "$edge" -strokewidth "$(awk -v e="$e" 'BEGIN { printf "%.3f", e * 0.4 }')" \
        -draw "stroke-linecap round $place $lines" \
        "${out[@]}" "$name"
}

# The default: first in name order, so a first run starts with it.
arrow arrow-amber-8.png     128  8 'rgba(255,200,0,1)'   'rgba(25,18,0,1)'     'rgba(255,255,255,0.95)' 1.5
arrow arrow-black-4.png      64  4 'rgba(15,15,15,1)'    'rgba(255,255,255,1)' 'rgba(255,255,255,0.85)'
arrow arrow-white-4.png      64  4 'rgba(255,255,255,1)' 'rgba(20,20,20,1)'    'rgba(20,20,20,0.5)'
arrow arrow-yellow-6.png     96  6 'rgba(255,214,0,1)'   'rgba(40,30,0,1)'     'rgba(255,255,255,0.85)'
arrow arrow-red-6.png        96  6 'rgba(230,30,30,1)'   'rgba(60,0,0,1)'      'rgba(255,255,255,0.85)'
arrow arrow-green-6.png      96  6 'rgba(40,200,70,1)'   'rgba(0,50,10,1)'     'rgba(255,255,255,0.85)'
arrow arrow-blue-6.png       96  6 'rgba(40,110,255,1)'  'rgba(0,20,70,1)'     'rgba(255,255,255,0.85)'
arrow arrow-cyan-8.png      128  8 'rgba(0,215,235,1)'   'rgba(0,50,60,1)'     'rgba(255,255,255,0.85)'
arrow arrow-orange-8.png    128  8 'rgba(255,140,0,1)'   'rgba(70,30,0,1)'     'rgba(255,255,255,0.85)'
arrow arrow-magenta-8.png   128  8 'rgba(235,40,200,1)'  'rgba(60,0,50,1)'     'rgba(255,255,255,0.85)'
arrow arrow-white-big-10.png 192 10 'rgba(255,255,255,1)' 'rgba(20,20,20,1)'   'rgba(20,20,20,0.5)'
arrow arrow-yellow-big-12.png 256 12 'rgba(255,214,0,1)' 'rgba(40,30,0,1)'     'rgba(255,255,255,0.85)'

ring ring-red.png          96 'rgba(225,30,30,0.95)' 6
ring ring-yellow.png      128 'rgba(255,214,0,0.95)' 8
ring ring-green.png        96 'rgba(40,200,70,0.95)' 6
ring ring-blue.png        128 'rgba(40,110,255,0.95)' 8
ring ring-white-thin.png   80 'rgba(255,255,255,1)' 3

halo halo-yellow.png 128 255 214 0
halo halo-pink.png   128 255 80 170
halo halo-cyan.png   160 0 215 235
halo halo-green.png  128 60 220 90

spotlight spotlight-yellow.png 192 255 230 60 0.6
spotlight spotlight-white.png  160 255 255 255 0.7
spotlight spotlight-blue.png   192 60 140 255 0.55
vignette spotlight-dim.png 256

hand hand-white-8.png   96  8 'rgba(255,255,255,1)' 'rgba(20,20,20,1)' 'rgba(20,20,20,0.45)'
hand hand-yellow-10.png 128 10 'rgba(255,214,0,1)'  'rgba(40,30,0,1)'  'rgba(255,255,255,0.85)'

crosshair crosshair-red.png    96 'rgba(225,30,30,1)'
crosshair crosshair-green.png 128 'rgba(40,200,70,1)'
target target-red.png         112 'rgba(225,30,30,1)'

# The contact sheet: every picture over a white slide and over a dark editor.
sheet=$(mktemp -d)
trap 'rm -rf "$sheet"' EXIT
for f in *.png; do
    "$CONVERT" \( -size 128x128 xc:white \( "$f" -resize '120x120>' \) -gravity center -composite \) \
        \( -size 128x128 xc:'#1e1f26' \( "$f" -resize '120x120>' \) -gravity center -composite \) \
        +append -set label "$f" "$sheet/${f%.png}.miff"
done
"$MONTAGE" "$sheet"/*.miff -tile 4x -geometry +6+6 -font "${FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}" -pointsize 13 -background '#d8d8d8' \
    "${out[@]/color-type=6/color-type=2}" ../docs/pointers.png
