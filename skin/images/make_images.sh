#!/bin/bash
# Draws the skin's small pictures with ImageMagick (Debian's imagemagick):
# each at its natural size and twice that for screens at a scale factor of 2
# (loaded by Qt as the @2x version), and the program's icon in the sizes of a
# desktop's menus and software centres. The PNG files are committed; the build
# does not need ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"

# The drawing commands are written for the natural size; at k times that
# size every pixel centre x moves to k·x + (k - 1) / 2, so each natural pixel
# becomes a k × k block.
scaled() { # k -> an MVG affine transform
    echo "affine $1,0,0,$1,$(echo "($1 - 1) / 2" | bc -l),$(echo "($1 - 1) / 2" | bc -l)"
}

# Close button at rest: a red rounded square with a white diagonal cross on a
# white ground, 20 x 21 pixels.
close_rest() { # k file
    convert -size "$((20 * $1))x$((21 * $1))" xc:white +antialias -draw "$(scaled "$1")
        fill rgb(249,106,102) stroke none roundrectangle 3,3 16,16 3,3
        stroke white stroke-width 2 line 6,6 13,13 line 13,6 6,13" \
        -type TrueColor "PNG24:$2"
}

# Hovered: a stronger red, one pixel up and to the left, over a grey shadow.
close_hover() { # k file
    convert -size "$((20 * $1))x$((21 * $1))" xc:white +antialias -draw "$(scaled "$1")
        fill rgb(199,199,199) stroke none roundrectangle 3,3 16,16 3,3
        fill rgb(255,83,94) roundrectangle 2,2 15,15 3,3
        stroke white stroke-width 2 line 5,5 12,12 line 12,5 5,12" \
        -type TrueColor "PNG24:$2"
}

# The program's icon: a score sheet with ruled lines and a red tick, drawn
# pixel-sharp at 20 and 40 pixels and smoothed at the desktop's sizes.
logo() { # size antialias file
    local cap=butt
    [ "$2" = +antialias ] || cap=round
    convert -size "$1x$1" xc:none "$2" -draw "$(scaled "$(echo "$1 / 20" | bc -l)")
        stroke-linecap $cap stroke-linejoin round
        fill rgb(234,183,110) stroke rgb(120,80,30) roundrectangle 1,1 18,18 3,3
        fill white rectangle 4,3 15,16
        stroke rgb(128,128,255) line 6,6 13,6 line 6,9 13,9 line 6,12 10,12
        stroke rgb(220,30,30) stroke-width 2 line 9,13 11,15 line 11,15 16,8" \
        "PNG32:$3"
}

close_rest 1 close-rest.png
close_rest 2 close-rest@2x.png
close_hover 1 close-hover.png
close_hover 2 close-hover@2x.png
logo 20 +antialias logo.png
logo 40 +antialias logo@2x.png
for size in 64 128 256; do
    logo "$size" -antialias "logo-$size.png"
done
