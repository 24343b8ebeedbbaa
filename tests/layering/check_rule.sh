#!/bin/sh
# Plants one line of platform code at a time in a small tree and expects
# tools/check-layering.sh to refuse it outside platform/ and accept it in
# platform/ and tests/. Usage: check_rule.sh CHECK_SCRIPT
set -eu
check=$1
tree=$(mktemp -d "${TMPDIR:-/tmp}/layering-rule.XXXXXX")
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/tools" "$tree/saver" "$tree/platform" "$tree/tests"
failures=0

# Runs the check on the tree holding only `line` in `file`; `expect` is
# "refused" or "accepted".
try() {
    file=$1 expect=$2 line=$3
    rm -f "$tree"/saver/* "$tree"/platform/* "$tree"/tests/*
    printf '%s\n' "$line" >"$tree/$file"
    if sh "$check" "$tree" >/dev/null 2>&1; then got=accepted; else got=refused; fi
    if [ "$got" != "$expect" ]; then
        echo "FAIL: $file with '$line': $got, expected $expect"
        failures=$((failures + 1))
    fi
}

for line in \
    '#include <xcb/xcb.h>' \
    '#include <X11/Xlib.h>' \
    '#include <QDBusConnection>' \
    '#include <QtDBus/QDBusMessage>' \
    'auto bus = QDBusConnection::sessionBus();' \
    '::prctl(PR_SET_PDEATHSIG, SIGKILL);' \
    'const pid_t pid = fork();' \
    'execvp(argv[0], argv);' \
    'QProcess process;' \
    'std::system("true");' \
    'FILE* p = popen("ls", "r");' \
    'const char* c = std::getenv("XDG_CONFIG_HOME");' \
    'QString s = qEnvironmentVariable("XDG_DATA_HOME");' \
    'std::ifstream in("/proc/self/exe");' \
    'QStandardPaths::writableLocation(QStandardPaths::CacheLocation);'; do
    try saver/a.cpp refused "$line"
    try platform/a.cpp accepted "$line"
    try tests/a.cpp accepted "$line"
done
# Look-alikes that are not platform code.
try saver/a.cpp accepted 'return QLocale::system().name();'
try saver/a.cpp accepted 'const char* home = std::getenv("HOME");'
try saver/a.cpp accepted '#include "platform/Process.h"'

# A listed exception lets its file through, and only that file.
printf 'saver/a.cpp\n' >"$tree/tools/layering-exceptions.txt"
try saver/a.cpp accepted 'QProcess process;'
try saver/b.cpp refused 'QProcess process;'
rm "$tree/tools/layering-exceptions.txt"

[ "$failures" -eq 0 ] || exit 1
echo "layering rule: all cases as expected"
