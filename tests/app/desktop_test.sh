#!/usr/bin/env bash
# The program as a user starts it: under Xvfb with the simulated board, both windows shown
# inside a 1366x768 screen and side by side, a second start refused, and a stop by SIGTERM
# recorded once in the log and ending its MQTT session as the Exit button does. Before that, a
# stop while start-up waits on its message ends the program and keeps the stored settings.
set -euo pipefail
kestrum=$1
# shellcheck source=../support/stop_checks.sh
source "$(dirname "$0")/../support/stop_checks.sh"

work=$(mktemp -d)
xvfb_pid=""
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/first.log "$work"/second.log; do
        [ -f "$log" ] && { echo "--- $(basename "$log")"; tail -n 40 "$log"; } >&2
    done
    exit 1
}

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME/KaugVool" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# Logging on and outputs 1 and 8 on time control; every other section is completed at the first
# start.
settings=$XDG_CONFIG_HOME/KaugVool/KaugVool.ini
printf '[Seaded]\nLogi=1\n[Juhtimine]\nJuhtimine%%201=1\nJuhtimine%%208=1\n' > "$settings"

# A broker, and a hub that listens to the program's availability.
mqtt_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf 'listener %s 127.0.0.1\nallow_anonymous true\nuser root\n' "$mqtt_port" > "$work/mosquitto.conf"
mosquitto -v -c "$work/mosquitto.conf" > "$work/broker.log" 2>&1 &
pids+=("$!")
printf '[MQTT]\nBroker=mqtt://127.0.0.1:%s\nClientId=kestrum-desktop\n' "$mqtt_port" >> "$settings"
for _ in $(seq 50); do grep -q "running" "$work/broker.log" && break; sleep 0.1; done
mosquitto_sub -p "$mqtt_port" -v -t kestrum/availability > "$work/hub.log" 2>&1 &
pids+=("$!")

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb

wait_for_window() {
    timeout 15 xdotool search --sync --name "$1" > /dev/null || fail "no window named '$1'"
}

# Stopped while the completion's message waits for an answer.
"$kestrum" --simulate > "$work/first.log" 2>&1 &
early=$!
pids+=("$early")
wait_for_window "Kaugvoole info"
stop_program "$early"
[ "$stop_rc" -eq 0 ] || fail "a stop during start-up ended with $stop_rc"
for n in 1 8; do
    grep -qx "Juhtimine%20$n=1" "$settings" || fail "a stop during start-up lost Juhtimine $n"
done

"$kestrum" --simulate > "$work/first.log" 2>&1 &
first=$!
pids+=("$first")
wait_for_window "Kestrum - 2.0.0"
# The first start tells that it completed the settings; the answer lets start-up go on.
for _ in $(seq 50); do
    xdotool key --clearmodifiers Return 2> /dev/null || true
    xdotool search --name "Simulated board" > /dev/null 2>&1 && break
    sleep 0.2
done
wait_for_window "Simulated board"
# The window's left, top, right and bottom edges.
edges_of() {
    xdotool search --name "$1" getwindowgeometry --shell |
        awk -F= '{v[$1] = $2} END {print v["X"], v["Y"], v["X"] + v["WIDTH"], v["Y"] + v["HEIGHT"]}'
}
sleep 0.5
read -r panel_left panel_top panel_right panel_bottom <<< "$(edges_of "Kestrum - 2.0.0")"
read -r board_left board_top board_right board_bottom <<< "$(edges_of "Simulated board")"
for edges in "$panel_left $panel_top $panel_right $panel_bottom" \
    "$board_left $board_top $board_right $board_bottom"; do
    read -r left top right bottom <<< "$edges"
    [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ "$right" -le 1366 ] && [ "$bottom" -le 768 ] ||
        fail "a window ($edges) leaves the 1366x768 screen"
done
if [ "$board_left" -lt "$panel_right" ] && [ "$board_right" -gt "$panel_left" ] &&
    [ "$board_top" -lt "$panel_bottom" ] && [ "$board_bottom" -gt "$panel_top" ]; then
    fail "the board window lies over the panel"
fi

"$kestrum" --simulate > "$work/second.log" 2>&1 &
second=$!
pids+=("$second")
for _ in $(seq 100); do grep -q "already running" "$work/second.log" && break; sleep 0.1; done
grep -q "already running" "$work/second.log" || fail "a second instance was not refused"
for _ in $(seq 50); do
    kill -0 "$second" 2> /dev/null || break
    xdotool key --clearmodifiers Return 2> /dev/null || true
    sleep 0.2
done
set +e
wait "$second"
second_rc=$?
set -e
[ "$second_rc" -eq 3 ] || fail "the refused instance exited with $second_rc, not 3 (already running)"

for _ in $(seq 100); do grep -q "online" "$work/hub.log" && break; sleep 0.1; done
grep -q "online" "$work/hub.log" || fail "the MQTT bridge did not come online"
stop_and_check_log "$first"
for _ in $(seq 100); do grep -q "offline" "$work/hub.log" && break; sleep 0.1; done
[ "$(grep -c offline "$work/hub.log")" -eq 1 ] || fail "offline was not published once: $(cat "$work/hub.log")"
grep -q "Received DISCONNECT from kestrum-desktop" "$work/broker.log" ||
    fail "SIGTERM did not end the MQTT session with a disconnect"
echo "desktop test passed"
