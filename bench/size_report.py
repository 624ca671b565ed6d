#!/usr/bin/env python3
"""Size report: where the bytes of the launcher stub come from.

Reads the stripped stub (launcher.exe) and the link map that the build writes
beside it (launcher.map), and prints for each Windows build:
- the file's sections with their sizes in the file;
- for each section, the bytes that each origin contributes: our code, the
  C++ runtime (libstdc++), the compiler's runtime (libgcc, libgcc_eh), the
  MinGW C runtime, import stubs of system DLLs, resources, linker-made data;
- the largest archive members and objects;
- the resource section by type, with the number of languages of each.

    python3 bench/size_report.py [BUILD_ROOT] [--top N] [--build win32 --build win64]

BUILD_ROOT defaults to build/ beside this folder; the builds default to
win32 and win64. Build first (scripts/build.sh); the map is written by the
launcher's link.
"""

import argparse
import collections
import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# Origin of an input file named in the map, by the archive or object's name.
ORIGINS = [
    # Link-time optimisation compiles our code again into .ltrans objects.
    (re.compile(r"(^|/)libnvcore\.a\(|(^|/)CMakeFiles/launcher\.dir/|\.ltrans\d*\.ltrans\.o$|ltrans\d*\.o$"), "ours"),
    (re.compile(r"(^|/)libstdc\+\+\.a\(|(^|/)libsupc\+\+\.a\("), "libstdc++"),
    (re.compile(r"(^|/)libgcc(_eh)?\.a\(|(^|/)crt(begin|end)\.o$"), "libgcc"),
    (re.compile(r"(^|/)lib(mingw32|mingwex|msvcrt|moldname|mingwthrd)\.a\(|(^|/)(crt2|dllcrt2|crt1)\.o$"),
     "mingw crt"),
    (re.compile(r"(^|/)lib[a-z0-9_]+\.a\("), "import stubs"),
]
ORDER = ["ours", "libstdc++", "libgcc", "mingw crt", "import stubs", "resources", "linker"]

RESOURCE_TYPES = {1: "cursor", 2: "bitmap", 3: "icon", 4: "menu", 5: "dialog", 6: "string table",
                  9: "accelerators", 10: "rcdata", 12: "cursor group", 14: "icon group",
                  16: "version", 24: "manifest"}


def origin(path):
    if path.endswith(".res") or ".rc.res" in path:
        return "resources"
    for pattern, name in ORIGINS:
        if pattern.search(path):
            return name
    return "linker"


def member(path):
    """A short name: 'libstdc++.a(cp-demangle.o)' or 'libnvcore.a(Log.cpp.obj)'."""
    m = re.search(r"([^/]+\.a)\(([^)]+)\)$", path)
    if m:
        return "%s(%s)" % (m.group(1), re.sub(r"^lib(32|64)_lib[a-z0-9]+_a-", "", m.group(2)))
    return os.path.basename(path)


