#!/usr/bin/env bash
# Runs a command on a virtual display of its own, which ends with it:
#   scripts/run-on-xvfb.sh COMMAND ARGS...
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
status=0
"$@" || status=$?
exit "$status"
