#!/bin/bash
# Draws the skin's small pictures with ImageMagick (Debian's imagemagick).
# The PNG files are committed; the build does not need ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"

# Close button at rest: a red rounded square with a white diagonal cross on a
# white ground, 20 x 21 pixels.
convert -size 20x21 xc:white +antialias \
    -fill 'rgb(249,106,102)' -stroke none -draw 'roundrectangle 3,3 16,16 3,3' \
    -stroke white -strokewidth 2 -draw 'line 6,6 13,13' -draw 'line 13,6 6,13' \
    -type TrueColor PNG24:close-rest.png

# Hovered: a stronger red, one pixel up and to the left, over a grey shadow.
convert -size 20x21 xc:white +antialias \
    -fill 'rgb(199,199,199)' -stroke none -draw 'roundrectangle 3,3 16,16 3,3' \
    -fill 'rgb(255,83,94)' -draw 'roundrectangle 2,2 15,15 3,3' \
    -stroke white -strokewidth 2 -draw 'line 5,5 12,12' -draw 'line 12,5 5,12' \
    -type TrueColor PNG24:close-hover.png

# The program's icon: a score sheet with ruled lines and a red tick.
convert -size 20x20 xc:none +antialias \
    -fill 'rgb(234,183,110)' -stroke 'rgb(120,80,30)' -draw 'roundrectangle 1,1 18,18 3,3' \
    -fill white -stroke 'rgb(120,80,30)' -draw 'rectangle 4,3 15,16' \
    -stroke 'rgb(128,128,255)' -draw 'line 6,6 13,6' -draw 'line 6,9 13,9' -draw 'line 6,12 10,12' \
    -stroke 'rgb(220,30,30)' -strokewidth 2 -draw 'line 9,13 11,15' -draw 'line 11,15 16,8' \
    PNG32:logo.png

# Larger renderings of the icon for the desktop menu.
convert logo.png -filter point -resize 64x64 PNG32:logo-64.png
