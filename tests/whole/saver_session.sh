#!/bin/sh
# Whole-program test of the saver in a real X server: the not-set-up notice
# is visible, a second copy records a wallpaper request and exits at once,
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

# 1. Not set up: the pulsing notice.
"$BIN" /s &
spid=$!
pids="$pids $spid"
sleep 2.5
kill -0 "$spid" 2>/dev/null || fail "saver did not stay up"
import -window root "$SHOTS/notice.png"
bright=$(convert "$SHOTS/notice.png" -crop 320x64+0+0 -colorspace Gray -format '%[fx:int(maxima*255)]' info:)
[ "$bright" -ge 64 ] || fail "notice not visible (brightest grey $bright)"
rest=$(convert "$SHOTS/notice.png" -crop 900x900+300+100 -colorspace Gray -format '%[fx:int(maxima*255)]' info:)
[ "$rest" -eq 0 ] || fail "screen outside the notice is not black ($rest)"

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
