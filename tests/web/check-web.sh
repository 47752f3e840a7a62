#!/usr/bin/env bash
# The web build and the first steps of Marrowfield's playthrough on its page in headless
# Chromium, at the checkpoints of the native end-to-end test: the player at the south gate
# with the gate sign beside it, the sign's box two steps north, and the walk up the road to
# the pool's stones. Prints the page's frame rate and the output's sizes.
#   check-web.sh SOURCE_DIR WORK_DIR WEB_CELLS
# Exit status 77 (skipped) with the reason when emscripten or Chromium is missing.
set -euo pipefail
source_dir=$1
work=$2
web_cells=$3

for tool in emcmake chromium; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed (tools/setup-debian.sh --web installs it)"
        exit 77
    fi
done
if [ ! -f "$work/web/lua-source/src/lua.h" ] &&
    ! apt-get source --print-uris -q lua5.1 >/dev/null 2>&1; then
    echo "skipped: apt-get source cannot fetch lua5.1 (no deb-src entry;" \
        "tools/setup-debian.sh --web adds one)"
    exit 77
fi

echo "Building the page"
if ! CINDRA_WERROR=ON "$source_dir/tools/web/build-web.sh" "$work/web" >"$work/build-web.log" 2>&1; then
    tail -n 40 "$work/build-web.log"
    echo "FAILED: the web build (log: $work/build-web.log)"
    exit 1
fi
page=$work/web/page

# The sign at (81,9) and the player at (80,6) of the 160 x 100 village, seen from the view
# that starts at map (16,0).
sign="cell 65 9 T c08850"
cat >"$work/first-steps.steps" <<STEPS
wait-log VBOs\ enabled: 120
shot-until start.png 60 $web_cells {shot} cell 64 6 @ ffffff $sign
hold Up
shot-until box.png 60 $web_cells {shot} text 46 48 Marrowfield
release Up
key Return
shot-until closed.png 30 ! $web_cells {shot} text 46 48 Marrowfield
hold Up
shot-until pool.png 120 $web_cells {shot} cell 64 46 @ ffffff
release Up
key Escape
wait-log Average\ FPS: 30
STEPS
rm -rf "$work/run"
python3 "$source_dir/tests/web/drive-page.py" --serve "$page" --out "$work/run" --timeout 600 \
    "$work/first-steps.steps"

for file in cindra.js cindra.wasm cindra.data; do
    echo "$file: $(stat -c %s "$page/$file") bytes, $(gzip -9 -c "$page/$file" | wc -c) gzipped"
done
grep -h "Average FPS" "$work/run/console.log"
echo "The page's screenshots are in $work/run"
