#!/usr/bin/env bash
# One command for a fresh Debian 12 machine: installs what is missing, builds, and then
# either starts Marrowfield from game/ ("play") or runs every test ("test").
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mode=${1:-play}
build=${CINDRA_BUILD_DIR:-$here/build}

"$here/tools/setup-debian.sh"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"

case "$mode" in
play)
    cd "$here/game"
    exec "$build/src/cindra"
    ;;
test)
    cd "$build"
    exec ctest --output-on-failure --timeout 300 -j2
    ;;
*)
    echo "usage: $0 [play|test]" >&2
    exit 2
    ;;
esac
