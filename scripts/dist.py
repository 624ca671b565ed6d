#!/usr/bin/env python3
"""Writes the release bundle norvane-<version>.zip from finished builds (scripts/dist.sh
builds first, then calls this).

Usage: dist.py [--build DIR] [--out DIR]    (defaults: build/ and dist/ of this checkout)

The zip holds one folder, norvane-<version>/: both stubs with their JvmUnpacker.exe and the
Windows tools (win32/, win64/), the Linux tools (linux/), verify.jar, the guide with the
pictures it shows (docs/), its examples (examples/) and SHA256SUMS, which `sha256sum -c`
accepts inside that folder. The same inputs give the same bytes: entries in a fixed order,
the time of SOURCE_DATE_EPOCH (else of the last commit) on every entry, permissions 0755 for
programs and 0644 for the rest, and nothing of the paths the files came from.
"""

import argparse
import hashlib
import os
import re
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The launcher's one version: the stub's version information, -nv:version and the tools take it from here.
VERSION_SOURCE = os.path.join(ROOT, "resources", "Version.h")


class DistError(Exception):
    pass


def version():
    with open(VERSION_SOURCE, encoding="utf-8") as f:
        match = re.search(r'^#define NV_VERSION_TEXT "([0-9][0-9.]*)"', f.read(), re.M)
    if not match:
        raise DistError("no NV_VERSION_TEXT in %s" % os.path.relpath(VERSION_SOURCE, ROOT))
    return match.group(1)


def timestamp():
    """Seconds since 1970 for every entry: SOURCE_DATE_EPOCH, else the last commit's time."""
    given = os.environ.get("SOURCE_DATE_EPOCH")
    if given:
        if not given.isdigit():
            raise DistError("SOURCE_DATE_EPOCH is not a number of seconds: %r" % given)
        return int(given)
    try:
        out = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], capture_output=True, check=True)
        return int(out.stdout.decode().strip())
    except (OSError, ValueError, subprocess.CalledProcessError):
        raise DistError("no SOURCE_DATE_EPOCH and no commit to take the time from")


def guide_pictures(guide):
    """The pictures the guide links, as paths relative to its folder."""
    with open(guide, encoding="utf-8") as f:
        links = re.findall(r"\]\(([^)#:\s]+\.png)\)", f.read())
    return sorted(set(links))


def tree(directory):
    """Every file below directory, relative to it with '/', skipping what Python or editors leave."""
    found = []
    for root, dirs, files in os.walk(directory):
        dirs[:] = [d for d in dirs if not d.startswith(".") and d != "__pycache__"]
        rel = os.path.relpath(root, directory)
        for name in files:
            if not name.startswith(".") and not name.endswith(".pyc"):
                found.append(name if rel == "." else rel.replace(os.sep, "/") + "/" + name)
    return found


def contents(build):
    """{path in the bundle: source file}; raises DistError naming what the build lacks."""
    files = {}
    missing = []

    def add(name, source, required=True):
        if os.path.isfile(source):
            files[name] = source
        elif required:
            missing.append(os.path.relpath(source))

    for bits in ("win32", "win64"):
        for program in ("launcher.exe", "JvmUnpacker.exe", "nvpack.exe"):
            add(bits + "/" + program, os.path.join(build, bits, program))
        # Windows builds from the time before nvjvm.exe lack it.
        add(bits + "/nvjvm.exe", os.path.join(build, bits, "nvjvm.exe"), required=False)
    for program in ("nvpack", "nvjvm"):
        add("linux/" + program, os.path.join(build, "host", program))
    add("verify.jar", os.path.join(build, "host", "verify.jar"))

    docs = os.path.join(ROOT, "docs")
    add("docs/guide.md", os.path.join(docs, "guide.md"))
    for picture in guide_pictures(os.path.join(docs, "guide.md")):
        add("docs/" + picture, os.path.join(docs, picture))
    for name in tree(os.path.join(ROOT, "examples")):
        add("examples/" + name, os.path.join(ROOT, "examples", name))
    if missing:
        raise DistError("missing from the build or the checkout: " + ", ".join(missing))
    return files


def entry(name, when, mode):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(max(when, 315532800))[:6])  # zip times start in 1980
    info.create_system = 3  # Unix, so that unzip applies the permissions
    info.external_attr = (0o100000 | mode) << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def write_bundle(build, out):
    name = "norvane-" + version()
    files = contents(build)
    when = timestamp()
    data = {}
    for path, source in files.items():
        with open(source, "rb") as f:
            data[path] = f.read()
    sums = "".join("%s  %s\n" % (hashlib.sha256(data[path]).hexdigest(), path) for path in sorted(data))
    data["SHA256SUMS"] = sums.encode()

    os.makedirs(out, exist_ok=True)
    target = os.path.join(out, name + ".zip")
    partial = target + ".part"
    with zipfile.ZipFile(partial, "w") as bundle:
        for path in sorted(data):
            source = files.get(path)
            executable = source is not None and os.access(source, os.X_OK)
            bundle.writestr(entry(name + "/" + path, when, 0o755 if executable else 0o644), data[path],
                            compresslevel=9)
    os.replace(partial, target)
    return target


def main():
    parser = argparse.ArgumentParser(description="Writes the release bundle norvane-<version>.zip.")
    parser.add_argument("--build", default=os.path.join(ROOT, "build"), help="the build root (host, win32, win64)")
    parser.add_argument("--out", default=os.path.join(ROOT, "dist"), help="where the zip goes")
    options = parser.parse_args()
    try:
        print(write_bundle(options.build, options.out))
    except DistError as error:
        print("dist: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
