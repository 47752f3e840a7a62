#!/bin/sh
# Runs drive-page.py against selftest/index.html; 0 passed, 77 skipped.
set -u
here=$(cd "$(dirname "$0")" && pwd)
chromium=${CHROMIUM:-/usr/bin/chromium}
if [ ! -x "$chromium" ]; then
    echo "skipped: $chromium is missing"
    exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "selftest: $*" >&2; exit 1; }

# drive-page.py keeps Chromium's profile under TMPDIR, and must remove it.
mkdir "$out/tmp"
TMPDIR=$out/tmp python3 "$here/drive-page.py" --chromium "$chromium" \
    --serve "$here/selftest" --out "$out" --timeout 60 \
    "$here/selftest/steps.txt" >"$out/stdout"
status=$?
[ $status = 0 ] || { cat "$out/stdout"; fail "drive-page.py exited $status"; }
grep -qx 'eval: \[true, 1\]' "$out/stdout" || fail "no eval line in stdout"
grep -qx 'key 38' "$out/console.log" || fail "console.log lacks 'key 38'"

# 5,5 and 1023,767 are the canvas's own corners: a clip off by the canvas's
# place on the page would show the black page there instead.
set -- $(python3 "$here/png-pixel.py" "$out/before.png" 5,5 1023,767 150,150)
[ "$*" = "1024x768 204080 204080 ff0000" ] || fail "before.png: $*"
set -- $(python3 "$here/png-pixel.py" "$out/after.png" 5,5 99,99 100,100)
[ "$*" = "1024x768 204080 204080 00ff00" ] || fail "after.png: $*"

# A failed step names its line and exits 1.
printf 'wait-log ready\n\nwait-log never 1\n' >"$out/late.txt"
python3 "$here/drive-page.py" --chromium "$chromium" --serve "$here/selftest" \
    --out "$out/late" "$out/late.txt" >/dev/null 2>"$out/late.err"
status=$?
[ $status = 1 ] || fail "a timed-out step exited $status"
grep -qx 'late.txt:3: wait-log "never" timed out after 1 s' "$out/late.err" \
    || fail "timed-out step said: $(cat "$out/late.err")"

# A malformed step is refused before Chromium starts.
python3 "$here/drive-page.py" --serve "$here/selftest" --out "$out/bad" \
    --step 'key Up' --step 'key NoSuchKey' 2>"$out/bad.err"
status=$?
[ $status = 2 ] || fail "a malformed step exited $status"
grep -q -- '--step 2: unknown key' "$out/bad.err" || fail "malformed step said: $(cat "$out/bad.err")"

[ -z "$(ls -A "$out/tmp")" ] || fail "the Chromium profile was left behind"
echo "selftest: passed"
