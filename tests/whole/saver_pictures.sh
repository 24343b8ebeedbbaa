#!/bin/sh
# Whole-program test of the picture change in a real X server: with a small
# set made here, the saver shows a picture, changes to the next one after
# the display time, uses (almost) no processor time while it waits, and a
# key pressed during a transition ends it before the transition is over, and
# a key ends it while a picture of 16000 x 16000 pixels is being decoded.
# Usage: saver_pictures.sh <skyloom binary> <folder for screenshots>
set -u
BIN=$1
SHOTS=$2
. "$(dirname "$0")/lib.sh"
whole_setup xdotool import convert
mkdir -p "$SHOTS"
program="$tmp/data/skyloom/program"
make_set "$program"
ini="$program/ScreenSaver.ini"

# mean colour of a screenshot as "R G B" (0-255)
mean_rgb() {
    convert "$1" -resize 1x1! -format '%[fx:int(r*255)] %[fx:int(g*255)] %[fx:int(b*255)]' info:
}
brightest() {
    convert "$1" -colorspace Gray -format '%[fx:int(maxima*255)]' info:
}
# shot NAME: a screenshot; $bright is its brightest grey, $seen says so
shot() {
    import -window root "$SHOTS/$1.png"
    bright=$(brightest "$SHOTS/$1.png")
    seen="brightest grey $bright"
}
bright_shot() { shot "$1" && [ "$bright" -gt 100 ]; }
changed_shot() {
    import -window root "$SHOTS/second.png"
    second=$(mean_rgb "$SHOTS/second.png")
    seen="mean colour $second, first $first"
    [ "$first" != "$second" ]
}
last_image_kept() {
    seen=$(grep LastImage "$ini")
    grep -q '^LastImage=2' "$ini"
}

# 1. In order, "Vertical Blinds", a picture every 10 seconds.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=10s\nRandom=0\nCurrentSet=Test Set\n[Transition]\ndefaultTransition=2\n' >"$ini"
"$BIN" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "waiting for the next picture"
# The saver waits: (almost) no processor time (0-1 ticks in 2 s idle).
measure_idle "$spid" 2
note "processor time while showing a picture for $idle_ms ms: $idle_ticks ticks"
[ "$(log_count "showing picture")" -eq 1 ] || fail "the next picture came during the measurement"
[ "$idle_ticks" -le 10 ] || fail "waiting saver used $idle_ticks ticks in $idle_ms ms"
wait_until "picture on the screen" "$WHOLE_WAIT" bright_shot first
first=$(mean_rgb "$SHOTS/first.png")
[ "$(log_count "showing picture")" -eq 1 ] || fail "the first picture's screenshot came too late"
note "first picture: mean colour $first"
# After the display time the next picture comes with its transition.
wait_log "showing picture 2: Test Set/two"
wait_log "waiting for the next picture" 2
wait_until "new picture on the screen" "$WHOLE_WAIT" changed_shot
note "second picture: mean colour $second"
wait_until "LastImage=2 in the settings" "$WHOLE_WAIT" last_image_kept
xdotool key a
wait_exit "$spid" "the saver after a key"
spid=

# 2. "Block Out" takes about 11 s: a key in the middle of it ends the saver
#    before the transition is over.
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=60s\n[Transition]\ndefaultTransition=9\n' >"$ini"
shows=$(log_count "showing picture")
waits=$(log_count "waiting for the next picture")
"$BIN" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "showing picture" $((shows + 1))
wait_until "blocks revealed" "$WHOLE_WAIT" bright_shot block-out
[ "$(log_count "waiting for the next picture")" -eq "$waits" ] ||
    fail "the transition was over before the key was pressed"
xdotool key a
wait_exit "$spid" "the saver after a key during the transition"
[ "$(log_count "waiting for the next picture")" -eq "$waits" ] ||
    fail "a key during the transition did not end the saver before the transition ended"
wait "$spid" || fail "saver exit status $?"
spid=

# 3. A picture of 16000 x 16000 pixels (a small file: one colour): a key
#    during its decode ends the saver. The time from the key to the end is
#    logged (the decode itself takes seconds).
mkdir -p "$program/Huge Set"
python3 - "$program/Huge Set/huge.png" <<'PY'
import struct, sys, zlib
w = h = 16000
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
row = b"\0" + b"\xe0\x90\x30" * w
z = zlib.compressobj(9)
idat = b"".join(z.compress(row) for _ in range(h)) + z.flush()
with open(sys.argv[1], "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
PY
[ -s "$program/Huge Set/huge.png" ] || fail "could not write the 16000 x 16000 picture"
cp "$program/Test Set/one.bmp" "$program/Huge Set/huge.png.bmp"
printf '[SetDescriptions]\nHuge Set=One huge picture\n\n[Huge Set]\nHuge=huge.png\n' \
    >"$program/Huge Set/images.ini"
printf '[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=60s\nRandom=0\nCurrentSet=Huge Set\n[Transition]\ndefaultTransition=0\n' >"$ini"
prepared=$(log_count "preparing picture")
"$BIN" /s 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_log "preparing picture" $((prepared + 1))
start=$(date +%s%3N)
xdotool key a
wait_exit "$spid" "the saver after a key during a large decode"
note "a key during the decode of a 16000 x 16000 picture ended the saver in $(($(date +%s%3N) - start)) ms"
spid=
echo "PASS"
