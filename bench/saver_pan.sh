#!/bin/sh
# Processor time of the saver while a panorama moves, in a real X server
# (Xvfb, 1920 x 1080): at pan speed 250 (4 steps a second) and 5 (as fast
# as a step and its repaint allow), for the saver and for the X server.
# Usage: bench/saver_pan.sh <build dir> [seconds to measure, default 20]
set -u
BUILD=$1
SECS=${2:-20}
. "$(dirname "$0")/../tests/whole/lib.sh"
WHOLE_SCREEN=1920x1080x24
whole_setup convert
program="$tmp/data/skyloom/program"
set_dir="$program/Pan Set"
mkdir -p "$set_dir"
# 8:1 -> 8640 x 1080 on this screen: 6720 steps, longer than any measurement.
convert -size 1080x8192 gradient:navy-orange -rotate 90 -fill white \
    -draw "circle 2000,500 2100,600" -draw "rectangle 5000,200 5200,900" -quality 90 \
    "$set_dir/wide.jpg"
convert "$set_dir/wide.jpg" -resize 96x12 "BMP3:$set_dir/wide.bmp"
printf '[Panoramic]\nPanDirection=LeftToRight\n\nEnglish=Wide\n' >"$set_dir/wide.nfo"
printf '[SetDescriptions]\nPan Set=One panorama\n\n[Pan Set]\nWide=wide\n' >"$set_dir/images.ini"
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

for speed in 250 5; do
    printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=600s\n[Transition]\ndefaultTransition=0\n[Panoramic]\nspeed=%s\n[CalendarSS]\nenable=0\n' \
        "$speed" >"$program/ScreenSaver.ini"
    "$BUILD/bin/skyloom" /s &
    spid=$!
    pids="$pids $spid"
    sleep 8 # start, preparation (smoothing the 8640-pixel picture) and the first view
    s0=$(ticks "$spid")
    x0=$(ticks "$xpid")
    w0=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$spid/status")
    sleep "$SECS"
    s1=$(ticks "$spid")
    x1=$(ticks "$xpid")
    w1=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$spid/status")
    echo "speed $speed: saver $((s1 - s0)) ticks in $SECS s" \
        "($(awk "BEGIN {printf \"%.1f\", 100 * ($s1 - $s0) / $hz / $SECS}") % of a core)," \
        "X server $((x1 - x0)) ticks ($(awk "BEGIN {printf \"%.1f\", 100 * ($x1 - $x0) / $hz / $SECS}") %)," \
        "$((w1 - w0)) wake-ups of the saver"
    kill "$spid"
    wait "$spid" 2>/dev/null
done
