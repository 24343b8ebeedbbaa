#!/bin/sh
# Whole-program test of paperwheel in an X server with no StatusNotifier
# host and no tray: it starts, asks skyloom for a wallpaper at once when
# "LastChanged" is empty (a fake skyloom on the "Skyloom.scr" link records
# its arguments), a second paperwheel exits by itself with status 0, the
# running one then idles at almost no processor time and little memory, and
# --autostart writes and removes the login entry.
# Usage: paperwheel_session.sh <paperwheel binary>
set -u
# paperwheel would start the idle service beside it; these tests are about the tray.
export SKYLOOM_NO_IDLE_SERVICE=1
BIN=$1
. "$(dirname "$0")/../whole/lib.sh"
WHOLE_SCREEN=1024x768x24 whole_setup
export XDG_CONFIG_DIRS="$tmp/xdg"
# No session bus, so no StatusNotifier host: Qt falls back to the X tray.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/no-bus"

# The fake skyloom, like skyloom, writes "LastChanged" (12-hour time) when it
# has set the wallpaper, and then records its start: the test waits for the
# record, so everything the run did is in place by then.
program="$tmp/data/skyloom/program"
system="$tmp/data/skyloom/system"
mkdir -p "$program" "$system"
printf '[PrefsWP]\nchange=4\n' >"$program/ScreenSaver.ini"
cat >"$tmp/fake-skyloom" <<EOS
#!/bin/sh
printf '[PrefsWP]\nchange=4\nLastChanged=%s\n' "\$(date +'%-m/%-d/%Y %-I:%M:%S %p')" \
    >"$program/ScreenSaver.ini.new" && mv "$program/ScreenSaver.ini.new" "$program/ScreenSaver.ini"
echo "\$*" >>"$tmp/calls"
EOS
chmod +x "$tmp/fake-skyloom"
ln -s "$tmp/fake-skyloom" "$system/Skyloom.scr"

calls_made() {
    seen="$(cat "$tmp/calls" 2>/dev/null | wc -l) call(s)"
    [ -s "$tmp/calls" ]
}

# 1. It starts and asks for a wallpaper at once ("LastChanged" is empty).
"$BIN" 2>>"$log" &
ppid_=$!
pids="$pids $ppid_"
wait_until "wallpaper request" "$WHOLE_WAIT" calls_made
[ "$(cat "$tmp/calls")" = "/wall" ] || fail "skyloom started with \"$(cat "$tmp/calls")\""
kill -0 "$ppid_" 2>/dev/null || fail "paperwheel did not stay up"
grep -q '^LastChanged=' "$program/ScreenSaver.ini" || fail "fake skyloom wrote no LastChanged"

# 2. A second copy exits by itself with status 0 and leaves the first running.
"$BIN" 2>>"$log" &
second=$!
wait_exit "$second" "the second paperwheel"
wait "$second"
rc=$?
[ "$rc" -eq 0 ] || fail "second paperwheel exit status $rc"
kill -0 "$ppid_" 2>/dev/null || fail "the first paperwheel ended"
note "ok: a second paperwheel exited with status 0"

# 3. Idle: (almost) no processor time and little memory. Once the schedule
# is set (after the request) the next check is 15 s away, so nothing should
# run in the next 10 s. An idle paperwheel uses 0 ticks; the limit leaves room
# for a busy machine and a sanitizer build.
wait_log "schedule checks every 15000 ms"
measure_idle "$ppid_" 10
rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$ppid_/status")
note "idle processor time: $idle_ticks ticks of $(getconf CLK_TCK) per second in $idle_ms ms"
note "resident memory: $rss kB"
[ "$idle_ticks" -le 10 ] || fail "idle paperwheel used $idle_ticks ticks in $idle_ms ms"
# AddressSanitizer's shadow memory and quarantine inflate the figure; the
# limit holds for ordinary builds.
if ldd "$BIN" 2>/dev/null | grep -q libasan; then
    echo "memory limit not checked: built with AddressSanitizer"
else
    [ "$rss" -lt 40960 ] || fail "paperwheel holds $rss kB (40 MB allowed)"
fi
[ "$(wc -l <"$tmp/calls")" -eq 1 ] || fail "skyloom started again: $(cat "$tmp/calls")"

kill "$ppid_"
wait "$ppid_" 2>/dev/null
ppid_=

# 4. Starting at login.
entry="$XDG_CONFIG_HOME/autostart/paperwheel.desktop"
"$BIN" --autostart on >/dev/null || fail "--autostart on failed"
grep -q "^Exec=$(readlink -f "$BIN")\$" "$entry" || fail "entry does not start $BIN"
[ "$("$BIN" --autostart status)" = on ] || fail "status is not on"
"$BIN" --autostart off >/dev/null || fail "--autostart off failed"
[ -e "$entry" ] && fail "entry left behind"
[ "$("$BIN" --autostart status)" = off ] || fail "status is not off"
"$BIN" --autostart sideways 2>/dev/null
[ $? -eq 2 ] || fail "a bad --autostart value was accepted"
echo "PASS"
