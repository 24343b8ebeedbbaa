#!/bin/sh
# Whole-program test of the wallpaper modes without a display, as a cron job,
# an ssh login or a systemd user timer runs them: " /wall" and " /kalendar"
# write Skyloom.bmp, say where in one line and exit 0; the picture is made
# for the screen seen last (or 1024x768 before any); the modes that need a
# screen, and paperwheel, say there is no display and exit 1.
# Usage: wallpaper_headless.sh <skyloom binary> <paperwheel binary>
set -u
BIN=$1
PAPERWHEEL=$2
. "$(dirname "$0")/../whole/lib.sh"
# The X server only serves step 3, the run that records the screen size.
WHOLE_SCREEN=1280x1024x24 whole_setup convert identify
unset XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID MATE_DESKTOP_SESSION_ID \
    DESKTOP_SESSION
export SKYLOOM_WALLPAPER_BACKEND=file SKYLOOM_NO_IDLE_SERVICE=1
program="$tmp/data/skyloom/program"
make_set "$program"
ini="$program/ScreenSaver.ini"
printf '[ScreenSaver]\nSetup=1\n[PrefsWP]\nrandom=0\nCurrentSet=Test Set\nCurrentImage=One\nstretch=1\nenable=1\nchange=7\nLastChanged=1/1/2000 1:00:00 AM\n[CalendarWP]\nenable=1\nposition=1\nsize=33\n' >"$ini"
bmp="$tmp/data/skyloom/system/Skyloom.bmp"

# headless ARGS...: runs with no display at all; status in $rc, output in
# $tmp/out and $tmp/err (informational lines off: only what a cron job mails).
headless() {
    env -u DISPLAY -u WAYLAND_DISPLAY SKYLOOM_QUIET=1 "$@" >"$tmp/out" 2>"$tmp/err"
    rc=$?
    cat "$tmp/out" "$tmp/err" >>"$log"
}
one_line() { # file -> true when it holds exactly one line
    [ "$(wc -l <"$1")" -eq 1 ]
}

# 1. " /wall" with no display and no screen seen yet: the reference size.
headless "$BIN" " /wall"
[ "$rc" -eq 0 ] || { cat "$tmp/err"; fail "/wall without a display exited $rc"; }
[ -f "$bmp" ] || fail "no Skyloom.bmp written"
[ "$(identify -format %wx%h "$bmp")" = 1024x768 ] || fail "not made for 1024x768"
grep -q "Skyloom.bmp" "$tmp/out" || fail "/wall did not say where the wallpaper is"
one_line "$tmp/out" || fail "more than one line on stdout"
[ -s "$tmp/err" ] && { cat "$tmp/err"; fail "/wall wrote to stderr"; }
grep -q '^LastChanged=1/1/2000' "$ini" && fail "LastChanged did not advance"
note "ok: /wall without a display"

# 2. " /kalendar" too; an X platform named in QT_QPA_PLATFORM does not stop it.
headless env QT_QPA_PLATFORM=xcb "$BIN" " /kalendar"
[ "$rc" -eq 0 ] || { cat "$tmp/err"; fail "/kalendar without a display exited $rc"; }
grep -q '^LastCalendar=' "$ini" || fail "/kalendar wrote no LastCalendar"
grep -q "Skyloom.bmp" "$tmp/out" || fail "/kalendar did not say where the wallpaper is"

# 3. A run on the display records its size; the next run without one uses it.
timeout 60 "$BIN" " /wall" >/dev/null 2>>"$log" || fail "/wall on the display failed"
[ "$(identify -format %wx%h "$bmp")" = 1280x1024 ] || fail "not made for the display"
rm -f "$bmp"
headless "$BIN" " /wall"
[ "$rc" -eq 0 ] || fail "second /wall without a display exited $rc"
[ "$(identify -format %wx%h "$bmp")" = 1280x1024 ] || fail "not made for the screen seen last"

# 4. A sway session without its display: the picture file is the result.
headless env -u SKYLOOM_WALLPAPER_BACKEND XDG_CURRENT_DESKTOP=sway "$BIN" " /wall"
[ "$rc" -eq 0 ] || { cat "$tmp/err"; fail "/wall in a sway session without a display exited $rc"; }
grep -q "Skyloom.bmp" "$tmp/out" || fail "no word of the wallpaper file"

# 5. Modes that need a screen: one line, status 1, nothing written.
cp "$ini" "$tmp/before.ini"
for args in "" "/c" " /-ConfigWall" "/s" "--window-id 5"; do
    headless "$BIN" $args
    [ "$rc" -eq 1 ] || fail "skyloom $args without a display exited $rc"
    one_line "$tmp/err" && grep -q "no display" "$tmp/err" ||
        { cat "$tmp/err"; fail "skyloom $args: no one-line reason"; }
done
cmp -s "$ini" "$tmp/before.ini" || fail "settings written without a display"
headless "$PAPERWHEEL"
[ "$rc" -eq 1 ] || fail "paperwheel without a display exited $rc"
one_line "$tmp/err" && grep -q "no display" "$tmp/err" ||
    { cat "$tmp/err"; fail "paperwheel: no one-line reason"; }

# 6. The set's pictures are named pipes (a hostile set): " /wall" does not
#    wait for a writer; it fails at once, naming the file, and writes nothing.
cp "$ini" "$tmp/before.ini"
rm -f "$program/Test Set/one.jpg" "$program/Test Set/two.jpg" "$bmp"
mkfifo "$program/Test Set/one.jpg" "$program/Test Set/two.jpg"
start=$(date +%s%3N)
env -u DISPLAY -u WAYLAND_DISPLAY SKYLOOM_QUIET=1 "$BIN" " /wall" >"$tmp/out" 2>"$tmp/err" &
wpid=$!
pids="$pids $wpid"
wait_exit "$wpid" "/wall on a set whose picture is a pipe"
wait "$wpid"
rc=$?
note "/wall on a pipe ended in $(($(date +%s%3N) - start)) ms with status $rc"
cat "$tmp/out" "$tmp/err" >>"$log"
[ "$rc" -eq 1 ] || fail "/wall on a pipe exited $rc"
grep -q "Test Set/[a-z]*.jpg" "$tmp/err" || { cat "$tmp/err"; fail "/wall did not name the pipe"; }
[ ! -e "$bmp" ] || fail "a wallpaper was written from a pipe"
cmp -s "$ini" "$tmp/before.ini" || fail "settings written by a failed /wall"
echo "wallpaper without a display: ok"
