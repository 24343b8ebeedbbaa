#!/bin/sh
# Whole-program test: the saver covers every screen (two monitors on one X
# screen), and as a screen-saver daemon's display mode it draws into the
# daemon's window and follows its size.
# Usage: saver_screens.sh <skyloom binary> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/lib.sh"
WHOLE_SCREEN=2080x1024x24
whole_setup xdotool import convert xrandr xsetroot xev
mkdir -p "$SHOTS"
make_set "$tmp/data/skyloom/program"

# share of pure red in a screenshot, in thousandths (white pixels, such as
# the calendar's text, are blackened first so only red counts)
red_share() {
    convert "$1" -fill black -opaque white -fuzz 5% -fill white -opaque red -fill black +opaque white \
        -colorspace Gray -format '%[fx:int(mean*1000)]' info:
}

# 1. Two monitors, the desktop painted red: none of it may show.
xrandr --setmonitor left 1280/325x1024/260+0+0 screen >/dev/null 2>&1 || fail "xrandr"
xrandr --setmonitor right 800/200x600/150+1280+0 none >/dev/null 2>&1 || fail "xrandr"
xsetroot -solid red
# both monitors covered, and something drawn on the primary one
covered() {
    import -window root "$SHOTS/two-monitors.png"
    share=$(red_share "$SHOTS/two-monitors.png")
    notice=$(convert "$SHOTS/two-monitors.png" -crop 320x64+0+0 -colorspace Gray -format '%[fx:int(maxima*255)]' info:)
    seen="$share/1000 of the desktop showing, brightest grey $notice on the primary monitor"
    [ "$share" -eq 0 ] && [ "$notice" -gt 0 ]
}
"$BIN" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "waiting for the next picture"
wait_until "saver over both monitors" "$WHOLE_WAIT" covered
xdotool key a
wait_exit "$spid" "the saver after a key"

# 2. A daemon's window: the saver draws into it and follows its size.
xev -geometry 640x480+100+100 >/dev/null 2>&1 &
pids="$pids $!"
xev_window() {
    win=$(xdotool search --name "Event Tester" | head -1)
    [ -n "$win" ]
}
wait_until "xev window to draw into" "$WHOLE_WAIT" xev_window
# the window at its new size, painted by the saver
painted() {
    import -window "$win" "$SHOTS/daemon-window.png"
    size=$(identify -format '%wx%h' "$SHOTS/daemon-window.png")
    # xev's window is white; the saver paints it black with its notice on top
    # (xev's own small child window stays at its top-left corner).
    white=$(convert "$SHOTS/daemon-window.png" -crop 600x400+150+150 -colorspace Gray -format '%[fx:int(mean*255)]' info:)
    text=$(convert "$SHOTS/daemon-window.png" -crop 200x14+70+0 -colorspace Gray -format '%[fx:int(maxima*255)]' info:)
    seen="window $size, mean grey $white, brightest notice grey $text"
    [ "$size" = "800x600" ] && [ "$white" -lt 10 ] && [ "$text" -gt 64 ]
}
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
