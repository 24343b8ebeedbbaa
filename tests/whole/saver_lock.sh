#!/bin/sh
# Whole-program test of the password-protected saver in a real X server:
# nothing typed reaches other windows, signals never unlock it, a killed
# picture renderer leaves the screen covered, a wrong password leaves it
# running and the right one ends it.
# Usage: saver_lock.sh <bin folder> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/lib.sh"
# A renderer sent SIGSEGV should end at once, as a crashing program does; in a
# sanitizer build the sanitizer would first write and symbolise its own report
# of the signal, which on a busy machine took longer than the wait below.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:handle_segv=0"
fi
whole_setup xdotool import convert xev
mkdir -p "$SHOTS"
make_set "$tmp/data/skyloom/program"
"$BIN/skyloom-ini" registry-set 'Control Panel\desktop' ScreenSaveUsePassword 1 || fail "registry"

# Protection on but no password could end the lock (a damaged saver-password
# file): the saver does not start, and says so in a box on the screen as
# well as on stderr.
mkdir -p "$XDG_CONFIG_HOME/skyloom"
echo "damaged" >"$XDG_CONFIG_HOME/skyloom/saver-password"
env -u SKYLOOM_NONINTERACTIVE "$BIN/skyloom" /s 2>"$tmp/refused.err" &
rpid=$!
pids="$pids $rpid"
box_shown() { xdotool search --onlyvisible --pid "$rpid" >/dev/null 2>&1; }
wait_until "message box of the refused lock" "$WHOLE_WAIT" box_shown
grep -q "damaged" "$tmp/refused.err" || fail "the refused lock said nothing on stderr"
kill "$rpid"
wait_exit "$rpid" "the refused lock"
echo "moon light" | "$BIN/skyloom-ini" saver-password || fail "saver password"

# Another program's window, which records every key it receives.
xev -geometry 300x200+10+10 >"$tmp/xev.log" 2>&1 &
pids="$pids $!"
xev_window() {
    victim=$(xdotool search --name "Event Tester" | head -1)
    [ -n "$victim" ]
}
wait_until "xev window" "$WHOLE_WAIT" xev_window

# The area of the other window must never show (xev's window is white).
white_area() {
    import -window root "$SHOTS/$1.png"
    white=$(convert "$SHOTS/$1.png" -crop 300x200+10+10 -colorspace Gray -format '%[fx:mean>0.5]' info:)
    seen="white area: $white"
    [ "$white" -eq 0 ]
}
covered() {
    white_area "$1" || fail "the other window shows through ($1)"
}
# xev_synced: everything sent to xev before now has reached its log. The X
# server handles requests in order, so once xev reports this change of its
# window's name, any key it was sent earlier is in its log too.
names=0
xev_names() { [ "$(grep -c 'WM_NAME' "$tmp/xev.log")" -gt "$names" ]; }
xev_synced() {
    names=$(grep -c 'WM_NAME' "$tmp/xev.log")
    xdotool set_window --name "Event Tester" "$victim"
    wait_until "xev's report of its new name" "$WHOLE_WAIT" xev_names
}
no_keys_reached() {
    xev_synced
    grep -q KeyPress "$tmp/xev.log" && fail "keys reached another window ($1)"
}
# prompts open|closed: how often the password prompt opened or closed
prompts() { log_count "password prompt $1"; }
renderer() { pgrep -P "$spid" | head -1; }
renderer_up() {
    r=$(renderer)
    seen="renderer ${r:-none}, the old one $old"
    [ -n "$r" ] && [ "$r" != "$old" ]
}
# renderer_waits: the latest renderer has shown its picture and waits.
renderer_waits() {
    awk '/picture renderer started/ { w = 0 } /waiting for the next picture/ { w = 1 }
         END { exit !w }' "$log"
}
# wait_renderer: a renderer other than $old runs; its pid in $r
wait_renderer() {
    wait_until "picture renderer ($1)" "$WHOLE_WAIT" renderer_up
}

