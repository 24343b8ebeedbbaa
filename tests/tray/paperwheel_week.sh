#!/bin/sh
# Eight days of unattended wallpaper changes: paperwheel runs with the real
# skyloom behind the "Skyloom.scr" link, the schedule "Every Week" and the
# wallpaper calendar on, under libfaketime. The days run from Wednesday
# 24 March 2027 in Berlin, so they cross the change to summer time (28 March)
# and a month end. Each step moves the faked clock of paperwheel and of the
# skyloom runs it starts forward (a shared offset file) and pings paperwheel
# so that its overdue check runs. Over the eight days the picture changes
# exactly once (on the next Wednesday), the calendar is redrawn once on each
# of the other days, and every drawn calendar shows its own day.
# Usage: paperwheel_week.sh <paperwheel binary> <skyloom binary>
set -u
export SKYLOOM_NO_IDLE_SERVICE=1
PW=$1
SKY=$2
. "$(dirname "$0")/../whole/lib.sh"
libfaketime=
for f in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
    [ -e "$f" ] && libfaketime=$f && break
done
[ -n "$libfaketime" ] || { echo "SKIP: libfaketime not installed"; exit 77; }
WHOLE_SCREEN=800x600x24 whole_setup convert compare
export DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/no-bus"
unset XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID MATE_DESKTOP_SESSION_ID \
    DESKTOP_SESSION SKYLOOM_WALLPAPER_BACKEND
export TZ=Europe/Berlin

program="$tmp/data/skyloom/program"
system="$tmp/data/skyloom/system"
mkdir -p "$program" "$system"
make_set "$program"
ini="$program/ScreenSaver.ini"
printf '[ScreenSaver]\nSetup=1\n[PrefsWP]\nrandom=0\nCurrentSet=Test Set\nCurrentImage=One\n' >"$ini"
printf 'stretch=1\nenable=1\nchange=9\nLastChanged=3/24/2027 9:00:00 AM\n' >>"$ini"
printf '[CalendarWP]\nenable=1\nposition=1\nsize=33\n' >>"$ini"

# Skyloom.scr: the real skyloom, then a line per run with the arguments, the
# faked date, the exit status and the picture on show, and a copy of the
# wallpaper it made.
cat >"$tmp/skyloom.scr" <<EOS
#!/bin/sh
: >"$tmp/running"
"$SKY" "\$@" 2>>"$log"
rc=\$?
n=\$((\$(cat "$tmp/calls" 2>/dev/null | wc -l) + 1))
cp "$system/Skyloom.bmp" "$tmp/wall-\$n.bmp" 2>/dev/null
echo "\$* \$(date +%F) \$rc \$(sed -n 's/^CurrentImage=//p' "$ini")" >>"$tmp/calls"
rm -f "$tmp/running"
EOS
chmod +x "$tmp/skyloom.scr"
ln -s "$tmp/skyloom.scr" "$system/Skyloom.scr"

# The faked clock: real time plus the offset in this file, read afresh on
# every clock call by paperwheel and everything it starts.
clock="$tmp/faketime.rc"
set_clock() { # "YYYY-MM-DD HH:MM:SS" in Berlin
    echo "+$(($(date -d "$1" +%s) - $(date +%s)))" >"$clock"
}
nudge_clock() { # SECONDS forward
    _off=$(sed 's/^+//' "$clock")
    echo "+$((_off + $1))" >"$clock"
}
set_clock "2027-03-24 10:00:00"
LD_PRELOAD="$libfaketime" FAKETIME_TIMESTAMP_FILE="$clock" FAKETIME_NO_CACHE=1 \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$PW" 2>>"$log" &
ppid_=$!
pids="$pids $ppid_"
wait_log "listening for paperwheel --next"

calls() { cat "$tmp/calls" 2>/dev/null | wc -l; }
# One step of the clock: 20 s on, so that the check paperwheel has waiting is
# overdue, and a ping that wakes it. Succeeds once skyloom has run $1 times.
# The clock stands still while skyloom runs: a real run takes a second or
# two, far less than the 90 s paperwheel waits after a request, however slow
# this build or machine is.
tick_until() {
    seen="$(calls) run(s) of skyloom"
    [ "$(calls)" -ge "$1" ] && return 0
    [ -e "$tmp/running" ] && return 1
    nudge_clock 20
    "$PW" --status >/dev/null 2>>"$log" || fail "paperwheel --status failed"
    false
}

# Day 0: the picture was changed this morning; nothing is due today.
for _ in 1 2 3 4 5 6 7 8; do tick_until 1 && break; done
[ "$(calls)" -eq 0 ] || fail "skyloom ran on the day of the last change: $(cat "$tmp/calls")"

noon0=$(date -d "2027-03-24 12:00:00" +%s)
day=1
while [ "$day" -le 8 ]; do
    date=$(date -d "@$((noon0 + day * 86400))" +%F)
    set_clock "$date 10:00:00"
    wait_until "skyloom run on $date" "$WHOLE_WAIT" tick_until "$day"
    line=$(sed -n "${day}p" "$tmp/calls")
    case $day in
    7) expect="/wall $date 0 Two" ;;
    8) expect="/kalendar $date 0 Two" ;;
    *) expect="/kalendar $date 0 One" ;;
    esac
    [ "$line" = "$expect" ] || fail "day $day: skyloom run \"$line\", expected \"$expect\"; settings: $(tr "\n" " " <"$ini")"
    note "ok: $line"
    day=$((day + 1))
done
# The rest of the last day: nothing more is due.
for _ in 1 2 3 4 5 6 7 8 9 10; do tick_until 9 && break; done
[ "$(calls)" -eq 8 ] || fail "extra skyloom runs: $(sed -n '9,$p' "$tmp/calls")"
grep -q '^LastChanged=3/31/2027 ' "$ini" || fail "LastChanged is not the day of the change"
grep -q '^LastCalendar=4/1/2027 ' "$ini" || fail "LastCalendar is not the last day"

# Each day's calendar differs from the day before (the day marked moves),
# while the picture around it stays the same on the calendar days.
calendar_area=300x260+0+0
photo_area=400x300+400+300
day=2
while [ "$day" -le 8 ]; do
    a="$tmp/wall-$((day - 1)).bmp"
    b="$tmp/wall-$day.bmp"
    [ -s "$b" ] || fail "no wallpaper after run $day"
    d=$(compare -metric AE "$a[$calendar_area]" "$b[$calendar_area]" null: 2>&1)
    [ "$d" -gt 20 ] || fail "the calendar of run $day looks like the day before ($d pixels differ)"
    if [ "$day" -ne 7 ]; then
        d=$(compare -metric AE "$a[$photo_area]" "$b[$photo_area]" null: 2>&1)
        [ "$d" = 0 ] || fail "the picture changed on calendar day $day ($d pixels)"
    fi
    day=$((day + 1))
done
d=$(compare -metric AE "$tmp/wall-6.bmp[$photo_area]" "$tmp/wall-7.bmp[$photo_area]" null: 2>&1)
[ "$d" -gt 1000 ] || fail "the weekly change kept the picture ($d pixels differ)"
echo "PASS"
