#!/usr/bin/env bash
# cindra-playtest on the shipped game: the key script passes, two runs write the same files,
# and a failing expectation and a malformed line end with their status and FILE:LINE.
set -euo pipefail
playtest=$1 game=$2 keys=$3 work=$4
rm -rf "$work" && mkdir -p "$work"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Runs the tool, keeping its status and standard error.
run() {
    set +e
    "$playtest" "$@" >"$work/stdout" 2>"$work/stderr"
    status=$?
    set -e
}

for pass in first second; do
    run --out "$work/$pass" "$game" "$keys"
    [ "$status" = 0 ] || fail "the $pass run ended with $status: $(cat "$work/stderr")"
done
for file in sign.png sign.txt keeper.png keeper.txt song.txt; do
    [ -s "$work/first/$file" ] || fail "no $file was written"
done
diff -r "$work/first" "$work/second" >/dev/null || fail "two runs wrote different files"

printf 'wait 1\nexpect entity player at 0 0\n' >"$work/fail.keys"
run "$game" "$work/fail.keys"
[ "$status" = 1 ] || fail "a failing expectation ended with $status"
expected="$work/fail.keys:2: expected entity player at (0,0), got (11,1)"
[ "$(cat "$work/stderr")" = "$expected" ] || fail "the failure read: $(cat "$work/stderr")"

printf 'wait 1\njump 3\n' >"$work/bad.keys"
run "$game" "$work/bad.keys"
[ "$status" = 2 ] || fail "a malformed key script ended with $status"
expected="$work/bad.keys:2: unknown command \"jump\""
[ "$(cat "$work/stderr")" = "$expected" ] || fail "the malformed line read: $(cat "$work/stderr")"
echo "cindra-playtest checks passed"
