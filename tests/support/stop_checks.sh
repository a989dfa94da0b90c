# Sourced by the scripts that run the program. Needs the caller's fail().

# Stops the program with the signal (SIGTERM unless named) and sets stop_rc to its exit status;
# fails when it does not end within 15 s.
stop_program() {
    local signal=${2:-TERM}
    kill "-$signal" "$1"
    timeout 15 tail --pid="$1" -f /dev/null || fail "the program did not end after SIG$signal"
    set +e
    wait "$1"
    stop_rc=$?
    set -e
}

# Stops it and checks that it ended with 0 and that its log holds one start and one stop.
stop_and_check_log() {
    stop_program "$1" "${2:-TERM}"
    [ "$stop_rc" -eq 0 ] || fail "the program ended with $stop_rc after SIG${2:-TERM}"

    local log=$XDG_DATA_HOME/KaugVool/kaugvoolus.log
    [ -f "$log" ] || fail "no log file"
    [ "$(grep -c 'Kestrum started' "$log")" -eq 1 ] || fail "start not logged once"
    [ "$(grep -c 'Kestrum stopped' "$log")" -eq 1 ] || fail "stop not logged once"
}
