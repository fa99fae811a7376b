#!/usr/bin/env bash
# Installs the Debian 12 packages Tarnwick needs to build, run and test.
# Only missing packages are installed; run as root (or through sudo).
set -euo pipefail
# Run-time pieces that nothing else pulls in without recommends: the Qt SVG
# image and icon plugins (libqt5svg5; the icons are SVG), the software GL
# driver and a base font. The xcb platform plugin and the other image
# plugins come with qtbase5-dev (libqt5gui5); the ODBC drivers register
# themselves in /etc/odbcinst.ini when installed.

packages=(
    build-essential cmake pkg-config
    unixodbc unixodbc-dev odbcinst libsqliteodbc odbc-postgresql
    sqlite3 libsqlite3-dev
    qtbase5-dev libcoin-dev libsoqt520-dev libpng-dev
    libqt5svg5
    fonts-noto-cjk
    libgtest-dev googletest
    postgresql graphviz
    xvfb xauth openbox x11-utils imagemagick
    libgl1-mesa-dri libglx-mesa0 fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" = 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# The PostgreSQL package starts a system cluster; the tests run their own.
