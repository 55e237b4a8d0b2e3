#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times Save and Start with a Windows renderer, run through Wine, in a private Xvfb with
# openbox: from the click to the renderer's window being shown, and to the tool's own window
# closing, which waits for "wine start" behind a busy cursor. 64- and 32-bit renderers, each
# in a fresh Wine prefix (cold, made by this very start) and in one already made (warm); each
# round starts with no wineserver running, as a user's start usually does.
# usage: bench/wine_start.sh [WARM_ROUNDS] [COLD_ROUNDS]
#   VEXALO_BINARY, LAYOUT_POINTS (the layout table's program), WINDOWS_RENDERER and
#   WINDOWS_RENDERER32 default to build/release's.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
warm_rounds="${1:-5}" cold_rounds="${2:-3}"
build="$top/build/release"
export VEXALO_BINARY="${VEXALO_BINARY:-$build/app/vexalo-config}"
renderer64="${WINDOWS_RENDERER:-$build/tests/windows_renderer.exe}"
renderer32="${WINDOWS_RENDERER32:-$build/tests/windows_renderer32.exe}"
command -v wine >/dev/null ||
    { echo "wine_start.sh: Wine is not installed (apt-get install wine wine64 wine32:i386)" >&2; exit 1; }
source "$top/tests/e2e/lib.sh"
# Copies, so that a rebuild while this runs changes nothing measured.
install_tool
install -m 644 "$renderer64" "$WORK/renderer64.exe"
install -m 644 "$renderer32" "$WORK/renderer32.exe"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
prefixes=()
# Every prefix's wineserver outlives its programs; none may outlive the run.
stop_wine() { local p; for p in "${prefixes[@]}"; do WINEPREFIX="$p" wineserver -k 2>/dev/null || true; done; }
trap 'status=$?; stop_wine; (exit "$status"); cleanup' EXIT
start_desktop 800x600x24
load="$(cut -d' ' -f1-3 /proc/loadavg)"

ms() { echo $(( (${1/./} - ${2/./}) / 1000 )); }

# One Save and Start of renderer $1 in prefix $2; appends "shown closed", in milliseconds from
# the click, to $WORK/times-$3 unless $3 is empty. The stand-in's window is up only for the
# few milliseconds it takes to write its record and return, too short to be caught by looking
# for it, and in a fresh prefix Wine shows a window of its own first; so "shown" is the
# record appearing, which the stand-in writes a few milliseconds after ShowWindow.
round() {
    export WINEPREFIX="$2"
    rm -f "$WORK/record"
    install -m 644 "$1" "$WORK/run/opengl.exe"
    start_tool
    # The tool's window closing is pushed by the X server, so that waiting for it takes no
    # time from Wine on a small machine; reading its events is the polling loop's sleep.
    local events line
    exec {events}< <(exec xev -id "$WID" -event structure)
    local xev=$!
    xdotool mousemove --sync --window "$WID" $(control_point Command2)
    local click=$EPOCHREALTIME shown="" closed="" end=$((SECONDS + 180))
    xdotool click 1
    while [ -z "$shown" ] || [ -z "$closed" ]; do
        [ "$SECONDS" -lt "$end" ] || fail "no renderer or no closing within 180 s: $(cat "$WORK/stderr")"
        if read -r -t 0.005 -u "$events" line; then
            [[ -n "$closed" || ! "$line" =~ ^(Unmap|Destroy)Notify ]] || closed=$EPOCHREALTIME
        elif [ $? -lt 128 ]; then
            sleep 0.005 # xev ended early, so the closing goes unseen and the deadline tells
        fi
        [ -n "$shown" ] || [ ! -s "$WORK/record" ] || shown=$EPOCHREALTIME
    done
    kill "$xev" 2>/dev/null || true
    exec {events}<&-
    expect_exit 0
    [ -z "$3" ] || echo "$(ms "$shown" "$click") $(ms "$closed" "$click")" >>"$WORK/times-$3"
    # Each round starts as a user's usually does: no wineserver left from the one before.
    timeout 60 wineserver -w || wineserver -k
}

for bits in 64 32; do
    for ((i = 1; i <= cold_rounds; i++)); do
        prefixes+=("$WORK/cold$bits-$i")
        round "$WORK/renderer$bits.exe" "$WORK/cold$bits-$i" "cold$bits"
    done
    prefixes+=("$WORK/warm$bits")
    round "$WORK/renderer$bits.exe" "$WORK/warm$bits" "" # makes the prefix, not timed
    for ((i = 1; i <= warm_rounds; i++)); do
        round "$WORK/renderer$bits.exe" "$WORK/warm$bits" "warm$bits"
    done
done

# "median min-max" of column $1 of file $2.
stats() {
    cut -d' ' -f"$1" "$2" | sort -n | awk '{ v[NR] = $1 }
        END { m = NR % 2 ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)
              printf "%d (%d-%d)\n", m, v[1], v[NR] }'
}

echo "Save and Start through Wine, $(date -u +%Y-%m-%d), $(nproc) cores, $(wine --version)," \
    "Xvfb 800x600x24 + openbox; load average before $load, after $(cut -d' ' -f1-3 /proc/loadavg)"
echo "milliseconds from the click on Save and Start, median (min-max); renderer shown: its" \
    "record written, right after its window is mapped"
printf '%-12s %6s  %-24s %-24s\n' renderer rounds "renderer shown" "tool window closed"
for row in 64:cold 64:warm 32:cold 32:warm; do
    file="$WORK/times-${row#*:}${row%:*}"
    printf '%-12s %6s' "${row%:*}-bit ${row#*:}" "$(wc -l <"$file")"
    for column in 1 2; do printf '  %-24s' "$(stats "$column" "$file")"; done
    echo
done
