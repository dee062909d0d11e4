#!/usr/bin/python3
"""Prints the accessibility tree of the running program as screen readers see it (AT-SPI).

Run the program with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 inside the same D-Bus session, e.g.
    dbus-run-session -- tools/a11y_session.sh
"""
import sys

import pyatspi


def walk(node, depth, out):
    try:
        role = node.getRoleName()
        name = node.name
        states = node.getState()
        enabled = states.contains(pyatspi.STATE_ENABLED)
        focusable = states.contains(pyatspi.STATE_FOCUSABLE)
    except Exception:  # a node that vanished while walking
        return
    out.append("%s%s '%s'%s%s" % ("  " * depth, role, name, "" if enabled else " [disabled]",
                                  " [focusable]" if focusable else ""))
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1, out)


def main():
    wanted = sys.argv[1] if len(sys.argv) > 1 else "图书租借管理系统"
    desktop = pyatspi.Registry.getDesktop(0)
    lines = []
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and wanted in (app.name or ""):
            walk(app, 0, lines)
    print("\n".join(lines) if lines else "no application named %s on the bus" % wanted)
    return 0 if lines else 1


if __name__ == "__main__":
    sys.exit(main())
