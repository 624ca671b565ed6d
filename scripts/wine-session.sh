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
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        break
    done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 180 wineboot -i >/dev/null 2>&1 || { echo "wine-session: creating $WINEPREFIX failed" >&2; exit 1; }
    WINEPREFIX=$WINEPREFIX timeout 60 wineserver -w
fi
"$@"
