#!/usr/bin/python3
"""Drives the running configuration dialog through the accessibility tree.

Usage: dialog_a11y.py CHECK [ARGS]
  names                 every control has a name (its own or its label's)
  page NAME             the selected page tab is NAME
  change SECONDS ITEM   switch the saver on, set "Time between images", pick
                        ITEM in "Transition effects:" and press Apply
  cancel SECONDS        set "Time between images" and press Cancel
  keys                  keyboard alone: Alt+M picks Minutes, Ctrl+Tab the next
                        tab, Esc cancels
Exits 0 on success, 1 with a message otherwise.
"""
import subprocess
import sys
import time

import pyatspi

CONTROL_ROLES = {"push button", "check box", "radio button", "spin button", "slider",
                 "combo box", "list", "page tab"}


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(what, probe, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def application():
    def probe():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "skyloom" and app.childCount > 0:
                return app
        return None
    return wait_for("the skyloom application", probe)


def find(root, role, name):
    node = pyatspi.findDescendant(root, lambda n: n.getRoleName() == role and n.name == name)
    if node is None:
        fail("no %s named %r" % (role, name))
    return node


def labelled(root, role, label):
    """The control of `role` that the label with text `label` stands for."""
    caption = find(root, "label", label)
    for relation in caption.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR:
            for i in range(relation.getNTargets()):
                target = relation.getTarget(i)
                if target.getRoleName() == role:
                    return target
    fail("label %r stands for no %s" % (label, role))


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "Toggle", "Click"):
            action.doAction(i)
            return
    fail("%s %r cannot be pressed" % (node.getRoleName(), node.name))


def choose(combo, item):
    """Opens the drop-down list with the mouse and walks to `item` with the keys."""
    texts = [c.name for c in pyatspi.findAllDescendants(combo, lambda n: n.getRoleName() == "list item")]
    if item not in texts:
        fail("%r is not in the list %s" % (item, texts))
    steps = texts.index(item) - texts.index(combo.name)
    box = combo.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    before = visible_windows()
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1"], check=True)
    wait_for("the drop-down list to open", lambda: len(visible_windows() - before) > 0, 20)
    keys = ["Down"] * steps if steps > 0 else ["Up"] * -steps
    subprocess.run(["xdotool", "key"] + keys + ["Return"], check=True)
    wait_for("%r to be chosen" % item, lambda: combo.name == item, 5)


def visible_windows():
    """The program's windows on screen now (a drop-down list is one of its own)."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "skyloom"],
                           capture_output=True, text=True).stdout.split()
    return set(found)


def set_value(spin, value):
    spin.queryValue().currentValue = float(value)
    wait_for("the value %s" % value, lambda: spin.queryValue().currentValue == float(value), 5)


def has_caption(node):
    """A label stands for the control, or the frame it sits alone in does.

    Qt relates every control to its enclosing frame too, so a frame counts
    only when it holds no label of its own."""
    for relation in node.getRelationSet():
        if relation.getRelationType() != pyatspi.RELATION_LABELLED_BY:
            continue
        for i in range(relation.getNTargets()):
            target = relation.getTarget(i)
            if target.getRoleName() == "label":
                return True
            if target.getRoleName() == "panel" and target.name and not any(
                    c.getRoleName() == "label" for c in target):
                return True
    return False


def check_names(app):
    missing = []
    controls = pyatspi.findAllDescendants(app, lambda n: n.getRoleName() in CONTROL_ROLES)
    if len(controls) < 40:
        fail("only %d controls in the accessibility tree" % len(controls))
    for node in controls:
        if node.name:
            # A combo box shows its current entry as its name; its label is
            # the relation checked below.
            if node.getRoleName() != "combo box":
                continue
        if node.getRoleName() == "list" and node.parent.getRoleName() == "combo box":
            continue  # the drop-down part of a combo box
        if not has_caption(node):
            missing.append("%s %r" % (node.getRoleName(), node.name))
    if missing:
        fail("controls without a name: " + ", ".join(missing))
    print("%d controls, all named" % len(controls))


def main():
    app = application()
    check = sys.argv[1]
    if check == "names":
        check_names(app)
    elif check == "page":
        # Qt names a tab list after its current tab (and marks no tab selected).
        tab = find(app, "page tab", sys.argv[2])
        wait_for("page %s" % sys.argv[2], lambda: tab.parent.name == sys.argv[2], 5)
    elif check == "change":
        press(find(find(app, "panel", "Screen Saver"), "radio button", "On"))
        set_value(find(app, "spin button", "Time between images"), sys.argv[2])
        choose(labelled(app, "combo box", "Transition effects:"), sys.argv[3])
        apply = find(app, "push button", "Apply")
        if not apply.getState().contains(pyatspi.STATE_ENABLED):
            fail("Apply is not enabled after the changes")
        press(apply)
        wait_for("Apply to be disabled",
                 lambda: not apply.getState().contains(pyatspi.STATE_ENABLED), 5)
    elif check == "cancel":
        set_value(find(app, "spin button", "Time between images"), sys.argv[2])
        press(find(app, "push button", "Cancel"))
    elif check == "keys":
        window = subprocess.run(["xdotool", "search", "--name", "^%s$" % app[0].name],
                                capture_output=True, text=True).stdout.split()
        if not window:
            fail("no window named %r" % app[0].name)
        subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], check=True)
        minutes = find(app, "radio button", "Minutes")
        subprocess.run(["xdotool", "key", "alt+m"], check=True)
        wait_for("Alt+M to pick Minutes",
                 lambda: minutes.getState().contains(pyatspi.STATE_CHECKED), 5)
        inner = find(app, "page tab", "PanaMotion").parent
        subprocess.run(["xdotool", "key", "ctrl+Tab"], check=True)
        wait_for("Ctrl+Tab to open Calendar", lambda: inner.name == "Calendar", 5)
        subprocess.run(["xdotool", "key", "Escape"], check=True)
    else:
        fail("unknown check " + check)
    print("ok: " + " ".join(sys.argv[1:]))


if __name__ == "__main__":
    main()
