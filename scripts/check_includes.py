#!/usr/bin/env python3
"""Checks that each folder includes only from the folders its list allows.

Every folder of the code has a list of what it may use, as Chromium's DEPS
files give: the launcher's folders in src/ (each with its win32/ and host/
halves), resources/, and the tools (tools/nvpack, tools/jvmarchive, and
tools/jvmarchive/packer and win32/, which include the shared format by its
bare name). A folder may always include its own headers. An entry
"folder/Header.h" allows that one header and nothing else of its folder:
archive/EntryType.h is how the folders below the archive name the entry types.

The lists are the real dependency graph, as tight as the code: instructions
works behind the CommandWork seam and reaches neither launch nor jvm, cleanup
needs no text scanning. A new dependency is a decision made in this file.

Also checked: the lists have no cycle, and a source that CMakeLists.txt links
into a program from outside the program's folder (the stub runtime that
launcher.exe and JvmUnpacker.exe share) comes from a folder the program may
use.

Prints each offence and exits 1 when there is one; an entry that no include
uses any more is noted, to be dropped, but passes.
"""

import os
import re
import sys

# What each folder may include besides its own headers.
ALLOWED = {
    "resources": set(),
    "foundation": {"resources"},
    "system": {"foundation"},
    "text": {"foundation"},
    "tagfile": {"foundation", "text"},
    # The launcher's own copy is removed from its folder: the one rule for a
    # path's directory.
    "cleanup": {"foundation", "system", "text/PathText.h"},
    "archive": {"foundation", "cleanup", "text"},
    "instructions": {"foundation", "text", "tagfile", "archive/EntryType.h"},
    "launch": {"foundation", "system", "cleanup", "text", "tagfile", "archive/EntryType.h"},
    "jvm": {"foundation", "system", "cleanup", "text", "tagfile", "launch", "resources", "archive/EntryType.h"},
    "launcher": {"foundation", "system", "text", "tagfile", "cleanup", "archive", "instructions", "launch", "jvm",
                 "resources"},
    "tools/common": set(),
    # nvpack refuses a Java version the launcher could not compare, and a
    # platform hint's hive the launcher would not know.
    "tools/nvpack": {"foundation", "text", "tagfile", "archive", "instructions", "launch", "resources", "tools/common",
                     "jvm/JavaVersion.h", "jvm/PlatformHint.h"},
    "tools/jvmarchive": {"foundation"},
    # nvjvm names the stub version it was built with.
    "tools/jvmarchive/packer": {"foundation", "text", "tools/jvmarchive", "tools/common", "resources/Version.h"},
    "tools/jvmarchive/win32": {"foundation", "tools/jvmarchive"},
}

# The folder of each program or library that CMakeLists.txt links from named sources.
PROGRAM_FOLDERS = {
    "launcher": "launcher",
    "nvpacklib": "tools/nvpack",
    "nvpack": "tools/nvpack",
    "JvmUnpacker": "tools/jvmarchive/win32",
    "jvmarchivelib": "tools/jvmarchive/packer",
    "nvjvm": "tools/jvmarchive/packer",
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
CMAKE_CALL = re.compile(r'\b(set|add_executable|add_library)\s*\(([^)]*)\)', re.S)


def folder_of(path):
    """The graph's folder of a file given relative to the root, else None."""
    parts = path.replace(os.sep, "/").split("/")
    if parts[0] == "src" and len(parts) > 2:
        return parts[1]  # with its win32/ and host/ halves
    if parts[0] == "resources":
        return "resources"
    if parts[0] == "tools" and len(parts) > 2:
        return "/".join(parts[:-1])  # each folder of a tool is a program or part of one
    return None


def folder_path(root, folder):
    return os.path.join(root, folder if folder.startswith("tools/") or folder == "resources" else "src/" + folder)


def permits(allowed, own, target, header):
    """True when `own` may include `header`, which lies in folder `target`."""
    return target == own or target in allowed.get(own, ()) or header in allowed.get(own, ())


def resolve(root, including, header, allowed):
    """The folder and the name the include reads as, or (None, header) when
    no folder of the graph holds it."""
    first = header.split("/")[0]
    if "/" in header and (first == "resources" or os.path.isdir(os.path.join(root, "src", first))):
        return first, header
    # A tool's folder named from the root: "tools/common/PackError.h".
    if first == "tools" and os.path.exists(os.path.join(root, header)):
        return os.path.dirname(header), header
    # A bare name: the including file's own folder first, then the folders
    # that a build puts on the include path.
    if os.path.exists(os.path.join(os.path.dirname(os.path.join(root, including)), header)):
        return folder_of(including), header
    own = folder_of(including)
    holders = [folder for folder in sorted(allowed) if os.path.exists(os.path.join(folder_path(root, folder), header))]
    holders.sort(key=lambda folder: not permits(allowed, own, folder, folder + "/" + header))
    return (holders[0], holders[0] + "/" + header) if holders else (None, header)


def source_files(root):
    for base in ("src", "resources", "tools"):
        for directory, folders, names in os.walk(os.path.join(root, base)):
            folders.sort()
            for name in sorted(names):
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(directory, name), root)


