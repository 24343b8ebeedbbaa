#!/bin/sh
# Checks that everything Linux-specific stays in platform/: no other folder
# includes X11 or xcb headers, talks D-Bus, sets process attributes, forks,
# execs or starts programs, or reads XDG variables, standard paths and /proc
# itself. Tests and benchmarks are exempt (they set up servers and measure
# processes). Files listed in tools/layering-exceptions.txt (one path a
# line) are known and waiting to move; the list should only ever shrink.
# Usage: tools/check-layering.sh [SOURCE_DIR]
set -eu
cd "${1:-$(dirname "$0")/..}"

x11='#include *<(X11|xcb)/'
dbus='#include *<(QtDBus|QDBus)|\bQDBus[A-Za-z]*\b'
process='\bprctl *\(|\b(v?fork|execv[pe]*|execl[pe]*|posix_spawnp?|popen) *\(|\bQProcess\b|\bstd::system *\(|(^|[^:A-Za-z0-9_.>])system *\('
paths='(getenv|qgetenv|qEnvironmentVariable[A-Za-z]*)\("XDG_|"/proc/|\bQStandardPaths\b'
pattern="$x11|$dbus|$process|$paths"
found=$(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||')
hits=$(printf '%s\n' "$found" | grep -vE '^(platform|tests|bench)/' |
    xargs -r grep -HnE "$pattern" 2>/dev/null | sed 's/^\([^:]*\):[0-9]*:/\1: /' || true)
[ -n "$hits" ] || exit 0

exceptions=tools/layering-exceptions.txt
bad=$(printf '%s\n' "$hits" | while IFS= read -r line; do
    file=${line%%:*}
    if [ -f "$exceptions" ] && grep -v '^#' "$exceptions" | grep -qxF "$file"; then
        continue
    fi
    printf '%s\n' "$line"
done)
if [ -n "$bad" ]; then
    echo "Platform code outside platform/ (move it behind a platform interface):"
    printf '%s\n' "$bad"
    exit 1
fi
