#!/usr/bin/env bash
# One command for a fresh Debian 12 machine: installs what is missing, builds, and then
# either starts Marrowfield from game/ ("play") or runs every test ("test").
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
case "$mode" in
play) ;;
test)
    options+=(-DCINDRA_WERROR=ON -DCINDRA_BUILD_CHECKS=ON)
    targets=()
    ;;
*)
    echo "usage: $0 [play|test]" >&2
    exit 2
    ;;
esac

"$here/tools/setup-debian.sh"
cmake -S "$here" -B "$build" "${options[@]}"
cmake --build "$build" -j"$(nproc)" "${targets[@]}"

if [ "$mode" = play ]; then
    cd "$here/game"
    exec "$build/src/cindra"
fi
cd "$build"
exec ctest --output-on-failure --timeout 300 -j2
