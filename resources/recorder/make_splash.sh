#!/usr/bin/env bash
# Draws the recorder's splash picture (390 x 265, JPEG) with ImageMagick:
# a dark blue field with a grid, two traces and the product name. Run it to
# write Splash.jpg beside it.
set -euo pipefail
cd "$(dirname "$0")"

trace() {  # trace <amplitude> <period> <offset> <phase>: SVG-free polyline points
  awk -v a="$1" -v p="$2" -v o="$3" -v f="$4" 'BEGIN {
    for (x = 20; x <= 370; x += 2) printf "%d,%d ", x, o + a * sin((x + f) * 6.2832 / p) + 0.35 * a * sin((x + f) * 31.4 / p);
  }'
}

grid=()
for x in $(seq 20 35 370); do grid+=(-draw "line $x,62 $x,212"); done
for y in $(seq 62 25 212); do grid+=(-draw "line 20,$y 370,$y"); done

convert -size 390x265 gradient:'#3a2a8a'-'#0c0630' \
  -stroke '#5a4fa0' -strokewidth 1 "${grid[@]}" \
  -fill none -strokewidth 2 \
  -stroke '#00ff40' -draw "polyline $(trace 30 140 112 0)" \
  -stroke '#ffff00' -draw "polyline $(trace 22 90 170 25)" \
  -stroke none -fill white -font DejaVu-Sans-Bold -pointsize 24 -annotate +20+40 'Tarsel series scope' \
  -font DejaVu-Sans -pointsize 12 -fill '#d0d0ff' -annotate +22+58 'RadaDazi Kesto  -  roll mode recorder' \
  -quality 88 Splash.jpg
