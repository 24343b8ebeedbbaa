#!/bin/sh
# Whole-program test (run under dbus-run-session): idle activation starts the
# saver while the configuration dialog is open, locked when password
# protection is on; while that saver runs, a second saver exits at once and
# a wallpaper request waits in "DelayedChange" until the saver ends.
# Usage: idle_dialog.sh <bin folder>
set -u
BIN=$1
. "$(dirname "$0")/../whole/lib.sh"
whole_setup xdotool
prog="$tmp/data/skyloom/program"
make_set "$prog"
ini="$prog/ScreenSaver.ini"
printf '[ScreenSaver]\nSetup=1\n' >"$ini"
export SKYLOOM_IDLE_TIMEOUT_SECONDS=3 SKYLOOM_WALLPAPER_BACKEND=file

saver_up() { [ -n "$(own_pids "$BIN/skyloom /s")" ]; }
saver_gone() { ! saver_up; }
dialog_shown() { xdotool search --onlyvisible --pid "$dpid" >/dev/null 2>&1; }
delayed() { grep -q "^DelayedChange=$1\$" "$ini"; }

"$BIN/skyloom" 2>>"$log" &
dpid=$!
pids="$pids $dpid"
wait_until "configuration dialog" "$WHOLE_WAIT" dialog_shown

"$BIN/skyloom-idle" --verbose 2>>"$log" &
pids="$pids $!"

# Unprotected: the saver starts although the dialog is open.
wait_log "starting the saver"
wait_until "saver process" "$WHOLE_WAIT" saver_up
wait_log "waiting for the next picture"
note "ok: the saver started with the dialog open"

# While it runs a second saver gives way at once, and a wallpaper request
# is recorded for later.
"$BIN/skyloom" /s 2>>"$log"
rc=$?
[ "$rc" -eq 0 ] || fail "second saver: exit status $rc"
[ "$(own_pids "$BIN/skyloom /s" | wc -l)" -eq 1 ] || fail "two savers run"
"$BIN/skyloom" " /wall" 2>>"$log" || fail "wallpaper request while the saver runs"
delayed WallPaper || fail "the wallpaper request was not recorded: $(grep DelayedChange "$ini")"
note "ok: second saver exits, wallpaper request recorded"

xdotool key a
wait_until "end of the saver after a key" "$WHOLE_WAIT" saver_gone
delayed "" || fail "the recorded request was not taken when the saver ended"
kill -0 "$dpid" 2>/dev/null || fail "the dialog ended with the saver"
note "ok: the request was taken when the saver ended"

# Protected: the next idle period locks the screen, the dialog still open.
echo "moon light" | "$BIN/skyloom-ini" saver-password || fail "saver password"
"$BIN/skyloom-ini" registry-set 'Control Panel\desktop' ScreenSaveUsePassword 1 || fail "registry"
wait_log "screen locked"
wait_until "locked saver process" "$WHOLE_WAIT" saver_up
wait_log "waiting for the next picture" 2
xdotool key x
wait_log "password prompt open"
xdotool type --delay 20 "moon light"
xdotool key Return
wait_until "end of the lock after the password" "$WHOLE_WAIT" saver_gone
kill -0 "$dpid" 2>/dev/null || fail "the dialog ended with the lock"
note "ok: locked with the dialog open"
echo PASS
