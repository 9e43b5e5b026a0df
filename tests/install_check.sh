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
test -x "$programs/score-analysis"
test -x "$programs/score-report"
test -f "$programs/Help.dat"
test "$(readlink -f "$prefix/bin/score-report")" = "$(readlink -f "$programs/score-report")"
test "$(readlink -f "$prefix/bin/score-analysis")" = "$(readlink -f "$programs/score-analysis")"
grep -q '^Exec=score-analysis$' "$prefix/share/applications/score-analysis.desktop"
test -f "$prefix/share/icons/hicolor/64x64/apps/score-analysis.png"
# The help file is the GBK text with CR LF line ends.
help="$(iconv -f GBK -t UTF-8 "$programs/Help.dat")"
grep -q '^墨序成绩统计软件' <<<"$help"
grep -q $'\r$' "$programs/Help.dat"

# The installed score-report, started through its link in bin/.
out="$("$prefix/bin/score-report" "$source/samples/class.xls" --class-size 30 --json)"
grep -q '"total":"2337"' <<<"$out"

# The Debian package.
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls -t "$build"/score-analysis_*.deb | head -1)"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libqt6core6 qt6-qpa-plugins fonts-arphic-uming; do
    grep -q "$needed" <<<"$depends" || { echo "missing dependency $needed: $depends"; exit 1; }
done
contents="$(dpkg-deb -c "$deb")"
for file in ./usr/lib/score-analysis/Help.dat ./usr/bin/score-analysis \
            ./usr/share/applications/score-analysis.desktop; do
    grep -q "$file" <<<"$contents" || { echo "missing from the package: $file"; exit 1; }
done
echo "installed tree and package are complete"
