#!/usr/bin/env bash
# The main job: builds everything, compiles the demo wizard (examples/demo/java)
# into build/demo/demo.jar, packs the demo launcher file of examples/demo with
# nvpack and runs it under Wine: once to run its instruction program (install
# the carried JVM, launch the wizard with it), once with -nv:extract. Prints
# the run log and the extracted files, and checks that the run left nothing
# in the temporary directory.
#
# The carried JVM is made by nvjvm from a small Java runtime folder whose
# bin\java.exe is the Java bridge (tests/fixtures/bridge) and whose release
# file gives this machine's Java version: so the wizard runs on this
# machine's own java, and the installed JVM file asks for that version.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/build.sh

out=build/demo
rm -rf "$out"
mkdir -p "$out/extract" "$out/classes"
for tool in javac jar java; do
    command -v "$tool" >/dev/null || { echo "run: $tool is not on the PATH (a JDK is needed)" >&2; exit 1; }
done
javac --release 8 -d "$out/classes" examples/demo/java/DemoWizard.java
jar cf "$out/demo.jar" -C "$out/classes" .
cp examples/demo/*.tag examples/demo/demo.nvpack "$out/"
mkdir -p "$out/runtime/bin"
cp build/win64/fixtures/JavaBridge.exe "$out/runtime/bin/java.exe"
version=$(java -XshowSettings:properties -version 2>&1 | sed -n 's/^ *java\.version = //p')
[ -n "$version" ] || { echo "run: java does not tell its version" >&2; exit 1; }
printf 'JAVA_VERSION="%s"\n' "$version" >"$out/runtime/release"
build/host/nvjvm --runtime "$out/runtime" --unpacker build/win64/JvmUnpacker.exe --out "$out/jvmsetup.exe" \
    --desc "This machine's Java $version, through the bridge"
# The verification class the host build compiled (javac comes with bootstrap).
cp build/host/verify.jar "$out/"
build/host/nvpack --stub build/win64/launcher.exe --manifest "$out/demo.nvpack" --out "$out/setup.exe"
echo "== packed $out/setup.exe ($(stat -c %s "$out/setup.exe") bytes)"

run_demo() {
    cd "$root/$out"
    local temp status=0 code
    temp=$(realpath -m "$(winepath -u "$(wine cmd /c echo %TEMP% </dev/null | tr -d '\r')")")
    mkdir -p "$temp"
    ls -A "$temp" | sort >temp-before.txt
    echo "== setup.exe -nv:log run.log"
    code=0
    timeout 120 wine setup.exe -nv:log run.log </dev/null || code=$?
    echo "exit code: $code"
    tr -d '\r' < run.log
    [ "$code" -eq 0 ] || { echo "run: setup.exe ended with $code" >&2; status=1; }
    grep -q "Executing launch script command: " run.log ||
        { echo "run: the run log shows no launch" >&2; status=1; }
    grep -q "Norvane demo wizard running on Java" run.log ||
        { echo "run: the wizard's output is not in the run log" >&2; status=1; }

    # The launcher removes its temporary files as it ends, some of them a moment later.
    echo "== temporary directory $temp after the run"
    local left=
    for _ in $(seq 100); do
        left=$(ls -A "$temp" | sort | comm -13 temp-before.txt -)
        [ -z "$left" ] && break
        sleep 0.1
    done
    if [ -z "$left" ]; then
        echo "nothing left by the run"
    else
        echo "left by the run:"; echo "$left" | sed 's/^/  /'
        status=1
    fi

    cd extract
    echo "== setup.exe -nv:silent -nv:extract"
    timeout 60 wine ../setup.exe -nv:silent -nv:extract </dev/null || echo "(timed out or failed: $?)"
    ls -l
    echo "-- input.tag"
    tr -d '\r' < input.tag
    return $status
}
export -f run_demo
export root out
scripts/wine-session.sh bash -c run_demo
