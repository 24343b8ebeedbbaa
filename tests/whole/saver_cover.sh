#!/bin/sh
# Whole-program test of the saver's screen cover in a real X server: windows
# that other programs map after the saver started never show above it, and
# unmapping, moving, resizing or lowering any window of the lock leaves the
# screen covered and the password prompt usable; the right password still
# ends the lock and a wrong one does not.
# Usage: saver_cover.sh <bin folder> <xpoke program> <folder for screenshots>
set -u
BIN=$1
XPOKE=$2
SHOTS=$3
. "$(dirname "$0")/lib.sh"
whole_setup xdotool import convert xmessage xwininfo
mkdir -p "$SHOTS"
make_set "$tmp/data/skyloom/program"
echo "moon light" | "$BIN/skyloom-ini" saver-password || fail "saver password"
# Seconds, so that the test sees a few picture changes.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=2s\n' >"$tmp/data/skyloom/program/ScreenSaver.ini"

# The windows other programs map go where this area is; they are white,
# which no picture of the test set is.
AREA_X=10 AREA_Y=10 AREA_W=300 AREA_H=200
AREA=${AREA_W}x$AREA_H+$AREA_X+$AREA_Y
shot=0
# white_shown: the area shows a window of another program. xpoke reads the
# area off the screen in a few milliseconds; a screen it cannot read is
# judged from a screenshot.
white_shown() {
    shot=$((shot + 1))
    "$XPOKE" white "$AREA_X" "$AREA_Y" "$AREA_W" "$AREA_H"
    case $? in
    0)
        seen="white area: 1"
        return 0
        ;;
    1)
        seen="white area: 0"
        return 1
        ;;
    esac
    import -window root "$SHOTS/shot.png" 2>/dev/null || return 0
    white=$(convert "$SHOTS/shot.png" -crop "$AREA" -colorspace Gray -threshold 97% \
        -format '%[fx:mean>0.5]' info:)
    seen="white area: $white"
    [ "$white" -eq 1 ]
}
not_white() { ! white_shown; }
# never_shown WHAT: 20 looks in a row, none of which shows the area white.
never_shown() {
    for i in $(seq 20); do
        if white_shown; then
            import -window root "$SHOTS/shown-$1.png" 2>/dev/null
            fail "$1 shows above the saver (look $i)"
        fi
    done
}
# map_after KIND: maps a white window of another program into the area and
# returns once the server has drawn it (xpoke) or mapped it (xmessage).
mapped_line() { [ -s "$tmp/poke.out" ]; }
map_after() {
    : >"$tmp/poke.out"
    case $1 in
    override) "$XPOKE" map --override "$AREA_X" "$AREA_Y" "$AREA_W" "$AREA_H" >"$tmp/poke.out" & ;;
    window) "$XPOKE" map "$AREA_X" "$AREA_Y" "$AREA_W" "$AREA_H" >"$tmp/poke.out" & ;;
    xmessage)
        xmessage -bg white -fg white -geometry "$AREA" "another program" 2>/dev/null &
        ;;
    esac
    other=$!
    pids="$pids $other"
    if [ "$1" = xmessage ]; then
        wait_until "xmessage mapped" "$WHOLE_WAIT" xmessage_mapped
    else
        wait_until "$1 mapped" "$WHOLE_WAIT" mapped_line
    fi
}
xmessage_mapped() {
    w=$(xdotool search --name '^xmessage$' 2>/dev/null | head -1)
    [ -n "$w" ] && xwininfo -id "$w" | grep -q IsViewable
}
drop_other() {
    kill "$other" 2>/dev/null
    wait "$other" 2>/dev/null
}
windows_mapped_after() {
    for kind in override window xmessage; do
        map_after "$kind"
        never_shown "$1: $kind"
        drop_other
    done
}

# --- The unlocked saver stays above windows mapped after it started.
"$BIN/skyloom" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "waiting for the next picture"
windows_mapped_after "unlocked saver"
xdotool key x
wait_exit "$spid" "the unlocked saver after a key"
spid=

# Ended by SIGTERM it still clears its saver-running state.
running_file="$XDG_RUNTIME_DIR/skyloom/saver-running"
pictures=$(log_count "waiting for the next picture")
"$BIN/skyloom" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "waiting for the next picture" $((pictures + 1))
[ "$(cat "$running_file" 2>/dev/null)" = "$spid" ] || fail "saver-running does not name the saver"
kill -TERM "$spid"
wait_exit "$spid" "the unlocked saver after SIGTERM"
[ -e "$running_file" ] && fail "saver-running stays after SIGTERM: $(cat "$running_file")"
spid=

# --- The lock.
"$BIN/skyloom-ini" registry-set 'Control Panel\desktop' ScreenSaveUsePassword 1 || fail "registry"
pictures=$(log_count "waiting for the next picture")
"$BIN/skyloom" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "screen locked"
wait_log "waiting for the next picture" $((pictures + 1))
windows_mapped_after "lock"

cover=$(sed -n 's/.*screen cover \(0x[0-9a-f]*\) .*/\1/p' "$log" | tail -1)
[ -n "$cover" ] || fail "the lock did not name its cover window"
prompts() { log_count "password prompt $1"; }

