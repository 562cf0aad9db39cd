#!/usr/bin/env python3
# Prints the showing accessible objects of the program named on the command
# line, one per line: role, name, description and screen extents, tab-separated.
import sys

import pyatspi


def walk(obj, out):
    for child in obj:
        if child is None:
            continue
        if child.getState().contains(pyatspi.STATE_SHOWING):
            ext = child.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            out.append("%s\t%s\t%s\t%d,%d,%d,%d" % (child.getRoleName(), child.name, child.description,
                                                    ext.x, ext.y, ext.width, ext.height))
            walk(child, out)


def main():
    lines = []
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and sys.argv[1].lower() in (app.name or "").lower():
            walk(app, lines)
    print("\n".join(lines))


main()
