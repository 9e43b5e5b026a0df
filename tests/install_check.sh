#!/bin/bash
# Installs the build into a temporary prefix and checks the installed tree,
# then makes the Debian package and checks its contents and dependencies.
# Usage: install_check.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
source="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
programs="$prefix/lib/score-analysis"
for program in score-analysis score-report; do
    test -x "$programs/$program"
    test "$(readlink -f "$prefix/bin/$program")" = "$(readlink -f "$programs/$program")"
done
# "Open with" hands the menu entry a workbook; the icon comes in three sizes.
desktop="$prefix/share/applications/score-analysis.desktop"
grep -q '^Exec=score-analysis %f$' "$desktop"
grep -qx 'MimeType=application/vnd.ms-excel;application/vnd.openxmlformats-officedocument.spreadsheetml.sheet;application/vnd.ms-excel.sheet.macroEnabled.12;application/vnd.oasis.opendocument.spreadsheet;application/wps-office.et;application/wps-office.ett;text/csv;text/tab-separated-values;' "$desktop"
for size in 64 128 256; do
    file -b "$prefix/share/icons/hicolor/${size}x$size/apps/score-analysis.png" | grep -q " $size x $size,"
done
appstreamcli validate --no-net "$prefix/share/metainfo/cn.moxu.ScoreAnalysis.metainfo.xml" >/dev/null
groff -K utf8 -man -Tutf8 "$prefix/share/man/man1/score-analysis.1" 2>/dev/null | grep -q "打开墨序成绩统计软件的主窗口"

# The help file is the GBK text with CR LF line ends.
grep -q '^墨序成绩统计软件' <<<"$(iconv -f GBK -t UTF-8 "$programs/Help.dat")"
grep -q $'\r$' "$programs/Help.dat"

# The installed score-report, started through its link in bin/, and its manual.
out="$("$prefix/bin/score-report" "$source/samples/class.xls" --class-size 30 --json)"
grep -q '"total":"2337"' <<<"$out"
# The manual's title line names the version the program prints.
manual="$prefix/share/man/man1/score-report.1"
grep -qF "\"$("$prefix/bin/score-report" --version)\"" "$manual"
groff -K utf8 -man -Tutf8 "$manual" 2>/dev/null | grep -q "各段百分比按最大余数法保留两位小数"
# The PDF report through the installed module beside the program.
"$prefix/bin/score-report" "$source/samples/class.xls" --school 实验中学 --export "$prefix/r.pdf" >/dev/null
grep -q "实验中学" <<<"$(pdftotext "$prefix/r.pdf" -)"

# The Debian package: its dependencies and files.
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls -t "$build"/score-analysis_*.deb | head -1)"
listing="$(dpkg-deb -f "$deb" Depends; dpkg-deb -c "$deb")"
for needed in libqt6widgets6 libqt6core6 libqt6printsupport6 ./usr/lib/score-analysis/score-report-pdf.so qt6-qpa-plugins qt6-translations-l10n \
              fonts-arphic-uming fonts-noto-cjk libxlsxwriter4 libxml2 ./usr/lib/score-analysis/Help.dat \
              ./usr/bin/score-analysis ./usr/share/applications/score-analysis.desktop \
              ./usr/share/metainfo/cn.moxu.ScoreAnalysis.metainfo.xml \
              ./usr/share/man/man1/score-analysis.1 ./usr/share/man/man1/score-report.1; do
    grep -q "$needed" <<<"$listing" || { echo "the package lacks $needed"; exit 1; }
done
echo "installed tree and package are complete"
