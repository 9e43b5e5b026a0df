#!/bin/bash
# Installs the Debian 12 packages the build, the tests and the fuzzers need,
# only those that are missing. Run as root, or with sudo available.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev qt6-qpa-plugins qt6-translations-l10n libxcb-shape0-dev
    zlib1g-dev libxlsxwriter-dev libxml2-dev
    fonts-arphic-uming fonts-noto-cjk
    appstream groff-base poppler-utils
    libbenchmark-dev
    clang-14 libclang-rt-14-dev
    dpkg-dev file python3
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
