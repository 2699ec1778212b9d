#!/usr/bin/env bash
# Takes a picture of the Windows dialog as it runs: starts the built
# Vantiro.exe under Wine on a virtual display of its own and saves the window
# as a PNG.
#   scripts/windows-screenshot.sh OUTPUT.png [BUILD_DIR]
# BUILD_DIR defaults to build-windows (`cmake --build --preset windows` first).
# The program keeps its settings in the build's Wine prefix, so the picture
# shows what was stored there last (the defaults on a first start).
set -euo pipefail

output=$(realpath -m "$1")
build=$(realpath "${2:-build-windows}")
program=$build/bin/Vantiro.exe
[ -x "$program" ] || { echo "windows-screenshot.sh: $program is missing" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)

# A display nobody uses.
display=77
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Without a window manager Wine draws the windows' frames and captions itself.
export WINEPREFIX=${WINEPREFIX:-$build/wine-prefix}
"$here/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
"$here/wine-run.sh" "$program" >/dev/null 2>&1 &
program_pid=$!

# The window carries the program's caption; Wine maps it once it is drawn.
window=
for _ in $(seq 600); do
  window=$(xdotool search --onlyvisible --name '^Vantiro$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$program_pid" 2>/dev/null || { echo "windows-screenshot.sh: Vantiro.exe ended" >&2; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { echo "windows-screenshot.sh: no Vantiro window appeared" >&2; exit 1; }
sleep 1  # the controls' first painting
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "$output"
