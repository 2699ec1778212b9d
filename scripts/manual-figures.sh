#!/usr/bin/env bash
# Every figure the user manual and the README quote, from one run of the real programs:
# the Getting Started walk on the Nile series (a training stopped by Ctrl+C, the error of
# the state it saved, the forecast from it), ten trainings stopped after four progress
# lines with their forecasts, and the Benchmark of the dialog's default sizes on every
# build. The machine comes first: timings are this machine's, and the trainings start from
# random weights seeded by the clock, so another run gives other figures.
#   scripts/manual-figures.sh [BIN_DIR] [FIGURES_FILE]   (defaults: build/bin, help/manual-figures.txt)
# Quote the file's figures, never a run of your own.
set -euo pipefail
export LC_ALL=C
sources=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$sources/build/bin}")
figures=$(realpath -m "${2:-$sources/help/manual-figures.txt}")
program=$bin/VantiroCmdLine
[ -x "$program" ] || { echo "no $program: build it first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
exec >"$figures.tmp"

shown() {  # shown ARGUMENTS...: the console command as the manual writes it, its output, its exit code
  echo "\$ VantiroCmdLine $*"
  local status=0
  "$program" "$@" 2>&1 || status=$?
  echo "[exit code $status]"
}

# Trains and sends Ctrl+C's signal as soon as the `lines`-th progress line has been read
# (the program writes each line at once) or when `seconds` have passed, whichever comes
# first; prints what a terminal shows and how the training was stopped.
train_until() {  # train_until LINES SECONDS ARGUMENTS...
  local lines=$1 seconds=$2
  shift 2
  echo "\$ VantiroCmdLine $*"
  rm -f out.fifo
  mkfifo out.fifo
  timeout --preserve-status -s INT "$seconds" "$program" "$@" >out.fifo 2>&1 &
  local pid=$! count=0 status=0 line
  : >train.out
  while IFS= read -r line; do
    printf '%s\n' "$line" >>train.out
    case $line in
      Largest*)
        count=$((count + 1))
        if [ "$count" -eq "$lines" ]; then
          kill -INT "$pid" 2>/dev/null || true
          echo "^C" >>train.out
        fi
        ;;
    esac
  done <out.fifo
  wait "$pid" || status=$?
  cat train.out
  echo "[exit code $status]"
}

# The state's error: one Train pass from it with a learning rate too small to change a
# single-precision weight (1e-300 rounds every step to 0) and a target every error meets,
# saved to a scratch file. The one progress line is the error of the state as loaded.
state_error() {  # state_error STATE
  "$program" -train -numberOfNeurons 2 -inputWindowSize 3 -learningRate 1e-300 \
    -toleranceUnit 0.001 -trainToTolerance 1e38 -inputFile nile.txt -loadStateFile "$1" \
    -saveStateFile check.vns | sed -n 's/^Largest relative error of the pass: //p'
  cmp -s "$1" check.vns || echo "(the check pass changed the weights!)"
}

forecast_flows() {  # the forecast file in the series' own unit, one line
  awk '{ printf "%s%d", (NR > 1 ? " " : ""), $1 * 1000 + 0.5 }' forecast.txt
  echo
}

echo "Figures for the user manual and the README, made by scripts/manual-figures.sh"
echo "== machine"
echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "commit: $(git -C "$sources" rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo "processor: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
  "$(nproc) logical processors, AVX2 $(grep -qw avx2 /proc/cpuinfo && echo yes || echo no)"
echo "system: $(uname -sr), $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

echo "== prepare"
awk '{ printf "%g\n", $1 / 1000 }' "$sources/examples/nile-flow-1871-1970.txt" >nile.txt
echo "$(wc -l <nile.txt) values, from $(head -n 1 nile.txt) to $(tail -n 1 nile.txt)"

echo "== train: Getting Started's parameters, Ctrl+C after 15 seconds"
train_until 1000000 15 -train -numberOfNeurons 2 -inputWindowSize 3 -learningRate 0.01 \
  -toleranceUnit 0.001 -trainToTolerance 0.2 -inputFile nile.txt -saveStateFile nile.vns
echo "progress lines: $(grep -c '^Largest' train.out)"
echo "last line shown: $(sed -n 's/^Largest relative error of the pass: //p' train.out | tail -n 1)"
echo "error of the saved state: $(state_error nile.vns)"

echo "== the saved state's error, as a user checks it"
shown -train -numberOfNeurons 2 -inputWindowSize 3 -learningRate 1e-300 -toleranceUnit 0.001 \
  -trainToTolerance 1e38 -inputFile nile.txt -loadStateFile nile.vns -saveStateFile check.vns
shown -train -numberOfNeurons 2 -inputWindowSize 3 -learningRate 0 -toleranceUnit 0.001 \
  -trainToTolerance 1e38 -inputFile nile.txt -loadStateFile nile.vns -saveStateFile check.vns

echo "== generate from the saved state"
tail -n 3 nile.txt >seed.txt
shown -generate -numberOfNeurons 2 -inputWindowSize 3 -pointsToGenerate 10 -inputFile seed.txt \
  -loadStateFile nile.vns -outputFile forecast.txt
echo "forecast.txt:"
cat forecast.txt
echo "times 1000, 1971 to 1980: $(forecast_flows)"

echo "== ten trainings stopped after four progress lines, each with its forecast"
for run in $(seq 1 10); do
  sleep 1  # the clock seeds the weights: one run per second
  train_until 4 60 -train -numberOfNeurons 2 -inputWindowSize 3 -learningRate 0.01 \
    -toleranceUnit 0.001 -trainToTolerance 0.2 -inputFile nile.txt -saveStateFile four.vns \
    >run.log
  "$program" -generate -numberOfNeurons 2 -inputWindowSize 3 -pointsToGenerate 10 \
    -inputFile seed.txt -loadStateFile four.vns -outputFile forecast.txt >/dev/null
  echo "run $run: lines $(sed -n 's/^Largest relative error of the pass: //p' run.log | paste -sd' ')" \
    "| saved state's error $(state_error four.vns) | forecast $(forecast_flows)"
  forecast_flows | tr ' ' '\n' >>all-forecasts.txt
done
echo "all 100 forecast values lie between $(sort -n all-forecasts.txt | head -n 1) and" \
  "$(sort -n all-forecasts.txt | tail -n 1)"

echo "== benchmark: the dialog's default sizes on every build, three times each, in turn"
for engine in "" -SSE -nnvec2 -doublePrecision "" -SSE -nnvec2 -doublePrecision \
  "" -SSE -nnvec2 -doublePrecision; do
  shown -benchmark -numberOfNeurons 2 -inputWindowSize 384 -benchmarkingDataPoints 500 \
    -benchmarkingIterations 10000 -learningRate 0.0001 -toleranceUnit 0.00001 $engine
done

echo "== end"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
exec >&-
mv "$figures.tmp" "$figures"
