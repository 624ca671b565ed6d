#!/usr/bin/env python3
"""Checks that includes between the folders of src/ run downward.

Each folder has a rank; a file may include headers of its own folder and of
folders ranked below it, never above. foundation and system are the bottom,
launcher the top. tools/ may use anything but the launcher itself.
Prints each offending include and exits 1 when there is one.
"""

import os
import re
import sys

# Lowest first. A new folder gets its place here.
RANKS = ["foundation", "system", "tagfile", "cleanup", "launch", "jvm", "instructions", "archive", "launcher"]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^/"]+)/')


def offences(root):
    rank = {name: i for i, name in enumerate(RANKS)}
    found = []
    for base, limit in (("src", None), ("tools", rank["launcher"] - 1)):
        for folder, _, files in os.walk(os.path.join(root, base)):
            relative = os.path.relpath(folder, os.path.join(root, base)).split(os.sep)
            own = relative[0]
            if own == ".":
                continue
            if base == "src" and own not in rank:
                found.append("%s: folder has no rank in scripts/check_includes.py" % folder)
                continue
            allowed = rank[own] if limit is None else limit
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(folder, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if m and m.group(1) in rank and rank[m.group(1)] > allowed:
                            found.append("%s:%d: includes %s/ from above" %
                                         (os.path.relpath(path, root), number, m.group(1)))
    return found


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    found = offences(root)
    for line in found:
        print(line)
    print("include direction: %s" % ("ok" if not found else "%d offending includes" % len(found)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
