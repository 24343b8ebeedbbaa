#!/bin/sh
# Whole-program test of the picture change in a real X server: with a small
# set made here, the saver shows a picture within 3 seconds of its start,
# changes to the next one after the display time, uses (almost) no processor
# time while it waits, and a key pressed during a transition ends it at once.
# Usage: saver_pictures.sh <skyloom binary> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/lib.sh"
whole_setup xdotool import convert
mkdir -p "$SHOTS"
program="$tmp/data/skyloom/program"
make_set "$program"
ini="$program/ScreenSaver.ini"

# mean colour of a screenshot as "R G B" (0-255)
mean_rgb() {
    convert "$1" -resize 1x1! -format '%[fx:int(r*255)] %[fx:int(g*255)] %[fx:int(b*255)]' info:
}
brightest() {
    convert "$1" -colorspace Gray -format '%[fx:int(maxima*255)]' info:
}
wait_end() {
    for _ in $(seq 1 "$2"); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}

# 1. In order, "Vertical Blinds", a picture every 4 seconds.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=4s\nRandom=0\nCurrentSet=Test Set\n[Transition]\ndefaultTransition=2\n' >"$ini"
"$BIN" /s &
spid=$!
pids="$pids $spid"
sleep 3
import -window root "$SHOTS/first.png"
[ "$(brightest "$SHOTS/first.png")" -gt 100 ] || fail "no picture within 3 s (screen black)"
first=$(mean_rgb "$SHOTS/first.png")
echo "first picture: mean colour $first"
sleep 0.5
t0=$(awk '{print $14 + $15}' "/proc/$spid/stat")
sleep 2
t1=$(awk '{print $14 + $15}' "/proc/$spid/stat")
echo "processor time while showing a picture for 2 s: $((t1 - t0)) ticks"
[ $((t1 - t0)) -le 4 ] || fail "waiting saver used $((t1 - t0)) ticks in 2 s"
# Shown at about 2 s, the next change starts 4 s later and takes about 2 s.
sleep 4.5
import -window root "$SHOTS/second.png"
second=$(mean_rgb "$SHOTS/second.png")
echo "second picture: mean colour $second"
[ "$first" != "$second" ] || fail "the picture did not change after the display time"
grep -q '^LastImage=2' "$ini" || fail "LastImage not kept ($(grep LastImage "$ini"))"
xdotool key a
wait_end "$spid" 20 || fail "a key did not end the saver"
spid=

# 2. "Block Out" takes about 11 s: a key in the middle of it ends the saver at once.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=60s\n[Transition]\ndefaultTransition=9\n' >"$ini"
"$BIN" /s &
spid=$!
pids="$pids $spid"
sleep 2.5
import -window root "$SHOTS/block-out.png"
[ "$(brightest "$SHOTS/block-out.png")" -gt 100 ] || fail "no blocks revealed after 2.5 s"
xdotool key a
wait_end "$spid" 5 || fail "a key during the transition did not end the saver within 0.5 s"
wait "$spid" || fail "saver exit status $?"
spid=
echo "PASS"
