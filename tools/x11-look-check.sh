#!/bin/bash
# Starts the built program on a virtual X11 display, takes a screenshot and
# checks the main window's painted look on the real window, shape included:
# gradient bands, separator rows, the cut-off outline and corners.
# Needs xvfb and imagemagick. Usage: tools/x11-look-check.sh [BUILD_DIR]
set -euo pipefail
build="${1:-build}"
display=:93
Xvfb "$display" -screen 0 1024x700x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$build/bin/score-analysis" &
program=$!
sleep 1.5
shot="$(mktemp --suffix=.png)"
DISPLAY=$display import -window root "$shot"
kill $program

# Without a window manager the window sits at the screen's top left corner.
failures=0
expect() { # x y r g b
    local got
    got="$(convert "$shot" -format "%[pixel:p{$1,$2}]" info:)"
    if [ "$got" != "srgb($3,$4,$5)" ]; then
        echo "pixel ($1,$2): expected srgb($3,$4,$5), got $got"
        failures=$((failures + 1))
    fi
}
expect 774 10 126 126 253   # band 1
expect 774 100 106 106 233  # band 11
expect 400 530 4 4 131      # band 62, the last row inside the outline
expect 300 28 0 0 105       # dark separator
expect 300 29 255 255 255   # light separator
expect 4 200 82 82 209      # just inside the left edge
expect 3 200 0 0 0          # cut off: the root window shows
expect 779 200 0 0 0
expect 300 531 0 0 0
expect 5 5 0 0 0            # rounded corner
expect 8 8 126 126 253
rm -f "$shot"
if [ $failures -ne 0 ]; then
    echo "$failures pixels differ"
    exit 1
fi
echo "the window looks as painted, shape included"
