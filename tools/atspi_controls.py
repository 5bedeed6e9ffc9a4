#!/usr/bin/python3
"""Lists the controls of Ditlog's windows as a screen reader finds them on the AT-SPI bus.

Run by tools/check_accessibility.sh, which starts the program with the accessibility bus.
Prints each window with its controls (role and name) and fails when a control has no
name or a window expected on screen is missing.
"""
import sys
import time

import pyatspi

# Roles an operator works with; each needs a name a screen reader can say.
CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_LIST,
    pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_SLIDER,
    pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_MENU,
    pyatspi.ROLE_CHECK_MENU_ITEM,
}
# Their items are the list's content, not controls of their own.
CONTAINER_ROLES = {pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE,
                   pyatspi.ROLE_TREE}


def find_app(name, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name.lower() == name:
                return app
        time.sleep(0.5)
    return None


def walk(node, depth, found):
    for child in node:
        if child is None:
            continue
        role = child.getRole()
        if role in CONTROL_ROLES:
            found.append((child.getRoleName(), child.name, child.description))
        if role not in CONTAINER_ROLES:
            walk(child, depth + 1, found)


def main():
    expected = sys.argv[1:] or ["Ditlog", "Amateur Station I.D."]
    app = find_app("ditlog", 60)
    if app is None:
        print("Ditlog is not on the accessibility bus", file=sys.stderr)
        return 1
    # The windows appear as the start-up goes on.
    deadline = time.time() + 60
    while time.time() < deadline:
        titles = [w.name for w in app]
        if all(any(e in t for t in titles) for e in expected):
            break
        time.sleep(0.5)
    total = unnamed = 0
    seen = []
    for window in app:
        if window is None:
            continue
        found = []
        walk(window, 0, found)
        seen.append(window.name)
        print(f"== {window.getRoleName()} \"{window.name}\": {len(found)} controls")
        for role, name, description in found:
            mark = "" if name.strip() else "   <-- NO NAME"
            extra = f"  ({description})" if description else ""
            print(f"   {role:14} \"{name}\"{extra}{mark}")
            total += 1
            unnamed += 0 if name.strip() else 1
    missing = [e for e in expected if not any(e in t for t in seen)]
    print(f"{total} controls, {unnamed} without a name" +
          (f"; missing windows: {', '.join(missing)}" if missing else ""))
    return 1 if unnamed or missing else 0


if __name__ == "__main__":
    sys.exit(main())
