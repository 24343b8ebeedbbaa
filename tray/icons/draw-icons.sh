#!/bin/sh
# Draws the tray icons with ImageMagick: a landscape picture in a frame, with
# a turning-arrows badge (auto change active) or a pause badge (paused), at
# 192 pixels and scaled down to 16, 22, 32 and 48. Run it after changing the
# drawing; the PNG files it writes are kept in the repository.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The picture: sky, sun, two hills, inside a rounded white frame.
convert -size 192x192 xc:none \
    -fill '#1d2b3a' -draw 'roundrectangle 6,22 186,170 18,18' \
    -fill '#f4f1e8' -draw 'roundrectangle 12,28 180,164 13,13' \
    \( -size 156x124 gradient:'#2f7fd8'-'#a8d8ff' \) -geometry +18+34 -composite \
    -fill '#ffd23f' -draw 'circle 60,72 60,52' \
    -fill '#3f9b3a' -draw 'ellipse 70,168 95,60 180,360' \
    -fill '#2d7a2b' -draw 'ellipse 150,172 80,70 180,360' \
    -fill none -stroke '#f4f1e8' -strokewidth 6 -draw 'rectangle 15,31 177,161' \
    "$tmp/picture.png"

# Active: orange disc with a white arrow turning round it.
convert "$tmp/picture.png" \
    -fill '#e8731a' -stroke '#1d2b3a' -strokewidth 6 -draw 'circle 140,140 140,90' \
    -fill none -stroke white -strokewidth 11 -draw 'arc 114,114 166,166 40,310' \
    -stroke none -fill white -draw 'polygon 170,135 171,110 145,132' \
    "$tmp/active.png"

# Paused: the picture in grey with a dark disc holding two bars.
convert "$tmp/picture.png" -modulate 100,15 \
    -fill '#4a4f57' -stroke '#1d2b3a' -strokewidth 6 -draw 'circle 140,140 140,90' \
    -stroke none -fill white \
    -draw 'roundrectangle 120,116 134,164 3,3' -draw 'roundrectangle 146,116 160,164 3,3' \
    "$tmp/paused.png"

for state in active paused; do
    for size in 16 22 32 48; do
        convert "$tmp/$state.png" -filter Lanczos -resize "${size}x${size}" \
            -strip -define png:exclude-chunks=date,time "paperwheel-$state-$size.png"
    done
done
