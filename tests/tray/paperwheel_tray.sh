#!/bin/sh
# paperwheel with a real tray (trayer, an XEmbed tray) in Xvfb: the active
# icon shows, right-click opens the menu, its last item pauses (the icon
# changes), a double-click starts the Wallpaper settings, and Shift with
# right-click offers "Close Wallpaper Auto Changer", which ends the program
# with status 0. Screenshots go to the given folder.
# Usage: paperwheel_tray.sh <paperwheel binary> <folder for screenshots>
set -u
# paperwheel would start the idle service beside it; these tests are about the tray.
export SKYLOOM_NO_IDLE_SERVICE=1
BIN=$1
SHOTS=$2
for tool in Xvfb trayer xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool not installed"; exit 77; }
done

tmp=$(mktemp -d)
xpid=
tpid=
ppid_=
cleanup() {
    [ -n "$ppid_" ] && kill "$ppid_" 2>/dev/null
    [ -n "$tpid" ] && kill "$tpid" 2>/dev/null
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/run"
export SKYLOOM_NONINTERACTIVE=1 SKYLOOM_QUIET=1
export DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/no-bus"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -m 700 "$tmp/run"
mkdir -p "$SHOTS"

Xvfb -displayfd 3 -screen 0 800x600x24 -noreset -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xpid=$!
for _ in $(seq 1 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$tmp/display")"

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
    --tint 0x808080 >/dev/null 2>&1 &
tpid=$!
sleep 1
"$BIN" &
ppid_=$!

# The icon: a window of paperwheel inside the tray panel.
icon=
for _ in $(seq 1 50); do
    icon=$(xwininfo -root -tree | awk '/"paperwheel": \("paperwheel" "paperwheel"\)/ && $0 ~ /[0-9]+x[0-9]+\+/ { print $(NF-1), $NF; exit }')
    [ -n "$icon" ] && break
    sleep 0.1
done
[ -n "$icon" ] || fail "no tray icon appeared"
size=${icon% *}
abs=${icon#* }
w=${size%%x*}
h=${size#*x}
h=${h%%+*}
x=$(echo "$abs" | cut -d+ -f2)
y=$(echo "$abs" | cut -d+ -f3)
cx=$((x + w / 2))
cy=$((y + h / 2))
echo "tray icon ${w}x${h} at $x,$y"

# Orange pixels: the turning arrow of the active icon (the paused one has none).
orange() {
    import -window root "$tmp/shot.png"
    convert "$tmp/shot.png" -crop "${w}x${h}+${x}+${y}" +repage \
        -fx 'r > 0.75 && g > 0.3 && g < 0.65 && b < 0.3' -format '%[fx:mean*w*h]' info:
}
sleep 0.5
active=$(orange)
cp "$tmp/shot.png" "$SHOTS/paperwheel-active.png"
[ "${active%.*}" -ge 3 ] || fail "the active icon is not drawn ($active orange pixels)"

menuUp() {
    for _ in $(seq 1 30); do
        xwininfo -root -tree | grep -q '"paperwheel": ("paperwheel" "paperwheel")  [0-9][0-9][0-9]x' && return 0
        sleep 0.1
    done
    return 1
}

# Right-click: the menu; Up then Return picks its last item, the pause toggle.
xdotool mousemove "$cx" "$cy" click 3
menuUp || fail "right-click opened no menu"
import -window root "$SHOTS/paperwheel-menu.png"
xdotool key Up Return
sleep 0.7
paused=$(orange)
cp "$tmp/shot.png" "$SHOTS/paperwheel-paused.png"
[ "${paused%.*}" -eq 0 ] || fail "the icon did not change when paused ($paused orange pixels)"

# Double-click: the Wallpaper settings.
xdotool mousemove "$cx" "$cy" click --repeat 2 --delay 80 1
for _ in $(seq 1 30); do [ -s "$tmp/calls" ] && break; sleep 0.1; done
[ "$(cat "$tmp/calls" 2>/dev/null)" = "/-ConfigWall" ] ||
    fail "double-click started \"$(cat "$tmp/calls" 2>/dev/null)\""

# Shift with right-click: the close menu; its one item ends the program.
xdotool mousemove "$cx" "$cy" keydown shift click 3 keyup shift
menuUp || fail "Shift with right-click opened no menu"
import -window root "$SHOTS/paperwheel-close-menu.png"
xdotool key Down Return
for _ in $(seq 1 50); do kill -0 "$ppid_" 2>/dev/null || break; sleep 0.1; done
kill -0 "$ppid_" 2>/dev/null && fail "\"Close Wallpaper Auto Changer\" did not end paperwheel"
wait "$ppid_"
rc=$?
ppid_=
[ "$rc" -eq 0 ] || fail "paperwheel exit status $rc"
echo "PASS"
