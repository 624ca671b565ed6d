#!/usr/bin/env bash
# A Windows Java runtime folder for trying setup.exe under Wine on Linux: the
# Java bridge as bin\java.exe and a release file with the version of this
# machine's java, which the bridge runs. Run it from the repository's root
# after `bash scripts/build.sh`, then give the folder to ship-my-jar:
#
#   export RUNTIME=build/bridge-runtime
#   bash examples/try-on-linux/bridge-runtime.sh
#   CERT=cert.pem KEY=key.pem STUBS=build/win64 bash examples/ship-my-jar/build.sh
#
# BRIDGE (default build/win64/fixtures/JavaBridge.exe): the bridge of the stub
#   you try (build/win32/fixtures/JavaBridge.exe for the 32-bit one).
# RUNTIME (default build/bridge-runtime): the runtime folder to write.
set -euo pipefail
bridge=${BRIDGE:-build/win64/fixtures/JavaBridge.exe}
runtime=${RUNTIME:-build/bridge-runtime}
runtime=${runtime%/}
version=$(java -XshowSettings:properties -version 2>&1 | sed -n 's/^ *java\.version = //p')
[ -n "$version" ] || { echo "bridge-runtime: java does not tell its version" >&2; exit 1; }
# Never over a real runtime: a folder with more than these two files is left alone.
other=$(find "$runtime" -mindepth 1 ! -path "$runtime/bin" ! -path "$runtime/bin/java.exe" \
    ! -path "$runtime/release" -print -quit 2>/dev/null || true)
[ -z "$other" ] || { echo "bridge-runtime: $runtime holds more than a bridge runtime ($other); give a new folder" >&2; exit 1; }
mkdir -p "$runtime/bin"
cp "$bridge" "$runtime/bin/java.exe"
printf 'JAVA_VERSION="%s"\n' "$version" >"$runtime/release"
echo "bridge-runtime: $runtime runs this machine's java $version"
