#!/usr/bin/env bash
# Starts the dialog program on a virtual X display with a private session bus
# and the accessibility bus, reads it over AT-SPI as a screen reader does
# (scripts/atspi_probe.py), then its help window (F1) and its Forecast window (Ctrl+F, a
# check of the Nile made through the controls' actions), and checks with xprop
# that it is a window of its own (no WM_TRANSIENT_FOR). Usage: scripts/check-accessibility.sh [build/bin]
set -euo pipefail
built="$(cd "${1:-build/bin}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
scratch="$(mktemp -d)"
# The program keeps its log beside the manual it finds; a copy of the program
# directory keeps that log out of the build tree.
cp -a "$built" "$scratch/bin"
bin="$scratch/bin"
display=":$((90 + RANDOM % 9))"

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$scratch"' EXIT
sleep 1

DISPLAY="$display" XDG_CONFIG_HOME="$scratch" bin="$bin" here="$here" \
  nile="$here/../examples/nile-flow-1871-1970.txt" TMPDIR="$scratch" \
  dbus-run-session -- bash -c '
    set -u
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    bus=$!
    sleep 1
    QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$bin/Vantiro" &
    program=$!
    window=""
    for _ in $(seq 40); do
      window=$(xdotool search --name "^Vantiro$" 2>/dev/null | head -1) && [ -n "$window" ] && break
      sleep 0.25
    done
    status=0
    /usr/bin/python3 "$here/atspi_probe.py" || status=1
    # F1 opens the help window, which is read and searched the same way.
    if [ -n "$window" ]; then
      xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key F1
      /usr/bin/python3 "$here/atspi_probe.py" --help-window || status=1
      # Ctrl+F opens the Forecast window, read and driven through its controls.
      xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key ctrl+f
      /usr/bin/python3 "$here/atspi_probe.py" --forecast-window "$nile" || status=1
    fi
    if [ -n "$window" ]; then
      transient=$(xprop -id "$window" WM_TRANSIENT_FOR)
      echo "xprop: $transient"
      case "$transient" in *"not found"*) ;; *) echo "FAIL: the window is transient"; status=1 ;; esac
    else
      echo "FAIL: no Vantiro window on the display"; status=1
    fi
    kill "$program" "$bus" 2>/dev/null
    wait "$program" "$bus" 2>/dev/null
    exit $status'
