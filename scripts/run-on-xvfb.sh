#!/usr/bin/env bash
# Runs a command on a virtual display of its own, which ends with it:
#   scripts/run-on-xvfb.sh COMMAND ARGS...
# Windows programs under Wine should have a WINEPREFIX of their own here: the
# programs of one prefix share one desktop, made on the display of the first.
# Xvfb picks a display nobody uses, so several of these may run at once. The
# exit code is the command's.
set -euo pipefail

fd_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -f "$fd_file"' EXIT
# Xvfb writes the display's number once it accepts connections (a busy machine
# may take seconds).
for _ in $(seq 600); do
  [ -s "$fd_file" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
display=$(head -n 1 "$fd_file" 2>/dev/null || true)
[ -n "$display" ] || { echo "run-on-xvfb.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
here=$(cd "$(dirname "$0")" && pwd)
# No window manager runs here: a prefix of the caller's own draws its windows'
# frames itself, rather than waiting for one to map each window.
if [ -n "${WINEPREFIX:-}" ] && [ ! -f "$WINEPREFIX/.vantiro-unmanaged" ]; then
  "$here/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
    touch "$WINEPREFIX/.vantiro-unmanaged"
fi
status=0
"$@" || status=$?
# Wine keeps its desktop process on this display after the program: with a
# prefix of the caller's own, end that prefix's Wine before the display goes,
# so the next program of the prefix makes a desktop on its own display.
if [ -n "${WINEPREFIX:-}" ]; then
  for server in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver "$(command -v wineserver || true)"; do
    if [ -n "$server" ] && [ -x "$server" ]; then
      "$server" -k 2>/dev/null || true
      timeout 30 "$server" -w 2>/dev/null || true
      break
    fi
  done
fi
exit "$status"
