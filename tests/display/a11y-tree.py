#!/usr/bin/env python3
# Prints the showing accessible objects of the program named on the command
# line, one per line: role, name, description and screen extents, tab-separated.
# Given a role, a name and a number of seconds as well, it first waits until
# such an object shows, reading the tree again after the program's
# accessibility events, and prints the tree it was found in (or the last one).
import sys

import pyatspi
from gi.repository import GLib

EVENTS = ("object:children-changed", "object:state-changed:showing", "object:property-change:accessible-name",
          "window:create", "window:activate")


def walk(obj, out):
    for child in obj:
        if child is None:
            continue
        if child.getState().contains(pyatspi.STATE_SHOWING):
            ext = child.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            out.append("%s\t%s\t%s\t%d,%d,%d,%d" % (child.getRoleName(), child.name, child.description,
                                                    ext.x, ext.y, ext.width, ext.height))
            walk(child, out)


def read_tree(program):
    lines = []
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and program.lower() in (app.name or "").lower():
            walk(app, lines)
    return lines


def has(lines, role, name):
    return any(line.split("\t")[:2] == [role, name] for line in lines)


def wait_for(program, role, name, seconds):
    state = {"lines": [], "pending": False}

    def check():
        state["pending"] = False
        state["lines"] = read_tree(program)
        if has(state["lines"], role, name):
            pyatspi.Registry.stop()
        return False

    def on_event(_event):
        # A burst of events costs one read.
        if not state["pending"]:
            state["pending"] = True
            GLib.idle_add(check)

    pyatspi.Registry.registerEventListener(on_event, *EVENTS)
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop() and False)
    # Read once listening: what showed before the first event counts too.
    check()
    if not has(state["lines"], role, name):
        pyatspi.Registry.start()
    return state["lines"]


def main():
    if len(sys.argv) == 5:
        lines = wait_for(sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4]))
    else:
        lines = read_tree(sys.argv[1])
    print("\n".join(lines))


main()
