#!/usr/bin/env bash
# Pictures of the progress dialog for people: docs/dialog-mode0.png (the large
# dialog with the explanatory text), docs/dialog-mode2.png (the small one), and
# docs/branded-en.png, -de.png, -ja.png (the large dialog of a launcher packed
# with --product-name "Hello App", in English, German and Japanese) and
# docs/branded-long.png (a name of 41 characters, in English).
#
# Usage: scripts/screenshots.sh [WIN64_BUILD_DIR] [NVPACK]
#   WIN64_BUILD_DIR holds the built launcher.exe (default build/win64),
#   NVPACK is the host build of the packing tool (default build/host/nvpack).
# Builds nothing. Needs Wine, Xvfb, xwininfo, ImageMagick and a Japanese font
# (scripts/bootstrap.sh).
#
# Each picture comes from a launcher file whose instruction program shows the
# window and then holds it (a loop that keeps changing a variable, so it is no
# endless loop to the interpreter; packed with --no-check, as it launches
# nothing), run under its own Wine prefix and X server
# until the dialog is painted, then ended. Wine draws the window frames itself
# (no window manager runs), so the pictures show the caption too. The user's
# language is the run's LC_ALL.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build/win64}" && pwd)
nvpack=${2:-$repo/build/host/nvpack}
title="Norvane Demo Setup"
branded_title="Hello App Setup"

[ -f "$build/launcher.exe" ] || { echo "screenshots: no launcher.exe in $build" >&2; exit 1; }
[ -x "$nvpack" ] || { echo "screenshots: nvpack not found at $nvpack" >&2; exit 1; }
for tool in wine xvfb-run xwininfo import convert; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (run scripts/bootstrap.sh)" >&2; exit 1; }
done
fc-list :lang=ja | grep -q . || { echo "screenshots: no Japanese font (run scripts/bootstrap.sh)" >&2; exit 1; }

work="$build/screenshots"
rm -rf "$work"
mkdir -p "$work" "$repo/docs"

cat > "$work/instructions.tag" <<'TAG'
INSTRUCTIONS:
INITIALIZE_UI
:HOLD
SET S3 = "@S3@."
GOTO HOLD
/:
TAG
printf 'DESC: %s\n' "$title" > "$work/launch.tag"
printf 'DESC: %s\n' "$branded_title" > "$work/branded.tag"

for mode in 0 2; do
    "$nvpack" --stub "$build/launcher.exe" --out "$work/mode$mode.exe" --mode "$mode" --no-check \
        --entry 0 1 instructions.tag "$work/instructions.tag" \
        --entry 2 2 launch.tag "$work/launch.tag" >/dev/null
done
for name in "Hello App" "Hello App Super Long Product Name Edition"; do
    out=$work/branded.exe
    [ "$name" = "Hello App" ] || out=$work/branded-long.exe
    "$nvpack" --stub "$build/launcher.exe" --out "$out" --mode 0 --no-check --product-name "$name" \
        --entry 0 1 instructions.tag "$work/instructions.tag" \
        --entry 2 2 launch.tag "$work/branded.tag" >/dev/null
done

# Runs under the X server that xvfb-run starts: one launcher file at a time.
# Its arguments: groups of launcher file, window title, LC_ALL and picture.
cat > "$work/shoot.sh" <<'SHOOT'
set -u
wineboot -i >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f /reg:64 >/dev/null 2>&1
status=0
while [ $# -ge 4 ]; do
    exe=$1 title=$2 language=$3 picture=$4
    shift 4
    LC_ALL=$language wine "$exe" >/dev/null 2>&1 &
    pid=$!
    geometry=""
    for _ in $(seq 1 100); do
        info=$(xwininfo -name "$title" 2>/dev/null || true)
        if printf '%s\n' "$info" | grep -q 'Map State: IsViewable'; then
            geometry=$(printf '%s\n' "$info" | awk '
                /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                /Width:/ {w=$NF} /Height:/ {h=$NF}
                END {printf "%dx%d+%d+%d", w, h, x, y}')
            break
        fi
        sleep 0.2
    done
    if [ -n "$geometry" ]; then
        sleep 1  # let the controls paint
        import -window root "$WORK/screen.png"
        convert "$WORK/screen.png" -crop "$geometry" +repage "$picture"
        echo "screenshots: $picture ($geometry)"
    else
        echo "screenshots: the dialog of $exe ($language) did not appear" >&2
        status=1
    fi
    kill "$pid" 2>/dev/null || true
    wineserver -k
    wait "$pid" 2>/dev/null || true
done
exit $status
SHOOT

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WORK="$work"
docs="$repo/docs"
timeout 300 xvfb-run -a -s "-screen 0 800x600x24" bash "$work/shoot.sh" \
    "$work/mode0.exe" "$title" en_US.UTF-8 "$docs/dialog-mode0.png" \
    "$work/mode2.exe" "$title" en_US.UTF-8 "$docs/dialog-mode2.png" \
    "$work/branded.exe" "$branded_title" en_US.UTF-8 "$docs/branded-en.png" \
    "$work/branded.exe" "$branded_title" de_DE.UTF-8 "$docs/branded-de.png" \
    "$work/branded.exe" "$branded_title" ja_JP.UTF-8 "$docs/branded-ja.png" \
    "$work/branded-long.exe" "$branded_title" en_US.UTF-8 "$docs/branded-long.png"
