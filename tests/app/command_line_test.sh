#!/usr/bin/env bash
# --version and --help answer where no window system is reachable: over SSH, in a service. An
# unknown option and a missing display are each one line and a status of their own, never an
# abort.
set -uo pipefail
kestrum=$1

headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$kestrum" "$@" 2>&1; }

failed=0
# check STATUS EXPECTED LINES COMMAND...: the exit status, a text in the output and its lines.
check() {
    local status=$1 expected=$2 lines=$3 output rc
    shift 3
    output=$("$@" 2>&1)
    rc=$?
    if [ "$rc" -ne "$status" ] || ! grep -qF -- "$expected" <<< "$output" ||
        { [ "$lines" != any ] && [ "$(wc -l <<< "$output")" -ne "$lines" ]; }; then
        echo "FAIL: $* exited with $rc (expected $status), expected '$expected' in:" >&2
        echo "$output" >&2
        failed=1
    fi
}
check 0 2.0.0 any headless --version
check 0 --simulate any headless --help
check 0 --headless any headless --help
check 1 "no display found; kestrum --headless runs without one" 1 headless
check 1 "no display found" 1 env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:97 "$kestrum"
check 2 "unknown option --bogus; kestrum --help" 1 headless --bogus
check 2 "unknown option --bogus" 1 env QT_QPA_PLATFORM=offscreen "$kestrum" --bogus
check 2 "unknown option -x" 1 headless --headless -x
exit "$failed"