"$BIN/skyloom" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "screen locked"
kill -0 "$spid" 2>/dev/null || fail "the locked saver did not start"
wait_log "waiting for the next picture"
wait_until "screen covered" "$WHOLE_WAIT" white_area start

# The saver-running state names the guard, not its picture renderer.
running_file="$XDG_RUNTIME_DIR/skyloom/saver-running"
names_guard() {
    seen="saver-running: $(cat "$running_file" 2>/dev/null)"
    [ "$(cat "$running_file" 2>/dev/null)" = "$spid" ]
}
wait_until "saver-running naming the guard" "$WHOLE_WAIT" names_guard

# Typing aimed at the other window reaches nothing.
opened=$(prompts open)
held=$(log_count "picture clocks stopped")
xdotool windowfocus "$victim" 2>/dev/null
xdotool type --delay 20 "hello"
xdotool key alt+Tab ctrl+alt+F1
no_keys_reached "typed"
wait_log "password prompt open" $((opened + 1))
# The pictures stand still while the prompt is open, and go on once it is
# closed without the password.
wait_log "picture clocks stopped" $((held + 1))
closed=$(prompts closed)
released=$(log_count "picture clocks running again")
xdotool key Escape # closes the prompt the keys opened
wait_log "password prompt closed" $((closed + 1))
wait_log "picture clocks running again" $((released + 1))

# Signals to the renderer: just after it starts and while it runs.
old=
for sig in TERM INT HUP QUIT USR1 SEGV ABRT KILL; do
    wait_renderer "before SIG$sig"
    kill -s "$sig" "$r"
    old=$r
    wait_renderer "restarted after SIG$sig"
    covered "renderer-$sig"
    kill -0 "$spid" 2>/dev/null || fail "SIG$sig to the renderer ended the saver"
    # Once the new renderer shows its picture, it is signalled again.
    wait_until "picture from the new renderer" "$WHOLE_WAIT" renderer_waits
    kill -s "$sig" "$r"
    old=$r
    wait_renderer "restarted after the second SIG$sig"
    kill -0 "$spid" 2>/dev/null || fail "SIG$sig to the renderer ended the saver"
done
covered renderers-killed
names_guard || fail "saver-running does not name the guard after the renderers were killed ($seen)"

# Every catchable signal to the guard, which owns the grab and the prompt
# (it ignores them: the kernel drops an ignored signal when it is sent).
for sig in HUP INT QUIT ILL TRAP ABRT BUS FPE USR1 SEGV USR2 PIPE ALRM TERM STKFLT TSTP TTIN TTOU XCPU XFSZ VTALRM PROF IO PWR SYS; do
    kill -s "$sig" "$spid" 2>/dev/null
done
kill -0 "$spid" 2>/dev/null || fail "a signal to the guard ended the saver"
covered guard-signalled
opened=$(prompts open)
xdotool windowfocus "$victim" 2>/dev/null
xdotool type "after"
no_keys_reached "typed after the signals"
wait_log "password prompt open" $((opened + 1))
kill -0 "$spid" 2>/dev/null || fail "a signal to the guard ended the saver"
closed=$(prompts closed)
xdotool key Escape
wait_log "password prompt closed" $((closed + 1))

# A wrong password leaves it running.
opened=$(prompts open)
refused=$(log_count "password refused")
xdotool key x
wait_log "password prompt open" $((opened + 1))
xdotool type --delay 20 "wrong"
xdotool key Return
wait_log "password refused" $((refused + 1))
kill -0 "$spid" 2>/dev/null || fail "a wrong password ended the saver"
covered wrong-password

# The right password ends it with status 0.
xdotool type --delay 20 "moon light"
xdotool key Return
wait_exit "$spid" "the saver after the right password"
wait "$spid"
rc=$?
spid=
[ "$rc" -eq 0 ] || fail "saver exit status $rc"
[ -e "$running_file" ] && fail "saver-running stays after the unlock: $(cat "$running_file")"
echo "PASS"
