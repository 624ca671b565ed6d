#!/usr/bin/env bash
# app.jar and a carried Java runtime as one branded, signed setup.exe.
# Run it from the repository's root after `bash scripts/build.sh`:
#
#   RUNTIME=jdk-17-win CERT=cert.pem KEY=key.pem bash examples/ship-my-jar/build.sh
#
# RUNTIME: a Windows Java runtime folder (bin\java.exe and its release file).
# CERT, KEY: your code-signing certificate and its private key (PEM).
# OUT (default build/ship-my-jar): where everything is written.
# STUBS (default build/win32, the stub users get): launcher.exe and JvmUnpacker.exe.
# TOOLS (default build/host): nvpack and nvjvm.
set -euo pipefail
example=examples/ship-my-jar
out=${OUT:-build/ship-my-jar}
stubs=${STUBS:-build/win32}
tools=${TOOLS:-build/host}
mkdir -p "$out/classes"
cp "$example/app.nvpack" "$example/instructions.tag" "$example/launchscript.tag" "$example/app.ico" "$out/"

# 1. The carried JVM: the runtime folder as one program that lays it out where it runs.
"$tools/nvjvm" --runtime "$RUNTIME" --unpacker "$stubs/JvmUnpacker.exe" --out "$out/jvmsetup.exe" \
    --desc "Hello App runtime"

# 2. The application archive: a jar that runs with java -jar.
javac --release 8 -d "$out/classes" "$example/java/hello/HelloApp.java"
jar cfe "$out/app.jar" hello.HelloApp -C "$out/classes" .

# 3. What the launcher does and how it starts Java: instructions.tag and
#    launchscript.tag; app.nvpack names them with the branding (copied above).

# 4. Pack: the stub, the branding and the payload become setup.exe.
"$tools/nvpack" --stub "$stubs/launcher.exe" --manifest "$out/app.nvpack"

# 5. Sign the packed file (never the stub): the signature covers the payload.
rm -f "$out/setup-signed.exe"
osslsigncode sign -certs "$CERT" -key "$KEY" -n "Hello App setup" \
    -in "$out/setup.exe" -out "$out/setup-signed.exe"
