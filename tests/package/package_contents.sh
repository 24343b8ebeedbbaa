#!/bin/sh
# The Debian package holds the programs, entries, icons, manual pages,
# translations, PAM service and documents; declares its dependencies and
# conffiles; passes lintian without errors; its metadata and desktop entries
# validate; its manual pages render; and apt can resolve it on this system.
# Usage: package_contents.sh <build folder> <source folder>
set -u
BUILD=$1
SRC=$2
for tool in cpack dpkg-deb dpkg-parsechangelog man lintian appstreamcli desktop-file-validate \
    readelf file; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool not installed"; exit 77; }
done
fail() { echo "FAIL: $*"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$BUILD" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack"; }
deb=$(ls "$out"/*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package made"
root="$out/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
dpkg-deb -c "$deb" >"$out/listing"
awk '{print $6}' "$out/listing" >"$out/files"

# --- Contents
bins="usr/bin/skyloom usr/bin/paperwheel usr/bin/skyloom-idle usr/bin/skyloom-mkset"
for f in $bins \
    usr/share/applications/moonfield-screensaver.desktop \
    usr/share/applications/paperwheel.desktop etc/xdg/autostart/skyloom-idle.desktop \
    usr/share/icons/hicolor/scalable/apps/skyloom.svg usr/share/icons/hicolor/48x48/apps/paperwheel.png \
    etc/pam.d/skyloom usr/share/metainfo/org.skyloom.moonfield.metainfo.xml \
    usr/share/man/man1/skyloom.1.gz usr/share/man/man1/paperwheel.1.gz \
    usr/share/man/man1/skyloom-idle.1.gz usr/share/man/man1/skyloom-mkset.1.gz \
    usr/share/doc/skyloom/copyright usr/share/doc/skyloom/changelog.gz \
    usr/share/xscreensaver/config/skyloom.xml \
    usr/share/skyloom/translations/skyloom_de.qm usr/share/skyloom/translations/skyloom_fr.qm \
    usr/share/skyloom/translations/skyloom_es.qm usr/share/skyloom/translations/skyloom_ja.qm; do
    grep -qx "./$f" "$out/files" || fail "the package lacks /$f"
done
# Manual pages only compressed, and every one renders without warnings.
grep '^\./usr/share/man/.*[^/]$' "$out/files" | grep -v '\.gz$' && fail "uncompressed manual pages"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    gzip -t "$page" || fail "$page is not a gzip file"
    MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$out/man.err" || fail "man -l $page"
    [ -s "$out/man.err" ] && { cat "$out/man.err"; fail "warnings rendering $page"; }
done
# Data files are rw-r--r--, programs rwxr-xr-x.
awk '$6 ~ /^\.\/(usr\/share|etc)\/.*[^\/]$/ && $1 != "-rw-r--r--" {print}' "$out/listing" |
    grep . && fail "data files with modes other than 0644"
for f in $bins; do
    grep -q "^-rwxr-xr-x .* \./$f\$" "$out/listing" || fail "/$f is not mode 0755"
    file -b "$root/$f" | grep -q ', stripped' || fail "/$f is not stripped: $(file -b "$root/$f")"
    readelf -S -W "$root/$f" | grep -q '\.debug_' && fail "/$f still has debugging sections"
done

# --- Control data
depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
for d in libqt6widgets6 qt6-qpa-plugins libqt6svg6 libpam0g libpam-runtime libsodium23 \
    xdg-utils fonts-liberation2; do
    echo "$depends" | grep -qw -- "$d" || fail "the package does not depend on $d ($depends)"
done
for d in mate-backgrounds fonts-noto-cjk; do
    echo "$recommends" | grep -qw -- "$d" || fail "the package does not recommend $d ($recommends)"
done
# The photographs are needed for the first-run set only; nothing runs ImageMagick.
echo "$depends" | grep -q mate-backgrounds && fail "mate-backgrounds is a hard dependency"
echo "$depends $recommends" | grep -qi imagemagick && fail "ImageMagick is still declared"
[ "$(dpkg-deb -f "$deb" Maintainer)" = "Skyloom developers <developers@skyloom.invalid>" ] ||
    fail "maintainer: $(dpkg-deb -f "$deb" Maintainer)"
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 4 ] || fail "no long description"
# Files in /etc are conffiles, so an administrator's edits survive upgrades.
dpkg-deb -I "$deb" conffiles >"$out/conffiles" 2>&1 || fail "no conffiles: $(cat "$out/conffiles")"
for c in /etc/pam.d/skyloom /etc/xdg/autostart/skyloom-idle.desktop; do
    grep -qx "$c" "$out/conffiles" || fail "$c is not a conffile ($(cat "$out/conffiles"))"
done
grep '^\./etc/.*[^/]$' "$out/files" | sed 's/^\.//' | while read -r f; do
    grep -qx "$f" "$out/conffiles" || { echo "FAIL: $f is in /etc but not a conffile"; exit 1; }
done || exit 1
version=$(dpkg-deb -f "$deb" Version)
gzip -dc "$root/usr/share/doc/skyloom/changelog.gz" >"$out/changelog"
[ "$(dpkg-parsechangelog -l "$out/changelog" -S Version)" = "$version" ] ||
    fail "the changelog's latest entry is not version $version"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$root/usr/share/doc/skyloom/copyright" || fail "copyright is not machine-readable"

# --- Debian's checks: no lintian errors (warnings are shown).
lintian --tag-display-limit 0 "$deb" >"$out/lintian" 2>&1
grep '^[WE]: ' "$out/lintian"
grep -q '^E: ' "$out/lintian" && fail "lintian reports errors"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.skyloom.moonfield.metainfo.xml" ||
    fail "appstreamcli validate"
launchable=$(sed -n 's/.*<launchable type="desktop-id">\(.*\)<\/launchable>.*/\1/p' \
    "$root/usr/share/metainfo/org.skyloom.moonfield.metainfo.xml")
[ -f "$root/usr/share/applications/$launchable" ] ||
    fail "the metadata launches '$launchable', which the package does not hold"
for entry in "$root"/usr/share/applications/*.desktop "$root"/etc/xdg/autostart/*.desktop; do
    desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
done
python3 -c "import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])" \
    "$root/usr/share/xscreensaver/config/skyloom.xml" ||
    fail "the display-mode description is not well-formed XML"
grep -q '^Name=Moonfield Screen Saver$' "$root/usr/share/applications/moonfield-screensaver.desktop" ||
    fail "menu entry name"

# --- apt resolves the package here and brings the calendar font.
if ! command -v apt-get >/dev/null 2>&1; then
    echo "note: apt-get not available; installation not simulated"
elif ! apt-get install --simulate -o Debug::NoLocking=1 "$deb" >"$out/apt" 2>&1; then
    if grep -q -i -E 'permission denied|could not open lock|are you root' "$out/apt"; then
        echo "note: apt cannot run here; installation not simulated"
        cat "$out/apt"
    else
        cat "$out/apt"
        fail "apt-get install --simulate does not resolve the package"
    fi
else
    grep -q '^Inst skyloom ' "$out/apt" || { cat "$out/apt"; fail "apt would not install skyloom"; }
    if ! grep -q '^Inst fonts-liberation2 ' "$out/apt" &&
        [ "$(dpkg-query -W -f '${db:Status-Status}' fonts-liberation2 2>/dev/null)" != installed ]; then
        cat "$out/apt"
        fail "apt neither pulls nor finds fonts-liberation2"
    fi
    grep '^Inst ' "$out/apt" | sed 's/^/apt: /'
fi
echo PASS
