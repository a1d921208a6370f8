#!/bin/sh
# Draws the two pictures of the viewer's about box with ImageMagick's
# `convert` and writes them beside this script:
#   AboutBackground.jpg  the shown picture: a light panel with two traces
#   AboutLumbra.jpg      the second, darker picture of the same design
# Both are the size of the about box's client area (360 x 210).
set -e
cd "$(dirname "$0")"

W=360
H=210

# Two traces drawn as polylines along the lower part of the picture, below
# the texts: a damped sine (channel A) and a slower sine (channel B).
traces() {
    awk -v w="$W" 'BEGIN {
        a = ""; b = "";
        for (x = 0; x < w; x += 2) {
            ya = 172 + 18 * exp(-x / 260) * sin(x / 11);
            yb = 186 + 10 * sin(x / 37 + 1);
            a = a sprintf(" %d,%.1f", x, ya);
            b = b sprintf(" %d,%.1f", x, yb);
        }
        printf "polyline%s\n", a;
        print "---";
        printf "polyline%s\n", b;
    }'
}
TRACE_A=$(traces | sed -n 1p)
TRACE_B=$(traces | sed -n 3p)

grid() {
    g=""
    x=0
    while [ $x -le $W ]; do g="$g line $x,150 $x,$H"; x=$((x + 30)); done
    y=150
    while [ $y -le $H ]; do g="$g line 0,$y $W,$y"; y=$((y + 15)); done
    echo "$g"
}
GRID=$(grid)

picture() {
    # $1 top colour, $2 bottom colour, $3 grid colour, $4 trace A, $5 trace B, $6 output
    convert -size ${W}x${H} gradient:"$1"-"$2" \
        -fill none -stroke "$3" -strokewidth 1 -draw "$GRID" \
        -stroke "$4" -strokewidth 2 -draw "$TRACE_A" \
        -stroke "$5" -strokewidth 2 -draw "$TRACE_B" \
        -strip -quality 90 -sampling-factor 1x1 "$6"
}

picture "#f4f7fb" "#c9d6e6" "#b4c3d6" "#2f8f3f" "#b08a00" AboutBackground.jpg
picture "#d5dde8" "#8d9fb6" "#7f91a8" "#1f6f2f" "#806400" AboutLumbra.jpg
