#!/usr/bin/env bash
# Pictures of the progress dialog for people: docs/dialog-mode0.png (the large
# dialog with the explanatory text) and docs/dialog-mode2.png (the small one).
#
# Usage: scripts/screenshots.sh [WIN64_BUILD_DIR] [NVPACK]
#   WIN64_BUILD_DIR holds the built launcher.exe (default build/win64),
#   NVPACK is the host build of the packing tool (default build/host/nvpack).
# Builds nothing. Needs Wine, Xvfb, xwininfo and ImageMagick (scripts/bootstrap.sh).
#
# Each picture comes from a launcher file whose instruction program shows the
# window and then holds it (a loop that keeps changing a variable, so it is no
# endless loop to the interpreter), run under its own Wine prefix and X server
# until the dialog is painted, then ended. Wine draws the window frames itself
# (no window manager runs), so the pictures show the caption too.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build/win64}" && pwd)
nvpack=${2:-$repo/build/host/nvpack}
title="Norvane Demo Setup"

[ -f "$build/launcher.exe" ] || { echo "screenshots: no launcher.exe in $build" >&2; exit 1; }
[ -x "$nvpack" ] || { echo "screenshots: nvpack not found at $nvpack" >&2; exit 1; }
for tool in wine xvfb-run xwininfo import convert; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (run scripts/bootstrap.sh)" >&2; exit 1; }
done

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

for mode in 0 2; do
    "$nvpack" --stub "$build/launcher.exe" --out "$work/mode$mode.exe" --mode "$mode" \
        --entry 0 1 instructions.tag "$work/instructions.tag" \
        --entry 2 2 launch.tag "$work/launch.tag"
done

# Runs under the X server that xvfb-run starts: one launcher file at a time.
cat > "$work/shoot.sh" <<'SHOOT'
set -u
wineboot -i >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f /reg:64 >/dev/null 2>&1
status=0
for mode in 0 2; do
    wine "$WORK/mode$mode.exe" >/dev/null 2>&1 &
    pid=$!
    geometry=""
    for _ in $(seq 1 100); do
        info=$(xwininfo -name "$TITLE" 2>/dev/null || true)
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
        import -window root "$WORK/screen$mode.png"
        convert "$WORK/screen$mode.png" -crop "$geometry" +repage "$DOCS/dialog-mode$mode.png"
        echo "screenshots: $DOCS/dialog-mode$mode.png ($geometry)"
    else
        echo "screenshots: the dialog of mode $mode did not appear" >&2
        status=1
    fi
    kill "$pid" 2>/dev/null || true
    wineserver -k
    wait "$pid" 2>/dev/null || true
done
exit $status
SHOOT

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WORK="$work" DOCS="$repo/docs" TITLE="$title"
timeout 300 xvfb-run -a -s "-screen 0 800x600x24" bash "$work/shoot.sh"
