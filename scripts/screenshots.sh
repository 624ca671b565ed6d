#!/usr/bin/env bash
# Pictures of what the launcher shows, for people: the progress dialog in mode 0
# (large, with the explanatory text) and in mode 2 (small), and an error message
# box, each at 100, 150 and 200 % (Wine's DPI setting, 96, 144 and 192 DPI):
#   docs/dialog-mode0.png, docs/dialog-mode2.png   the dialogs at 100 %
#   docs/dpi/large-150.png, large-200.png          mode 0 at 150 and 200 %
#   docs/dpi/small-150.png, small-200.png          mode 2 at 150 and 200 %
#   docs/dpi/box-100.png, box-150.png, box-200.png the message box
#   docs/branded-en.png, -de.png, -ja.png          mode 0 of a launcher packed with
#                                                  --product-name "Hello App", at 100 %
#   docs/branded-long.png                          a product name of 41 characters
#
# Usage: scripts/screenshots.sh [WIN64_BUILD_DIR] [NVPACK]
#   WIN64_BUILD_DIR holds the built launcher.exe (default build/win64),
#   NVPACK is the host build of the packing tool (default build/host/nvpack).
# Builds nothing. Needs Wine, Xvfb, xwininfo and ImageMagick (scripts/bootstrap.sh).
#
# Each dialog comes from a launcher file whose instruction program shows the
# window and then holds it (a loop that keeps changing a variable, so it is no
# endless loop to the interpreter); the box from one whose program fails at once
# (a jump to a label that does not exist), so that its error box shows over the
# dialog. Each runs under its own Wine prefix and X server until the window is
# painted, then is ended. Wine draws the window frames itself (no window manager
# runs), so the pictures show the caption too.
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
mkdir -p "$work" "$repo/docs/dpi"

cat > "$work/hold.tag" <<'TAG'
INSTRUCTIONS:
INITIALIZE_UI
:HOLD
SET S3 = "@S3@."
GOTO HOLD
/:
TAG
cat > "$work/fail.tag" <<'TAG'
INSTRUCTIONS:
INITIALIZE_UI
GOTO NOWHERE
/:
TAG
printf 'DESC: %s\n' "$title" > "$work/launch.tag"
branded_title="Hello App Setup"
printf 'DESC: %s\n' "$branded_title" > "$work/branded.tag"

# The launch script starts nothing: checks that want a command are not asked for.
pack() {  # output, mode, instruction file
    "$nvpack" --stub "$build/launcher.exe" --out "$work/$1" --mode "$2" --no-check \
        --entry 0 1 instructions.tag "$work/$3" --entry 2 2 launch.tag "$work/launch.tag" >/dev/null
}
pack large.exe 0 hold.tag
pack small.exe 2 hold.tag
pack box.exe 2 fail.tag
for name in "Hello App" "Hello App Super Long Product Name Edition"; do
    out=branded.exe
    [ "$name" = "Hello App" ] || out=branded-long.exe
    "$nvpack" --stub "$build/launcher.exe" --out "$work/$out" --mode 0 --no-check --product-name "$name" \
        --entry 0 1 instructions.tag "$work/hold.tag" --entry 2 2 launch.tag "$work/branded.tag" >/dev/null
done

# Runs under the X server that xvfb-run starts: one launcher file at a time.
cat > "$work/shoot.sh" <<'SHOOT'
set -u
wineboot -i >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f /reg:64 >/dev/null 2>&1
status=0

# The geometry (WxH+X+Y) of the shown window with the title: the smallest one when
# there are several (the message box over its dialog), none until there are `count`.
shown_window() {  # count
    xwininfo -root -tree 2>/dev/null | grep -F "\"$TITLE\":" | awk '{print $1}' | while read -r id; do
        info=$(xwininfo -id "$id" 2>/dev/null) || continue
        printf '%s\n' "$info" | grep -q 'Map State: IsViewable' || continue
        printf '%s\n' "$info" | awk '
            /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
            /Width:/ {w=$NF} /Height:/ {h=$NF}
            END {printf "%d %dx%d+%d+%d\n", w * h, w, h, x, y}'
    done | sort -n | awk -v count="$1" '{n++; if (n == 1) g = $2} END {if (n >= count) print g}'
}

shoot() {  # launcher file, windows to wait for, picture
    wine "$WORK/$1" >/dev/null 2>&1 &
    local pid=$! geometry=""
    for _ in $(seq 1 100); do
        geometry=$(shown_window "$2")
        [ -n "$geometry" ] && break
        sleep 0.2
    done
    if [ -n "$geometry" ]; then
        sleep 1  # let the controls paint
        import -window root "$WORK/screen.png"
        convert "$WORK/screen.png" -crop "$geometry" +repage "$3"
        echo "screenshots: $3 ($geometry)"
    else
        echo "screenshots: the window for $3 did not appear" >&2
        status=1
    fi
    kill "$pid" 2>/dev/null || true
    wineserver -k
    wait "$pid" 2>/dev/null || true
}

for scale in 100 150 200; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((scale * 96 / 100)) /f /reg:64 \
        >/dev/null 2>&1
    if [ "$scale" = 100 ]; then
        shoot large.exe 1 "$DOCS/dialog-mode0.png"
        shoot small.exe 1 "$DOCS/dialog-mode2.png"
    else
        shoot large.exe 1 "$DOCS/dpi/large-$scale.png"
        shoot small.exe 1 "$DOCS/dpi/small-$scale.png"
    fi
    shoot box.exe 2 "$DOCS/dpi/box-$scale.png"
done
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f /reg:64 >/dev/null 2>&1
# The user's language is the run's LC_ALL.
TITLE=$BRANDED_TITLE LC_ALL=en_US.UTF-8 shoot branded.exe 1 "$DOCS/branded-en.png"
TITLE=$BRANDED_TITLE LC_ALL=de_DE.UTF-8 shoot branded.exe 1 "$DOCS/branded-de.png"
TITLE=$BRANDED_TITLE LC_ALL=ja_JP.UTF-8 shoot branded.exe 1 "$DOCS/branded-ja.png"
TITLE=$BRANDED_TITLE LC_ALL=en_US.UTF-8 shoot branded-long.exe 1 "$DOCS/branded-long.png"
exit $status
SHOOT

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WORK="$work" DOCS="$repo/docs" TITLE="$title" BRANDED_TITLE="$branded_title"
timeout 600 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/shoot.sh"
