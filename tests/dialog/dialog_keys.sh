#!/bin/bash
# The configuration dialog's keys in a real X server, with real key presses:
#   dialog_keys.sh SKYLOOM
# 1. Alt+M goes to Minutes and Space picks it, then Return presses OK: the
#    dialog ends and ScreenSaver.ini holds the time in minutes.
# 2. Alt+E (Seconds' own letter on the page), Space, then keypad Enter
#    presses OK: the time is stored in seconds again.
# 3. A change, then Escape: the dialog ends and the file is as it was.
# An Alt letter clicks its button only after a short animation, while it
# moves the focus at once; Space on the focused button is what picks it, so
# the keys need no pauses between them.
# Exits 77 (skipped) when a tool is missing.
set -u
SKYLOOM=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../whole/lib.sh"
whole_setup xdotool convert

prog="$tmp/data/skyloom/program"
make_set "$prog"
ini="$prog/ScreenSaver.ini"
printf '[ScreenSaver]\r\nSetup=1\r\n\r\n[PrefsSS]\r\nchange=60s\r\nrandom=1\r\n' >"$ini"
# The saver is on, so the page's controls are enabled.
mkdir -p "$XDG_CONFIG_HOME/skyloom"
printf '[HKEY_CURRENT_USER\\Control Panel\\desktop]\nScreenSaveActive=1\n' \
    >"$XDG_CONFIG_HOME/skyloom/registry.ini"

title="Screen Saver Configuration"
dialog_window() {
    wid=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
    seen="no window named \"$title\""
    [ -n "$wid" ]
}
# Starts the dialog, waits for its window and gives it the keyboard.
start() {
    "$SKYLOOM" 2>>"$log" &
    spid=$!
    pids="$pids $spid"
    wait_until "dialog window" "$WHOLE_WAIT" dialog_window
    xdotool windowfocus --sync "$wid"
}
stored() {
    seen=$(grep '^change=' "$ini" | tr -d '\r')
    [ "$seen" = "change=$1" ]
}

# 1. Alt+M, Space, Return.
start
xdotool key alt+m space Return
wait_exit "$spid" "the dialog after Return"
stored 60m || fail "Return did not save through OK: $seen"
note "ok: Alt+M picked Minutes and Return pressed OK"

# 2. Alt+E, Space, keypad Enter.
start
xdotool key alt+e space KP_Enter
wait_exit "$spid" "the dialog after Enter"
stored 60s || fail "keypad Enter did not save through OK: $seen"
note "ok: Alt+E picked Seconds and keypad Enter pressed OK"

# 3. A change, then Escape: nothing written.
cp "$ini" "$tmp/before"
start
xdotool key alt+m space Escape
wait_exit "$spid" "the dialog after Escape"
cmp -s "$ini" "$tmp/before" || fail "Escape changed ScreenSaver.ini: $(cat "$ini")"
note "ok: Escape left ScreenSaver.ini unchanged"
echo "PASS"
