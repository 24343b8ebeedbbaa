#!/usr/bin/python3
"""Drives the Edit Sets page of the running dialog through the accessibility tree.

Usage: editsets_a11y.py CHECK
  exclude-image   open "Edit Sets", select the first picture of "Included
                  Images", press "Exclude Image", then Apply
  exclude-set     on the "Image Sets" tab select the first entry of
                  "Included Sets", press "Exclude Set"; prints its name and
                  checks that no other page's set list still offers it
  show-sets       open "Edit Sets" and its "Image Sets" tab (for a screenshot)
Prints "moved: NAME" for a moved entry. Exits 0 on success, 1 otherwise.
"""
import subprocess
import sys
import time

import pyatspi

from dialog_a11y import application, fail, find, labelled, press, wait_for

ABOUT_TIP = "Click here to get information about a particular image set."


def click(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1"], check=True)


def select_tab(app, name):
    tab = find(app, "page tab", name)
    tabs = tab.parent
    if tabs.name != name:
        action = tab.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if names:
            action.doAction(0)
        else:
            click(tab)
    wait_for("tab %s" % name, lambda: tabs.name == name, 5)


def items(node):
    return [c.name for c in pyatspi.findAllDescendants(node, lambda n: n.getRoleName() == "list item")]


def select_first(lst):
    names = items(lst)
    if not names:
        fail("the list %r is empty" % lst.name)
    item = pyatspi.findDescendant(lst, lambda n: n.getRoleName() == "list item")
    if not item.getState().contains(pyatspi.STATE_SELECTED):
        # Qt offers no selection interface on its lists: click the entry
        # where the tree says it is.
        click(item)
    wait_for("%r to be selected" % names[0],
             lambda: item.getState().contains(pyatspi.STATE_SELECTED), 5)
    return names[0]


def enabled(node):
    return node.getState().contains(pyatspi.STATE_ENABLED)


def main():
    app = application()
    check = sys.argv[1]
    select_tab(app, "Edit Sets")
    if check == "exclude-image":
        select_tab(app, "Images")
        included = labelled(app, "list", "Included Images")
        name = select_first(included)
        button = find(app, "push button", "Exclude Image")
        wait_for("Exclude Image to be enabled", lambda: enabled(button), 5)
        press(button)
        excluded = labelled(app, "list", "Excluded Images")
        wait_for("%r among the excluded images" % name, lambda: name in items(excluded), 5)
        apply = find(app, "push button", "Apply")
        wait_for("Apply to be enabled", lambda: enabled(apply), 5)
        press(apply)
        wait_for("Apply to be done", lambda: not enabled(apply), 10)
        print("moved: " + name)
    elif check == "exclude-set":
        select_tab(app, "Image Sets")
        included = labelled(app, "list", "Included Sets")
        name = select_first(included)
        button = find(app, "push button", "Exclude Set")
        wait_for("Exclude Set to be enabled", lambda: enabled(button), 5)
        press(button)
        excluded = labelled(app, "list", "Excluded Sets")
        wait_for("%r among the excluded sets" % name, lambda: name in items(excluded), 5)
        set_lists = 0
        for combo in pyatspi.findAllDescendants(app, lambda n: n.getRoleName() == "combo box"):
            entries = items(combo)
            if combo.description == ABOUT_TIP:
                continue  # the About page lists the sets of the dialog's start
            if name in entries:
                fail("%r is still offered by the list %r (%s)" % (name, combo.name, entries))
            if any(e for e in entries if e in items(included)):
                set_lists += 1
        if set_lists < 3:
            fail("only %d set lists found" % set_lists)
        print("moved: " + name)
    elif check == "show-sets":
        select_tab(app, "Image Sets")
        select_first(labelled(app, "list", "Included Sets"))
    else:
        fail("unknown check " + check)
    print("ok: " + check)


if __name__ == "__main__":
    main()
