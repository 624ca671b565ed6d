#!/usr/bin/env bash
# Builds everything: host (nvpack), host-san (sanitizers, fuzz targets; clang),
# win64 and win32 launchers. Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/bootstrap.sh
jobs=${NV_JOBS:-2}

configure() {  # dir, extra cmake arguments...
    local dir=$1; shift
    cmake -S . -B "build/$dir" -DCMAKE_BUILD_TYPE=Release -DNV_WERROR=ON "$@" >/dev/null
}
build() {  # dir
    local log code
    log=$(mktemp)
    code=0
    cmake --build "build/$1" -j"$jobs" >"$log" 2>&1 || code=$?
    grep -E 'warning:|error:|\*\*\*' "$log" | head -60 || true
    rm -f "$log"
    # A failed build must stop here, not leave the tests to run stale programs.
    [ "$code" -eq 0 ] || { echo "build of $1 failed" >&2; exit 1; }
}

configure host
configure host-san -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DNV_SANITIZE=ON -DNV_FUZZ=ON
configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/win64.cmake"
configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/win32.cmake"
for b in host host-san win64 win32; do
    echo "== building $b" >&2
    build $b
done
for f in build/win64/launcher.exe build/win32/launcher.exe build/host/nvpack; do
    [ -f "$f" ] || { echo "missing $f after the build" >&2; exit 1; }
done
