#!/usr/bin/env python3
"""Prints the tree of accessible objects of a running application as a screen reader sees it
through AT-SPI: role, name and the states that matter (checkable, checked, focused, showing).

    atspi-dump.py [application-name]      (default: mozhou)
"""
import sys

import pyatspi


def states(obj):
    wanted = {
        pyatspi.STATE_CHECKABLE: "checkable",
        pyatspi.STATE_CHECKED: "checked",
        pyatspi.STATE_FOCUSED: "focused",
        pyatspi.STATE_SHOWING: "showing",
    }
    s = obj.getState()
    return [label for state, label in wanted.items() if s.contains(state)]


def dump(obj, depth, limit):
    if obj is None or depth > limit:
        return
    print("%s%s \"%s\" %s" % ("  " * depth, obj.getRoleName(), obj.name, " ".join(states(obj))))
    # A headline list may hold thousands of rows: its first few cells tell enough.
    count = obj.childCount
    shown = count if obj.getRole() not in (pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE) else min(count, 8)
    for i in range(shown):
        dump(obj.getChildAtIndex(i), depth + 1, limit)
    if shown < count:
        print("%s... %d more" % ("  " * (depth + 1), count - shown))


def main():
    name = sys.argv[1] if len(sys.argv) > 1 else "mozhou"
    desktop = pyatspi.Registry.getDesktop(0)
    apps = [a for a in desktop if a is not None and a.name == name]
    if not apps:
        print("no application named %s on the accessibility bus" % name, file=sys.stderr)
        return 1
    dump(apps[0], 0, 6)
    return 0


if __name__ == "__main__":
    sys.exit(main())
