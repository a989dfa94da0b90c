#!/usr/bin/env bash
# The example settings file as a user starts from it: every section the program keeps is in it,
# each under a comment of its own, and a start on it completes nothing, reports nothing and
# leaves the file as it was.
set -euo pipefail
kestrum=$1
example=$2
# shellcheck source=../support/stop_checks.sh
source "$(dirname "$0")/../support/stop_checks.sh"

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    for out in "$work"/*/err; do
        [ -f "$out" ] && { echo "--- $out"; tail -n 20 "$out"; } >&2
    done
    exit 1
}

# Runs the program headless on the simulated board in a home of its own ($1), on the settings
# $3 when given, until the line $4 shows in its file $2; then stops it.
run_until() {
    local home=$work/$1
    mkdir -p "$home/config/KaugVool" "$home/run"
    chmod 700 "$home/run"
    [ -z "${3:-}" ] || cp "$3" "$home/config/KaugVool/KaugVool.ini"
    XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run \
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$kestrum" --headless --simulate \
        > /dev/null 2> "$home/err" &
    pid=$!
    local watched=$home/$2
    for _ in $(seq 100); do grep -q "$4" "$watched" 2> /dev/null && break; sleep 0.1; done
    grep -q "$4" "$watched" 2> /dev/null || fail "no '$4' in $watched"
    stop_program "$pid"
    pid=""
    [ "$stop_rc" -eq 0 ] || fail "the program ended with $stop_rc"
}

# The sections a first start writes, and those the user adds: devices, mail account, MQTT, web.
run_until fresh err "" "Kaugvool täiendas programmi seadeid"
sections=$(grep '^\[' "$work/fresh/config/KaugVool/KaugVool.ini"; printf '%s\n' '[Pordid]' '[Post]' '[MQTT]' '[Web]')
while read -r section; do
    grep -qxF "$section" "$example" || fail "the example has no section $section"
done <<< "$sections"
awk '/^\[/ && previous !~ /^;/ { print "no comment above " $0; bad = 1 } { previous = $0 }
     END { exit bad }' "$example" || fail "a section of the example is not commented"

run_until example data/KaugVool/kaugvoolus.log "$example" "Kestrum started"
[ ! -s "$work/example/err" ] || fail "a start on the example reported something"
cmp -s "$example" "$work/example/config/KaugVool/KaugVool.ini" ||
    fail "a start on the example changed it: a section or value was taken as missing"
echo "example settings test passed"
