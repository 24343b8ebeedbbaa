#!/bin/bash
# The image credits dialog and the About page in a real X server, driven
# through the accessibility tree, with screenshots.
#   credits_shots.sh SKYLOOM MKSET SHOTS
# 1. The "Showcase" demo set is made with MKSET; its version-2 picture is the
#    wallpaper picture.
# 2. "skyloom /-ConfigWall", "Image Info...": the credits dialog shows the
#    picture's title and web button, every control is named; typing "c"
#    closes it.
# 3. The About page shows the set's company texts; "Visit Skyloom" opens the
#    set's address through the URL opener.
# Screenshots credits-dialog.png and about-page.png go to SHOTS.
# Exits 77 (skipped) when a tool or the demo photos are missing.
set -u
SKYLOOM=$1
MKSET=$2
SHOTS=$3
here=$(cd "$(dirname "$0")" && pwd)
showcase="$here/../../tools/showcase/make-showcase.sh"

. "$here/lib.sh"
if [ -z "${SKYLOOM_IN_DBUS:-}" ]; then
    need_a11y_tools convert
    [ -f /usr/share/backgrounds/mate/nature/LadyBird.jpg ] || skip "mate-backgrounds not installed"
    run_on_private_bus "$@"
fi
start_a11y_x 1600x1200x24
export SKYLOOM_DISPLAY_DEPTH=24
# Addresses the dialog opens are written down instead of opening a browser.
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$tmp/opened" >"$tmp/opener"
chmod +x "$tmp/opener"
export SKYLOOM_URL_OPENER="$tmp/opener"
mkdir -p "$SHOTS"

prog="$tmp/data/skyloom/program"
mkdir -p "$prog"
"$showcase" "$MKSET" "$prog" >"$tmp/showcase.log" 2>&1 || fail "make-showcase: $(cat "$tmp/showcase.log")"
# The image name of the LadyBird picture (version-2 credits).
name=$(sed -n 's/^\([^=]*\)=\**LadyBird\r*$/\1/p' "$prog/Showcase/images.ini" | head -1)
[ -n "$name" ] || fail "no LadyBird picture in the Showcase set"
printf '[ScreenSaver]\r\nSetup=1\r\n[PrefsWP]\r\nrandom=0\r\nCurrentSet=Showcase\r\nCurrentImage=%s\r\n' \
    "$name" >"$prog/ScreenSaver.ini"

title="Screen Saver Configuration"
"$SKYLOOM" /-ConfigWall 2>>"$log" &
spid=$!
pids="$pids $spid"
wait_window "$title"
dialog=$wid

# The checks through the accessibility tree; buttons are clicked with the
# mouse so that a modal dialog does not hold up the accessibility call.
"$PY" - "$tmp" "$here" <<'PY' || fail "accessibility checks"
import subprocess, sys, time
sys.path.insert(0, sys.argv[2])
import pyatspi
import dialog_a11y as a

tmp = sys.argv[1]

def click(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1"], check=True)

def window(name):
    return a.wait_for("window " + name, lambda: next(
        (w for w in a.application() if w.name == name and w.getRoleName() == "dialog"
         or w.name == name), None))

def names(root):
    roles = {"push button", "text", "combo box", "page tab"}
    missing = [n.getRoleName() for n in pyatspi.findAllDescendants(
        root, lambda n: n.getRoleName() in roles and n.getState().contains(pyatspi.STATE_SHOWING))
        if not n.name and n.getRoleName() != "combo box"]
    if missing:
        a.fail("controls without a name: %s" % missing)

app = a.application()
click(a.find(app, "push button", "Image Info..."))
credits = window("Image Credits")
a.find(credits, "label", "Lady Bird")
a.find(credits, "push button", "Visit Skyloom")
a.find(credits, "push button", "Close")
names(credits)
open(tmp + "/credits-ok", "w").close()
print("ok: the credits dialog shows the LadyBird credits, every control named")
PY
wait_window "Image Credits"
settled_shot "$wid" "$SHOTS/credits-dialog.png"
xdotool windowfocus --sync "$wid" key c
wait_until "credits closed after typing c" "$WHOLE_WAIT" window_gone "Image Credits"
echo "ok: typing c closed the credits"

"$PY" - "$tmp" "$here" <<'PY' || fail "About page checks"
import subprocess, sys
sys.path.insert(0, sys.argv[2])
import pyatspi
import dialog_a11y as a

app = a.application()
tab = a.find(app, "page tab", "About")
box = tab.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                str(box.y + box.height // 2), "click", "1"], check=True)
a.wait_for("the About page", lambda: tab.parent.name == "About", 5)
a.find(app, "label", "Skyloom Demo Pictures")
a.find(app, "label", "Call-back support: +1 555 0199")
a.find(app, "label", "24 Bit Color")
visit = a.find(app, "push button", "Visit Skyloom")
a.press(visit)
print("ok: the About page shows the Showcase company")
PY
url_opened() { [ -s "$tmp/opened" ]; }
wait_until "address handed to the opener" "$WHOLE_WAIT" url_opened
[ "$(cat "$tmp/opened" 2>/dev/null)" = "https://example.org/skyloom" ] ||
    fail "Visit opened '$(cat "$tmp/opened" 2>/dev/null)'"
echo "ok: Visit Skyloom opened https://example.org/skyloom"
settled_shot "$dialog" "$SHOTS/about-page.png"
kill "$spid" 2>/dev/null
wait "$spid" 2>/dev/null
echo "screenshots in $SHOTS"
echo "PASS"
