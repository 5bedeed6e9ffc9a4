#!/usr/bin/python3
"""Prints the rows of Ditlog's spot list ("DX spots") as a screen reader finds them on the
AT-SPI bus: call and frequency, tab-separated, one row a line, top row first.

Run by the soak run with the session bus and display of the program it drives.
"""
import sys
import time

import pyatspi

TABLE_ROLES = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE}


def find_app(name, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower() == name:
                return app
        time.sleep(0.5)
    return None


def find_table(node, name):
    for child in node:
        if child is None:
            continue
        if child.getRole() in TABLE_ROLES and child.name == name:
            return child
        if child.getRole() not in TABLE_ROLES:
            found = find_table(child, name)
            if found is not None:
                return found
    return None


def main():
    app = find_app("ditlog", 30)
    if app is None:
        print("Ditlog is not on the accessibility bus", file=sys.stderr)
        return 1
    table = None
    for window in app:
        if window is not None:
            table = find_table(window, "DX spots")
            if table is not None:
                break
    if table is None:
        print("no list named \"DX spots\"", file=sys.stderr)
        return 1
    cells = table.queryTable()
    for row in range(cells.nRows):
        call = cells.getAccessibleAt(row, 0)
        frequency = cells.getAccessibleAt(row, 1)
        print("%s\t%s" % (call.name if call else "", frequency.name if frequency else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
