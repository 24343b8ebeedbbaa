#!/bin/sh
# The blending transitions in a real X server (Xvfb, 1920 x 1080): the
# saver's processor time during a slow zoom and while a cross-faded
# picture stands still, and the time from a key to the saver's exit during
# each effect.
# Usage: bench/saver_smooth.sh <build dir> [seconds to measure, default 20]
set -u
BUILD=$1
SECONDS_MEASURED=${2:-20}
. "$(dirname "$0")/../tests/whole/lib.sh"
WHOLE_SCREEN=1920x1080x24
whole_setup convert xdotool
program="$tmp/data/skyloom/program"
make_set "$program"
ini="$program/ScreenSaver.ini"
hz=$(getconf CLK_TCK)
settings() {
    printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=%s\nRandom=0\nCurrentSet=Test Set\n[Transition]\ndefaultTransition=%s\n[CalendarSS]\nenable=0\n' \
        "$1" "$2" >"$ini"
}
# cost PID WHAT: processor time over the measured seconds, as % of a core.
cost() {
    measure_idle "$1" "$SECONDS_MEASURED"
    echo "$2: $idle_ticks ticks in $idle_ms ms ($hz per second)," \
        "$(awk "BEGIN {printf \"%.2f\", 100 * $idle_ticks / $hz / ($idle_ms / 1000)}") % of a core"
}
run() {
    "$BUILD/bin/skyloom" /s 2>>"$log" &
    spid=$!
    pids="$pids $spid"
}

# Cross Fade every 3 s (1.5 s of fading, the preparation, 1.5 s still).
settings 3s 11
w=$(log_count "waiting for the next picture")
run
wait_log "waiting for the next picture" $((w + 1))
fades=$(log_count "blending transition of")
cost "$spid" "cross fades every 3 s, 1920 x 1080"
echo "  ($(($(log_count "blending transition of") - fades)) fades in the measured time)"
kill "$spid"
wait "$spid" 2>/dev/null

# Slow Zoom over a 120 s display time, measured while it zooms.
settings 120s 13
z=$(log_count "slow zoom over")
run
wait_log "slow zoom over" $((z + 1))
cost "$spid" "slow zoom, 1920 x 1080"
kill "$spid"
wait "$spid" 2>/dev/null

# Cross Fade, then the picture stands still.
settings 600s 11
w=$(log_count "waiting for the next picture")
run
wait_log "waiting for the next picture" $((w + 1))
cost "$spid" "picture standing still after a cross fade"
kill "$spid"
wait "$spid" 2>/dev/null

# A key during each effect: the time until the saver has gone.
for type in 11 12 13; do
    settings 600s "$type"
    n=$(log_count "blending transition of")
    z=$(log_count "slow zoom over")
    run
    wait_log "blending transition of" $((n + 1))
    [ "$type" = 13 ] && wait_log "slow zoom over" $((z + 1))
    t0=$(date +%s%3N)
    xdotool key a
    while kill -0 "$spid" 2>/dev/null; do sleep 0.002; done
    echo "transition $type: key to exit $(($(date +%s%3N) - t0)) ms (xdotool included)"
done
