#!/bin/sh
# Whole-program test of idle activation (run under dbus-run-session): the
# saver starts after the idle time, not while input goes on, not while a
# program holds an inhibitor, and again after the user came back and left.
# Usage: idle_session.sh <bin folder> <inhibit_helper>
set -u
BIN=$1
HELPER=$2
. "$(dirname "$0")/../whole/lib.sh"
whole_setup xdotool
make_set "$tmp/data/skyloom/program"
export SKYLOOM_IDLE_TIMEOUT_SECONDS=3

saver_up() { pgrep -f "$BIN/skyloom /s" >/dev/null 2>&1; }
end_saver() {
    xdotool key a
    for _ in $(seq 1 50); do saver_up || return 0; sleep 0.1; done
    fail "a key did not end the saver"
}

# Nowhere to learn the idle time from: it says so and ends.
env -u DISPLAY WAYLAND_DISPLAY=no-such-compositor DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent \
    "$BIN/skyloom-idle" 2>"$tmp/noidle.err"
rc=$?
[ "$rc" -eq 1 ] || fail "skyloom-idle without an idle source: exit status $rc"
grep -q "cannot start by itself" "$tmp/noidle.err" || fail "no message without an idle source"

"$BIN/skyloom-idle" &
pids="$pids $!"

# Input every second keeps it off.
for _ in 1 2 3 4 5 6; do
    xdotool mousemove_relative 3 3
    sleep 1
    saver_up && fail "the saver started while the user was active"
done

# Idle: it starts after about 3 seconds.
sleep 5
saver_up || fail "the saver did not start after the idle time"
end_saver

# A program holds it off; when the program goes, the saver starts.
"$HELPER" >"$tmp/cookie" &
hpid=$!
pids="$pids $hpid"
sleep 1
[ -s "$tmp/cookie" ] || fail "the inhibitor was not taken"
xdotool mousemove_relative 3 3
sleep 6
saver_up && fail "the saver started while a program held it off"
kill "$hpid"
sleep 7
saver_up || fail "the saver did not start once the inhibitor was gone"
end_saver
echo PASS
