#!/usr/bin/env bash
# Takes a picture of the Windows dialog as it runs: starts the built
# Vantiro.exe under Wine on a virtual display of its own and saves the window
# as a PNG.
#   scripts/windows-screenshot.sh OUTPUT.png [BUILD_DIR]
# BUILD_DIR defaults to build-windows (`cmake --build --preset windows` first).
# The program runs in the Wine prefix of the dialog's tests (<build>/wine-prefix-dialog,
# apart from the console tests' prefix, whose desktop has no display) and keeps
# its settings there: the picture shows what was stored last (the defaults on
# a first start).
set -euo pipefail

output=$(realpath -m "$1")
build=$(realpath "${2:-build-windows}")
program=$build/bin/Vantiro.exe
[ -x "$program" ] || { echo "windows-screenshot.sh: $program is missing" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)

export WINEPREFIX=${WINEPREFIX:-$build/wine-prefix-dialog}
# On a virtual display of its own (scripts/run-on-xvfb.sh), which ends with the script.
if [ -z "${VANTIRO_ON_XVFB:-}" ]; then
  VANTIRO_ON_XVFB=1 exec "$here/run-on-xvfb.sh" "$0" "$output" "$build"
fi
program_pid=
trap '[ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null; true' EXIT

# The window carries the program's caption; Wine maps it once it is drawn. A
# program that ends at once (Wine's server was just going down) is started again.
window=
for attempt in 1 2 3; do
  "$here/wine-run.sh" "$program" >/dev/null 2>&1 &
  program_pid=$!
  for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name '^Vantiro$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break 2
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "windows-screenshot.sh: Vantiro.exe ended early (attempt $attempt)" >&2
  sleep 1
done
[ -n "$window" ] || { echo "windows-screenshot.sh: no Vantiro window appeared" >&2; exit 1; }
sleep 1  # the controls' first painting
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "$output"
