#!/usr/bin/env bash
# Installs, from Debian 12's own packages, whatever the build, the game and the tests need
# and this machine lacks. Uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang-format
    libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev
    libgl-dev libgl1-mesa-dri libx11-dev liblua5.1-0-dev libfmt-dev libpng-dev
    libgtest-dev googletest libbenchmark-dev libtcod-dev
    xvfb xauth xdotool imagemagick
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
