#!/bin/sh
# Whole-program test of the wallpaper modes on a plain X server (root-window
# backend): " /wall" puts the picture, with the calendar panel, on the root
# window and records "LastChanged"; " /kalendar" renders the same picture
# again and records "LastCalendar" only; the root-pixmap properties name the
# new pixmap each time. With the wallpaper Off both leave it alone; a failure
# exits non-zero with its reason.
# Usage: wallpaper_session.sh <skyloom binary> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/../whole/lib.sh"
WHOLE_SCREEN=1024x768x24
whole_setup import convert compare xprop
export XDG_CACHE_HOME="$tmp/cache"
unset XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID MATE_DESKTOP_SESSION_ID \
    DESKTOP_SESSION SKYLOOM_WALLPAPER_BACKEND
mkdir -p "$SHOTS"
program="$tmp/data/skyloom/program"
make_set "$program"
ini="$program/ScreenSaver.ini"
printf '[ScreenSaver]\nSetup=1\n[PrefsWP]\nrandom=0\nCurrentSet=Test Set\nCurrentImage=One\nstretch=1\nenable=1\nchange=7\nLastChanged=1/1/2000 1:00:00 AM\n[CalendarWP]\nenable=1\nposition=1\nsize=33\n' >"$ini"

brightest() { # picture, geometry -> brightest grey 0-255 in that part
    convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:int(maxima*255)]' info:
}
rootpixmap() { xprop -root "$1" | sed -n 's/.*# \(0x[0-9a-f]*\).*/\1/p'; }

import -window root "$SHOTS/before.png"

# 1. " /wall": a picture of the set, fitted, with the calendar at the top left.
timeout 60 "$BIN" " /wall" 2>"$tmp/wall.err" || { cat "$tmp/wall.err"; fail "/wall failed"; }
bmp=$(find "$tmp" -name Skyloom.bmp | head -1)
[ -n "$bmp" ] || fail "no Skyloom.bmp written"
[ "$(identify -format %wx%h "$bmp")" = 1024x768 ] || fail "wallpaper is not screen-sized"
import -window root "$SHOTS/after-wall.png"
diff=$(compare -metric AE "$SHOTS/after-wall.png" "$bmp" null: 2>&1)
[ "$diff" = 0 ] || fail "the root window does not show Skyloom.bmp ($diff pixels differ)"
diff=$(compare -metric AE "$SHOTS/before.png" "$SHOTS/after-wall.png" null: 2>&1)
[ "$diff" -gt 500000 ] || fail "the root window hardly changed ($diff pixels)"
# White calendar text at the top left; the dark top of the gradient elsewhere.
[ "$(brightest "$bmp" 200x120+30+30)" -ge 200 ] || fail "no calendar text at the top left"
[ "$(brightest "$bmp" 200x120+790+30)" -le 120 ] || fail "calendar text where none belongs"
grep -q '^LastChanged=1/1/2000' "$ini" && fail "LastChanged did not advance"
grep -q '^LastChanged=[0-9]*/[0-9]*/20[0-9][0-9] ' "$ini" || fail "LastChanged not written"
first=$(rootpixmap _XROOTPMAP_ID)
[ -n "$first" ] && [ "$first" = "$(rootpixmap ESETROOT_PMAP_ID)" ] ||
    fail "root pixmap properties missing or different"
image=$(sed -n 's/^CurrentImage=//p' "$ini")
cp "$bmp" "$tmp/wall.bmp"

# 2. " /kalendar": the same picture again on a new pixmap.
sed -i 's/^LastChanged=.*/LastChanged=1\/1\/2000 1:00:00 AM/' "$ini"
timeout 60 "$BIN" " /kalendar" 2>"$tmp/kal.err" || { cat "$tmp/kal.err"; fail "/kalendar failed"; }
grep -q '^LastChanged=1/1/2000 1:00:00 AM' "$ini" || fail "/kalendar moved LastChanged"
grep -q '^LastCalendar=[0-9]*/[0-9]*/20[0-9][0-9] ' "$ini" || fail "/kalendar wrote no LastCalendar"
[ "$(sed -n 's/^CurrentImage=//p' "$ini")" = "$image" ] || fail "/kalendar changed the picture"
diff=$(compare -metric AE "$tmp/wall.bmp" "$bmp" null: 2>&1)
[ "$diff" = 0 ] || fail "/kalendar rendered a different picture ($diff pixels)"
import -window root "$SHOTS/after-kalendar.png"
diff=$(compare -metric AE "$SHOTS/after-kalendar.png" "$bmp" null: 2>&1)
[ "$diff" = 0 ] || fail "the root window does not show the new render"
second=$(rootpixmap _XROOTPMAP_ID)
[ -n "$second" ] && [ "$second" != "$first" ] || fail "no new root pixmap"

# 3. Wallpaper Off: the unattended modes change nothing and ask nothing.
sed -i 's/^enable=1/enable=0/' "$ini"
cp "$ini" "$tmp/off.ini"
for mode in " /kalendar" " /wall"; do
    timeout 60 "$BIN" "$mode" >"$tmp/off.out" 2>"$tmp/off.err" || fail "$mode with the wallpaper off failed"
    grep -q "Are you sure" "$tmp/off.err" && fail "$mode asked to remove the wallpaper"
    grep -q "switched off" "$tmp/off.out" || fail "$mode did not say the wallpaper is off"
done
[ "$(rootpixmap _XROOTPMAP_ID)" = "$second" ] || fail "the wallpaper changed while off"
cmp -s "$ini" "$tmp/off.ini" || fail "settings written while the wallpaper is off"

# 4. A damaged picture: the error is reported, nothing written.
sed -i 's/^enable=0/enable=1/' "$ini"
sed -i 's/^LastChanged=.*/LastChanged=1\/1\/2000 1:00:00 AM/' "$ini"
printf 'not a picture' >"$program/Test Set/one.jpg"
printf 'not a picture' >"$program/Test Set/two.jpg"
cp "$bmp" "$tmp/kept.bmp"
timeout 60 "$BIN" " /wall" 2>"$tmp/bad.err" && fail "a failed change exited 0"
grep -q "An Error occured while setting the wall paper." "$tmp/bad.err" || fail "no error message"
grep -q '^skyloom: cannot read the picture .*one.jpg\|^skyloom: cannot read the picture .*two.jpg' "$tmp/bad.err" ||
    { cat "$tmp/bad.err"; fail "no one-line reason"; }
grep -q '^LastChanged=1/1/2000' "$ini" || fail "a failed change wrote LastChanged"
cmp -s "$tmp/kept.bmp" "$bmp" || fail "a failed render changed Skyloom.bmp"
[ -z "$(find "$(dirname "$bmp")" -name 'Skyloom.bmp.tmp*')" ] || fail "temporary file left behind"
echo "wallpaper session: ok"
