#!/usr/bin/env bash
# Runs a Windows program under Wine: the tests' emulator (CMAKE_CROSSCOMPILING_EMULATOR)
# and a helper for running the Windows build by hand:
#   scripts/wine-run.sh build-windows/bin/VantiroCmdLine.exe -benchmark ...
# The Wine prefix is the build directory's own (<build>/wine-prefix, the build
# directory being the nearest parent of the program that holds CMakeCache.txt)
# unless WINEPREFIX is set. It is created on first use, once, under a lock, so
# tests started together wait for one wineboot instead of racing. The exit code
# is the program's.
set -euo pipefail

program=$1
shift

wine=${VANTIRO_WINE:-}
if [ -z "$wine" ]; then
  for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine=$candidate; break; fi
  done
fi
[ -n "$wine" ] || { echo "wine-run.sh: no wine64 found (install wine64)" >&2; exit 127; }

if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$program")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] || { echo "wine-run.sh: $program is in no build directory; set WINEPREFIX" >&2; exit 2; }
  export WINEPREFIX=$dir/wine-prefix
fi
# No prompts to install Mono or Gecko, no debug chatter on stderr, no window
# of Wine's own: what a test reads is the program's output alone.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64

if [ ! -f "$WINEPREFIX/.vantiro-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.vantiro-ready" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 || true
      "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true
      touch "$WINEPREFIX/.vantiro-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec "$wine" "$program" "$@"
