#!/usr/bin/env bash
# The program on a settings file edited by hand into values it cannot use: strobe times of 0, -5,
# "abc" and 1 ms, a mail period of 2000000000 and names of a megabyte. After start-up it idles
# 10 s; prints its CPU share and the warnings that named the values.
# Fails when the share reaches 5 % of one core, a value is not named once, the program does not
# stop cleanly on SIGTERM, or a sanitizer reports anything.
set -euo pipefail
kestrum=$(realpath "$1")
# shellcheck source=../tests/support/stop_checks.sh
source "$(dirname "$0")/../tests/support/stop_checks.sh"
idle_s=10
limit_percent=5

work=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill -9 "$pid" 2> /dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
out=$work/kestrum.out
fail() {
    echo "FAIL: $*" >&2
    [ -f "$out" ] && { echo "--- program output"; cut -c1-300 "$out" | tail -n 40; } >&2
    exit 1
}

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_CONFIG_HOME/KaugVool" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Keys as the settings file spells them: a blank is %20, a non-ASCII letter %U and its code.
numbered() {
    local section=$1 keyword=$2
    shift 2
    printf '[%s]\n' "$section"
    local n=1
    for value in "$@"; do
        printf '%s%%20%d=%s\n' "$keyword" "$n" "$value"
        n=$((n + 1))
    done
}
megabyte_name=$(head -c 1048576 /dev/zero | tr '\0' x)
zeros=(0 0 0 0 0 0 0 0)
# Every section the completion looks at is there, so start-up asks nothing.
{
    # One output strobes, on 1 ms: every strobe step repaints the windows, so even at the 100 ms
    # default each strobing output costs a debug build about 1.7 % of a core.
    numbered Mode Mode 0 0 0 1 0 0 0 0
    numbered StroboSees StroboSees 0 -5 abc 1 1 1 1 1
    numbered 'StroboV%U00E4ljas' 'StroboV%U00E4ljas' 1 1 1 1 1 1 1 1
    numbered KlahviNimi KlahviNimi "$megabyte_name" Two Three Four Five Six Seven Eight
    numbered SisendiNimi SisendiNimi "$megabyte_name" In2 In3 In4 In5 In6 In7 In8
    numbered Juhtimine Juhtimine "${zeros[@]}"
    numbered Initsialiseeritud Initsialiseeritud "${zeros[@]}"
    numbered 'V%U00E4ljundid' 'V%U00E4ljundid' "${zeros[@]}"
    numbered SisendiMuutuseMail SisendiMuutuseMail "${zeros[@]}"
    numbered Sisseajad Sisseaeg 0
    numbered 'V%U00E4ljaajad' 'V%U00E4ljaaeg' 0
    printf '[Seaded]\n'
    printf '%s\n' MailEnabled=1 PrefAdrOnly=0 MailCheckInt=2000000000 Confirm=0 ParoolLubatud=0 \
        Subjekt=secret Logi=0 ControlEnabled=0 'J%U00E4rjestikport=1'
} > "$XDG_CONFIG_HOME/KaugVool/KaugVool.ini"

expected=("[Seaded] MailCheckInt" "[KlahviNimi] KlahviNimi 1" "[SisendiNimi] SisendiNimi 1")
for n in 1 2 3 4 5 6 7 8; do
    expected+=("[StroboSees] StroboSees $n" "[StroboVäljas] StroboVäljas $n")
done

"$kestrum" --simulate > "$out" 2>&1 &
pid=$!
# The warnings are written while the settings load: from then on the program idles.
for _ in $(seq 300); do
    grep -q "cannot be used" "$out" && break
    kill -0 "$pid" 2> /dev/null || fail "the program ended during start-up"
    sleep 0.1
done
sleep 1

cpu_ticks() {
    local stat
    stat=$(< "/proc/$pid/stat") || fail "the program ended while idle"
    # utime and stime, the 14th and 15th fields; the name in parentheses may hold blanks.
    read -r -a fields <<< "${stat##*) }"
    echo $((fields[11] + fields[12]))
}
before=$(cpu_ticks)
sleep "$idle_s"
after=$(cpu_ticks)
percent=$(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$idle_s" \
    'BEGIN { printf "%.1f", 100 * t / hz / s }')

stop_program "$pid"
pid=""

echo "CPU while idle for ${idle_s} s: ${percent} % of one core"
echo "Warnings:"
grep "cannot be used" "$out" | cut -c1-200 || true

! grep -Eq "runtime error:|Sanitizer" "$out" || fail "a sanitizer reported"
[ "$stop_rc" -eq 0 ] || fail "the program ended with $stop_rc after SIGTERM"
for line in "${expected[@]}"; do
    count=$(grep -cF "$line = " "$out" || true)
    [ "$count" -eq 1 ] || fail "'$line' named $count times, not once"
done
awk -v p="$percent" -v l="$limit_percent" 'BEGIN { exit !(p < l) }' ||
    fail "${percent} % of one core is not below ${limit_percent} %"
echo "hostile settings passed"
