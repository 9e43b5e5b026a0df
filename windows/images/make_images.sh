#!/bin/bash
# Draws the About panel's 100 x 100 picture with ImageMagick (Debian's
# imagemagick and fonts-arphic-uming). The PNG is committed; the build does
# not need ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/arphic/uming.ttc
convert -size 100x100 gradient:'rgb(128,128,255)-rgb(40,40,160)' \
    -fill 'rgb(234,183,110)' -stroke 'rgb(120,80,30)' -strokewidth 2 \
    -draw 'roundrectangle 14,10 86,90 8,8' \
    -fill white -stroke 'rgb(120,80,30)' -strokewidth 1 -draw 'rectangle 24,20 76,80' \
    -stroke 'rgb(128,128,255)' -strokewidth 2 \
    -draw 'line 32,34 68,34' -draw 'line 32,46 68,46' -draw 'line 32,58 56,58' \
    -stroke 'rgb(220,30,30)' -strokewidth 5 -draw 'line 44,64 52,74' -draw 'line 52,74 72,46' \
    -stroke none -fill black -font "$font" -pointsize 14 -gravity south -annotate +0+1 '墨序' \
    -type TrueColor PNG24:about.png
