#!/bin/sh
# Whole-program test of paperwheel without a tray, controlled from the
# command line: --status, --pause, --resume, --next and --quit reach the
# running copy and exit 0 (1 when none runs); with no tray after the grace
# time a desktop notification (seen on a private session bus) says how to
# control it; a second start says it already runs; closing it ends the
# skyloom-idle it started, also when it is ended by SIGTERM.
# Usage: paperwheel_control.sh <paperwheel binary>
set -u
BIN=$1
. "$(dirname "$0")/../whole/lib.sh"
WHOLE_SCREEN=1024x768x24 whole_setup dbus-daemon dbus-monitor
unset SKYLOOM_NO_IDLE_SERVICE

# A private session bus with no tray host on it, watched for notifications.
dbus-daemon --session --nofork --print-address=3 3>"$tmp/bus" 2>>"$log" &
pids="$pids $!"
bus_up() { [ -s "$tmp/bus" ]; }
wait_until "session bus" "$WHOLE_WAIT" bus_up
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$tmp/bus")
export DBUS_SESSION_BUS_ADDRESS
dbus-monitor --session "interface=org.freedesktop.Notifications" >"$tmp/monitor" 2>>"$log" &
pids="$pids $!"
monitor_up() { grep -q NameAcquired "$tmp/monitor"; }
wait_until "bus monitor" "$WHOLE_WAIT" monitor_up

# paperwheel with a fake skyloom-idle beside it and a fake skyloom that
# records its arguments.
mkdir -p "$tmp/bin"
cp "$BIN" "$tmp/bin/paperwheel"
cat >"$tmp/bin/skyloom-idle" <<EOS
#!/bin/sh
echo \$\$ >"$tmp/idle.pid"
trap 'kill \$child; exit 0' TERM
tail -f /dev/null &
child=\$!
wait
EOS
chmod +x "$tmp/bin/skyloom-idle"
program="$tmp/data/skyloom/program"
system="$tmp/data/skyloom/system"
mkdir -p "$program" "$system"
printf '[PrefsWP]\nchange=1\nLastChanged=%s\n' "$(date +'%-m/%-d/%Y %-I:%M:%S %p')" \
    >"$program/ScreenSaver.ini"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$tmp/calls" >"$tmp/fake-skyloom"
chmod +x "$tmp/fake-skyloom"
ln -s "$tmp/fake-skyloom" "$system/Skyloom.scr"
PW="$tmp/bin/paperwheel"

# ctl ARGS...: runs a paperwheel command; status in $rc, output in $out.
ctl() {
    out=$("$PW" "$@" 2>&1)
    rc=$?
    echo "paperwheel $*: $rc $out" >>"$log"
}

# 1. Nothing runs yet: the commands say so and exit 1.
ctl --status
[ "$rc" -eq 1 ] || fail "--status with no paperwheel exited $rc"
echo "$out" | grep -q "no paperwheel is running" || fail "--status said \"$out\""

# 2. It starts, listens and brings skyloom-idle along.
"$PW" 2>>"$log" &
ppid_=$!
pids="$pids $ppid_"
wait_log "listening for paperwheel --next"
idle_up() { [ -s "$tmp/idle.pid" ] && kill -0 "$(cat "$tmp/idle.pid")" 2>/dev/null; }
wait_until "skyloom-idle started" "$WHOLE_WAIT" idle_up

# 3. The commands reach it.
ctl --status
[ "$rc" -eq 0 ] && echo "$out" | grep -q "active" || fail "--status: $rc \"$out\""
ctl --pause
[ "$rc" -eq 0 ] || fail "--pause exited $rc"
ctl --status
echo "$out" | grep -q "paused" || fail "--status after --pause said \"$out\""
ctl --next
[ "$rc" -eq 0 ] || fail "--next exited $rc"
calls_made() { seen=$(cat "$tmp/calls" 2>/dev/null); [ "$seen" = "/wall" ]; }
wait_until "skyloom /wall after --next" "$WHOLE_WAIT" calls_made
ctl --resume
[ "$rc" -eq 0 ] || fail "--resume exited $rc"
ctl --status
echo "$out" | grep -q "active" || fail "--status after --resume said \"$out\""
echo "$out" | grep -q "no system tray" || fail "--status did not tell of the missing tray"

# 4. A second start says that one runs, and ends with status 0.
"$PW" >"$tmp/second.out" 2>&1
rc=$?
[ "$rc" -eq 0 ] || fail "second paperwheel exited $rc"
grep -q "already running" "$tmp/second.out" || fail "the second paperwheel said nothing"
kill -0 "$ppid_" 2>/dev/null || fail "the first paperwheel ended"

# 5. No tray: after the grace time a notification tells how to control it.
notified() { grep -q "paperwheel --next" "$tmp/monitor"; }
wait_until "notification of the missing tray" "$WHOLE_WAIT" notified
grep -q 'member=Notify' "$tmp/monitor" || fail "no Notify call"

# 6. --quit closes it, and the skyloom-idle it started ends too.
idle=$(cat "$tmp/idle.pid")
ctl --quit
[ "$rc" -eq 0 ] || fail "--quit exited $rc"
wait_exit "$ppid_" "paperwheel after --quit"
wait "$ppid_"
rc=$?
[ "$rc" -eq 0 ] || fail "paperwheel exit status $rc after --quit"
wait_exit "$idle" "skyloom-idle after paperwheel closed"
ctl --status
[ "$rc" -eq 1 ] || fail "--status after --quit exited $rc"

# 7. Ended by SIGTERM (the session, kill) it closes the same way.
rm -f "$tmp/idle.pid"
"$PW" 2>>"$log" &
ppid_=$!
pids="$pids $ppid_"
wait_log "listening for paperwheel --next" 2
wait_until "skyloom-idle started again" "$WHOLE_WAIT" idle_up
idle=$(cat "$tmp/idle.pid")
kill -TERM "$ppid_"
wait_exit "$ppid_" "paperwheel after SIGTERM"
wait "$ppid_"
rc=$?
[ "$rc" -eq 0 ] || fail "paperwheel exit status $rc after SIGTERM"
wait_exit "$idle" "skyloom-idle after paperwheel got SIGTERM"
echo "paperwheel control: ok"
