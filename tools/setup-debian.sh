#!/usr/bin/env bash
# Installs, from Debian 12's own packages, whatever the build, the game and the tests need
# and this machine lacks, assuming nothing beyond a minimal Debian root. Uses sudo when not
# run as root.
set -euo pipefail

packages=(
    # the build
    build-essential cmake pkg-config
    libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libgl-dev
    liblua5.1-0-dev libfmt-dev libpng-dev
    # the game's OpenGL where no hardware driver is installed (Mesa's software renderer)
    libgl1-mesa-dri
    # the tests: GoogleTest; the end-to-end tests' X server, window probe, keys and screenshots
    libgtest-dev googletest libx11-dev xvfb xdotool imagemagick
    # the soak and memcheck runs of the game: their harness's Python, and valgrind
    python3 valgrind
    # the benchmarks (libtcod is the reference field of view)
    libbenchmark-dev libtcod-dev
    # the clang builds among the tests (one with the sanitizers and libFuzzer, whose runtimes
    # are in libclang-rt-14-dev), and the formatter every commit is checked with
    clang libclang-rt-14-dev clang-format
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

install=(apt-get install -y -q --no-install-recommends "${missing[@]}")
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "setup-debian: not root and sudo is not installed; as root run:" \
            "apt-get update && ${install[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive "${install[@]}"
