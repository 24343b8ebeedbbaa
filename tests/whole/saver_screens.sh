#!/bin/sh
# Whole-program test: the saver gives every monitor of one X screen (two
# RandR monitors of different sizes) its own pictures, or with "Same picture
# on every screen" the same one, puts the calendar on the primary monitor
# only, covers a monitor added while it runs and, locked, draws on both
# monitors the same way; as a screen-saver daemon's
# display mode it draws into the daemon's window and follows its size.
# Usage: saver_screens.sh <skyloom binary> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/lib.sh"
WHOLE_SCREEN=3840x1080x24
whole_setup xdotool import convert xrandr xsetroot xev
mkdir -p "$SHOTS"
program="$tmp/data/skyloom/program"
make_set "$program"
make_bright_set "$program"
ini="$program/ScreenSaver.ini"
LEFT=1920x1080+0+0
RIGHT=1280x1024+1920+0
THIRD=640x480+3200+0

xrandr --setmonitor left 1920/480x1080/270+0+0 screen >/dev/null 2>&1 || fail "xrandr"
xrandr --setmonitor right 1280/320x1024/256+1920+0 none >/dev/null 2>&1 || fail "xrandr"
xsetroot -solid red

# saver_settings SAME: bright pictures in order, stretched to fill each
# monitor, no transition, the calendar on.
saver_settings() {
    printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=60s\nRandom=0\nCurrentSet=Bright Set\nkeepAspect=0\nsameOnAllScreens=%s\n[Transition]\ndefaultTransition=0\n[CalendarSS]\nenable=1\n' \
        "$1" >"$ini"
}
# filled NAME GEOMETRY...: a screenshot in which every monitor is filled by
# a picture: no desktop, (almost) no black
filled() {
    _f="$SHOTS/$1.png"
    import -window root "$_f"
    shift
    seen=
    _ok=0
    for g in "$@"; do
        b=$(black_share "$_f" "$g")
        r=$(red_share "$_f" "$g")
        seen="$seen $g: $b/1000 black, $r/1000 desktop;"
        { [ "$b" -le 10 ] && [ "$r" -eq 0 ]; } || _ok=1
    done
    return $_ok
}
# start_saver: runs the saver until every monitor waits after its first picture
start_saver() {
    waits=$(log_count "waiting for the next picture")
    "$BIN" /s 2>>"$log" &
    spid=$!
    pids="$pids $spid"
    wait_log "waiting for the next picture" $((waits + 2))
}

# 1. Own pictures on each monitor, the calendar on the primary one only.
saver_settings 0
start_saver
wait_until "pictures on both monitors" "$WHOLE_WAIT" filled own "$LEFT" "$RIGHT"
left=$(mean_rgb "$SHOTS/own.png" "$LEFT")
right=$(mean_rgb "$SHOTS/own.png" "$RIGHT")
note "own pictures: left $left, right $right"
[ "$(colour_distance "$left" "$right")" -gt 60 ] || fail "both monitors show one picture ($left, $right)"
# The calendar's darkened panel sits 20 pixels inside the top-left corner.
cal_left=$(mean_grey "$SHOTS/own.png" 100x60+30+30)
cal_right=$(mean_grey "$SHOTS/own.png" 100x60+1950+30)
note "calendar corner: primary grey $cal_left, other grey $cal_right"
[ "$cal_left" -lt 130 ] || fail "no calendar on the primary monitor (grey $cal_left)"
[ "$cal_right" -gt 180 ] || fail "a calendar on the second monitor (grey $cal_right)"

