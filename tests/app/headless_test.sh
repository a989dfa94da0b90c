#!/usr/bin/env bash
# The program as a service runs it: no display at all, the simulated board, the settings
# completed with the message on standard error, a time-table switching done, a second start
# refused, and a stop by SIGTERM ending it with 0 and recorded once in the log; then, started
# with its standard descriptors closed, it lives on until a SIGHUP stops it the same way.
set -euo pipefail
kestrum=$1
# shellcheck source=../support/stop_checks.sh
source "$(dirname "$0")/../support/stop_checks.sh"

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    for out in "$work"/first.err "$work"/second.err "$settings"; do
        [ -f "$out" ] && { echo "--- $(basename "$out")"; tail -n 40 "$out"; } >&2
    done
    exit 1
}
# Waits up to ten seconds for a line in a file.
wait_for() {
    for _ in $(seq 100); do grep -q "$1" "$2" 2> /dev/null && return 0; sleep 0.1; done
    return 1
}

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME/KaugVool" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# Logging on and output 1 on time control, switched on daily a few seconds from now (midnight
# would read as no time); every other section is completed at the start.
at=$(date -d '+6 seconds' +%T)
[ "$at" != 00:00:00 ] || at=$(date -d '+7 seconds' +%T)
settings=$XDG_CONFIG_HOME/KaugVool/KaugVool.ini
printf '[Seaded]\nLogi=1\n[Juhtimine]\nJuhtimine%%201=1\n[Sisseajad]\nSisseaeg%%201=%s\nSisseaeg%%2021=1\n' \
    "$at" > "$settings"

# No display of any kind; env execs the program, so the signal reaches it and not a shell.
run=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$kestrum" --headless --simulate)

"${run[@]}" > /dev/null 2> "$work/first.err" &
first=$!
pids+=("$first")
wait_for "Kaugvool täiendas programmi seadeid. Kontrolli üle!" "$work/first.err" ||
    fail "the completion's message is not on standard error"

# The switching time stores output 1 as on; "Väljundid 1" is matched past its non-ASCII letter.
for _ in $(seq 150); do grep -q 'ljundid%201=1$' "$settings" && break; sleep 0.1; done
grep -q 'ljundid%201=1$' "$settings" || fail "output 1 was not switched on at $at"

set +e
"${run[@]}" 2> "$work/second.err"
second_rc=$?
set -e
[ "$second_rc" -eq 3 ] || fail "the refused instance exited with $second_rc, not 3 (already running)"
grep -q "already running" "$work/second.err" || fail "a second instance was not refused"
# The running program would write a password set beside it away again: refused the same way.
set +e
echo secret | env -u DISPLAY "$kestrum" --set-web-password 2> "$work/password.err"
password_rc=$?
set -e
[ "$password_rc" -eq 3 ] || fail "--set-web-password beside a running program exited $password_rc"
! grep -q PasswordHash "$settings" || fail "--set-web-password stored a hash beside a running program"

stop_and_check_log "$first"

# Started with standard input, output and error closed, as some service managers do: the
# completion's message on standard error must not read as a stop, and a hang-up is one, in
# order. A settings file with only logging on makes the completion speak again.
rm -f "$settings"* "$XDG_DATA_HOME/KaugVool/kaugvoolus.log"
printf '[Seaded]\nLogi=1\n' > "$settings"
"${run[@]}" <&- >&- 2>&- &
third=$!
pids+=("$third")
wait_for "Kestrum started" "$XDG_DATA_HOME/KaugVool/kaugvoolus.log" ||
    fail "the program with closed descriptors did not start"
sleep 2
kill -0 "$third" 2> /dev/null || fail "the program with closed descriptors ended by itself"
stop_and_check_log "$third" HUP
echo "headless test passed"
