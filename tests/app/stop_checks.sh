# Sourced by the tests that run the program: stops it with SIGTERM and checks that it ended
# with 0 and that its log holds exactly one start and one stop. Needs the caller's fail().
stop_and_check_log() {
    local pid=$1 rc
    kill -TERM "$pid"
    set +e
    timeout 15 tail --pid="$pid" -f /dev/null
    wait "$pid"
    rc=$?
    set -e
    [ "$rc" -eq 0 ] || fail "the program ended with $rc after SIGTERM"

    local log=$XDG_DATA_HOME/KaugVool/kaugvoolus.log
    [ -f "$log" ] || fail "no log file"
    [ "$(grep -c 'Kestrum started' "$log")" -eq 1 ] || fail "start not logged once"
    [ "$(grep -c 'Kestrum stopped' "$log")" -eq 1 ] || fail "stop not logged once"
}