def parse_map(path):
    """{output section: [(size, input file)]} from a GNU ld map."""
    sections = collections.OrderedDict()
    current = None
    pending = None  # an input section name whose address is on the next line
    in_memory_map = False
    with open(path, errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("Linker script and memory map"):
                in_memory_map = True
                continue
            if not in_memory_map:
                continue
            out = re.match(r"^(\.[\w.$]+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)", line)
            if out:
                current = out.group(1)
                sections.setdefault(current, [])
                pending = None
                continue
            if re.match(r"^\S", line):
                current = None
                continue
            if current is None:
                continue
            fill = re.match(r"^ \*fill\*\s+0x[0-9a-f]+\s+0x([0-9a-f]+)", line)
            if fill:
                sections[current].append((int(fill.group(1), 16), "*fill*"))
                continue
            entry = re.match(r"^ (\S+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(.+)$", line)
            if entry:
                sections[current].append((int(entry.group(2), 16), entry.group(3).strip()))
                pending = None
                continue
            name_only = re.match(r"^ (\.\S+)$", line)
            if name_only:
                pending = name_only.group(1)
                continue
            cont = re.match(r"^\s{16}0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(.+)$", line)
            if cont and pending:
                sections[current].append((int(cont.group(1), 16), cont.group(2).strip()))
                pending = None
    return sections


def pe_sections(path):
    """(file size, [(name, virtual size, size in file)], resource section bytes and RVA)."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    result = []
    rsrc = None
    for i in range(count):
        raw = data[table + 40 * i: table + 40 * (i + 1)]
        name = raw[:8].rstrip(b"\0").decode()
        vsize, rva, rawsize, rawptr = struct.unpack_from("<IIII", raw, 8)
        result.append((name, vsize, rawsize))
        if name == ".rsrc":
            rsrc = (data[rawptr: rawptr + rawsize], rva)
    return len(data), table + 40 * count, result, rsrc


def resource_usage(rsrc):
    """{type name: [bytes, entries, set of languages]} from a resource section."""
    data, rva = rsrc
    usage = collections.OrderedDict()

    def directory(offset):
        named, ids = struct.unpack_from("<HH", data, offset + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, offset + 16 + 8 * i)
            yield name, target

    for type_id, type_target in directory(0):
        kind = RESOURCE_TYPES.get(type_id, "type %d" % type_id) if not type_id & 0x80000000 else "named"
        slot = usage.setdefault(kind, [0, 0, set()])
        for _, name_target in directory(type_target & 0x7FFFFFFF):
            for lang, leaf in directory(name_target & 0x7FFFFFFF):
                data_rva, size = struct.unpack_from("<II", data, leaf)
                slot[0] += size
                slot[1] += 1
                slot[2].add(lang)
    return usage


def report(build_dir, top):
    exe = os.path.join(build_dir, "launcher.exe")
    map_path = os.path.join(build_dir, "launcher.map")
    if not (os.path.isfile(exe) and os.path.isfile(map_path)):
        print("%s: no launcher.exe and launcher.map; build first" % build_dir)
        return
    name = os.path.basename(os.path.normpath(build_dir))
    file_size, headers, sections, rsrc = pe_sections(exe)
    linked = parse_map(map_path)
    print("== %s: %s, %d bytes (%.1f KiB)" % (name, os.path.relpath(exe), file_size, file_size / 1024.0))
    print()

    # Section by origin. The map's output sections are named in full; the
    # file's are cut to 8 characters.
    by_section = collections.OrderedDict()
    members = collections.Counter()
    member_origin = {}
    for section, inputs in linked.items():
        counts = collections.Counter()
        for size, path in inputs:
            o = origin(path) if path != "*fill*" else "linker"
            counts[o] += size
            if path != "*fill*":
                key = member(path)
                members[key] += size
                member_origin[key] = o
        by_section[section[:8]] = counts
    header = "%-10s %9s %9s" % ("section", "in file", "linked") + "".join(" %12s" % o for o in ORDER)
    print(header)
    print("-" * len(header))
    totals = collections.Counter()
    print("%-10s %9d %9s" % ("headers", headers if headers % 512 == 0 else (headers + 511) // 512 * 512, ""))
    for sec_name, vsize, rawsize in sections:
        counts = by_section.get(sec_name, collections.Counter())
        if sec_name == ".reloc" and not counts:
            counts = collections.Counter({"linker": vsize})
        totals.update(counts)
        print("%-10s %9d %9d" % (sec_name, rawsize, sum(counts.values()))
              + "".join(" %12s" % (counts[o] or "") for o in ORDER))
    print("%-10s %9d %9d" % ("total", file_size, sum(totals.values()))
          + "".join(" %12d" % totals[o] for o in ORDER))
    print()
    print("(in file: the section's size in the stub, rounded up to 512 bytes; linked: the bytes the")
    print(" map gives it, before rounding; .bss takes no file space; .reloc is made by the linker)")
    print()

    print("largest contributors (all sections):")
    for key, size in members.most_common(top):
        print("  %9d  %-13s %s" % (size, member_origin[key], key))
    print()

    if rsrc:
        print("resources by type:")
        for kind, (size, entries, langs) in resource_usage(rsrc).items():
            print("  %9d  %-14s %3d entries, %2d languages" % (size, kind, entries, len(langs)))
        print()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_root", nargs="?", default=os.path.join(HERE, "..", "build"))
    parser.add_argument("--build", action="append", help="build folder name (default: win32 and win64)")
    parser.add_argument("--top", type=int, default=25, help="number of largest contributors to list")
    args = parser.parse_args()
    for name in args.build or ["win32", "win64"]:
        report(os.path.join(args.build_root, name), args.top)
    return 0


if __name__ == "__main__":
    sys.exit(main())
