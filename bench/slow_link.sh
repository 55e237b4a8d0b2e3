#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Save's desktop query over a link of 50 ms round trips (25 ms each way, through
# bench/delay_relay.py), against Xvfb and against a nested server of two screens without RandR
# (Xephyr, Xinerama only): the time, and the round trips it makes.
# usage: bench/slow_link.sh [RUNS]     (after a build of build/release)
#   DESKTOP_QUERY  the query program (default: build/release's bench-desktop-query)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
query="${DESKTOP_QUERY:-$top/build/release/bench/bench-desktop-query}"
export VEXALO_BINARY=/bin/true # lib.sh wants one; no tool window is opened here
source "$top/tests/e2e/lib.sh"

# Servers on TCP display numbers of their own, the relay on the next port up.
measure() {
    local name="$1" number="$2"
    wait_for 20 sh -c "ss -ltn | grep -q ':$((6000 + number)) '" || fail "$name did not listen"
    python3 "$top/bench/delay_relay.py" $((6000 + number + 1)) $((6000 + number)) 25 >"$WORK/relay" &
    PIDS+=($!)
    wait_for 10 grep -qx ready "$WORK/relay" || fail "the relay did not start"
    local direct slow
    direct="$("$query" "127.0.0.1:$number" "${RUNS:-5}")"
    slow="$("$query" "127.0.0.1:$((number + 1))" "${RUNS:-5}")"
    awk -v name="$name" -v d="${direct%% ms*}" -v s="${slow%% ms*}" -v mode="${slow#* ms }" \
        'BEGIN { printf "%-34s %8.1f ms %8.1f ms %6.1f  %s\n", name, d, s, (s - d) / 50, mode }'
}

printf '%-34s %11s %11s %6s\n' "X display" direct "50 ms link" "trips"
Xvfb :61 -screen 0 1920x1080x24 -listen tcp -ac -noreset >/dev/null 2>&1 &
PIDS+=($!)
measure "Xvfb, RandR" 61
Xvfb :63 -screen 0 2200x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
PIDS+=($!)
wait_for 20 test -e /tmp/.X11-unix/X63 || fail "Xvfb did not start"
DISPLAY=:63 Xephyr :64 +xinerama -extension RANDR -screen 1280x720 -screen 800x600 -listen tcp \
    -ac -noreset >/dev/null 2>&1 &
PIDS+=($!)
measure "Xephyr, Xinerama without RandR" 64
