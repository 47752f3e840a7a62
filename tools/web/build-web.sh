#!/usr/bin/env bash
# Builds Marrowfield's web page into BUILD_DIR/page (default build-web/) with Debian's
# emscripten. Lua 5.1's sources come from Debian's source package, fetched once into
# BUILD_DIR/lua-source (tools/setup-debian.sh --web adds the deb-src entry this needs). The
# game folder must already hold what the native build makes: the font, the maps, the sounds.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(mkdir -p "${1:-$here/build-web}" && cd "${1:-$here/build-web}" && pwd)
# Debian's emscripten finds its JavaScript modules (acorn) only through NODE_PATH.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

if ! command -v emcmake >/dev/null; then
    echo "build-web: emscripten is not installed (tools/setup-debian.sh --web installs it)" >&2
    exit 1
fi
if [ ! -f "$build/lua-source/src/lua.h" ]; then
    fetch="$build/lua-fetch"
    rm -rf "$fetch" && mkdir -p "$fetch"
    if ! (cd "$fetch" && apt-get source -q lua5.1 >"$fetch.log" 2>&1); then
        cat "$fetch.log" >&2
        echo "build-web: apt-get source lua5.1 failed; it needs a deb-src entry" \
            "(tools/setup-debian.sh --web adds one)" >&2
        exit 1
    fi
    rm -rf "$build/lua-source"
    mv "$(find "$fetch" -mindepth 1 -maxdepth 1 -type d -name 'lua5.1-*' | head -n 1)" \
        "$build/lua-source"
    rm -rf "$fetch" "$fetch.log"
fi

emcmake cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCINDRA_LUA_SOURCE_DIR="$build/lua-source" -DCINDRA_GAME_DIR="$here/game" \
    -DCINDRA_WERROR="${CINDRA_WERROR:-OFF}" >"$build/configure.log" ||
    { cat "$build/configure.log" >&2; exit 1; }
cmake --build "$build" -j"$(nproc)"
echo "build-web: the page is in $build/page"
