#!/usr/bin/env bash
# Checks the C++ files' layout, builds all configurations and runs every
# test: the win32 stub's reproducible build (NV_SKIP_REPRODUCIBLE=1 skips it),
# host unit tests under ASan and UBSan, the fuzz targets for a fixed number of
# runs, the Windows tests under Wine, and the end-to-end tests of the whole
# launcher under Wine and Xvfb, for the win64 and the win32 stub. Ends with one
# line "tests: N passed, M failed" (which also says so when the 32-bit runs
# were skipped).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
passed=0
failed=0
logs=build/test-logs
mkdir -p "$logs"

# The layout first: it takes seconds and needs no build. Every C++ file the
# project formats (all but resources/, whose tables are aligned by hand) must
# be as clang-format lays it out; the offending files are listed.
echo "== layout (clang-format)"
: >"$logs/format.txt"
if { command -v clang-format >/dev/null || bash scripts/bootstrap.sh >>"$logs/format.txt" 2>&1; } &&
    find src tools tests fuzz bench cmake \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror >>"$logs/format.txt" 2>&1; then
    passed=$((passed + 1)); echo "layout: passed"
else
    failed=$((failed + 1)); echo "layout: FAILED (clang-format -i on these files)"
    files=$(sed -nE 's/^([^ :]+):[0-9]+:[0-9]+: error: .*/  \1/p' "$logs/format.txt" | sort -u)
    # No file named: clang-format could not be had or did not run.
    if [ -n "$files" ]; then echo "$files"; else tail -5 "$logs/format.txt"; fi
fi

bash scripts/build.sh || { echo "tests: $passed passed, $((failed + 1)) failed"; exit 1; }

