#!/usr/bin/env bash
# One command for a fresh Debian 12 machine: installs what is missing, builds, and then
# starts Marrowfield from game/ ("play"), runs every test ("test"), or builds the game's web
# page into build-web/ and serves it on 127.0.0.1 ("web").
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mode=${1:-play}
build=${CINDRA_BUILD_DIR:-$here/build}

# "test" is the developer's and CI's command: warnings are errors there, and the tests include
# a packager's GCC Release build and a clang build. "play" leaves those settings as the build
# tree has them, so switching between the two never rebuilds everything.
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
# Playing needs only the game and what it reads: the font, the levels and the sounds.
targets=(--target cindra font maps sounds)
setup=()
case "$mode" in
play) ;;
test)
    options+=(-DCINDRA_WERROR=ON -DCINDRA_BUILD_CHECKS=ON)
    targets=()
    # The web page's test needs emscripten and Chromium; without them it reports itself skipped.
    setup=(--web-if-possible)
    ;;
web)
    # The page is built by emscripten; the font, maps and sounds it loads come from the native
    # tools, built here as for playing.
    setup=(--web)
    ;;
*)
    echo "usage: $0 [play|test|web]" >&2
    exit 2
    ;;
esac

"$here/tools/setup-debian.sh" "${setup[@]}"
cmake -S "$here" -B "$build" "${options[@]}"
cmake --build "$build" -j"$(nproc)" "${targets[@]}"

if [ "$mode" = play ]; then
    cd "$here/game"
    exec "$build/src/cindra"
fi
if [ "$mode" = web ]; then
    web=${CINDRA_WEB_BUILD_DIR:-$here/build-web}
    "$here/tools/web/build-web.sh" "$web"
    exec python3 "$here/tools/web/serve.py" "$web/page"
fi
cd "$build"
exec ctest --output-on-failure --timeout 300 -j2
