#!/usr/bin/env bash
# The main job: builds everything, packs the demo launcher file of
# examples/demo with nvpack and runs it under Wine: once to run its
# instruction program, once with -nv:extract. Prints the run logs and the
# extracted files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/build.sh

out=build/demo
rm -rf "$out"
mkdir -p "$out/extract"
cp examples/demo/*.tag examples/demo/demo.nvpack "$out/"
# The verification class the host build compiled (javac comes with bootstrap).
cp build/host/verify.jar "$out/"
build/host/nvpack --stub build/win64/launcher.exe --manifest "$out/demo.nvpack" --out "$out/setup.exe"
echo "== packed $out/setup.exe ($(stat -c %s "$out/setup.exe") bytes)"

run_demo() {
    cd "$root/$out"
    echo "== setup.exe -nv:log run.log"
    timeout 60 wine setup.exe -nv:log run.log </dev/null || echo "(timed out or failed: $?)"
    cat run.log | tr -d '\r'
    cd extract
    echo "== setup.exe -nv:silent -nv:extract"
    timeout 60 wine ../setup.exe -nv:silent -nv:extract </dev/null || echo "(timed out or failed: $?)"
    ls -l
    echo "-- input.tag"
    tr -d '\r' < input.tag
}
export -f run_demo
export root out
scripts/wine-session.sh bash -c run_demo
