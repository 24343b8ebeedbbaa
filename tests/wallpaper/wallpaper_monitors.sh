#!/bin/sh
# Whole-program test of the wallpaper on two monitors of a plain X server
# (root-window backend): " /kalendar" fills each monitor with the fitted
# picture, as "feh --bg-fill" covers them, the calendar on the primary one
# only; with "perScreen" the other monitor shows the set's other picture.
# On a server with two X screens both roots get the picture.
# Usage: wallpaper_monitors.sh <skyloom binary> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/../whole/lib.sh"
WHOLE_SCREEN=2048x768x24
whole_setup import convert compare xrandr feh
export XDG_CACHE_HOME="$tmp/cache"
unset XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID MATE_DESKTOP_SESSION_ID \
    DESKTOP_SESSION SKYLOOM_WALLPAPER_BACKEND
mkdir -p "$SHOTS"
program="$tmp/data/skyloom/program"
make_set "$program"
ini="$program/ScreenSaver.ini"
settings() {
    printf '[ScreenSaver]\nSetup=1\n[PrefsWP]\nrandom=0\nCurrentSet=Test Set\nCurrentImage=One\nstretch=1\nenable=1\nchange=7\n%sLastChanged=1/1/2000 1:00:00 AM\n[CalendarWP]\nenable=1\nposition=1\nsize=33\n' "$1" >"$ini"
}
# Two monitors side by side, the right one primary.
xrandr --setmonitor Left 1024/271x768/203+0+0 screen >>"$log" 2>&1 || fail "xrandr --setmonitor Left"
xrandr --setmonitor '*Right' 1024/271x768/203+1024+0 none >>"$log" 2>&1 ||
    fail "xrandr --setmonitor Right"
# Coverage is measured below the calendar's rows (its panel is dark).
left=1024x500+0+268
right=1024x500+1024+268

covered() { # picture, geometry -> share of its pixels that are not black, 0-100
    convert "$1" -crop "$2" +repage -fuzz 2% -fill white +opaque black -colorspace Gray \
        -format '%[fx:int(mean*100)]' info:
}
brightest() { # picture, geometry -> brightest grey 0-255 in that part
    convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:int(maxima*255)]' info:
}

# The coverage another setter reaches on the same monitors.
feh --bg-fill "$program/Test Set/one.jpg" 2>>"$log" || fail "feh --bg-fill failed"
import -window root "$SHOTS/feh.png"
feh_left=$(covered "$SHOTS/feh.png" $left)
feh_right=$(covered "$SHOTS/feh.png" $right)
note "feh --bg-fill covers ${feh_left}% and ${feh_right}%"

settings ''
timeout 60 "$BIN" " /kalendar" 2>"$tmp/kal.err" || { cat "$tmp/kal.err"; fail "/kalendar failed"; }
bmp=$(find "$tmp" -name Skyloom.bmp | head -1)
[ -n "$bmp" ] || fail "no Skyloom.bmp written"
[ "$(identify -format %wx%h "$bmp")" = 2048x768 ] || fail "Skyloom.bmp is not the two monitors' size"
import -window root "$SHOTS/two-monitors.png"
diff=$(compare -metric AE "$SHOTS/two-monitors.png" "$bmp" null: 2>&1)
[ "$diff" = 0 ] || fail "the root window does not show Skyloom.bmp ($diff pixels differ)"
ours_left=$(covered "$SHOTS/two-monitors.png" $left)
ours_right=$(covered "$SHOTS/two-monitors.png" $right)
note "skyloom covers ${ours_left}% and ${ours_right}%"
[ "$ours_left" -ge 99 ] && [ "$ours_right" -ge 99 ] || fail "a monitor shows black"
[ "$ours_left" -ge "$feh_left" ] && [ "$ours_right" -ge "$feh_right" ] ||
    fail "less of the monitors covered than by feh --bg-fill"
# The calendar at the top left of the primary (right) monitor, not of the other.
[ "$(brightest "$SHOTS/two-monitors.png" 200x120+1054+30)" -ge 200 ] ||
    fail "no calendar at the top left of the primary monitor"
[ "$(brightest "$SHOTS/two-monitors.png" 200x120+30+30)" -le 120 ] ||
    fail "calendar text on the monitor that is not the primary"

# A picture of its own on the other monitor: the halves differ below the
# calendar, each still covered.
settings 'perScreen=1\n'
timeout 60 "$BIN" " /kalendar" 2>"$tmp/own.err" || { cat "$tmp/own.err"; fail "/kalendar (perScreen) failed"; }
import -window root "$SHOTS/per-screen.png"
convert "$SHOTS/per-screen.png" -crop 1024x400+0+368 +repage "$tmp/lower-left.png"
convert "$SHOTS/per-screen.png" -crop 1024x400+1024+368 +repage "$tmp/lower-right.png"
diff=$(compare -metric AE -fuzz 5% "$tmp/lower-left.png" "$tmp/lower-right.png" null: 2>&1)
[ "$diff" -gt 200000 ] || fail "both monitors show the same picture with perScreen ($diff pixels differ)"
[ "$(covered "$SHOTS/per-screen.png" $left)" -ge 99 ] || fail "the other monitor shows black"
grep -q '^perScreen=1' "$ini" || fail "perScreen not kept"

# Two X screens of different sizes: each root window filled.
second_ready() { [ -s "$tmp/display2" ]; }
Xvfb -displayfd 3 -screen 0 1024x768x24 -screen 1 800x600x24 -noreset -nolisten tcp \
    3>"$tmp/display2" 2>>"$log" &
pids="$pids $!"
wait_until "second X server" "$WHOLE_WAIT" second_ready
two=":$(cat "$tmp/display2")"
settings ''
DISPLAY=$two timeout 60 "$BIN" " /kalendar" 2>"$tmp/screens.err" ||
    { cat "$tmp/screens.err"; fail "/kalendar on two X screens failed"; }
import -display "$two.0" -window root "$SHOTS/screen0.png"
import -display "$two.1" -window root "$SHOTS/screen1.png"
[ "$(covered "$SHOTS/screen0.png" 1024x500+0+268)" -ge 99 ] || fail "X screen 0 not covered"
[ "$(covered "$SHOTS/screen1.png" 800x400+0+200)" -ge 99 ] || fail "X screen 1 not covered"
[ "$(identify -format %wx%h "$(dirname "$bmp")/Skyloom-screen1.bmp")" = 800x600 ] ||
    fail "no 800x600 picture for X screen 1"
# With perScreen the other X screen shows the other picture.
settings 'perScreen=1\n'
DISPLAY=$two timeout 60 "$BIN" " /kalendar" 2>"$tmp/screens2.err" ||
    { cat "$tmp/screens2.err"; fail "/kalendar (perScreen) on two X screens failed"; }
import -display "$two.1" -window root "$SHOTS/screen1-own.png"
diff=$(compare -metric AE -fuzz 5% "$SHOTS/screen1.png" "$SHOTS/screen1-own.png" null: 2>&1)
[ "$diff" -gt 200000 ] || fail "X screen 1 shows the same picture with perScreen ($diff pixels differ)"
echo "wallpaper monitors: ok"
