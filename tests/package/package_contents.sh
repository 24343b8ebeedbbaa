#!/bin/sh
# The Debian package holds the programs, entries, icons, manual pages,
# translations and PAM service, declares its dependencies, and its manual
# pages render.
# Usage: package_contents.sh <build folder> <source folder>
set -u
BUILD=$1
SRC=$2
for tool in cpack dpkg-deb man; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool not installed"; exit 77; }
done
fail() { echo "FAIL: $*"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$BUILD" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack"; }
deb=$(ls "$out"/*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package made"
dpkg-deb -c "$deb" | awk '{print $6}' >"$out/files"
for f in ./usr/bin/skyloom ./usr/bin/paperwheel ./usr/bin/skyloom-idle \
    ./usr/share/applications/moonfield-screensaver.desktop \
    ./usr/share/applications/paperwheel.desktop ./etc/xdg/autostart/skyloom-idle.desktop \
    ./usr/share/icons/hicolor/scalable/apps/skyloom.svg ./etc/pam.d/skyloom \
    ./usr/share/man/man1/skyloom.1 ./usr/share/man/man1/paperwheel.1 \
    ./usr/share/man/man1/skyloom-idle.1 ./usr/share/man/man1/skyloom-mkset.1 \
    ./usr/share/xscreensaver/config/skyloom.xml \
    ./usr/share/skyloom/translations/skyloom_de.qm ./usr/share/skyloom/translations/skyloom_fr.qm \
    ./usr/share/skyloom/translations/skyloom_es.qm ./usr/share/skyloom/translations/skyloom_ja.qm; do
    grep -qx "$f" "$out/files" || fail "the package lacks $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in mate-backgrounds libqt6widgets6 qt6-qpa-plugins libpam0g libsodium23; do
    echo "$depends" | grep -q "$d" || fail "the package does not depend on $d ($depends)"
done
python3 -c "import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])" \
    "$SRC/apps/data/skyloom.xml" || fail "the display-mode description is not well-formed XML"
grep -q '^Name=Moonfield Screen Saver$' "$SRC/apps/data/moonfield-screensaver.desktop" ||
    fail "menu entry name"
for page in "$SRC"/apps/data/man/*.1; do
    MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$out/man.err" || fail "man -l $page"
    [ -s "$out/man.err" ] && { cat "$out/man.err"; fail "warnings rendering $page"; }
done
echo PASS
