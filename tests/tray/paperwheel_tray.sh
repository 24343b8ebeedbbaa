#!/bin/sh
# paperwheel with a real tray (trayer, an XEmbed tray) in Xvfb: the active
# icon shows, right-click opens the menu, its item above the close entry
# pauses (the icon changes), a double-click starts the Wallpaper settings,
# and Shift with right-click offers only "Close Wallpaper Auto Changer",
# which ends the program with status 0. Screenshots go to the given folder.
# Usage: paperwheel_tray.sh <paperwheel binary> <folder for screenshots>
set -u
# paperwheel would start the idle service beside it; these tests are about the tray.
export SKYLOOM_NO_IDLE_SERVICE=1
BIN=$1
SHOTS=$2
. "$(dirname "$0")/../whole/lib.sh"
WHOLE_SCREEN=800x600x24 whole_setup trayer xdotool xwininfo import convert
export DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/no-bus"
mkdir -p "$SHOTS"

program="$tmp/data/skyloom/program"
system="$tmp/data/skyloom/system"
mkdir -p "$program" "$system"
# Changed a moment ago and changed by hand only: the schedule starts nothing.
printf '[PrefsWP]\nchange=1\nLastChanged=%s\n' "$(date +'%-m/%-d/%Y %-I:%M:%S %p')" \
    >"$program/ScreenSaver.ini"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$tmp/calls" >"$tmp/fake-skyloom"
chmod +x "$tmp/fake-skyloom"
ln -s "$tmp/fake-skyloom" "$system/Skyloom.scr"

trayer --edge top --align right --widthtype request --height 32 --transparent false \
    --tint 0x808080 >/dev/null 2>>"$log" &
pids="$pids $!"
tray_up() { xwininfo -root -tree | grep -q '"panel": ("panel" "trayer")'; }
wait_until "trayer's panel" "$WHOLE_WAIT" tray_up
"$BIN" 2>>"$log" &
ppid_=$!
pids="$pids $ppid_"

# The icon: a window of paperwheel inside the tray panel, where it is now
# (the tray may still move it while it lays itself out), and on the screen.
icon_up() {
    icon=$(xwininfo -root -tree | awk '/"paperwheel": \("paperwheel" "paperwheel"\)/ && $0 ~ /[0-9]+x[0-9]+\+/ { print $(NF-1), $NF; exit }')
    seen="icon window \"$icon\""
    [ -n "$icon" ] || return 1
    size=${icon% *}
    abs=${icon#* }
    w=${size%%x*}
    h=${size#*x}
    h=${h%%+*}
    x=$(echo "$abs" | cut -d+ -f2)
    y=$(echo "$abs" | cut -d+ -f3)
    cx=$((x + w / 2))
    cy=$((y + h / 2))
    case "$x$y" in *-*) return 1 ;; esac
}
wait_until "tray icon" "$WHOLE_WAIT" icon_up
echo "tray icon ${w}x${h} at $x,$y"

# Orange pixels: the turning arrow of the active icon (the paused one has none).
orange() {
    icon_up || { echo 0; return; }
    import -window root "$tmp/shot.png"
    convert "$tmp/shot.png" -crop "${w}x${h}+${x}+${y}" +repage \
        -fx 'r > 0.75 && g > 0.3 && g < 0.65 && b < 0.3' -format '%[fx:mean*w*h]' info:
}
# orange_at_least N / no_orange: the icon as drawn now, for wait_until.
orange_at_least() {
    n=$(orange)
    seen="$n orange pixels"
    [ "${n%.*}" -ge "$1" ]
}
no_orange() {
    n=$(orange)
    seen="$n orange pixels"
    [ "${n%.*}" -eq 0 ]
}
wait_until "active icon drawn" "$WHOLE_WAIT" orange_at_least 3
cp "$tmp/shot.png" "$SHOTS/paperwheel-active.png"

menuUp() {
    xwininfo -root -tree | grep -q '"paperwheel": ("paperwheel" "paperwheel")  [0-9][0-9][0-9]x'
}

# Right-click: the menu; Up goes to its last item (the close entry), a
# second Up to the pause toggle above it.
wait_until "tray icon" "$WHOLE_WAIT" icon_up
xdotool mousemove "$cx" "$cy" click 3
wait_until "menu after a right-click" "$WHOLE_WAIT" menuUp
import -window root "$SHOTS/paperwheel-menu.png"
xdotool key Up Up Return
wait_until "paused icon (no orange)" "$WHOLE_WAIT" no_orange
cp "$tmp/shot.png" "$SHOTS/paperwheel-paused.png"

# Double-click: the Wallpaper settings.
wait_until "tray icon" "$WHOLE_WAIT" icon_up
xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1
calls_made() { [ -s "$tmp/calls" ]; }
wait_until "start of the settings after a double-click" "$WHOLE_WAIT" calls_made
[ "$(cat "$tmp/calls" 2>/dev/null)" = "/-ConfigWall" ] ||
    fail "double-click started \"$(cat "$tmp/calls" 2>/dev/null)\""

# Shift with right-click: the close menu; its one item ends the program.
wait_until "tray icon" "$WHOLE_WAIT" icon_up
xdotool mousemove "$cx" "$cy" keydown shift click 3 keyup shift
wait_until "menu after Shift with right-click" "$WHOLE_WAIT" menuUp
import -window root "$SHOTS/paperwheel-close-menu.png"
xdotool key Down Return
wait_exit "$ppid_" "paperwheel after \"Close Wallpaper Auto Changer\""
wait "$ppid_"
rc=$?
ppid_=
[ "$rc" -eq 0 ] || fail "paperwheel exit status $rc"
echo "PASS"
