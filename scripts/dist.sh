#!/usr/bin/env bash
# The release bundle: dist/norvane-<version>.zip (scripts/dist.py says what it
# holds). Brings the programs it ships up to date first: the whole build
# (scripts/build.sh) when a tree is not configured yet, else only those targets.
# SOURCE_DATE_EPOCH sets the entries' time (default: the last commit's).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${NV_JOBS:-2}

configured=yes
for tree in host win64 win32; do
    [ -f "build/$tree/CMakeCache.txt" ] || configured=no
done
if [ "$configured" = no ]; then
    bash scripts/build.sh
else
    cmake --build build/host -j"$jobs" --target nvpack nvjvm verify_jar >/dev/null
    for tree in win64 win32; do
        targets="launcher JvmUnpacker nvpack"
        # nvjvm.exe, where the Windows build has it.
        known=$(cmake --build "build/$tree" --target help 2>/dev/null || true)
        if grep -qE '(^|[ .])nvjvm(:|$| )' <<<"$known"; then
            targets="$targets nvjvm"
        fi
        # shellcheck disable=SC2086
        cmake --build "build/$tree" -j"$jobs" --target $targets >/dev/null
    done
fi
python3 scripts/dist.py --build build --out dist
