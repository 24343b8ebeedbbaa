# Sourced by the whole-program tests.
#   whole_setup TOOL...   skips (status 77) when a tool is missing, makes a
#                         private $tmp with XDG folders, starts Xvfb and
#                         exports DISPLAY; cleanup kills $pids and Xvfb.
#   make_set DIR          puts a small image set (two pictures drawn with
#                         ImageMagick) into program directory DIR.
fail() {
    echo "FAIL: $*"
    exit 1
}

pids=
whole_cleanup() {
    for p in $pids; do kill -KILL "$p" 2>/dev/null; done
    [ -n "${xpid:-}" ] && kill "$xpid" 2>/dev/null
    rm -rf "$tmp"
}

whole_setup() {
    for tool in Xvfb "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool not installed"; exit 77; }
    done
    tmp=$(mktemp -d)
    trap whole_cleanup EXIT
    export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/run"
    export XDG_CACHE_HOME="$tmp/cache"
    export SKYLOOM_NONINTERACTIVE=1 SKYLOOM_QUIET=1
    # No first-run set from the desktop photographs unless a test asks.
    export SKYLOOM_FIRST_SET_SOURCE=/nonexistent
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    mkdir -m 700 "$tmp/run"
    # Xvfb picks a free display number and tells it through descriptor 3.
    Xvfb -displayfd 3 -screen 0 "${WHOLE_SCREEN:-1280x1024x24}" -noreset -nolisten tcp 3>"$tmp/display" 2>/dev/null &
    xpid=$!
    for _ in $(seq 1 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
    [ -s "$tmp/display" ] || fail "Xvfb did not start"
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
