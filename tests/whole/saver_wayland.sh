#!/bin/sh
# Whole-program test: on a Wayland compositor with two outputs of different
# sizes (Weston, its outputs shown as two windows of an Xvfb), the saver
# puts one full-screen window on each output, each with its own pictures
# laid out for that output's size, and the calendar on the primary output
# only; with "Same picture on every screen" both show one picture; a key
# ends it.
# Usage: saver_wayland.sh <skyloom binary> <monitors probe> <folder for screenshots>
set -u
BIN=$1
PROBE=$2
SHOTS=$3
. "$(dirname "$0")/lib.sh"
WHOLE_SCREEN=2400x900x24
whole_setup weston xdotool xwininfo import convert
mkdir -p "$SHOTS"
program="$tmp/data/skyloom/program"
make_set "$program"
make_bright_set "$program"
ini="$program/ScreenSaver.ini"
# Where the compositor's two output windows are put on the X screen.
FIRST=1280x800+0+0
SECOND=1024x768+1320+0

# A red desktop with the shell's panel, so that any part the saver leaves uncovered
# shows (a window that is not full screen stays below the panel); the second
# output smaller than the first.
cat >"$tmp/weston.ini" <<'EOF'
[core]
idle-time=0
[shell]
background-color=0xffff0000
locking=false
[output]
name=screen0
mode=1280x800
[output]
name=screen1
mode=1024x768
EOF
socket=wl-skyloom
weston --config="$tmp/weston.ini" --backend=x11-backend.so --use-pixman --output-count=2 \
    --socket=$socket 2>>"$log" &
pids="$pids $!"
socket_ready() { [ -S "$XDG_RUNTIME_DIR/$socket" ]; }
wait_until "the compositor" "$WHOLE_WAIT" socket_ready
output_windows() {
    first=$(xwininfo -root -children | awk '/"Weston Compositor - screen0"/ {print $1}')
    second=$(xwininfo -root -children | awk '/"Weston Compositor - screen1"/ {print $1}')
    seen="screen0 '$first', screen1 '$second'"
    [ -n "$first" ] && [ -n "$second" ]
}
wait_until "the compositor's output windows" "$WHOLE_WAIT" output_windows
# Both output windows start at 0,0 of the X screen: the second goes right.
xdotool windowmove "$second" 1320 0
export WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland

# Qt sees the two outputs, each a window group of its own.
outputs=$("$PROBE" --gui 2>>"$log")
note "outputs: $(echo "$outputs" | tr '\n' ';')"
[ "$(echo "$outputs" | grep -c '\[output ')" -eq 2 ] || fail "not two outputs, each its own group: $outputs"
echo "$outputs" | grep -q 'screen0 0,0 1280x800 primary' || fail "screen0 is not the primary output: $outputs"

saver_settings() {
    printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=60s\nRandom=0\nCurrentSet=Bright Set\nkeepAspect=0\nsameOnAllScreens=%s\n[Transition]\ndefaultTransition=0\n[CalendarSS]\nenable=1\n' \
        "$1" >"$ini"
}
# filled NAME: a screenshot in which both outputs are filled by a picture:
# no desktop, (almost) no black, the pictures' bright tops at the top of
# each output, where the shell's dark panel would be above a window that is
# not full screen
filled() {
    _f="$SHOTS/$1.png"
    # two screenshots in a row alike: the compositor fades windows in
    window_still root || return 1
    cp "$tmp/still-new.png" "$_f"
    seen=
    _ok=0
    for g in "$FIRST" "$SECOND"; do
        b=$(black_share "$_f" "$g")
        r=$(red_share "$_f" "$g")
        seen="$seen $g: $b/1000 black, $r/1000 desktop;"
        { [ "$b" -le 10 ] && [ "$r" -eq 0 ]; } || _ok=1
    done
    for g in 600x20+600+4 600x20+1720+4; do
        t=$(mean_grey "$_f" "$g")
        seen="$seen top $g grey $t;"
        [ "$t" -gt 120 ] || _ok=1
    done
    return $_ok
}
start_saver() {
    _ws_last=
    waits=$(log_count "waiting for the next picture")
    "$BIN" /s 2>>"$log" &
    spid=$!
    pids="$pids $spid"
    wait_log "waiting for the next picture" $((waits + 2))
}
# end_saver: a key typed into the compositor's first output ends the saver
end_saver() {
    xdotool mousemove --window "$first" 640 400 key a
    wait_exit "$spid" "the saver after a key"
}

# 1. Own pictures on each output, the calendar on the primary one only.
saver_settings 0
start_saver
wait_until "pictures on both outputs" "$WHOLE_WAIT" filled own
one=$(mean_rgb "$SHOTS/own.png" "$FIRST")
two=$(mean_rgb "$SHOTS/own.png" "$SECOND")
note "own pictures: first $one, second $two"
[ "$(colour_distance "$one" "$two")" -gt 60 ] || fail "both outputs show one picture ($one, $two)"
cal_one=$(mean_grey "$SHOTS/own.png" 100x60+30+30)
cal_two=$(mean_grey "$SHOTS/own.png" 100x60+1350+30)
note "calendar corner: primary grey $cal_one, other grey $cal_two"
[ "$cal_one" -lt 130 ] || fail "no calendar on the primary output (grey $cal_one)"
[ "$cal_two" -gt 180 ] || fail "a calendar on the second output (grey $cal_two)"
end_saver

# 2. The same picture on every output.
saver_settings 1
start_saver
wait_until "pictures on both outputs" "$WHOLE_WAIT" filled same
one=$(mean_rgb "$SHOTS/same.png" "$FIRST")
two=$(mean_rgb "$SHOTS/same.png" "$SECOND")
note "same picture: first $one, second $two"
[ "$(colour_distance "$one" "$two")" -le 25 ] || fail "the outputs show different pictures ($one, $two)"
end_saver
echo "PASS"
