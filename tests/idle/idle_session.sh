#!/bin/sh
# Whole-program test of idle activation (run under dbus-run-session): the
# saver starts after the idle time, not while input goes on, not while a
# program holds an inhibitor, and again after the user came back and left.
# The daemon runs with --verbose and logs every check with its reason; the
# test follows those lines instead of the clock.
# Usage: idle_session.sh <bin folder> <inhibit_helper>
set -u
BIN=$1
HELPER=$2
. "$(dirname "$0")/../whole/lib.sh"
whole_setup xdotool
make_set "$tmp/data/skyloom/program"
export SKYLOOM_IDLE_TIMEOUT_SECONDS=3

saver_up() { [ -n "$(own_pids "$BIN/skyloom /s")" ]; }
saver_gone() { ! saver_up; }
# end_saver N: once the Nth saver of the test shows its picture, a key ends it.
end_saver() {
    wait_until "saver process" "$WHOLE_WAIT" saver_up
    wait_log "waiting for the next picture" "$1"
    xdotool key a
    wait_until "end of the saver after a key" "$WHOLE_WAIT" saver_gone
}
# Moves the mouse on every poll: the user is busy until the next check.
busy_until_check() {
    xdotool mousemove_relative 1 1
    log_has "check:" "$1"
}

# Nowhere to learn the idle time from: it says so and ends.
env -u DISPLAY WAYLAND_DISPLAY=no-such-compositor DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent \
    "$BIN/skyloom-idle" 2>"$tmp/noidle.err"
rc=$?
[ "$rc" -eq 1 ] || fail "skyloom-idle without an idle source: exit status $rc"
grep -q "cannot start by itself" "$tmp/noidle.err" || fail "no message without an idle source"

"$BIN/skyloom-idle" --verbose 2>>"$log" &
pids="$pids $!"
wait_log "check:"

# Continuous input over three checks (more than the idle time) keeps it off.
for n in 2 3 4; do
    wait_until "idle check $n while the mouse moves" "$WHOLE_WAIT" busy_until_check "$n"
    saver_up && fail "the saver started while the user was active"
done
[ "$(log_count "starting the saver")" -eq 0 ] || fail "the daemon started the saver during input"
note "ok: no saver during input"

# Idle: it starts once the idle time is reached.
wait_log "starting the saver"
end_saver 1
note "ok: started after the idle time"

# A program holds it off; when the program goes, the saver starts.
"$HELPER" >"$tmp/cookie" 2>>"$log" &
hpid=$!
pids="$pids $hpid"
cookie_taken() {
    xdotool mousemove_relative 1 1
    [ -s "$tmp/cookie" ]
}
wait_until "inhibitor cookie" "$WHOLE_WAIT" cookie_taken
xdotool mousemove_relative 3 3
held=$(($(log_count "held off by a program") + 2))
wait_log "held off by a program" "$held"
saver_up && fail "the saver started while a program held it off"
[ "$(log_count "starting the saver")" -eq 1 ] || fail "the saver was started while held off"
note "ok: held off by the inhibitor"
kill "$hpid"
wait_log "starting the saver" 2
end_saver 2
note "ok: started once the inhibitor was gone"
echo PASS
