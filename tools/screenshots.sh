#!/bin/bash
# Takes the README's screenshots on a virtual X11 display: the main window
# after importing the sample class, a sort by score and the statistics, the
# About panel, the help window and, at 100 %, the report window with its
# header typed and the first page of its PDF, and the grade comparison of
# the three fixture classes, each cropped from the screen as a person
# sees it (shape included). Needs xvfb, imagemagick, xdotool and x11-utils.
#
#   tools/screenshots.sh BUILD_DIR OUT_DIR [SCALE]
#
# SCALE (default 1) is handed to the program as QT_SCALE_FACTOR; the files
# are OUT_DIR/main-window.png, about-panel.png and help-window.png, with
# "-200" before ".png" at scale 2.
set -euo pipefail
build=${1:?build directory}
out=${2:?output directory}
scale=${3:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
suffix=""
[ "$scale" = 1 ] || suffix="-${scale}00"
display=:94
Xvfb "$display" -screen 0 1600x1200x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $program $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display

# Logical pixels (twips / 15) to screen pixels, from a window's top left corner.
click() { # window-x window-y twips-x twips-y
    xdotool mousemove "$(($1 + $3 * scale / 15))" "$(($2 + $4 * scale / 15))" click 1
    sleep 0.4
}
geometry() { # title -> "x y width height"
    local id
    id=$(xdotool search --sync --onlyvisible --name "^$1\$" | head -1)
    xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
shoot() { # title file
    local x y w h
    read -r x y w h < <(geometry "$1")
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$2$suffix.png"
}

# At 100 % the program starts as on an ordinary desktop, without the variable.
[ "$scale" = 1 ] || export QT_SCALE_FACTOR=$scale
"$build/bin/score-analysis" "$root/samples/class.xls" &
program=$!
read -r mx my _ _ < <(geometry "墨序成绩统计软件")
sleep 0.5
click "$mx" "$my" 2400 960          # a score cell
click "$mx" "$my" 2587 7627         # 降序排列
click "$mx" "$my" 1327 7635         # 班级人数
xdotool type --delay 50 30
click "$mx" "$my" 5107 1627         # 成绩统计与分析
shoot "墨序成绩统计软件" main-window
click "$mx" "$my" 5107 2347         # 帮助
read -r ax ay _ _ < <(geometry "　版权说明")
shoot "　版权说明" about-panel
click "$ax" "$ay" 2827 2505         # the panel's 帮助
shoot "　帮助" help-window
[ "$scale" = 1 ] || exit 0
xdotool key Escape
click "$mx" "$my" 10800 1627        # 分析报告
read -r rx ry _ _ < <(geometry "成绩分析报告")
field() { # x y text: a report field, in pixels from the window's corner
    xdotool mousemove "$((rx + $1))" "$((ry + $2))" click --repeat 3 1 type --delay 30 "$3"
    sleep 0.3
}
field 100 70 实验中学
field 260 70 初二（3）班
field 100 96 数学
field 260 96 期中考试
field 100 122 李老师
xdotool mousemove "$((rx + 170))" "$((ry + 330))" click 1 type --delay 30 "基础题得分较好，压轴题失分较多。"
sleep 0.5
shoot "成绩分析报告" report-window
xdotool mousemove "$((rx + 490))" "$((ry + 698))" click 1   # 年级对比
sleep 1
read -r gx gy _ _ < <(geometry "年级对比")
xdotool mousemove "$((gx + 176))" "$((gy + 417))" click 1   # 添加文件夹
xdotool search --sync --onlyvisible --name "^选择班级工作簿所在的文件夹\$" >/dev/null
xdotool type --delay 20 "$root/tests/fixtures/grade"
xdotool key Return
sleep 0.5
xdotool mousemove "$((gx + 60))" "$((gy + 698))" click 1    # 计算
sleep 2
shoot "年级对比" grade-window
"$build/bin/score-report" "$root/samples/class.xls" --class-size 30 --school 实验中学 \
    --class-name 初二（3）班 --subject 数学 --exam 期中考试 --teacher 李老师 \
    --export "$out/report.pdf" >/dev/null
pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$out/report.pdf" "$out/report-page"
rm "$out/report.pdf"
