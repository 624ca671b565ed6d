#!/usr/bin/env bash
# Checks that the Windows programs are reproducible: builds them twice, from
# two copies of this checkout in two fresh folders of different names and
# depths (with build folders of different names), and compares every shipped
# program byte for byte. Prints each program that differs and exits 1 when
# one does (keeping both copies of each in build/repro-diff/); removes its
# temporary folders in any case.
#
#   scripts/check_reproducible.sh [win32|win64|all] [TARGET...]
#
# TARGETs default to every shipped program: launcher JvmUnpacker nvpack nvjvm.
# The copies hold the files of the working tree that git tracks or would
# (committed or not; without git, the tree without build/). NV_JOBS sets the
# build's parallel jobs (default 1).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-all}
shift || true
case $arch in
    win32 | win64) arches=$arch ;;
    all) arches="win32 win64" ;;
    *) echo "usage: $0 [win32|win64|all] [TARGET...]" >&2; exit 2 ;;
esac
targets=${*:-launcher JvmUnpacker nvpack nvjvm}
jobs=${NV_JOBS:-1}

work=$(mktemp -d "${TMPDIR:-/tmp}/nv-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Two places that share nothing of their paths but the temporary folder.
first=$work/a/norvane
second=$work/second-place/deeper/checkout
copy_sources() {  # destination
    mkdir -p "$1"
    if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        (cd "$root" && git ls-files -z --cached --others --exclude-standard |
            tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -xf - -C "$1"
    else
        tar -C "$root" --exclude=./build -cf - . | tar -xf - -C "$1"
    fi
}
copy_sources "$first"
copy_sources "$second"

build() {  # copy, build folder name, arch
    local log=$work/build.log
    if ! cmake -S "$1" -B "$1/$2" -DCMAKE_BUILD_TYPE=Release -DNV_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="$1/cmake/$3.cmake" >"$log" 2>&1 ||
        ! cmake --build "$1/$2" -j"$jobs" --target $targets >>"$log" 2>&1; then
        tail -40 "$log" >&2
        echo "check_reproducible: the $3 build in $1/$2 failed" >&2
        exit 1
    fi
}

# Pairs that differ are kept here for a look (cmp -l, python3's pefile).
kept=$root/build/repro-diff
rm -rf "$kept"
differ=0
for a in $arches; do
    echo "== $a: building $targets twice" >&2
    build "$first" "build/$a" "$a"
    build "$second" "out-$a-2" "$a"
    for t in $targets; do
        one=$first/build/$a/$t.exe
        two=$second/out-$a-2/$t.exe
        if cmp -s "$one" "$two"; then
            echo "same:    $a/$t.exe ($(sha256sum <"$one" | cut -c1-16)...)"
        else
            echo "DIFFERS: $a/$t.exe ($(cmp -l "$one" "$two" 2>/dev/null | wc -l) bytes differ; sizes $(stat -c %s "$one") and $(stat -c %s "$two"))"
            differ=1
            mkdir -p "$kept/$a"
            cp "$one" "$kept/$a/$t.1.exe"
            cp "$two" "$kept/$a/$t.2.exe"
        fi
    done
    rm -rf "$first/build/$a" "$second/out-$a-2"
done
if [ "$differ" -ne 0 ]; then
    echo "check_reproducible: some programs differ between the two builds (both copies of each are in $kept)"
    exit 1
fi
echo "check_reproducible: all programs identical"
