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
XDG_CONFIG_HOME="$tmp/empty/config" XDG_DATA_HOME="$tmp/empty" timeout 60 "$BIN" /s 2>"$tmp/nosets.err"
rc=$?
cat "$tmp/nosets.err" >>"$log"
[ "$rc" -eq 1 ] || fail "saver without image sets: exit status $rc"
grep -q "Unable to find image sets. PATH = $tmp/empty/skyloom/program/" "$tmp/nosets.err" ||
    fail "no message about missing image sets"

# mean grey (0-255) of a screenshot; sets $seen for the wait helpers
picture_on_screen() {
    import -window root "$SHOTS/$1.png"
    mean=$(convert "$SHOTS/$1.png" -colorspace Gray -format '%[fx:int(mean*255)]' info:)
    seen="mean grey $mean"
    [ "$mean" -ge 20 ]
}
settings_stored() { grep -q '^Setup=1' "$ini"; }

# 1. First start: the hidden initialisation stores the settings, and the
#    saver shows a picture of the set.
"$BIN" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "waiting for the next picture"
kill -0 "$spid" 2>/dev/null || fail "saver did not stay up"
wait_until "settings stored by the first start" "$WHOLE_WAIT" settings_stored
wait_until "picture on the screen" "$WHOLE_WAIT" picture_on_screen first-start

# 2. A second copy with " /wall" records the request and exits at once.
timeout 60 "$BIN" " /wall" 2>>"$log" || fail "second copy did not exit cleanly"
grep -q '^DelayedChange=WallPaper' "$ini" || fail "DelayedChange not recorded"
grep -q '^LastChanged=[0-9]*/[0-9]*/[0-9]* ' "$ini" || fail "LastChanged not recorded"
kill -0 "$spid" 2>/dev/null || fail "the running saver ended"

# 3. A key ends the saver with status 0; the request is carried out and cleared.
xdotool key a
wait_exit "$spid" "the saver after a key"
wait "$spid"
rc=$?
spid=
[ "$rc" -eq 0 ] || fail "saver exit status $rc"
grep -q '^DelayedChange=$' "$ini" || fail "DelayedChange not cleared"

# 4. Set up and waiting between pictures: (almost) no processor time. The
#    window starts once the saver reports that it waits, so the first
#    picture's work is not counted; idle it uses 0-2 ticks in 3 s (also
#    with sanitizers), and the limit leaves a wide margin for a busy machine.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=60s\n' >"$ini"
waits=$(log_count "waiting for the next picture")
"$BIN" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "waiting for the next picture" $((waits + 1))
import -window root "$SHOTS/waiting.png"
measure_idle "$spid" 3
note "processor time while waiting $idle_ms ms: $idle_ticks ticks"
[ "$idle_ticks" -le 15 ] || fail "waiting saver used $idle_ticks ticks of processor time in $idle_ms ms"
xdotool key shift
wait_exit "$spid" "the saver after Shift"
wait "$spid" || fail "saver exit status $?"
spid=
echo "PASS"
