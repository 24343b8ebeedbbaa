#!/bin/sh
# Processor time of the saver on two 1920 x 1080 monitors (RandR monitors of
# one 3840 x 1080 Xvfb screen) against one, in the same run: while it waits
# between pictures, and while a panorama moves on every monitor at pan
# speed 250.
# Usage: bench/saver_monitors.sh <build dir> [seconds to measure, default 20]
set -u
BUILD=$1
SECS=${2:-20}
. "$(dirname "$0")/../tests/whole/lib.sh"
WHOLE_SCREEN=3840x1080x24
whole_setup convert xrandr
program="$tmp/data/skyloom/program"
make_set "$program"
set_dir="$program/Pan Set"
mkdir -p "$set_dir"
# 8:1 -> 8640 x 1080 on each monitor: 6720 steps, longer than any measurement.
convert -size 1080x8192 gradient:navy-orange -rotate 90 -fill white \
    -draw "circle 2000,500 2100,600" -draw "rectangle 5000,200 5200,900" -quality 90 \
    "$set_dir/wide.jpg"
convert "$set_dir/wide.jpg" -resize 96x12 "BMP3:$set_dir/wide.bmp"
printf '[Panoramic]\nPanDirection=LeftToRight\n\nEnglish=Wide\n' >"$set_dir/wide.nfo"
printf '[SetDescriptions]\nPan Set=One panorama\n\n[Pan Set]\nWide=wide\n' >"$set_dir/images.ini"
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# measure WHAT SETTINGS: starts the saver with SETTINGS, lets it settle and
# prints its processor time over $SECS seconds.
measure() {
    printf "$2" >"$program/ScreenSaver.ini"
    "$BUILD/bin/skyloom" /s 2>/dev/null &
    spid=$!
    pids="$pids $spid"
    sleep 10 # start, preparation (smoothing the panorama) and the first view
    s0=$(ticks "$spid")
    x0=$(ticks "$xpid")
    sleep "$SECS"
    s1=$(ticks "$spid")
    x1=$(ticks "$xpid")
    echo "$monitors, $1: saver $((s1 - s0)) ticks in $SECS s" \
        "($(awk "BEGIN {printf \"%.1f\", 100 * ($s1 - $s0) / $hz / $SECS}") % of a core)," \
        "X server $(awk "BEGIN {printf \"%.1f\", 100 * ($x1 - $x0) / $hz / $SECS}") %"
    kill "$spid"
    wait "$spid" 2>/dev/null
}

run_all() {
    measure "waiting" '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=600s\nRandom=0\nCurrentSet=Test Set\n[Transition]\ndefaultTransition=2\n'
    measure "pan at speed 250" '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=600s\nRandom=0\nCurrentSet=Pan Set\n[Transition]\ndefaultTransition=0\n[Panoramic]\nspeed=250\n[CalendarSS]\nenable=0\n'
}

xrandr --setmonitor left 1920/480x1080/270+0+0 screen >/dev/null 2>&1
xrandr --setmonitor right 1920/480x1080/270+1920+0 none >/dev/null 2>&1
monitors="two monitors"
run_all
xrandr --delmonitor right >/dev/null 2>&1
monitors="one monitor"
run_all
