#!/bin/sh
# Long panoramas in the real saver, in Xvfb at 1920 x 1080: an 8,640-pixel
# panorama (held in memory) beside ones of 40,000 and 65,000 pixels (kept in
# their work file and read a window at a time). For each: seconds from the
# start to the first pan step, the saver's peak memory (VmHWM) once it has
# panned for SECONDS at pan speed 5, and its processor time meanwhile.
# The panoramas are a striped ramp, or the photo PHOTO (environment) stretched.
# Usage: [PHOTO=photo.jpg] bench/saver_long_pan.sh <build dir> [seconds to pan, default 20]
set -u
BUILD=$1
SECS=${2:-20}
. "$(dirname "$0")/../tests/whole/lib.sh"
WHOLE_SCREEN=1920x1080x24
WHOLE_WAIT=300
whole_setup vips convert
program="$tmp/data/skyloom/program"
set_dir="$program/Pan Set"
mkdir -p "$set_dir"
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# A ramp with dark and light stripes, WIDTH x 1080.
make_ramp() {
    vips xyz "$tmp/xy.v" "$1" 1080
    vips extract_band "$tmp/xy.v" "$tmp/x.v" 0
    vips remainder_const "$tmp/x.v" "$tmp/r.v" 509
    vips bandjoin "$tmp/r.v $tmp/r.v $tmp/r.v" "$tmp/rgb.v"
    vips cast "$tmp/rgb.v" "$tmp/u8.v" uchar
    vips jpegsave "$tmp/u8.v" "$set_dir/wide.jpg" --Q 90
    rm -f "$tmp"/*.v
}

for width in 8640 40000 65000; do
    rm -f "$set_dir"/*
    if [ -n "${PHOTO:-}" ]; then
        # The photo stretched to the panorama's size.
        pw=$(vipsheader -f width "$PHOTO")
        ph=$(vipsheader -f height "$PHOTO")
        vips resize "$PHOTO" "$set_dir/wide.jpg[Q=90]" \
            "$(awk "BEGIN {print $width / $pw}")" --vscale "$(awk "BEGIN {print 1080 / $ph}")"
    else
        make_ramp "$width"
    fi
    convert -size 96x12 xc:gray "BMP3:$set_dir/wide.bmp"
    printf '[Panoramic]\nPanDirection=LeftToRight\n\nEnglish=Wide\n' >"$set_dir/wide.nfo"
    printf '[SetDescriptions]\nPan Set=One panorama\n\n[Pan Set]\nWide=wide\n' >"$set_dir/images.ini"
    printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=600s\n[Transition]\ndefaultTransition=0\n[Panoramic]\nspeed=5\n[CalendarSS]\nenable=0\n' \
        >"$program/ScreenSaver.ini"
    : >"$log"
    start=$(date +%s%3N)
    "$BUILD/bin/skyloom" /s 2>>"$log" &
    spid=$!
    pids="$pids $spid"
    wait_log "pan of "
    first=$(($(date +%s%3N) - start))
    s0=$(ticks "$spid")
    sleep "$SECS"
    s1=$(ticks "$spid")
    hwm=$(awk '/^VmHWM/ {print int($2 / 1024)}' "/proc/$spid/status")
    echo "panorama $width x 1080: first pan step after $((first / 1000)).$(((first % 1000) / 100)) s," \
        "peak memory $hwm MB, saver $(awk "BEGIN {printf \"%.1f\", 100 * ($s1 - $s0) / $hz / $SECS}") % of a core while panning" \
        "($(grep -o 'pan of [0-9]* steps' "$log" | head -1), $(grep -c -i 'cannot' "$log") read failures)"
    kill "$spid"
    wait "$spid" 2>/dev/null
done
