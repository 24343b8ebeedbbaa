#!/bin/sh
# Whole-program test of the motion and the texts in a real X server, with
# the demo "Showcase" set: a horizontal panorama moves (two screenshots taken
# while it pans differ by a shift of the picture, not by a new picture); the
# description panel appears darkened in the middle with its text and goes
# after its time, leaving the title strip at the bottom; a key during the
# pan ends the saver. The test follows the saver's log ("pan of", "description
# panel shown", ...) and what the screen shows, never the clock alone.
# Usage: saver_motion.sh <build bin folder> <folder for screenshots> <source folder>
set -u
BIN=$1
SHOTS=$2
SRC=$3
. "$(dirname "$0")/lib.sh"
whole_setup xdotool xwd convert compare
[ -d /usr/share/backgrounds/mate/nature ] || { echo "SKIP: mate-backgrounds not installed"; exit 77; }
mkdir -p "$SHOTS"
program="$tmp/data/skyloom/program"
mkdir -p "$program"
"$SRC/tools/showcase/make-showcase.sh" "$BIN/skyloom-mkset" "$program" >/dev/null ||
    fail "the Showcase set could not be made"
ini="$program/ScreenSaver.ini"
# No title page: the picture under test comes first.
sed -i 's/^file=title.jpg/file=*title.jpg/' "$program/Showcase/company.ini"

# only PICTURE: every other picture of the set is marked excluded.
only() {
    awk -v keep="$1" '
        /^\[Showcase\]/ { inset = 1; print; next }
        /^\[/ { inset = 0 }
        inset && /=/ { split($0, kv, "="); v = kv[2]; sub(/^\*/, "", v)
                       print kv[1] "=" (v == keep ? v : "*" v); next }
        { print }' "$program/Skyloom.ini" >"$tmp/reg" && mv "$tmp/reg" "$program/Skyloom.ini"
}
# mean grey (0-255) of a part of a screenshot: file, geometry
grey() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:int(mean*255)]' info:; }
brightest() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:int(maxima*255)]' info:; }
# screenshot FILE: the whole screen, quickly (xwd), as PNG
shot() {
    xwd -root -silent >"$tmp/shot.xwd" && convert "xwd:$tmp/shot.xwd" "$1"
}
# normalised RMSE between the upper part of B and the same part of A
# shifted left by S pixels: file A, file B, shift
shifted_diff() {
    w=$((1280 - $3))
    convert "$1" -crop "${w}x400+$3+50" +repage "$tmp/a.png"
    convert "$2" -crop "${w}x400+0+50" +repage "$tmp/b.png"
    compare -metric RMSE "$tmp/a.png" "$tmp/b.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/'
}
now_ms() { date +%s%3N; }

# 1. The storm panorama at 50 ms a pixel: 20 pixels a second.
only StormPanorama
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=600s\nRandom=0\nCurrentSet=Showcase\n[Transition]\ndefaultTransition=0\n[Panoramic]\nspeed=50\nenable=1\n[CalendarSS]\nenable=0\n' >"$ini"
"$BIN/skyloom" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
# shows FILE GEOMETRY LEVEL: a screenshot whose part is brighter than LEVEL somewhere.
shows() {
    shot_ms=$(now_ms)
    shot "$1"
    _b=$(brightest "$1" "$2")
    seen="brightest $_b"
    [ "$_b" -gt "$3" ]
}
# moved: a new screenshot differs from the first one (the picture has moved).
moved() {
    t2=$(now_ms)
    shot "$SHOTS/pan-2.png"
    same=$(shifted_diff "$SHOTS/pan-1.png" "$SHOTS/pan-2.png" 0)
    seen="RMSE $same"
    awk "BEGIN {exit !($same > 0.003)}"
}
wait_log "pan of"
wait_until "picture on the screen" "$WHOLE_WAIT" shows "$SHOTS/pan-1.png" 1280x1024+0+0 100
t1=$shot_ms
wait_until "panorama moving" "$WHOLE_WAIT" moved
# 20 pixels a second at most: a busy machine may make the pan slower, never faster.
expect=$(((t2 - t1) / 50))
best=$same
best_shift=0
s=2
while [ "$s" -le $((expect * 2 + 20)) ]; do
    d=$(shifted_diff "$SHOTS/pan-1.png" "$SHOTS/pan-2.png" "$s")
    if awk "BEGIN {exit !($d < $best)}"; then best=$d; best_shift=$s; fi
    s=$((s + 2))
done
echo "pan: shots $((t2 - t1)) ms apart (about $expect px expected); unshifted RMSE $same;" \
    "best match shifted by $best_shift px (RMSE $best)"
[ "$best_shift" -ge 2 ] && [ "$best_shift" -le $((expect * 3 / 2 + 4)) ] ||
    fail "the picture did not move by up to $expect pixels (shift $best_shift)"
awk "BEGIN {exit !($best < $same / 2)}" || fail "the second screenshot is not the first one shifted"
xdotool key a
wait_exit "$spid" "the saver after a key during the pan"
spid=

# 2. Aqua with its English text for 3 seconds, then the title strip.
only Aqua
# The photo stretched over the whole screen (keepAspect=0), so that the
# panel and the title strip lie over the picture, not over a black bar.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=600s\nRandom=0\nkeepAspect=0\nCurrentSet=Showcase\n[Transition]\ndefaultTransition=0\n[InfoPanel]\ndefaultLanguage=1\nshowText=1\nshowTitle=1\ndefaultTime=3\n[CalendarSS]\nenable=0\n' >"$ini"
"$BIN/skyloom" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
# The panel's middle is darkened and carries white text.
wait_log "description panel shown"
wait_until "text in the panel" "$WHOLE_WAIT" shows "$SHOTS/panel.png" 600x180+320+420 230
# After its time the panel goes and the picture under it comes back.
wait_log "description panel removed"
in_panel=$(grey "$SHOTS/panel.png" 200x40+100+500)
restored() {
    shot "$SHOTS/after-panel.png"
    after=$(grey "$SHOTS/after-panel.png" 200x40+100+500)
    # The title strip: darker than the picture just above it, with white text.
    strip=$(grey "$SHOTS/after-panel.png" 120x16+580+1006)
    above=$(grey "$SHOTS/after-panel.png" 120x16+580+960)
    title=$(brightest "$SHOTS/after-panel.png" 200x24+540+1000)
    seen="grey $after under the panel, $in_panel in it; title strip $strip, above it $above, title text $title"
    [ "$in_panel" -lt $((after * 3 / 4)) ] && [ "$strip" -lt "$above" ] && [ "$title" -gt 230 ]
}
wait_until "picture under the panel restored, with the title strip" "$WHOLE_WAIT" restored
echo "panel: grey $in_panel in the panel, $after after it went"
echo "title strip: grey $strip, above it $above"
kill "$spid"
wait "$spid" 2>/dev/null
spid=

# 3. The same in Japanese (for the record: the glyphs need a CJK font).
sed -i 's/^defaultLanguage=1/defaultLanguage=5/; s/^defaultTime=3/defaultTime=20/' "$ini"
"$BIN/skyloom" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "description panel shown" 2
wait_until "Japanese text in the panel" "$WHOLE_WAIT" shows "$SHOTS/panel-japanese.png" \
    600x180+320+420 230
kill "$spid"
wait "$spid" 2>/dev/null
echo "PASS"
