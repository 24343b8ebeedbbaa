# Sourced by the whole-program tests.
#   whole_setup TOOL...   skips (status 77) when a tool is missing, makes a
#                         private $tmp with XDG folders, starts Xvfb and
#                         exports DISPLAY; cleanup kills $pids and Xvfb.
#   $log                  the test's log: programs started by a test send
#                         their messages there (2>>"$log"). It is kept in
#                         $WHOLE_LOG_DIR (the build folder's test-logs/)
#                         and printed when the test fails.
#   wait_until WHAT SECONDS COMMAND...
#                         runs COMMAND until it succeeds; after SECONDS the
#                         test fails, naming WHAT and what was seen ($seen,
#                         which COMMAND may set).
#   wait_log TEXT [COUNT] waits until TEXT is in COUNT (default 1) log lines.
#   wait_exit PID WHAT    waits until process PID has ended.
#   measure_idle PID SECONDS
#                         processor time of PID over a window that starts now.
#   own_pids PATTERN      the processes whose command line matches PATTERN
#                         (pgrep -f) and that belong to this test: they run
#                         with its XDG_RUNTIME_DIR. Tests run side by side,
#                         each with the same programs.
#   make_set DIR          puts a small image set (two pictures drawn with
#                         ImageMagick) into program directory DIR.
#   make_bright_set DIR   the same with three bright pictures ("Bright Set").
# WHOLE_SCREEN sets the size of X screen 0; WHOLE_SCREEN1, when set, adds
# an X screen 1 of that size.
# Deadlines are generous ($WHOLE_WAIT, 60 s): a sanitizer build on a busy
# machine is many times slower than an idle one, and a deadline is only
# reached when something is wrong.
WHOLE_WAIT=${WHOLE_WAIT:-60}
log=

fail() {
    echo "FAIL: $*"
    if [ -n "$log" ] && [ -s "$log" ]; then
        echo "---- last lines of the test log $log:"
        tail -n 150 "$log"
        echo "----"
    fi
    exit 1
}

# note TEXT: a line in the test log and on the test's output.
note() {
    echo "$*"
    [ -n "$log" ] && echo "test: $*" >>"$log"
}

wait_until() {
    _wu_what=$1
    _wu_limit=$2
    shift 2
    seen=
    _wu_end=$(($(date +%s) + _wu_limit))
    until "$@"; do
        if [ "$(date +%s)" -ge "$_wu_end" ]; then
            fail "no $_wu_what within $_wu_limit s${seen:+ (seen: $seen)}"
        fi
        sleep 0.05
    done
}

# log_count TEXT: how many log lines hold TEXT (a fixed string).
log_count() {
    grep -c -F -- "$1" "$log" 2>/dev/null || true
}
log_has() {
    _lh_n=$(log_count "$1")
    seen="$_lh_n line(s) with \"$1\""
    [ "$_lh_n" -ge "${2:-1}" ]
}
wait_log() {
    wait_until "log line \"$1\" (${2:-1} in all)" "$WHOLE_WAIT" log_has "$1" "${2:-1}"
}
process_gone() {
    ! kill -0 "$1" 2>/dev/null
}
wait_exit() {
    wait_until "end of $2" "$WHOLE_WAIT" process_gone "$1"
}

own_pids() {
    for _op_pid in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$_op_pid/environ" 2>/dev/null |
            grep -qxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" && echo "$_op_pid"
    done
    return 0
}

# ticks PID: processor time (user + system) a process has used, in ticks.
ticks() {
    awk '{print $14 + $15}' "/proc/$1/stat"
}

# measure_idle PID SECONDS: the processor time PID uses over the next
# SECONDS, in $idle_ticks, and the window's length in $idle_ms. Call it
# right after the event that starts the window; the process must stay up.
measure_idle() {
    _mi_t0=$(ticks "$1")
    _mi_start=$(date +%s%3N)
    _mi_end=$((_mi_start + $2 * 1000))
    while [ "$(date +%s%3N)" -lt "$_mi_end" ]; do
        kill -0 "$1" 2>/dev/null || fail "process $1 ended while its processor time was measured"
        sleep 0.1
    done
    idle_ticks=$(($(ticks "$1") - _mi_t0))
    idle_ms=$(($(date +%s%3N) - _mi_start))
}

pids=
whole_cleanup() {
    for p in $pids; do kill -KILL "$p" 2>/dev/null; done
    [ -n "${xpid:-}" ] && kill "$xpid" 2>/dev/null
    rm -rf "$tmp"
}

display_ready() {
    [ -s "$tmp/display" ]
}

