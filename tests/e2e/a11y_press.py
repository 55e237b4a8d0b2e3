# SPDX-License-Identifier: MIT
"""Presses vexalo-config's push button named ARGV[1] through AT-SPI, as a screen reader's
user does, or with ARGV[2] "focus" only gives it the keyboard focus. Exits non-zero when the
button is not (yet) there."""
import sys

import pyatspi


def find(node, role, name):
    if node.getRole() == role and node.name == name:
        return node
    for child in node:
        found = find(child, role, name)
        if found is not None:
            return found
    return None


for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name.lower() == "vexalo-config":
        button = find(app, pyatspi.ROLE_PUSH_BUTTON, sys.argv[1])
        if button is not None:
            if sys.argv[2:] == ["focus"]:
                sys.exit(0 if button.queryComponent().grabFocus() else 1)
            button.queryAction().doAction(0)
            sys.exit(0)
sys.exit(1)
