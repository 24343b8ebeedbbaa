#!/bin/bash
# The configuration dialog in a real X server, driven through the
# accessibility tree as a screen-reader user would drive it.
#   dialog_session.sh SKYLOOM SHOTS
# 1. "skyloom" opens on the Screen Saver page; every control has a name.
# 2. Switching the saver on, changing "Time between images" and the
#    transition, then Apply: ScreenSaver.ini holds the new values.
# 3. A change followed by Cancel, or by Esc after using the keyboard alone,
#    leaves ScreenSaver.ini byte for byte.
# 4. "skyloom /-ConfigWall" opens on the Wallpaper page.
# Screenshots of both pages at 1x and 2x scaling go to SHOTS.
# Exits 77 (skipped) when a tool is missing.
set -u
SKYLOOM=$1
SHOTS=$2
here=$(cd "$(dirname "$0")" && pwd)

. "$here/lib.sh"
if [ -z "${SKYLOOM_IN_DBUS:-}" ]; then
    need_a11y_tools
    run_on_private_bus "$@"
fi
# Large enough for the dialog at 200 %.
start_a11y_x 2200x1800x24
mkdir -p "$SHOTS"

# Two image sets, so the set lists offer "Randomize From All Image Sets".
prog="$tmp/data/skyloom/program"
for set in "Harbour" "Meadow"; do
    mkdir -p "$prog/$set"
    convert -size 96x72 gradient:navy-orange "BMP3:$prog/$set/one.bmp"
    convert -size 96x72 gradient:darkgreen-khaki "BMP3:$prog/$set/two.bmp"
    printf '[SetDescriptions]\n%s=Two pictures\n\n[%s]\nOne=one\nTwo=two\n' "$set" "$set" \
        >"$prog/$set/images.ini"
done
ini="$prog/ScreenSaver.ini"
printf '[ScreenSaver]\r\nSetup=1\r\n\r\n[PrefsSS]\r\nchange=60s\r\nrandom=1\r\n' >"$ini"
printf '[Transition]\r\ndefaultTransition=1\r\n' >>"$ini"

title="Screen Saver Configuration"
# Starts the dialog with the given arguments and waits for its window.
start() {
    "$SKYLOOM" "$@" 2>>"$log" &
    spid=$!
    pids="$pids $spid"
    wait_window "$title"
}
stop() {
    kill "$spid" 2>/dev/null
    wait "$spid" 2>/dev/null
}
# The accessibility bus is started on demand and now and then is not ready
# for a new client: only that failure (before any action) is tried again.
drive() {
    for attempt in 1 2 3; do
        if "$PY" "$here/dialog_a11y.py" "$@" 2>"$tmp/a11y.err"; then
            cat "$tmp/a11y.err" >&2
            return 0
        fi
        cat "$tmp/a11y.err" >&2
        grep -q "accessibility bus" "$tmp/a11y.err" || break
        echo "accessibility bus not ready; trying again ($attempt)"
        wait_a11y_bus
    done
    fail "dialog check '$*'"
}

# 1. No arguments: the Screen Saver page, every control named.
start
drive page "Screen Saver"
drive names
stop

# 2. Apply writes the changed values.
start
drive change 120 "Vertical Blinds"
grep -q '^change=120s' "$ini" || fail "Apply did not store the time: $(cat "$ini")"
grep -q '^defaultTransition=2' "$ini" || fail "Apply did not store the transition: $(cat "$ini")"
echo "ok: Apply stored change=120s and defaultTransition=2"
stop

# 3. Cancel after a change leaves the file as it was.
cp "$ini" "$tmp/before"
start
drive cancel 45
wait_exit "$spid" "the dialog after Cancel"
cmp -s "$ini" "$tmp/before" || fail "Cancel changed ScreenSaver.ini"
echo "ok: Cancel left ScreenSaver.ini unchanged"
start
drive keys
wait_exit "$spid" "the dialog after Esc"
cmp -s "$ini" "$tmp/before" || fail "Esc changed ScreenSaver.ini"
echo "ok: keyboard alone; Esc left ScreenSaver.ini unchanged"

# 4. "/-ConfigWall": the Wallpaper page; and both pages on screen, with the
#    saver now switched on.
start
settled_shot "$wid" "$SHOTS/screensaver-page.png"
stop
start /-ConfigWall
drive page "Wallpaper"
settled_shot "$wid" "$SHOTS/wallpaper-page.png"
stop

# The same two pages at 200 %.
export QT_SCALE_FACTOR=2
start
settled_shot "$wid" "$SHOTS/screensaver-page-2x.png"
stop
start /-ConfigWall
drive page "Wallpaper"
settled_shot "$wid" "$SHOTS/wallpaper-page-2x.png"
stop
echo "screenshots in $SHOTS"
echo "PASS"
