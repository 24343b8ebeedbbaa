#!/bin/sh
# Measures what an idle paperwheel costs: processor time and wake-ups of its
# main thread over a period, and its memory, in Xvfb with an XEmbed tray
# (trayer) whose icon menu has been opened once (so its fonts are loaded).
# The schedule checks at every tick ("change"=1 and "LastChanged" set), so
# the period includes real schedule checks. Not a test; see
# docs/PERFORMANCE.md for the figures.
# Usage: paperwheel_idle_cost.sh <paperwheel binary> [seconds, default 60]
set -u
# paperwheel would start the idle service beside it; these tests are about the tray.
export SKYLOOM_NO_IDLE_SERVICE=1
BIN=$1
SECONDS_=${2:-60}
for tool in Xvfb trayer xdotool xwininfo; do
    command -v "$tool" >/dev/null 2>&1 || { echo "needs $tool"; exit 77; }
done
tmp=$(mktemp -d)
xpid= tpid= ppid_=
cleanup() {
    for p in $ppid_ $tpid $xpid; do kill "$p" 2>/dev/null; done
    rm -rf "$tmp"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/run"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/no-bus" SKYLOOM_QUIET=1
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -m 700 "$tmp/run"
mkdir -p "$tmp/data/skyloom/program"
printf '[PrefsWP]\nchange=1\nLastChanged=%s\n' "$(date +'%-m/%-d/%Y %-I:%M:%S %p')" \
    >"$tmp/data/skyloom/program/ScreenSaver.ini"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xpid=$!
for _ in $(seq 1 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$tmp/display")"
trayer --edge top --align right --widthtype request --height 32 >/dev/null 2>&1 &
tpid=$!
sleep 1
"$BIN" &
ppid_=$!
sleep 2
geometry=$(xwininfo -root -tree | awk '/"paperwheel": \("paperwheel" "paperwheel"\)/ { print $NF; exit }')
x=$(echo "$geometry" | cut -d+ -f2)
y=$(echo "$geometry" | cut -d+ -f3)
if [ -n "$x" ]; then
    xdotool mousemove $((x + 8)) $((y + 8)) click 3
    sleep 1
    xdotool key Escape
fi
sleep 2

cpu() { awk '{ print $14 + $15 }' "/proc/$ppid_/stat"; }
wakeups() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$ppid_/status"; }
t0=$(cpu)
w0=$(wakeups)
sleep "$SECONDS_"
t1=$(cpu)
w1=$(wakeups)
echo "idle for $SECONDS_ s: processor time $((t1 - t0)) ticks ($(getconf CLK_TCK) per second), $((w1 - w0)) wake-ups of the main thread"
grep -E '^(VmRSS|VmHWM|RssAnon|RssFile):' "/proc/$ppid_/status" | tr -s ' \t' ' '
grep -E '^Pss:' "/proc/$ppid_/smaps_rollup" | tr -s ' \t' ' '
