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
whole_setup xdotool import convert xev
mkdir -p "$SHOTS"
make_set "$tmp/data/skyloom/program"
"$BIN/skyloom-ini" registry-set 'Control Panel\desktop' ScreenSaveUsePassword 1 || fail "registry"
echo "moon light" | "$BIN/skyloom-ini" saver-password || fail "saver password"

# Another program's window, which records every key it receives.
xev -geometry 300x200+10+10 >"$tmp/xev.log" 2>&1 &
pids="$pids $!"
sleep 1
victim=$(xdotool search --name "Event Tester" | head -1)
[ -n "$victim" ] || fail "no xev window"

# The area of the other window must never show (xev's window is white).
covered() {
    import -window root "$SHOTS/$1.png"
    white=$(convert "$SHOTS/$1.png" -crop 300x200+10+10 -colorspace Gray -format '%[fx:mean>0.5]' info:)
    [ "$white" -eq 0 ] || fail "the other window shows through ($1)"
}
renderer() { pgrep -P "$spid" | head -1; }
wait_renderer() {
    for _ in $(seq 1 60); do
        r=$(renderer)
        [ -n "$r" ] && { echo "$r"; return 0; }
        sleep 0.1
    done
    return 1
}

"$BIN/skyloom" /s &
spid=$!
pids="$pids $spid"
sleep 2.5
kill -0 "$spid" 2>/dev/null || fail "the locked saver did not start"
covered start

# Typing aimed at the other window reaches nothing.
xdotool windowfocus "$victim" 2>/dev/null
xdotool type --delay 20 "hello"
xdotool key alt+Tab ctrl+alt+F1
sleep 0.3
grep -q KeyPress "$tmp/xev.log" && fail "keys reached another window"
xdotool key Escape # closes the prompt the keys opened
sleep 0.2

# Signals to the renderer: just after it starts and while it runs.
for sig in TERM INT HUP QUIT USR1 SEGV ABRT KILL; do
    r=$(wait_renderer) || fail "no renderer running before SIG$sig"
    kill -s "$sig" "$r"
    sleep 0.3
    covered "renderer-$sig"
    kill -0 "$spid" 2>/dev/null || fail "SIG$sig to the renderer ended the saver"
    r=$(wait_renderer) || fail "renderer not restarted after SIG$sig"
    sleep 1.2
    kill -s "$sig" "$r"
    sleep 0.3
    kill -0 "$spid" 2>/dev/null || fail "SIG$sig to the renderer ended the saver"
done
covered renderers-killed

# Every catchable signal to the guard, which owns the grab and the prompt.
for sig in HUP INT QUIT ILL TRAP ABRT BUS FPE USR1 SEGV USR2 PIPE ALRM TERM STKFLT TSTP TTIN TTOU XCPU XFSZ VTALRM PROF IO PWR SYS; do
    kill -s "$sig" "$spid" 2>/dev/null
done
sleep 0.5
kill -0 "$spid" 2>/dev/null || fail "a signal to the guard ended the saver"
covered guard-signalled
xdotool windowfocus "$victim" 2>/dev/null
xdotool type "after"
sleep 0.2
grep -q KeyPress "$tmp/xev.log" && fail "keys reached another window after the signals"
xdotool key Escape
sleep 0.2

# A wrong password leaves it running.
xdotool key x
sleep 0.3
xdotool type --delay 20 "wrong"
xdotool key Return
sleep 1.8
kill -0 "$spid" 2>/dev/null || fail "a wrong password ended the saver"
covered wrong-password

# The right password ends it with status 0.
xdotool type --delay 20 "moon light"
xdotool key Return
for _ in $(seq 1 60); do kill -0 "$spid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$spid" 2>/dev/null && fail "the right password did not end the saver"
wait "$spid"
rc=$?
spid=
[ "$rc" -eq 0 ] || fail "saver exit status $rc"
echo "PASS"
