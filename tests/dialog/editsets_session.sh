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
PY=/usr/bin/python3
photos=/usr/share/backgrounds/mate/nature

skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    exit 1
}

if [ -z "${SKYLOOM_IN_DBUS:-}" ]; then
    for tool in Xvfb dbus-run-session xdotool import convert; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool not installed"
    done
    [ -x "$PY" ] && "$PY" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi not installed"
    [ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "at-spi2-core not installed"
    [ -d "$photos" ] || skip "mate-backgrounds not installed (the demo photographs)"
    SKYLOOM_IN_DBUS=1 exec dbus-run-session -- "$0" "$@" 2> >(grep -v '^dbus-daemon' >&2)
fi

pids=
tmp=$(mktemp -d)
cleanup() {
    for p in $pids; do kill -KILL "$p" 2>/dev/null; done
    [ -n "${xpid:-}" ] && kill "$xpid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/run"
export SKYLOOM_NONINTERACTIVE=1 SKYLOOM_QUIET=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export SKYLOOM_FIRST_SET_SOURCE=/nonexistent
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR
mkdir -m 700 "$tmp/run"
mkdir -p "$SHOTS"
Xvfb -displayfd 3 -screen 0 1400x1100x24 -noreset -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xpid=$!
for _ in $(seq 1 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$tmp/display")"

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
    "$SKYLOOM" "$@" &
    spid=$!
    pids="$pids $spid"
    wid=
    for _ in $(seq 1 150); do
        wid=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
        [ -n "$wid" ] && break
        sleep 0.1
    done
    [ -n "$wid" ] || fail "no dialog window for skyloom $*"
    sleep 0.5
}
stop() {
    kill "$spid" 2>/dev/null
    wait "$spid" 2>/dev/null
}
drive() {
    "$PY" "$here/editsets_a11y.py" "$@" >"$tmp/out" || { cat "$tmp/out"; fail "check '$*'"; }
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
sleep 2
import -window "$wid" "$SHOTS/edit-sets-page.png"
stop
echo "screenshot in $SHOTS/edit-sets-page.png"
echo "PASS"
