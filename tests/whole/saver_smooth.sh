#!/bin/sh
# Whole-program test of the blending transitions in a real X server: for
# "Cross Fade", "Slide" and "Slow Zoom" the saver starts its frames, a key
# in the middle of the effect (or of the slow zoom that follows) ends it,
# and the picture it ends on is the new one, on the screen and inside a
# daemon's window. The time from the key to the
# saver's exit is measured and written to the log and the output; the
# test itself only waits for the exit, with the usual generous deadline.
# Usage: saver_smooth.sh <skyloom binary> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/lib.sh"
whole_setup xdotool import convert
mkdir -p "$SHOTS"
program="$tmp/data/skyloom/program"
make_set "$program"
ini="$program/ScreenSaver.ini"
now_ms() { date +%s%3N; }
mean_red() {
    convert "$1" -resize 1x1! -format '%[fx:int(r*255)]' info:
}
# picture_shot NAME: a screenshot that shows a picture of the set (navy to
# orange or dark green to khaki: a mean red of 120-128; the black start
# screen has almost none).
picture_shot() {
    import -window root "$SHOTS/$1.png"
    r=$(mean_red "$SHOTS/$1.png")
    seen="mean red $r"
    [ "$r" -gt 90 ]
}
# key_ends PID WHAT: a key, then the exit (waited for as the child's end,
# a watchdog ends it after $WHOLE_WAIT s); the time between in $key_ms, the
# saver's exit status in $key_status.
key_ends() {
    ( sleep "$WHOLE_WAIT" && kill -KILL "$1" ) 2>/dev/null &
    _kdog=$!
    _k0=$(now_ms)
    xdotool key a
    wait "$1"
    key_status=$?
    key_ms=$(($(now_ms) - _k0))
    pkill -P "$_kdog" 2>/dev/null
    kill "$_kdog" 2>/dev/null
    [ "$key_status" -ne 137 ] || fail "no end of the saver after a key during $2"
    note "key to exit during $2: $key_ms ms"
}

for type in 11 12 13; do
    case $type in
    11) name="Cross Fade" ;;
    12) name="Slide" ;;
    13) name="Slow Zoom" ;;
    esac
    printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=600s\nRandom=0\nCurrentSet=Test Set\n[Transition]\ndefaultTransition=%s\n[CalendarSS]\nenable=0\n' \
        "$type" >"$ini"
    starts=$(log_count "blending transition of")
    waits=$(log_count "waiting for the next picture")
    zooms=$(log_count "slow zoom over")
    "$BIN" /s 2>>"$log" &
    spid=$!
    pids="$pids $spid"
    wait_log "blending transition of" $((starts + 1))
    if [ "$type" = 13 ]; then
        # The fade ends on the picture, then the zoom starts: a key during it.
        wait_log "slow zoom over" $((zooms + 1))
        wait_until "the picture during the slow zoom" "$WHOLE_WAIT" picture_shot slow-zoom
        key_ends "$spid" "the slow zoom"
    else
        key_ends "$spid" "$name"
        if [ "$(log_count "waiting for the next picture")" -eq "$waits" ]; then
            note "$name: the key came during the effect"
        else
            note "$name: the effect was over before the key (a slow machine)"
        fi
    fi
    [ "$key_status" -eq 0 ] || fail "saver exit status $key_status after $name"
    spid=
done

# The effect's frames end on the picture: the fade's last frame shows it.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=600s\nRandom=0\nCurrentSet=Test Set\n[Transition]\ndefaultTransition=11\n[CalendarSS]\nenable=0\n' >"$ini"
waits=$(log_count "waiting for the next picture")
"$BIN" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "waiting for the next picture" $((waits + 1))
wait_until "the picture after the fade" "$WHOLE_WAIT" picture_shot after-fade
xdotool key a
wait_exit "$spid" "the saver after a key"
spid=
# Inside a daemon's window (when xev is there to make one): the fade's
# frames reach the window and it ends on the picture.
if command -v xev >/dev/null 2>&1; then
    xev -geometry 640x480+100+100 >/dev/null 2>&1 &
    pids="$pids $!"
    xev_window() {
        win=$(xdotool search --name "Event Tester" | head -1)
        [ -n "$win" ]
    }
    wait_until "xev window to draw into" "$WHOLE_WAIT" xev_window
    window_picture() {
        import -window "$win" "$SHOTS/daemon-window.png" 2>/dev/null || return 1
        r=$(convert "$SHOTS/daemon-window.png" -crop 400x300+120+120 -resize 1x1! \
            -format '%[fx:int(r*255)]' info:)
        seen="mean red $r in the window"
        [ "$r" -gt 90 ]
    }
    starts=$(log_count "blending transition of")
    waits=$(log_count "waiting for the next picture")
    XSCREENSAVER_WINDOW=$(printf '0x%x' "$win") "$BIN" -root 2>>"$log" &
    hpid=$!
    pids="$pids $hpid"
    wait_log "blending transition of" $((starts + 1))
    wait_log "waiting for the next picture" $((waits + 1))
    wait_until "the faded-in picture in the daemon's window" "$WHOLE_WAIT" window_picture
    kill "$hpid"
    wait "$hpid" 2>/dev/null
else
    note "xev not installed: the daemon-window case is left out"
fi
echo "PASS"
