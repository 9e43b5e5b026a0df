#!/bin/bash
# Draws the About panel's 100 x 100 picture with ImageMagick (Debian's
# imagemagick and fonts-arphic-uming), and the same at 200 x 200 for screens
# at a scale factor of 2 (loaded by Qt as the @2x version). The PNGs are
# committed; the build does not need ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/arphic/uming.ttc

about() { # k file: drawn at k times the natural size
    local k=$1 shift
    shift=$(echo "($k - 1) / 2" | bc -l)
    convert -size "$((100 * k))x$((100 * k))" gradient:'rgb(128,128,255)-rgb(40,40,160)' \
        -draw "affine $k,0,0,$k,$shift,$shift
            fill rgb(234,183,110) stroke rgb(120,80,30) stroke-width 2
            roundrectangle 14,10 86,90 8,8
            fill white stroke-width 1 rectangle 24,20 76,80
            stroke rgb(128,128,255) stroke-width 2
            line 32,34 68,34 line 32,46 68,46 line 32,58 56,58
            stroke rgb(220,30,30) stroke-width 5 line 44,64 52,74 line 52,74 72,46" \
        -stroke none -fill black -font "$font" -pointsize "$((14 * k))" -gravity south \
        -annotate "+0+$k" '墨序' -type TrueColor "PNG24:$2"
}

about 1 about.png
about 2 about@2x.png
