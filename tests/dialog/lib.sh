# Sourced by the dialog tests (bash): they drive the configuration dialog in
# a real X server through the accessibility tree, on a private session bus.
# The waiting helpers and the test log come from ../whole/lib.sh.
#   need_a11y_tools TOOL...  skips (77) unless Xvfb, dbus-run-session,
#                            xdotool, import, pyatspi, at-spi2-core and the
#                            given tools are there
#   run_on_private_bus ARGS  runs this script again under dbus-run-session
#   start_a11y_x WxHxD       private XDG folders in $tmp, Xvfb with that
#                            screen; cleanup kills $pids and Xvfb
#   wait_window TITLE        the id of the first window named TITLE ($wid)
#   wait_a11y_bus            waits until a new client reaches the
#                            accessibility bus
PY=/usr/bin/python3
. "$(dirname "${BASH_SOURCE[0]}")/../whole/lib.sh"

skip() {
    echo "SKIP: $*"
    exit 77
}

need_a11y_tools() {
    for tool in Xvfb dbus-run-session xdotool import "$@"; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool not installed"
    done
    [ -x "$PY" ] && "$PY" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi not installed"
    [ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "at-spi2-core not installed"
}

run_on_private_bus() {
    # The accessibility bus starts on the private session bus on demand. Its
    # socket goes into a runtime folder of this test alone, so that another
    # test run at the same time cannot take it away.
    SKYLOOM_A11Y_RUNTIME=$(mktemp -d)
    chmod 700 "$SKYLOOM_A11Y_RUNTIME"
    export SKYLOOM_A11Y_RUNTIME
    XDG_RUNTIME_DIR=$SKYLOOM_A11Y_RUNTIME SKYLOOM_IN_DBUS=1 \
        exec dbus-run-session -- "$0" "$@" 2> >(grep -v '^dbus-daemon' >&2)
}

start_a11y_x() {
    WHOLE_SCREEN=$1 whole_setup
    # The runtime folder of the accessibility bus goes with the test.
    [ -n "${SKYLOOM_A11Y_RUNTIME:-}" ] && trap 'whole_cleanup; rm -rf "$SKYLOOM_A11Y_RUNTIME"' EXIT
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 SKYLOOM_WALLPAPER_BACKEND=file
    unset QT_SCALE_FACTOR
}

window_named() {
    wid=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$wid" ]
}
wait_window() {
    wait_until "window \"$1\"" "$WHOLE_WAIT" window_named "$1"
}
window_gone() {
    ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}

# The accessibility bus is started on demand and now and then does not take
# a new client at once: a client that reaches it prints no complaint.
a11y_bus_ready() {
    "$PY" -c 'import pyatspi; pyatspi.Registry.getDesktop(0).childCount' 2>"$tmp/a11y-probe.err" &&
        ! grep -q "accessibility bus" "$tmp/a11y-probe.err"
}
wait_a11y_bus() {
    wait_until "accessibility bus" "$WHOLE_WAIT" a11y_bus_ready
}