# The prompt is up and drawn: its dark panel and light field at the centre
# of the 1280x1024 screen.
prompt_drawn() {
    import -window root "$SHOTS/prompt.png" 2>/dev/null || return 1
    panel=$(convert "$SHOTS/prompt.png" -format '%[fx:int(255*p{415,442}.b)]' info:)
    field=$(convert "$SHOTS/prompt.png" -format '%[fx:int(255*p{640,500}.g)]' info:)
    seen="panel blue $panel, field green $field"
    [ "$panel" -ge 20 ] && [ "$panel" -le 44 ] && [ "$field" -ge 240 ]
}
# The prompt may also open by itself while windows are unmapped and mapped
# under the pointer (the pointer "moves" into the cover): open and closed are
# told by the counts of the log lines, not by one more line.
prompt_is_open() { [ "$(prompts open)" -gt "$(prompts closed)" ]; }
prompt_is_closed() { ! prompt_is_open; }
open_prompt() {
    xdotool key x
    wait_until "password prompt open ($1)" "$WHOLE_WAIT" prompt_is_open
    wait_until "password prompt drawn ($1)" "$WHOLE_WAIT" prompt_drawn
}
close_prompt() {
    xdotool key Escape
    wait_until "password prompt closed" "$WHOLE_WAIT" prompt_is_closed
}
# The windows of the lock: the cover, its parent when that is not the root
# (the overlay window) and every window inside the cover.
lock_windows() {
    parent=$(xwininfo -tree -id "$cover" | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
    inside=$(xwininfo -tree -id "$cover" | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p')
    [ "$parent" = "$root" ] && parent=
    echo "$cover $parent $inside"
}
# attack WINDOW: COVER_ROUNDS (default 50) rounds of everything another
# program may do to it.
attack() {
    for i in $(seq "${COVER_ROUNDS:-50}"); do
        # One xdotool for the three (a window gone ends its chain).
        xdotool windowunmap "$1" windowmove "$1" 400 300 windowsize "$1" 10 10 2>/dev/null
        "$XPOKE" lower "$1" 2>/dev/null
        # Keeps the prompt open, and goes nowhere but to the lock.
        xdotool key BackSpace
    done
}
lock_up() {
    kill -0 "$spid" 2>/dev/null || fail "the lock ended ($1)"
}

open_prompt "before the attacks"
close_prompt
for w in $(lock_windows); do
    note "unmap, move, resize and lower window $w, ${COVER_ROUNDS:-50} rounds each, with the prompt open"
    open_prompt "before attacking $w"
    attack "$w"
    lock_up "attacks on $w"
    wait_until "cover back after the attacks on $w" "$WHOLE_WAIT" not_white
    wait_until "password prompt drawn after the attacks on $w" "$WHOLE_WAIT" prompt_drawn
    close_prompt
    note "the same with the prompt closed"
    attack "$w"
    lock_up "attacks on $w"
    wait_until "cover back after the attacks on $w" "$WHOLE_WAIT" not_white
    prompt_is_closed || close_prompt
    open_prompt "after attacking $w"
    close_prompt
done
# Destroying the cover, or the overlay window it lives in, makes the lock
# cover the screen anew.
for round in 1 2 3; do
    for what in parent cover; do
        covers=$(log_count "screen cover 0x")
        target=$cover
        if [ "$what" = parent ]; then
            target=$(xwininfo -tree -id "$cover" |
                sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
        fi
        note "destroy the $what window $target (round $round)"
        "$XPOKE" destroy "$target" || fail "could not destroy $target"
        wait_log "screen cover 0x" $((covers + 1))
        cover=$(sed -n 's/.*screen cover \(0x[0-9a-f]*\) .*/\1/p' "$log" | tail -1)
        lock_up "destroyed $what"
        wait_until "cover back after destroying the $what" "$WHOLE_WAIT" not_white
        prompt_is_closed || close_prompt
        open_prompt "after destroying the $what"
        close_prompt
    done
done

# Windows mapped after the attacks still stay below.
windows_mapped_after "lock after the attacks"

# A wrong password leaves it running; the right one ends it.
refused=$(log_count "password refused")
open_prompt "for the wrong password"
xdotool type --delay 20 "wrong"
xdotool key Return
wait_log "password refused" $((refused + 1))
lock_up "wrong password"
not_white || fail "the screen shows another window after a wrong password"
xdotool type --delay 20 "moon light"
xdotool key Return
wait_exit "$spid" "the lock after the right password"
wait "$spid"
rc=$?
spid=
[ "$rc" -eq 0 ] || fail "lock exit status $rc"

# Two covers that each want to be on top (two savers of different sessions'
# run-time folders on one display) pace their repairs instead of spinning,
# and both still end when asked.
"$BIN/skyloom-ini" registry-set 'Control Panel\desktop' ScreenSaveUsePassword 0 || fail "registry"
mkdir -m 700 "$tmp/run2"
pictures=$(log_count "waiting for the next picture")
"$BIN/skyloom" /s 2>>"$log" &
first=$!
XDG_RUNTIME_DIR="$tmp/run2" "$BIN/skyloom" /s 2>>"$log" &
second=$!
pids="$pids $first $second"
wait_log "waiting for the next picture" $((pictures + 2))
wait_log "the repairs are paced"
kill -TERM "$first" "$second"
wait_exit "$first" "the first of two savers"
wait_exit "$second" "the second of two savers"
echo "PASS"
