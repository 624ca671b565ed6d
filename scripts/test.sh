#!/usr/bin/env bash
# Builds all configurations and runs every test: host unit tests under ASan and
# UBSan, the fuzz targets for a fixed number of runs, the Windows tests under
# Wine, and the end-to-end tests of the whole launcher under Wine and Xvfb.
# Ends with one line "tests: N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/build.sh || { echo "tests: 0 passed, 1 failed"; exit 1; }

passed=0
failed=0
logs=build/test-logs
mkdir -p "$logs"

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

if [ -f build/win64/tests/nv_win_tests.exe ]; then
    echo "== Windows tests under Wine"
    timeout 900 scripts/wine-session.sh wine build/win64/tests/nv_win_tests.exe </dev/null >"$logs/win.txt" 2>&1
    count_gtest win "$logs/win.txt" $?
    # Resource texts again in a double-byte code page, where truncation bites.
    LC_ALL=ja_JP.UTF-8 NV_EXPECT_LANGUAGE=Japanese timeout 300 scripts/wine-session.sh wine build/win64/tests/nv_win_tests.exe \
        --gtest_filter='Foundation*:Resources*:*ResourceLanguage*' </dev/null >"$logs/win-ja.txt" 2>&1
    count_gtest "win (ja_JP)" "$logs/win-ja.txt" $?
    # Regional users: German (Switzerland) and Spanish (Mexico) read the German
    # and Spanish tables, Thai (no table) the English one. The locales are made
    # into build/locales by the bootstrap.
    for run in de_CH:German es_MX:Spanish th_TH:EnglishFallback; do
        LOCPATH="$root/build/locales" LC_ALL="${run%%:*}.UTF-8" NV_EXPECT_LANGUAGE="${run##*:}" \
            timeout 300 scripts/wine-session.sh wine build/win64/tests/nv_win_tests.exe \
            --gtest_filter='ResourcesTest.*' </dev/null >"$logs/win-${run%%:*}.txt" 2>&1
        count_gtest "win (${run%%:*})" "$logs/win-${run%%:*}.txt" $?
    done
fi

if [ -f tests/e2e/run_all.py ]; then
    echo "== end-to-end tests under Wine"
    timeout 2400 python3 tests/e2e/run_all.py </dev/null >"$logs/e2e.txt" 2>&1
    code=$?
    line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' "$logs/e2e.txt" | tail -1)
    p=$(echo "$line" | sed -E 's/^e2e: ([0-9]+) passed.*/\1/'); f=$(echo "$line" | sed -E 's/^e2e: [0-9]+ passed, ([0-9]+) failed.*/\1/')
    p=${p:-0}; f=${f:-0}
    if [ "$code" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
    echo "${line:-e2e: no summary (exit $code)}"
    [ "$f" -eq 0 ] || grep -E 'FAIL|ERROR|Error|assert' "$logs/e2e.txt" | head -60
    passed=$((passed + p)); failed=$((failed + f))
fi

echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
