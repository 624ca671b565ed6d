#!/usr/bin/env bash
# Runs a command with a display and an isolated Wine prefix of this build tree:
#   scripts/wine-session.sh COMMAND [ARGS...]
# Starts Xvfb when there is no display and ends it afterwards, and ends the
# prefix's wineserver. WINEPREFIX defaults to build/wine/prefix.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wine/prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$(dirname "$WINEPREFIX")"

xvfb_pid=
cleanup() {
    WINEPREFIX=$WINEPREFIX timeout 20 wineserver -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    return 0
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || ! timeout 5 xdpyinfo >/dev/null 2>&1; then
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do timeout 2 xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
        timeout 5 xdpyinfo >/dev/null 2>&1 && break
        # That display number was taken after all, or the server died: try the next.
        kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    done
    [ -n "$xvfb_pid" ] || { echo "wine-session: no Xvfb display could be started" >&2; exit 1; }
fi

# Creates the prefix; a first attempt that fails is cleared away and tried once more.
create_prefix() {
    local log=$WINEPREFIX.wineboot.log attempt
    for attempt in 1 2; do
        timeout 180 wineboot -i >"$log" 2>&1
        local code=$?
        timeout 60 wineserver -w
        [ -f "$WINEPREFIX/system.reg" ] && return 0
        echo "wine-session: creating $WINEPREFIX failed (attempt $attempt, exit $code):" >&2
        tail -20 "$log" >&2
        timeout 20 wineserver -k >/dev/null 2>&1
        rm -rf "$WINEPREFIX"
    done
    return 1
}
# With Wine's 32-bit half installed (Debian's wine then runs this loader), a prefix
# made before it has an empty syswow64 and no program starts ("could not load
# kernel32.dll"): such a prefix is made again, if it is one of this build tree.
if [ -f "$WINEPREFIX/system.reg" ] && [ -x /usr/lib/wine/wine ] &&
   [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    case "$WINEPREFIX/" in
        "$root/build/"*)
            echo "wine-session: $WINEPREFIX was made without 32-bit Wine; making it again" >&2
            timeout 20 wineserver -k >/dev/null 2>&1
            rm -rf "$WINEPREFIX" ;;
        *)
            echo "wine-session: $WINEPREFIX was made without 32-bit Wine; remove it or choose another WINEPREFIX" >&2
            exit 1 ;;
    esac
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    create_prefix || exit 1
fi
"$@"
