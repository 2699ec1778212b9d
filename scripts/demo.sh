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

say "1. Prepare: the flows in 10^11 m^3, so the values sit near 1 where logistic units respond"
awk '{ printf "%g\n", $1 / 1000 }' "$series" > nile.txt
echo "   $series -> $work/nile.txt ($(wc -l < nile.txt) values, $(head -n 1 nile.txt) ... $(tail -n 1 nile.txt))"

say "2. Train: 2 hidden units learn each year's flow from the 3 years before it"
echo "   $cli -train -numberOfNeurons 2 -inputWindowSize 3 -learningRate 0.01 \\"
echo "        -toleranceUnit 0.001 -trainToTolerance 0.2 -inputFile nile.txt -saveStateFile nile.vns"
echo "   (each line: the largest relative error of a pass over the series, shown when it improved by"
echo "    more than 0.001; the Nile's low flow of 1913 keeps it above 0.2, so Ctrl+C comes after ${train_seconds} s)"
"$cli" -train -numberOfNeurons 2 -inputWindowSize 3 -learningRate 0.01 -toleranceUnit 0.001 \
  -trainToTolerance 0.2 -inputFile nile.txt -saveStateFile nile.vns &
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

say "3. Generate: seed with the last 3 years (1968-1970) and predict 1971-1980"
tail -n 3 nile.txt > seed.txt
echo "   $cli -generate -numberOfNeurons 2 -inputWindowSize 3 -pointsToGenerate 10 \\"
echo "        -inputFile seed.txt -loadStateFile nile.vns -outputFile forecast.txt"
"$cli" -generate -numberOfNeurons 2 -inputWindowSize 3 -pointsToGenerate 10 \
  -inputFile seed.txt -loadStateFile nile.vns -outputFile forecast.txt
echo "   exit code $?"
echo
echo "   year  flow (10^8 m^3)"
year=1968
while read -r v; do awk -v y="$year" -v v="$v" 'BEGIN { printf "   %d  %4.0f  measured\n", y, v * 1000 }'; year=$((year + 1)); done < seed.txt
while read -r v; do awk -v y="$year" -v v="$v" 'BEGIN { printf "   %d  %4.0f  predicted\n", y, v * 1000 }'; year=$((year + 1)); done < forecast.txt
echo "   (the mean flow of 1871-1970 is $(awk '{ s += $1 } END { printf "%.0f", s / NR }' "$series"))"

say "4. Benchmark: the dialog's defaults (H 2, W 384, 500 random points, 10000 passes)"
"$cli" -benchmark -numberOfNeurons 2 -inputWindowSize 384 -benchmarkingDataPoints 500 \
  -benchmarkingIterations 10000 -learningRate 0.0001 -toleranceUnit 0.00001
echo "   exit code $?"

say "Files"
echo "   $work/nile.vns      the learned weights (binary: 1 + 2*3 + 2 floats, $(stat -c %s nile.vns) bytes)"
echo "   $work/forecast.txt  the ten predicted values, one per line (in 10^11 m^3)"
echo "   Continue the training later with -loadStateFile nile.vns; see README.md for every option."