# 2. A monitor added while the saver runs gets pictures; taken away, it
#    leaves no picture behind.
xrandr --setmonitor third 640/160x480/120+3200+0 none >/dev/null 2>&1 || fail "xrandr"
added=$(date +%s%3N)
wait_log "monitor covered: third"
note "added monitor covered after $(($(date +%s%3N) - added)) ms"
wait_until "pictures on the added monitor" "$WHOLE_WAIT" filled third "$THIRD"
xrandr --delmonitor third >/dev/null 2>&1 || fail "xrandr"
gone() {
    import -window root "$SHOTS/removed.png"
    grey=$(mean_grey "$SHOTS/removed.png" "$THIRD")
    seen="grey $grey where the monitor was"
    [ "$grey" -lt 60 ] && log_has "monitor gone: third"
}
wait_until "the removed monitor's picture gone" "$WHOLE_WAIT" gone
xdotool key a
wait_exit "$spid" "the saver after a key"

# 3. The same picture on every screen.
saver_settings 1
start_saver
wait_until "pictures on both monitors" "$WHOLE_WAIT" filled same "$LEFT" "$RIGHT"
left=$(mean_rgb "$SHOTS/same.png" "$LEFT")
right=$(mean_rgb "$SHOTS/same.png" "$RIGHT")
note "same picture: left $left, right $right"
[ "$(colour_distance "$left" "$right")" -le 25 ] || fail "the monitors show different pictures ($left, $right)"
xdotool key a
wait_exit "$spid" "the saver after a key"

# 4. Locked, the saver covers and draws on both monitors the same way.
ini_tool="$(dirname "$BIN")/skyloom-ini"
"$ini_tool" registry-set 'Control Panel\desktop' ScreenSaveUsePassword 1 || fail "registry"
echo "moon light" | "$ini_tool" saver-password || fail "saver password"
saver_settings 0
start_saver
wait_log "screen locked"
wait_until "pictures on both monitors of the lock" "$WHOLE_WAIT" filled locked "$LEFT" "$RIGHT"
left=$(mean_rgb "$SHOTS/locked.png" "$LEFT")
right=$(mean_rgb "$SHOTS/locked.png" "$RIGHT")
note "locked: left $left, right $right"
[ "$(colour_distance "$left" "$right")" -gt 60 ] || fail "the lock shows one picture on both monitors"
xdotool key x
xdotool type --delay 20 "moon light"
xdotool key Return
wait_exit "$spid" "the lock after the right password"
"$ini_tool" registry-set 'Control Panel\desktop' ScreenSaveUsePassword 0 || fail "registry"

# 5. A daemon's window: the saver draws into it and follows its size.
xev -geometry 640x480+100+100 >/dev/null 2>&1 &
pids="$pids $!"
xev_window() {
    win=$(xdotool search --name "Event Tester" | head -1)
    [ -n "$win" ]
}
wait_until "xev window to draw into" "$WHOLE_WAIT" xev_window
# the window at its new size, painted by the saver: xev's window is white,
# the saver's pictures of "Test Set" are darker (xev's own small child window
# stays at its top-left corner)
painted() {
    import -window "$win" "$SHOTS/daemon-window.png"
    size=$(identify -format '%wx%h' "$SHOTS/daemon-window.png")
    white=$(mean_grey "$SHOTS/daemon-window.png" 600x400+150+150)
    seen="window $size, mean grey $white"
    [ "$size" = "800x600" ] && [ "$white" -lt 200 ]
}
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=60s\nRandom=0\nCurrentSet=Test Set\n[Transition]\ndefaultTransition=0\n' >"$ini"
waits=$(log_count "waiting for the next picture")
XSCREENSAVER_WINDOW=$(printf '0x%x' "$win") "$BIN" -root 2>>"$log" &
hpid=$!
pids="$pids $hpid"
wait_log "waiting for the next picture" $((waits + 1))
kill -0 "$hpid" 2>/dev/null || fail "the display mode did not keep running"
xdotool windowsize "$win" 800 600
wait_until "window painted at its new size" "$WHOLE_WAIT" painted
# The display mode maps no window of its own.
own=$(xdotool search --pid "$hpid" --onlyvisible 2>/dev/null | wc -l)
[ "$own" -eq 0 ] || fail "the display mode mapped $own window(s) of its own"
kill "$hpid"
echo "PASS"