whole_setup() {
    for tool in Xvfb "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool not installed"; exit 77; }
    done
    tmp=$(mktemp -d)
    trap whole_cleanup EXIT
    log_dir=${WHOLE_LOG_DIR:-$tmp}
    mkdir -p "$log_dir"
    log="$log_dir/$(basename "$0" .sh).log"
    : >"$log"
    echo "test log: $log"
    export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/run"
    export XDG_CACHE_HOME="$tmp/cache"
    # Informational lines on: the tests wait for them.
    export SKYLOOM_NONINTERACTIVE=1 SKYLOOM_QUIET=0
    # No first-run set from the desktop photographs unless a test asks.
    export SKYLOOM_FIRST_SET_SOURCE=/nonexistent
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    mkdir -m 700 "$tmp/run"
    # Xvfb tells the display number through descriptor 3 once it listens:
    # the one in SKYLOOM_TEST_DISPLAY, or else a free one it picks.
    Xvfb ${SKYLOOM_TEST_DISPLAY:+":$SKYLOOM_TEST_DISPLAY"} -displayfd 3 \
        -screen 0 "${WHOLE_SCREEN:-1280x1024x24}" ${WHOLE_SCREEN1:+-screen 1 "$WHOLE_SCREEN1"} \
        -noreset -nolisten tcp \
        3>"$tmp/display" 2>>"$log" &
    xpid=$!
    wait_until "X server" "$WHOLE_WAIT" display_ready
    export DISPLAY=":$(cat "$tmp/display")"
}

make_set() {
    set_dir="$1/Test Set"
    mkdir -p "$set_dir"
    convert -size 640x480 gradient:navy-orange "$set_dir/one.jpg"
    convert -size 640x480 gradient:darkgreen-khaki "$set_dir/two.jpg"
    convert "$set_dir/one.jpg" -resize 96x72 "BMP3:$set_dir/one.bmp"
    convert "$set_dir/two.jpg" -resize 96x72 "BMP3:$set_dir/two.bmp"
    printf '[SetDescriptions]\nTest Set=Two pictures\n\n[Test Set]\nOne=one\nTwo=two\n' \
        >"$set_dir/images.ini"
}

make_bright_set() {
    set_dir="$1/Bright Set"
    mkdir -p "$set_dir"
    convert -size 640x480 gradient:yellow-white "$set_dir/one.jpg"
    convert -size 640x480 gradient:cyan-white "$set_dir/two.jpg"
    convert -size 640x480 gradient:magenta-white "$set_dir/three.jpg"
    for f in one two three; do
        convert "$set_dir/$f.jpg" -resize 96x72 "BMP3:$set_dir/$f.bmp"
    done
    printf '[SetDescriptions]\nBright Set=Three bright pictures\n\n[Bright Set]\nOne=one\nTwo=two\nThree=three\n' \
        >"$set_dir/images.ini"
}

# settled_shot WINDOW FILE: a screenshot of WINDOW (an X window id, or root)
# once two in a row show the same pixels, so that the picture does not catch
# the window half drawn.
window_still() {
    import -window "$1" "$tmp/still-new.png" 2>/dev/null || return 1
    _ws_sum=$(convert "$tmp/still-new.png" rgb:- 2>/dev/null | md5sum)
    _ws_same=1
    [ "$_ws_sum" = "${_ws_last:-}" ] || _ws_same=0
    _ws_last=$_ws_sum
    seen="changing pictures"
    [ "$_ws_same" -eq 1 ]
}
settled_shot() {
    _ws_last=
    wait_until "a still picture of window $1" "$WHOLE_WAIT" window_still "$1"
    mv "$tmp/still-new.png" "$2"
}

# Checks of one monitor's part of a screenshot (GEOMETRY as WxH+X+Y):
#   black_share FILE GEOMETRY  thousandths of its pixels that are black
#   red_share FILE GEOMETRY    thousandths that are the desktop's pure red
#                              (white ones, as in bright pictures, never count)
#   mean_rgb FILE GEOMETRY     its mean colour as "R G B" (0-255)
#   mean_grey FILE GEOMETRY    its mean grey (0-255)
black_share() {
    convert "$1" -crop "$2" +repage -colorspace Gray -threshold 6% -negate \
        -format '%[fx:int(mean*1000)]' info:
}
red_share() {
    convert "$1" -crop "$2" +repage -fuzz 5% -fill black -opaque white -fill white -opaque red \
        -fill black +opaque white \
        -colorspace Gray -format '%[fx:int(mean*1000)]' info:
}
mean_rgb() {
    convert "$1" -crop "$2" +repage -resize 1x1! \
        -format '%[fx:int(r*255)] %[fx:int(g*255)] %[fx:int(b*255)]' info:
}
mean_grey() {
    convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:int(mean*255)]' info:
}
# colour_distance "R G B" "R G B": the largest difference of a channel
colour_distance() {
    echo "$1 $2" | awk '{d=0; for (i=1;i<=3;i++) {x=$i-$(i+3); if (x<0) x=-x; if (x>d) d=x}; print d}'
}
