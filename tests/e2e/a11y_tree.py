# SPDX-License-Identifier: MIT
"""Prints what a screen reader sees of vexalo-config through AT-SPI: one line per object,
its role, its name in quotes, its states checked and focused where they hold, and the
names of what labels it (AT-SPI's labelled-by relation) after "by"; with
--extents, its place on the screen as x,y,width,height instead of its states. Fails when
the program is on the bus more than once."""
import sys
import time

import pyatspi


def find_app(deadline):
    while time.time() < deadline:
        apps = [app for app in pyatspi.Registry.getDesktop(0)
                if app is not None and app.name.lower() == "vexalo-config"]
        if len(apps) > 1:
            sys.exit("vexalo-config is on the accessibility bus %d times" % len(apps))
        if apps:
            return apps[0]
        time.sleep(0.05)
    return None


def role_name(node):
    """The role's name as AT-SPI 2.46 gives it: later versions call a push button "button"."""
    return "push button" if node.getRole() == pyatspi.ROLE_PUSH_BUTTON else node.getRoleName()


def walk(node, depth, out):
    states = node.getState()
    marks = [name for state, name in ((pyatspi.STATE_CHECKED, "checked"),
                                      (pyatspi.STATE_FOCUSED, "focused"))
             if states.contains(state)]
    marks += ["by " + repr(target.name) for relation in node.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
    if EXTENTS:
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        marks = ["%d,%d,%d,%d" % (box.x, box.y, box.width, box.height)]
    out.append("  " * depth + " ".join([role_name(node), repr(node.name)] + marks))
    for child in node:
        walk(child, depth + 1, out)


EXTENTS = "--extents" in sys.argv[1:]
app = find_app(time.time() + 20)
if app is None:
    sys.exit("vexalo-config did not appear on the accessibility bus")
lines = []
for window in app:
    walk(window, 0, lines)
print("\n".join(lines))
