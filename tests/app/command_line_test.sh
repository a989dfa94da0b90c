#!/usr/bin/env bash
# --version and --help answer where no window system is reachable: over SSH, in a service.
set -uo pipefail
kestrum=$1

headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$kestrum" "$@" 2>&1; }

failed=0
check() {
    local option=$1 expected=$2 output rc
    output=$(headless "$option")
    rc=$?
    if [ "$rc" -ne 0 ] || ! grep -qF -- "$expected" <<< "$output"; then
        echo "FAIL: $option exited with $rc, expected '$expected' in:" >&2
        echo "$output" >&2
        failed=1
    fi
}
check --version 2.0.0
check --help --simulate
check --help --headless
exit "$failed"
