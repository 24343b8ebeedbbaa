#!/bin/sh
# The saver in a real X server (Xvfb, 1920 x 1080): processor time while it
# waits between pictures, and the pacing of transition steps in the window.
# Usage: bench/saver_waiting.sh <build dir> [seconds to measure, default 30]
set -u
BUILD=$1
SECONDS_IDLE=${2:-30}
. "$(dirname "$0")/../tests/whole/lib.sh"
WHOLE_SCREEN=1920x1080x24
whole_setup convert
program="$tmp/data/skyloom/program"
make_set "$program"

# Processor time of a saver that shows one picture and waits 10 minutes for the next.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=600s\n[Transition]\ndefaultTransition=2\n' \
    >"$program/ScreenSaver.ini"
"$BUILD/bin/skyloom" /s &
spid=$!
pids="$pids $spid"
sleep 5 # start, preparation and the blinds are over by then
hz=$(getconf CLK_TCK)
t0=$(awk '{print $14 + $15}' "/proc/$spid/stat")
w0=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$spid/status")
sleep "$SECONDS_IDLE"
t1=$(awk '{print $14 + $15}' "/proc/$spid/stat")
w1=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$spid/status")
ticks=$((t1 - t0))
echo "waiting ${SECONDS_IDLE} s: $ticks ticks of processor time ($hz per second)," \
    "$(awk "BEGIN {printf \"%.2f\", 100 * $ticks / $hz / $SECONDS_IDLE}") % of a core;" \
    "$((w1 - w0)) wake-ups"
kill "$spid"
wait "$spid" 2>/dev/null

# Step pacing of the window itself (xcb), at 13 ms.
for type in 9 4 2 6; do
    "$BUILD/bench/saver_bench" steps "$type"
done
