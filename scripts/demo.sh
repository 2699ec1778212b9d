#!/usr/bin/env bash
# Vantiro in one minute: learn the yearly flow of the Nile (1871-1970), stop the
# training gracefully with Ctrl+C after a few seconds, extend the series by ten
# years, and measure the reference engine's speed.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bin="$top/build/bin"
work="$top/build/demo"
cli="$bin/VantiroCmdLine"
series="$top/examples/nile-flow-1871-1970.txt"
train_seconds=${DEMO_TRAIN_SECONDS:-12}

rm -rf "$work"
mkdir -p "$work"
cd "$work"

say() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

say "1. Train: 3 hidden units learn each year's flow from the 4 years before it"
echo "   $cli -train -numberOfNeurons 3 -inputWindowSize 4 -learningRate 0.0003 \\"
echo "        -toleranceUnit 0.01 -trainToTolerance 0.3 -inputFile $series -saveStateFile nile.vns"
echo "   (each line: the largest relative error of a pass over the series, printed when it improved;"
echo "    the Nile's 1913 low flow keeps it from reaching 0.3, so Ctrl+C comes after ${train_seconds} s)"
"$cli" -train -numberOfNeurons 3 -inputWindowSize 4 -learningRate 0.0003 -toleranceUnit 0.01 \
  -trainToTolerance 0.3 -inputFile "$series" -saveStateFile nile.vns &
trainer=$!
for _ in $(seq $((train_seconds * 10))); do
  kill -0 "$trainer" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$trainer" 2>/dev/null; then
  kill -INT "$trainer"   # what Ctrl+C does: the pass ends, the state is saved
fi
set +e
wait "$trainer"
status=$?
set -e
echo "   exit code $status"

say "2. Generate: seed with the last 4 years (1967-1970) and predict 1971-1980"
tail -n 4 "$series" > seed.txt
echo "   $cli -generate -numberOfNeurons 3 -inputWindowSize 4 -pointsToGenerate 10 \\"
echo "        -inputFile seed.txt -loadStateFile nile.vns -outputFile forecast.txt"
"$cli" -generate -numberOfNeurons 3 -inputWindowSize 4 -pointsToGenerate 10 \
  -inputFile seed.txt -loadStateFile nile.vns -outputFile forecast.txt
echo "   exit code $?"
echo
echo "   year  flow (10^8 m^3)"
year=1967
while read -r v; do printf '   %d  %s  (seed, measured)\n' "$year" "$v"; year=$((year + 1)); done < seed.txt
while read -r v; do printf '   %d  %s\n' "$year" "$v"; year=$((year + 1)); done < forecast.txt

say "3. Benchmark: the dialog's defaults (H 2, W 384, 500 random points, 10000 passes)"
"$cli" -benchmark -numberOfNeurons 2 -inputWindowSize 384 -benchmarkingDataPoints 500 \
  -benchmarkingIterations 10000 -learningRate 0.0001 -toleranceUnit 0.00001
echo "   exit code $?"

say "Files"
echo "   $work/nile.vns      the learned weights (binary: 1 + 3*4 + 3 floats, $(stat -c %s nile.vns) bytes)"
echo "   $work/seed.txt      the seed window"
echo "   $work/forecast.txt  the ten predicted values, one per line"
echo "   Continue the training later with -loadStateFile nile.vns; see README.md for every option."