# Adds the counts of a GoogleTest run's output file.
count_gtest() {  # name, output file, exit code
    local p f
    p=$(grep -Eo '^\[  PASSED  \] [0-9]+' "$2" | grep -Eo '[0-9]+$' | tail -1)
    f=$(grep -Eo '^\[  FAILED  \] [0-9]+ test' "$2" | grep -Eo '[0-9]+' | tail -1)
    p=${p:-0}; f=${f:-0}
    if [ "$3" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi  # crashed or timed out
    echo "$1: $p passed, $f failed"
    [ "$f" -eq 0 ] || grep -E '^\[  FAILED  \]|Failure|ERROR|Sanitizer' "$2" | head -40
    passed=$((passed + p)); failed=$((failed + f))
}

echo "== include lists"
if python3 scripts/check_includes.py >"$logs/includes.txt" 2>&1 &&
    python3 scripts/check_includes_test.py >>"$logs/includes.txt" 2>&1; then
    passed=$((passed + 1)); echo "include lists: passed"
else
    failed=$((failed + 1)); cat "$logs/includes.txt"
fi

# Two more builds of the win32 stub and unpacker in fresh folders, compared
# byte for byte with each other (docs/reproducible.md); a few minutes.
echo "== reproducible stub (win32)"
skipped_repro=
if [ -n "${NV_SKIP_REPRODUCIBLE:-}" ]; then
    skipped_repro="reproducible stub SKIPPED (NV_SKIP_REPRODUCIBLE is set)"
    echo "!! $skipped_repro"
elif NV_JOBS=${NV_JOBS:-2} timeout 1800 bash scripts/check_reproducible.sh win32 launcher JvmUnpacker \
    >"$logs/reproducible.txt" 2>&1; then
    passed=$((passed + 1)); echo "reproducible stub: passed"
else
    failed=$((failed + 1)); echo "reproducible stub: FAILED"; tail -20 "$logs/reproducible.txt"
fi

echo "== host unit tests (ASan, UBSan)"
timeout 600 build/host-san/tests/nv_unit_tests >"$logs/unit.txt" 2>&1
count_gtest unit "$logs/unit.txt" $?

echo "== fuzz targets"
for target in build/host-san/fuzz/Fuzz*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    if timeout 300 "$target" -runs="${NV_FUZZ_RUNS:-20000}" -max_len=4096 -seed=1 >"$logs/$name.txt" 2>&1; then
        passed=$((passed + 1)); echo "$name: passed"
    else
        failed=$((failed + 1)); echo "$name: FAILED"; tail -30 "$logs/$name.txt"
    fi
done

# Both stubs are tested: win64 and win32 (the one users ship). Wine runs the 32-bit
# one only with its 32-bit half (Debian's wine then has this loader); bootstrap
# installs it where the i386 packages can be had.
stubs="win64 win32"
skipped_32=
if [ ! -x /usr/lib/wine/wine ]; then
    stubs=win64
    skipped_32="32-bit runs SKIPPED: Wine cannot run 32-bit programs here (no wine32, or a kernel without 32-bit support), so build/win32 was built but not run"
    echo "!! $skipped_32"
fi

# Adds the counts of an end-to-end run's output file.
count_e2e() {  # name, output file, exit code
    local line p f s note=
    line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' "$2" | tail -1)
    p=$(echo "$line" | sed -nE 's/^e2e: ([0-9]+) passed.*/\1/p')
    f=$(echo "$line" | sed -nE 's/^e2e: [0-9]+ passed, ([0-9]+) failed.*/\1/p')
    s=$(echo "$line" | sed -nE 's/.*, ([0-9]+) skipped.*/\1/p')
    p=${p:-0}; f=${f:-0}
    if [ "$3" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
    [ -n "$line" ] || note=" (no summary, exit $3)"
    echo "$1: $p passed, $f failed${s:+, $s skipped}$note"
    [ "$f" -eq 0 ] || grep -E 'FAIL|ERROR|Error|assert' "$2" | head -60
    passed=$((passed + p)); failed=$((failed + f))
}

for stub in $stubs; do
    exe=build/$stub/tests/nv_win_tests.exe
    echo "== Windows tests under Wine ($stub)"
    if [ ! -f "$exe" ]; then
        echo "win $stub: $exe is missing"; failed=$((failed + 1)); continue
    fi
    timeout 900 scripts/wine-session.sh wine "$exe" </dev/null >"$logs/win-$stub.txt" 2>&1
    count_gtest "win $stub" "$logs/win-$stub.txt" $?
    # Resource texts again in a double-byte code page, where truncation bites.
    LC_ALL=ja_JP.UTF-8 NV_EXPECT_LANGUAGE=Japanese timeout 300 scripts/wine-session.sh wine "$exe" \
        --gtest_filter='Foundation*:Resources*:*ResourceLanguage*' </dev/null >"$logs/win-$stub-ja.txt" 2>&1
    count_gtest "win $stub (ja_JP)" "$logs/win-$stub-ja.txt" $?
    # Regional users: German (Switzerland) and Spanish (Mexico) read the German
    # and Spanish tables, Thai (no table) and British English the one English
    # (US) table. The locales are made into build/locales by the bootstrap.
    for run in de_CH:German es_MX:Spanish th_TH:English en_GB:English; do
        LOCPATH="$root/build/locales" LC_ALL="${run%%:*}.UTF-8" NV_EXPECT_LANGUAGE="${run##*:}" \
            timeout 300 scripts/wine-session.sh wine "$exe" \
            --gtest_filter='ResourcesTest.*' </dev/null >"$logs/win-$stub-${run%%:*}.txt" 2>&1
        count_gtest "win $stub (${run%%:*})" "$logs/win-$stub-${run%%:*}.txt" $?
    done
done

# One run per stub, each with its own work directory and Wine prefix (build/<stub>/e2e):
# a prefix costs some 10 s, and no registry or drive setting of one run reaches the other.
for stub in $stubs; do
    echo "== end-to-end tests under Wine ($stub)"
    timeout 2400 python3 tests/e2e/run_all.py "build/$stub" --nvpack build/host/nvpack \
        </dev/null >"$logs/e2e-$stub.txt" 2>&1
    count_e2e "e2e $stub" "$logs/e2e-$stub.txt" $?
done

if [ -n "$skipped_32" ]; then
    echo "!! $skipped_32"
fi
[ -z "$skipped_repro" ] || echo "!! $skipped_repro"
echo "tests: $passed passed, $failed failed${skipped_32:+ ($skipped_32)}${skipped_repro:+ ($skipped_repro)}"
[ "$failed" -eq 0 ]
