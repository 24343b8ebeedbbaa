#!/bin/sh
# Checks that everything Linux-specific stays in platform/: no other folder
# includes X11 or xcb headers, sets process attributes, forks, execs or
# starts programs, or reads XDG variables and /proc itself. Tests and
# benchmarks are exempt (they set up servers and measure processes).
# Lines listed in tools/layering-exceptions.txt ("path: pattern") are known
# and waiting to move; the list should only ever shrink.
# Usage: tools/check-layering.sh [SOURCE_DIR]
set -eu
cd "${1:-$(dirname "$0")/..}"

pattern='#include *<(X11|xcb)/|\bprctl *\(|\b(v?fork|execv[pe]*|execl[pe]*|posix_spawnp?) *\(|\bQProcess\b|getenv\("XDG_|"/proc/'
found=$(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||')
hits=$(printf '%s\n' "$found" | grep -vE '^(platform|tests|bench)/' |
    xargs -r grep -nE "$pattern" 2>/dev/null | sed 's/^\([^:]*\):[0-9]*:/\1: /' || true)
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
