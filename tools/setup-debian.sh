#!/usr/bin/env bash
# Installs, from Debian 12's own packages, whatever the build, the game and the tests need
# and this machine lacks, assuming nothing beyond a minimal Debian root. Uses sudo when not
# run as root.
#
#   tools/setup-debian.sh                  the native build, the game and its tests
#   tools/setup-debian.sh --web            also the web build: emscripten, Chromium for its
#                                          tests, and a deb-src entry for Lua's source package
#   tools/setup-debian.sh --web-if-possible  the same, but a web part that cannot be installed
#                                          is only reported (its tests then skip themselves)
set -euo pipefail

web=${1:-}
case "$web" in
"" | --web | --web-if-possible) ;;
*)
    echo "usage: $0 [--web | --web-if-possible]" >&2
    exit 2
    ;;
esac

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
web_packages=(
    # the compiler of the web build, and dpkg-source, which unpacks Lua's source package
    emscripten dpkg-dev
    # the browser the web page's tests run in, headless
    chromium
)

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        sudo=(missing-sudo)
    else
        sudo=(sudo)
    fi
fi

updated=false
install_packages() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "${sudo[*]}" = missing-sudo ]; then
        echo "setup-debian: not root and sudo is not installed; as root run:" \
            "apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
        return 1
    fi
    echo "Installing: ${missing[*]}"
    if [ "$updated" = false ]; then
        "${sudo[@]}" apt-get update -q
        updated=true
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# apt-get source needs deb-src entries: made from the machine's own deb entries, so that the
# source comes from the archive its packages come from.
enable_sources() {
    apt-get source --print-uris -q lua5.1 >/dev/null 2>&1 && return 0
    local lists=/etc/apt/sources.list.d
    local made=()
    if compgen -G "$lists/*.sources" >/dev/null; then
        sed -n '/^Types:.*\bdeb\b/,/^$/p' "$lists"/*.sources |
            sed 's/^Types:.*/Types: deb-src/' >/tmp/cindra-deb-src.sources
        [ -s /tmp/cindra-deb-src.sources ] && made+=(cindra-deb-src.sources)
    fi
    if grep -hq '^deb ' /etc/apt/sources.list "$lists"/*.list 2>/dev/null; then
        grep -h '^deb ' /etc/apt/sources.list "$lists"/*.list 2>/dev/null |
            sed 's/^deb /deb-src /' >/tmp/cindra-deb-src.list
        made+=(cindra-deb-src.list)
    fi
    [ ${#made[@]} -eq 0 ] && { echo "setup-debian: no deb entry to make a deb-src one from" >&2; return 1; }
    for file in "${made[@]}"; do
        "${sudo[@]}" install -m 644 "/tmp/$file" "$lists/$file"
        rm -f "/tmp/$file"
    done
    "${sudo[@]}" apt-get update -q
}

install_packages "${packages[@]}"
if [ -n "$web" ]; then
    if ! { install_packages "${web_packages[@]}" && enable_sources; }; then
        [ "$web" = --web ] && exit 1
        echo "setup-debian: the web build's packages could not be set up;" \
            "its tests will report themselves as skipped" >&2
    fi
fi
