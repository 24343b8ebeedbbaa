#!/bin/sh
# Screenshot strips of the blending transitions as the real saver shows
# them in Xvfb (640 x 360): five moments of a "Cross Fade" and of a "Slide"
# between two drawn pictures, and the start, middle and end of a 12 s
# "Slow Zoom". Writes screen-cross-fade.png, screen-slide.png and
# screen-slow-zoom.png into the folder given (docs/).
# Usage: tools/smooth-shots.sh <skyloom binary> <folder>
set -u
BIN=$1
OUT=$2
. "$(dirname "$0")/../tests/whole/lib.sh"
WHOLE_SCREEN=640x360x24
whole_setup xwd convert md5sum
export HOME="$tmp/home"
mkdir -p "$HOME" "$OUT"
program="$tmp/data/skyloom/program"
make_set "$program"
ini="$program/ScreenSaver.ini"
# Pictures with shapes, so that the motion shows.
convert -size 640x480 gradient:navy-orange -fill '#fff0b0' -draw 'circle 450,300 450,240' \
    -fill '#201830' -draw 'rectangle 0,400 640,480' "$program/Test Set/one.jpg"
convert -size 640x480 gradient:skyblue-darkgreen -fill '#c03030' -draw 'rectangle 260,180 380,300' \
    -fill '#305020' -draw 'circle 100,380 100,330' -draw 'circle 540,380 540,330' \
    "$program/Test Set/two.jpg"
settings() {
    printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=%s\nRandom=0\nCurrentSet=Test Set\n[Transition]\ndefaultTransition=%s\n[CalendarSS]\nenable=0\n' \
        "$1" "$2" >"$ini"
}
# strip FILE FRAME...: the frames side by side, 192 x 108 each.
strip() {
    _out=$1
    shift
    _n=0
    for _f in "$@"; do
        convert "xwd:$_f" -resize 192x108! "$tmp/frame-$_n.png"
        _n=$((_n + 1))
    done
    _k=0
    _list=
    while [ "$_k" -lt "$_n" ]; do _list="$_list $tmp/frame-$_k.png"; _k=$((_k + 1)); done
    convert $_list -bordercolor white -border 2x0 +append -shave 2x0 "$_out"
    echo "wrote $_out"
}

for type in 11 12; do
    settings 3s "$type"
    n=$(log_count "blending transition of")
    "$BIN" /s 2>>"$log" &
    spid=$!
    pids="$pids $spid"
    # The second change: from the first picture to the second.
    wait_log "blending transition of" $((n + 2))
    i=0
    end=$(($(date +%s%3N) + 1700))
    while [ "$(date +%s%3N)" -lt "$end" ]; do
        xwd -root -silent >"$tmp/s$type-$(printf %04d $i).xwd"
        i=$((i + 1))
    done
    kill "$spid"
    wait "$spid" 2>/dev/null
    # The frames that differ from the one before: the effect's span.
    prev=
    : >"$tmp/u$type"
    for f in "$tmp"/s$type-*.xwd; do
        h=$(convert "xwd:$f" rgb:- | md5sum)
        [ "$h" != "$prev" ] && echo "$f" >>"$tmp/u$type"
        prev=$h
    done
    count=$(wc -l <"$tmp/u$type")
    picks=
    for k in 0 1 2 3 4; do
        picks="$picks $(sed -n "$(((count - 1) * k / 4 + 1))p" "$tmp/u$type")"
    done
    case $type in 11) name=cross-fade ;; 12) name=slide ;; esac
    strip "$OUT/screen-$name.png" $picks
done

settings 12s 13
n=$(log_count "slow zoom over")
"$BIN" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "slow zoom over" $((n + 1))
for k in 0 1 2; do
    xwd -root -silent >"$tmp/z-$k.xwd"
    [ "$k" -lt 2 ] && sleep 5.5
done
kill "$spid"
wait "$spid" 2>/dev/null
strip "$OUT/screen-slow-zoom.png" "$tmp/z-0.xwd" "$tmp/z-1.xwd" "$tmp/z-2.xwd"
