#!/bin/sh
# Whole-program test: the saver covers both X screens of a display (the
# window underneath never shows), each with its own pictures, or with "Same
# picture on every screen" the same one, and the calendar on the primary
# monitor's screen only; locked, it covers and draws on both the same way.
# Usage: saver_xscreens.sh <skyloom binary> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/lib.sh"
WHOLE_SCREEN=1920x1080x24
WHOLE_SCREEN1=1280x1024x24
whole_setup xdotool import convert xsetroot
mkdir -p "$SHOTS"
program="$tmp/data/skyloom/program"
make_bright_set "$program"
ini="$program/ScreenSaver.ini"
SCREEN0=":${DISPLAY#:}.0"
SCREEN1=":${DISPLAY#:}.1"
DISPLAY=$SCREEN0 xsetroot -solid red
DISPLAY=$SCREEN1 xsetroot -solid red

saver_settings() {
    printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=60s\nRandom=0\nCurrentSet=Bright Set\nkeepAspect=0\nsameOnAllScreens=%s\n[Transition]\ndefaultTransition=0\n[CalendarSS]\nenable=1\n' \
        "$1" >"$ini"
}
# filled NAME: screenshots of both X screens, each filled by a picture: no
# desktop, (almost) no black
filled() {
    DISPLAY=$SCREEN0 import -window root "$SHOTS/$1-0.png" || return 1
    DISPLAY=$SCREEN1 import -window root "$SHOTS/$1-1.png" || return 1
    b0=$(black_share "$SHOTS/$1-0.png" 1920x1080+0+0)
    r0=$(red_share "$SHOTS/$1-0.png" 1920x1080+0+0)
    b1=$(black_share "$SHOTS/$1-1.png" 1280x1024+0+0)
    r1=$(red_share "$SHOTS/$1-1.png" 1280x1024+0+0)
    seen="screen 0: $b0/1000 black, $r0/1000 desktop; screen 1: $b1/1000 black, $r1/1000 desktop"
    [ "$b0" -le 10 ] && [ "$r0" -eq 0 ] && [ "$b1" -le 10 ] && [ "$r1" -eq 0 ]
}
start_saver() {
    waits=$(log_count "waiting for the next picture")
    "$BIN" /s 2>>"$log" &
    spid=$!
    pids="$pids $spid"
    wait_log "waiting for the next picture" $((waits + 2))
}

# 1. Own pictures, the calendar on screen 0 only.
saver_settings 0
start_saver
wait_until "pictures on both X screens" "$WHOLE_WAIT" filled own
first=$(mean_rgb "$SHOTS/own-0.png" 1920x1080+0+0)
second=$(mean_rgb "$SHOTS/own-1.png" 1280x1024+0+0)
note "own pictures: screen 0 $first, screen 1 $second"
[ "$(colour_distance "$first" "$second")" -gt 60 ] || fail "both screens show one picture"
cal0=$(mean_grey "$SHOTS/own-0.png" 100x60+30+30)
cal1=$(mean_grey "$SHOTS/own-1.png" 100x60+30+30)
note "calendar corner: screen 0 grey $cal0, screen 1 grey $cal1"
[ "$cal0" -lt 130 ] || fail "no calendar on the primary screen (grey $cal0)"
[ "$cal1" -gt 180 ] || fail "a calendar on screen 1 (grey $cal1)"
# The mouse moved on the second screen ends the saver too (the first
# movement only records where the pointer is).
moved() {
    DISPLAY=$SCREEN1 xdotool mousemove --screen 1 100 100 mousemove --screen 1 400 400
    process_gone "$spid"
}
wait_until "end of the saver after the mouse moved on screen 1" "$WHOLE_WAIT" moved

# 2. The same picture on both screens.
saver_settings 1
start_saver
wait_until "pictures on both X screens" "$WHOLE_WAIT" filled same
first=$(mean_rgb "$SHOTS/same-0.png" 1920x1080+0+0)
second=$(mean_rgb "$SHOTS/same-1.png" 1280x1024+0+0)
note "same picture: screen 0 $first, screen 1 $second"
[ "$(colour_distance "$first" "$second")" -le 25 ] || fail "the screens show different pictures"
xdotool key a
wait_exit "$spid" "the saver after a key"

# 3. Locked, both screens are covered and show pictures.
ini_tool="$(dirname "$BIN")/skyloom-ini"
"$ini_tool" registry-set 'Control Panel\desktop' ScreenSaveUsePassword 1 || fail "registry"
echo "moon light" | "$ini_tool" saver-password || fail "saver password"
saver_settings 0
start_saver
wait_log "screen locked"
wait_until "pictures on both X screens of the lock" "$WHOLE_WAIT" filled locked
xdotool key x
xdotool type --delay 20 "moon light"
xdotool key Return
wait_exit "$spid" "the lock after the right password"
echo "PASS"
