#!/usr/bin/python3
"""What the soak run does through the accessibility bus, as a screen reader would.

screen_reader.py [--show-list]   prints the rows of the spot list ("DX spots"): call and
                                 frequency, tab-separated, one row a line, top row first
screen_reader.py --open-edit     clicks the newest contact of "Recent contacts" and presses
                                 "Edit Contact"

Run by the soak run with the session bus and display of the program it drives. With
--show-list it first chooses "List" in the open spotting window and presses "Done", as the
operator switches the strip under the entry row from the band map to the list.
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


def find_named(node, role, name):
    for child in node:
        if child is None:
            continue
        if child.getRole() == role and child.name == name:
            return child
        found = find_named(child, role, name)
        if found is not None:
            return found
    return None


def press(node):
    node.queryAction().doAction(0)


def show_list(app):
    """Chooses "List" and presses "Done" in the window that offers both."""
    for window in app:
        if window is None:
            continue
        choice = find_named(window, pyatspi.ROLE_RADIO_BUTTON, "List")
        done = find_named(window, pyatspi.ROLE_PUSH_BUTTON, "Done")
        if choice is not None and done is not None:
            press(choice)
            time.sleep(0.5)
            press(done)
            time.sleep(2)  # the list shown and laid out
            return True
    return False


def open_edit(app):
    """Clicks the top row of the recent contacts (the newest) and presses "Edit Contact"."""
    for window in app:
        if window is None:
            continue
        table = find_table(window, "Recent contacts")
        if table is None:
            continue
        cell = table.queryTable().getAccessibleAt(0, 1)
        if cell is None:
            break
        x, y, width, height = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + width // 2, y + height // 2, pyatspi.MOUSE_B1C)
        deadline = time.time() + 5
        while time.time() < deadline:
            button = find_named(window, pyatspi.ROLE_PUSH_BUTTON, "Edit Contact")
            if button is not None and button.getState().contains(pyatspi.STATE_SHOWING):
                press(button)
                return True
            time.sleep(0.2)
        break
    return False


def main():
    app = find_app("ditlog", 30)
    if app is None:
        print("Ditlog is not on the accessibility bus", file=sys.stderr)
        return 1
    if "--open-edit" in sys.argv[1:]:
        if open_edit(app):
            return 0
        print("the newest contact could not be opened for editing", file=sys.stderr)
        return 1
    if "--show-list" in sys.argv[1:] and not show_list(app):
        print("no window offers \"List\" and \"Done\"", file=sys.stderr)
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
