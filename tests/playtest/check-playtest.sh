#!/usr/bin/env bash
# cindra-playtest on the shipped game: the playthrough passes, two runs write the same files,
# a failing expectation and a malformed line end with their status and FILE:LINE, a key
# script named without a folder writes beside itself, and config.txt's start settings hold.
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
for file in intro.png hollow.png shrine.png dawn.png; do
    [ -s "$work/first/$file" ] || fail "no $file was written"
done
diff -r "$work/first" "$work/second" >/dev/null || fail "two runs wrote different files"

printf 'wait 1\nexpect entity player at 0 0\n' >"$work/fail.keys"
run "$game" "$work/fail.keys"
[ "$status" = 1 ] || fail "a failing expectation ended with $status"
expected="$work/fail.keys:2: expected entity player at (0,0), got (80,6)"
[ "$(cat "$work/stderr")" = "$expected" ] || fail "the failure read: $(cat "$work/stderr")"

printf 'wait 1\njump 3\n' >"$work/bad.keys"
run "$game" "$work/bad.keys"
[ "$status" = 2 ] || fail "a malformed key script ended with $status"
expected="$work/bad.keys:2: unknown command \"jump\""
[ "$(cat "$work/stderr")" = "$expected" ] || fail "the malformed line read: $(cat "$work/stderr")"
# A key script named without a folder writes its files beside itself.
printf 'wait 1\nshot here.png\n' >"$work/here.keys"
(cd "$work" && "$playtest" "$game" here.keys >/dev/null 2>"$work/stderr") ||
    fail "a key script named without a folder: $(cat "$work/stderr")"
[ -s "$work/here.png" ] || fail "a key script named without a folder wrote no shot beside itself"
# config.txt may start the game on another level and put the player in a region of it: the
# shrine, whose level module plays its music, before the guardian's gate. A region the map
# lacks is a warning, and the player stays where the game's scripts put it.
mkdir -p "$work/started"
for file in "$game"/*; do
    [ "$(basename "$file")" = config.txt ] || ln -s "$file" "$work/started/"
done
printf 'start = "shrine.cmap"\nstartRegion = "before the gate"\n' >"$work/started/config.txt"
printf 'wait 1\nexpect sound "music/shrine.wav"\nexpect entity player at 64 41\n' \
    >"$work/started.keys"
run "$work/started" "$work/started.keys"
[ "$status" = 0 ] || fail "starting before the shrine's gate: $(cat "$work/stderr")"
printf 'startRegion = "nowhere"\n' >"$work/started/config.txt"
warning="Warning: startRegion nowhere is not a region of intro.cmap; the player stays at (80,6)"
printf 'wait 1\nexpect line "%s"\nexpect entity player at 80 6\n' "$warning" >"$work/lost.keys"
run "$work/started" "$work/lost.keys"
[ "$status" = 0 ] || fail "a start region the map lacks: $(cat "$work/stderr")"
echo "cindra-playtest checks passed"
