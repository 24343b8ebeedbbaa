# Sourced by the dialog tests (bash): they drive the configuration dialog in
# a real X server through the accessibility tree, on a private session bus.
#   need_a11y_tools TOOL...  skips (77) unless Xvfb, dbus-run-session,
#                            xdotool, import, pyatspi, at-spi2-core and the
#                            given tools are there
#   run_on_private_bus ARGS  runs this script again under dbus-run-session
#   start_a11y_x WxHxD       private XDG folders in $tmp, Xvfb with that
#                            screen; cleanup kills $pids and Xvfb
PY=/usr/bin/python3

skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    exit 1
}

need_a11y_tools() {
    for tool in Xvfb dbus-run-session xdotool import "$@"; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool not installed"
    done
    [ -x "$PY" ] && "$PY" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi not installed"
    [ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "at-spi2-core not installed"
}

run_on_private_bus() {
    # The accessibility bus starts on the private session bus on demand.
    SKYLOOM_IN_DBUS=1 exec dbus-run-session -- "$0" "$@" 2> >(grep -v '^dbus-daemon' >&2)
}

pids=
a11y_cleanup() {
    for p in $pids; do kill -KILL "$p" 2>/dev/null; done
    [ -n "${xpid:-}" ] && kill "$xpid" 2>/dev/null
    rm -rf "$tmp"
}

start_a11y_x() {
    tmp=$(mktemp -d)
    trap a11y_cleanup EXIT
    export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/run"
    export XDG_CACHE_HOME="$tmp/cache"
    export SKYLOOM_NONINTERACTIVE=1 SKYLOOM_QUIET=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    export SKYLOOM_FIRST_SET_SOURCE=/nonexistent SKYLOOM_WALLPAPER_BACKEND=file
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR
    mkdir -m 700 "$tmp/run"
    Xvfb -displayfd 3 -screen 0 "$1" -noreset -nolisten tcp 3>"$tmp/display" 2>/dev/null &
    xpid=$!
    for _ in $(seq 1 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
    [ -s "$tmp/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$tmp/display")"
}
