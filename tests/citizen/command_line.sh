#!/bin/sh
# Every program answers --help (usage on stdout, exit 0) and --version
# without a display and without starting anything; skyloom-ini lists a
# section's keys and accepts a registry key spelled with its hive;
# skyloom-mkset reports problems on stderr.
set -u
bin=$1
fail() { echo "FAIL: $*"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" \
    XDG_RUNTIME_DIR="$tmp/run" SKYLOOM_NONINTERACTIVE=1
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY

for p in skyloom skyloom-idle paperwheel skyloom-mkset skyloom-ini; do
    out=$("$bin/$p" --help 2>"$tmp/err"); rc=$?
    [ "$rc" -eq 0 ] || fail "$p --help: exit status $rc ($(cat "$tmp/err"))"
    echo "$out" | grep -qi 'usage' || fail "$p --help printed no usage on stdout: $out"
    out=$("$bin/$p" --version 2>"$tmp/err"); rc=$?
    [ "$rc" -eq 0 ] || fail "$p --version: exit status $rc"
    echo "$out" | grep -Eq "^$p \(Skyloom\) [0-9]+\.[0-9]+\.[0-9]+$" || fail "$p --version: $out"
done
# Nothing was started or written by those calls.
[ -z "$(ls -A "$XDG_CONFIG_HOME" 2>/dev/null)" ] || fail "--help/--version wrote settings"
"$bin/skyloom-idle" --bogus >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || fail "skyloom-idle with an unknown argument: exit status $rc"

ini="$tmp/t.ini"
printf '[S]\nalpha=1\nbeta=2\ngamma=3\n' > "$ini"
keys=$("$bin/skyloom-ini" get "$ini" S "" | tr '\n' ' ')
[ "$keys" = "alpha beta gamma " ] || fail "key list: '$keys'"

"$bin/skyloom-ini" registry-set 'HKEY_CURRENT_USER\Software\Test' Name one || fail "registry-set"
v=$("$bin/skyloom-ini" registry-get 'Software\Test' Name) || fail "registry-get"
[ "$v" = one ] || fail "value written under the hive read back as '$v'"
grep -q 'HKEY_CURRENT_USER\\HKEY_CURRENT_USER' "$XDG_CONFIG_HOME/skyloom/registry.ini" &&
    fail "doubled hive in the registry file"

# Failures: non-zero with a one-line reason on stderr.
"$bin/skyloom-ini" registry-get 'Software\Test' Missing >"$tmp/out" 2>"$tmp/err"; rc=$?
[ "$rc" -eq 1 ] && [ ! -s "$tmp/out" ] && [ "$(wc -l <"$tmp/err")" -eq 1 ] ||
    fail "skyloom-ini registry-get of a missing value: rc $rc, stderr '$(cat "$tmp/err")'"
mkdir -p "$tmp/ro" && printf '[S]\n' >"$tmp/ro/t.ini" && chmod 500 "$tmp/ro"
if ! touch "$tmp/ro/probe" 2>/dev/null; then # not when run as root
    "$bin/skyloom-ini" set "$tmp/ro/t.ini" S k v 2>"$tmp/err"; rc=$?
    [ "$rc" -eq 1 ] && grep -q '^skyloom-ini: ' "$tmp/err" ||
        fail "skyloom-ini set into a read-only folder: rc $rc"
fi
chmod 700 "$tmp/ro"
for args in --status --next --quit; do
    "$bin/paperwheel" $args >"$tmp/out" 2>"$tmp/err"; rc=$?
    [ "$rc" -eq 1 ] && grep -q 'no paperwheel is running' "$tmp/err" ||
        fail "paperwheel $args with none running: rc $rc, '$(cat "$tmp/err")'"
done
"$bin/paperwheel" --next now >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || fail "paperwheel --next with an argument: exit status $rc"

out=$("$bin/skyloom-mkset" "$tmp/none" --into "$tmp/prog" 2>"$tmp/err"); rc=$?
[ "$rc" -eq 1 ] || fail "skyloom-mkset on a missing folder: exit status $rc"
[ -z "$out" ] || fail "skyloom-mkset failure on stdout: $out"
grep -q 'No set made' "$tmp/err" || fail "skyloom-mkset failure not on stderr: $(cat "$tmp/err")"
"$bin/skyloom-mkset" --bogus >"$tmp/out" 2>"$tmp/err"; rc=$?
[ "$rc" -eq 2 ] && [ ! -s "$tmp/out" ] && grep -q usage "$tmp/err" ||
    fail "skyloom-mkset wrong option: rc $rc, usage not on stderr alone"
echo "command line: ok"
