#!/bin/sh
# Whole-program test of the saver in a real X server: on a first start the
# settings are stored and a picture shows (the not-set-up notice itself is
# tested on the window offscreen: the first start's save makes it rare), a
# second copy records a wallpaper request and exits at once,
# a key ends the saver with status 0 and the request is cleared, and a
# waiting saver uses almost no processor time.
# Usage: saver_session.sh <skyloom binary> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/lib.sh"
whole_setup xdotool import convert
mkdir -p "$SHOTS"
make_set "$tmp/data/skyloom/program"
ini="$tmp/data/skyloom/program/ScreenSaver.ini"

# 0. No image set at all: the saver says so and ends.
XDG_CONFIG_HOME="$tmp/empty/config" XDG_DATA_HOME="$tmp/empty" timeout 20 "$BIN" /s 2>"$tmp/nosets.err"
rc=$?
[ "$rc" -eq 1 ] || fail "saver without image sets: exit status $rc"
grep -q "Unable to find image sets. PATH = $tmp/empty/skyloom/program/" "$tmp/nosets.err" ||
    fail "no message about missing image sets"

# 1. First start: the hidden initialisation stores the settings, and the
#    saver shows a picture of the set.
"$BIN" /s &
spid=$!
pids="$pids $spid"
sleep 3
kill -0 "$spid" 2>/dev/null || fail "saver did not stay up"
grep -q '^Setup=1' "$ini" || fail "the first start did not store the settings"
import -window root "$SHOTS/first-start.png"
mean=$(convert "$SHOTS/first-start.png" -colorspace Gray -format '%[fx:int(mean*255)]' info:)
[ "$mean" -ge 20 ] || fail "no picture on the screen (mean grey $mean)"

# 2. A second copy with " /wall" records the request and exits at once.
timeout 10 "$BIN" " /wall" || fail "second copy did not exit cleanly"
grep -q '^DelayedChange=WallPaper' "$ini" || fail "DelayedChange not recorded"
grep -q '^LastChanged=[0-9]*/[0-9]*/[0-9]* ' "$ini" || fail "LastChanged not recorded"
kill -0 "$spid" 2>/dev/null || fail "the running saver ended"

# 3. A key ends the saver with status 0; the request is carried out and cleared.
xdotool key a
for _ in $(seq 1 50); do kill -0 "$spid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$spid" 2>/dev/null && fail "a key did not end the saver"
wait "$spid"
rc=$?
spid=
[ "$rc" -eq 0 ] || fail "saver exit status $rc"
grep -q '^DelayedChange=$' "$ini" || fail "DelayedChange not cleared"

# 4. Set up and waiting between pictures: (almost) no processor time.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=60s\n' >"$ini"
"$BIN" /s &
spid=$!
pids="$pids $spid"
sleep 1.5
import -window root "$SHOTS/waiting.png"
t0=$(awk '{print $14 + $15}' "/proc/$spid/stat")
sleep 3
t1=$(awk '{print $14 + $15}' "/proc/$spid/stat")
used=$((t1 - t0))
echo "processor time while waiting 3 s: $used ticks"
[ "$used" -le 15 ] || fail "waiting saver used $used ticks of processor time in 3 s"
xdotool key shift
for _ in $(seq 1 50); do kill -0 "$spid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$spid" 2>/dev/null && fail "Shift did not end the saver"
wait "$spid" || fail "saver exit status $?"
spid=
echo "PASS"
