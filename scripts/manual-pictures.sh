#!/usr/bin/env bash
# Takes the pictures of the main window that the manual, the README and the AppStream
# metainfo show, from the real dialog drawn off screen: Getting Started's Train run on the
# Nile series with the values of its table, stopped after 10 seconds, once plain and once
# with the numbered callouts of the overview page; and the Forecast window (Ctrl+F) after a
# check of the Nile series and after a forecast ahead, 10 seconds of training each.
#   scripts/manual-pictures.sh [BUILD_DIR]    (default: build; needs the target vantiro_screenshot)
set -euo pipefail
sources=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$sources/build}")
tool=$build/packaging/tools/vantiro_screenshot
[ -x "$tool" ] || { echo "no $tool: cmake --build --preset default --target vantiro_screenshot" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
awk '{ printf "%g\n", $1 / 1000 }' "$sources/examples/nile-flow-1871-1970.txt" >nile.txt
scene=(--bin "$build/bin" --mode Train
  --set "Number of Neurons=2" --set "Input Window Size=3" --set "Learning Rate=0.01"
  --set "Tolerance Unit=0.001" --set "Train to Tolerance=0.2"
  --set "Input File=nile.txt" --set "Save State File=nile.vns" --run 10)
picture() {  # picture NAME [--annotate]: a fresh window (default settings) for each
  rm -rf config nile.vns
  XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen "$tool" "${scene[@]}" "${@:2}" "$work/$1"
}
picture train-run.png
picture overview.png --annotate
# The Forecast window reads the series as it is, flows in the hundreds: it scales them itself.
cp "$sources/examples/nile-flow-1871-1970.txt" .
forecast_scene=(--bin "$build/bin" --mode Train
  --set "Number of Neurons=2" --set "Input Window Size=3" --set "Learning Rate=0.01"
  --set "Input File=nile-flow-1871-1970.txt")
forecast_picture() {  # forecast_picture NAME check|ahead: prints what the window shows
  rm -rf config
  XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen "$tool" "${forecast_scene[@]}" \
    --forecast "$2" 10 "$work/$1" 2>/dev/null
}
forecast_picture forecast-check.png check
forecast_picture forecast-ahead.png ahead
cp forecast-check.png "$sources/help/images/forecast-window-check.png"
cp forecast-ahead.png "$sources/help/images/forecast-window-ahead.png"
cp train-run.png "$sources/help/images/dialog-train-run.png"
cp train-run.png "$sources/packaging/screenshots/main-dialog.png"
cp overview.png "$sources/help/images/dialog-overview.png"
file "$sources/help/images/dialog-train-run.png" "$sources/help/images/dialog-overview.png" \
  "$sources/help/images/forecast-window-check.png" "$sources/help/images/forecast-window-ahead.png"