def include_offences(root, allowed, used):
    found = []
    unlisted = set()
    for path in source_files(root):
        own = folder_of(path)
        if own not in allowed:
            if own not in unlisted:
                unlisted.add(own)
                found.append("%s: folder %s has no list of what it may include in scripts/check_includes.py"
                             % (os.path.dirname(path), own))
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                target, header = resolve(root, path, m.group(1), allowed)
                if target is None:
                    found.append("%s:%d: includes \"%s\", which no folder of the graph holds"
                                 % (path, number, m.group(1)))
                elif permits(allowed, own, target, header):
                    used.add((own, header if header in allowed[own] else target))
                else:
                    found.append("%s:%d: includes %s, but %s may include only from %s"
                                 % (path, number, header, own, ", ".join(sorted(allowed[own])) or "itself"))
    return found


def link_offences(root, allowed, programs, used):
    """Sources that CMakeLists.txt names for a program outside what it may use."""
    path = os.path.join(root, "CMakeLists.txt")
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        text = re.sub(r"#[^\n]*", "", f.read())
    variables = {}
    found = []
    for call, body in CMAKE_CALL.findall(text):
        words = body.split()
        if not words:
            continue
        name, values = words[0], []
        for word in words[1:]:
            values.extend(variables.get(word[2:-1], []) if word.startswith("${") else [word])
        if call == "set":
            variables[name] = values
            continue
        own = programs.get(name)
        if own is None:
            continue
        for source in values:
            target = folder_of(source) if "/" in source else None
            if target is None:
                continue
            if permits(allowed, own, target, source):
                used.add((own, target))
            else:
                found.append("CMakeLists.txt: %s links %s from %s, but %s may use only %s"
                             % (name, source, target, own, ", ".join(sorted(allowed[own])) or "itself"))
    return found


def cycles(allowed):
    """Each folder that can reach itself through the lists."""
    def edges(folder):
        return {entry.split("/")[0] if "/" in entry and not entry.startswith("tools/") else entry
                for entry in allowed.get(folder, ())} - {folder}

    found = []
    for start in sorted(allowed):
        seen, stack = set(), list(edges(start))
        while stack:
            folder = stack.pop()
            if folder == start:
                found.append("scripts/check_includes.py: %s can reach itself through the lists" % start)
                break
            if folder not in seen:
                seen.add(folder)
                stack.extend(edges(folder))
    return found


def check(root, allowed=ALLOWED, programs=PROGRAM_FOLDERS):
    """The offences and the notes of the tree at root."""
    used = set()
    found = cycles(allowed) + include_offences(root, allowed, used) + link_offences(root, allowed, programs, used)
    notes = ["note: %s may use %s but no longer does; drop it from its list" % (folder, entry)
             for folder in sorted(allowed) for entry in sorted(allowed[folder])
             if (folder, entry) not in used and os.path.isdir(folder_path(root, folder))]
    return found, notes


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    found, notes = check(root)
    for line in found + notes:
        print(line)
    print("include lists: %s" % ("ok" if not found else "%d offences" % len(found)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
