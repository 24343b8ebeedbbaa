#!/bin/sh
# The desktop's own wallpaper through the whole program, on a GNOME desktop
# whose gsettings is a stand-in that keeps its keys in files and logs every
# call: the first run (which saves the Wallpaper page as soon as the form is
# initialised) records the user's keys before it sets any, a later change
# does not record again, and "skyloom --restore-wallpaper" writes the user's
# keys back (exit 0), then finds nothing to restore (exit 1). A damaged
# record and a desktop that cannot be told are exit 1 with a message.
# Usage: restore_program.sh <skyloom binary>
set -u
BIN=$1
fail() { echo "FAIL: $*"; exit 1; }
command -v convert >/dev/null 2>&1 || { echo "SKIP: convert not installed"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" \
    XDG_RUNTIME_DIR="$tmp/run" XDG_CACHE_HOME="$tmp/cache" SKYLOOM_NONINTERACTIVE=1 \
    SKYLOOM_FIRST_SET_SOURCE=/nonexistent QT_QPA_PLATFORM=offscreen \
    SKYLOOM_WALLPAPER_BACKEND=gnome
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME" "$tmp/bin" "$tmp/keys"
mkdir -m 700 "$tmp/run"

# The stand-in gsettings: "get SCHEMA KEY" prints the stored text, "set"
# stores it; every call goes to the log.
cat >"$tmp/bin/gsettings" <<'SH'
#!/bin/sh
echo "$*" >>"$GSETTINGS_LOG"
f="$GSETTINGS_KEYS/$2.$3"
case $1 in
get) [ -f "$f" ] && cat "$f" || echo "''" ;;
set) printf '%s\n' "$4" >"$f" ;;
*) exit 1 ;;
esac
SH
chmod +x "$tmp/bin/gsettings"
export PATH="$tmp/bin:$PATH" GSETTINGS_LOG="$tmp/gsettings.log" GSETTINGS_KEYS="$tmp/keys"
s=org.gnome.desktop.background
user="'file:///usr/share/backgrounds/Lake%20Shore.jpg'"
echo "$user" >"$tmp/keys/$s.picture-uri"
echo "$user" >"$tmp/keys/$s.picture-uri-dark"
echo "'scaled'" >"$tmp/keys/$s.picture-options"

set_dir="$tmp/data/skyloom/program/Test Set"
mkdir -p "$set_dir"
convert -size 160x120 gradient:navy-orange "$set_dir/one.jpg"
convert "$set_dir/one.jpg" -resize 96x72 "BMP3:$set_dir/one.bmp"
printf '[SetDescriptions]\nTest Set=One picture\n\n[Test Set]\nOne=one\n' >"$set_dir/images.ini"
record="$XDG_CONFIG_HOME/skyloom/UserWallpaper.ini"

# Nothing recorded yet.
"$BIN" --restore-wallpaper >"$tmp/out" 2>"$tmp/err" && fail "restore without a record exited 0"
grep -q "no wallpaper of the gnome desktop is recorded" "$tmp/err" ||
    fail "no clear message without a record: $(cat "$tmp/err")"

# First run: the user's keys are read before the first "set".
"$BIN" " /wall" >"$tmp/out" 2>"$tmp/err" || fail "/wall failed: $(cat "$tmp/err")"
first_set=$(grep -n '^set ' "$GSETTINGS_LOG" | head -1 | cut -d: -f1)
last_get=$(grep -n '^get ' "$GSETTINGS_LOG" | tail -1 | cut -d: -f1)
[ -n "$first_set" ] && [ -n "$last_get" ] && [ "$last_get" -lt "$first_set" ] ||
    fail "the keys were not read before the first change: $(cat "$GSETTINGS_LOG")"
grep -q "Skyloom-[ab].bmp" "$tmp/keys/$s.picture-uri" || fail "Skyloom's picture was not set"
[ -f "$record" ] || fail "no record in $record"
cp "$record" "$tmp/record.first"

# A second change reads nothing and leaves the record alone.
: >"$GSETTINGS_LOG"
"$BIN" " /wall" >"$tmp/out" 2>"$tmp/err" || fail "second /wall failed: $(cat "$tmp/err")"
grep -q '^get ' "$GSETTINGS_LOG" && fail "the second change read the keys again"
cmp -s "$record" "$tmp/record.first" || fail "the second change rewrote the record"

# Restore: the user's keys come back and the record goes.
"$BIN" --restore-wallpaper >"$tmp/out" 2>"$tmp/err" ||
    fail "restore failed: $(cat "$tmp/err")"
grep -q "own wallpaper is back" "$tmp/out" || fail "restore said: $(cat "$tmp/out")"
for key in picture-uri picture-uri-dark; do
    [ "$(cat "$tmp/keys/$s.$key")" = "$user" ] || fail "$key is $(cat "$tmp/keys/$s.$key")"
done
[ "$(cat "$tmp/keys/$s.picture-options")" = "'scaled'" ] || fail "picture-options not restored"
grep -q '^\[gnome\]' "$record" && fail "the record was kept after the restore"
"$BIN" --restore-wallpaper >"$tmp/out" 2>"$tmp/err" && fail "a second restore exited 0"

# A damaged record: exit 1 with a message, nothing set.
printf '[gnome]\nstate=known\npicture-uri=1\n' >"$record"
: >"$GSETTINGS_LOG"
"$BIN" --restore-wallpaper >"$tmp/out" 2>"$tmp/err"; rc=$?
[ "$rc" -eq 1 ] || fail "damaged record: exit status $rc"
grep -q "is damaged" "$tmp/err" || fail "damaged record: $(cat "$tmp/err")"
[ -s "$GSETTINGS_LOG" ] && fail "a damaged record reached the desktop"

# A desktop Skyloom cannot tell anything: nothing recorded, exit 1.
SKYLOOM_WALLPAPER_BACKEND=file "$BIN" --restore-wallpaper >"$tmp/out" 2>"$tmp/err" &&
    fail "the file backend restored something"
grep -q "no wallpaper of the file desktop" "$tmp/err" || fail "file backend: $(cat "$tmp/err")"
echo "restore program: ok"
