#!/bin/bash
# The Edit Sets page in a real X server, driven through the accessibility
# tree, with the demo image sets.
#   editsets_session.sh SKYLOOM SKYLOOM_MKSET SOURCE_DIR SHOTS
# 1. Select a picture in "Included Images", "Exclude Image", Apply:
#    Skyloom.ini marks the picture with "*".
# 2. Exclude a set on the "Image Sets" tab: the Wallpaper, Screen Saver and
#    Edit Sets set lists no longer offer it.
# 3. A screenshot of the page's "Image Sets" tab goes to SHOTS.
# Exits 77 (skipped) when a tool or the demo photographs are missing.
set -u
SKYLOOM=$1
MKSET=$2
SOURCE=$3
SHOTS=$4
here=$(cd "$(dirname "$0")" && pwd)
photos=/usr/share/backgrounds/mate/nature

. "$here/lib.sh"
if [ -z "${SKYLOOM_IN_DBUS:-}" ]; then
    need_a11y_tools convert
    [ -d "$photos" ] || skip "mate-backgrounds not installed (the demo photographs)"
    run_on_private_bus "$@"
fi
start_a11y_x 1400x1100x24
mkdir -p "$SHOTS"

# The demo sets, as ./demo makes them.
prog="$tmp/data/skyloom/program"
mkdir -p "$prog"
"$MKSET" "$photos" --name Nature --into "$prog" --link >/dev/null || fail "no Nature set"
if [ -x "$SOURCE/tools/showcase/make-showcase.sh" ]; then
    (cd "$SOURCE" && tools/showcase/make-showcase.sh "$MKSET" "$prog/") >/dev/null 2>&1 ||
        echo "note: no Showcase set"
fi
ini="$prog/ScreenSaver.ini"
printf '[ScreenSaver]\r\nSetup=1\r\n\r\n[PrefsSS]\r\nchange=60s\r\n' >"$ini"
reg="$prog/Skyloom.ini"

title="Screen Saver Configuration"
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
drive() {
    local ok=
    for attempt in 1 2 3; do
        if "$PY" "$here/editsets_a11y.py" "$@" >"$tmp/out" 2>"$tmp/a11y.err"; then
            ok=1
            break
        fi
        # Only an accessibility bus that is not ready yet is tried again.
        grep -q "accessibility bus" "$tmp/a11y.err" || break
        echo "accessibility bus not ready; trying again ($attempt)"
        wait_a11y_bus
    done
    cat "$tmp/a11y.err" >&2
    [ -n "$ok" ] || { cat "$tmp/out"; fail "check '$*'"; }
    cat "$tmp/out"
    moved=$(sed -n 's/^moved: //p' "$tmp/out")
}

# 1. Exclude a picture and apply.
start
drive exclude-image
[ -n "$moved" ] || fail "no picture was moved"
# The picture's key now holds "*" before its file name.
grep -q "^$moved=\*" "$reg" || fail "Skyloom.ini does not mark '$moved': $(cat "$reg")"
echo "ok: Skyloom.ini marks '$moved' excluded"
stop

# 2. Exclude a set: it leaves the other pages' set lists.
start
drive exclude-set
echo "ok: '$moved' left the set lists"
stop

# 3. The page with the demo sets.
start
drive show-sets
wait_log "preview of the set shows"
settled_shot "$wid" "$SHOTS/edit-sets-page.png"
stop
echo "screenshot in $SHOTS/edit-sets-page.png"
echo "PASS"
