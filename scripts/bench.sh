#!/usr/bin/env bash
# Speed of the four engine builds against FANN, side by side in one run.
#
#   1. build everything (BUILD_DIR, default build/) and the benchmark programs;
#   2. validate: each build's pass against its reference arithmetic, on the
#      workloads' own sizes; nothing is timed unless all are bit-identical;
#   3. calibrate the passes of every contender on every workload to about
#      TARGET_SECONDS (default 1.5) a run;
#   4. time ROUNDS rounds (default 3), alternating the contenders within each
#      workload, and print each one's median MOPS and its ratio to FANN's;
#   5. measure a plain streaming sweep over the largest workload's weights, for scale.
#
# MOPS is the engine's nominal count, ((W*4+12)*H+2) per sample, N-W samples
# a pass, for FANN too. The machine may be shared: only ratios measured in
# the same run mean something.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build}
ROUNDS=${ROUNDS:-3}
TARGET_SECONDS=${TARGET_SECONDS:-1.5}
LEARNING_RATE=0.01

if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
else
  cmake -S . -B "$BUILD_DIR" >/dev/null  # finds FANN if it was installed since
fi
# Only what is measured: the program, its libraries, the benchmark programs.
if ! cmake --build "$BUILD_DIR" --target VantiroCmdLine Language nnsingle nndouble nnvec4 nnvec2 \
  validate_workloads fann_bench bandwidth_probe >"$BUILD_DIR/bench-build.log" 2>&1; then
  tail -n 30 "$BUILD_DIR/bench-build.log"
  echo "bench: the build failed (is libfann-dev installed? BENCH=1 scripts/install-deps.sh)" >&2
  exit 1
fi

PROGRAM="$BUILD_DIR/bin/VantiroCmdLine"
VALIDATE="$BUILD_DIR/bench/bin/validate_workloads"
FANN="$BUILD_DIR/bench/bin/fann_bench"
PROBE="$BUILD_DIR/bench/bin/bandwidth_probe"

echo "Validating each build against its reference arithmetic:"
"$VALIDATE"

# name H W N
WORKLOADS=("A 2 384 500" "B 16 64 5000" "C 64 1024 2000" "D 256 4096 6000" "E 1 8 100000"
  "N 2 3 100")
CONTENDERS=(fann nnsingle nndouble nnvec4 nnvec2)

# run CONTENDER H W N PASSES: prints "seconds MOPS".
run() {
  local who=$1 h=$2 w=$3 n=$4 passes=$5 option=""
  if [ "$who" = fann ]; then
    "$FANN" "$h" "$w" "$n" "$passes" "$LEARNING_RATE" | awk '{print $1, $3}'
    return
  fi
  case $who in
    nndouble) option=-doublePrecision ;;
    nnvec4) option=-SSE ;;
    nnvec2) option=-nnvec2 ;;
  esac
  # The closing message carries the seconds and the MOPS as its last two numbers.
  "$PROGRAM" -benchmark $option -numberOfNeurons "$h" -inputWindowSize "$w" \
    -benchmarkingDataPoints "$n" -benchmarkingIterations "$passes" \
    -learningRate "$LEARNING_RATE" -toleranceUnit 0.001 |
    tail -n 1 | grep -Eo '[0-9]+(\.[0-9]+)?' | tail -n 2 | paste -sd' '
}

declare -A PASSES
echo
echo "Calibrating to about $TARGET_SECONDS s a run..."
for load in "${WORKLOADS[@]}"; do
  read -r name h w n <<<"$load"
  for who in "${CONTENDERS[@]}"; do
    passes=1
    while :; do
      read -r seconds _ <<<"$(run "$who" "$h" "$w" "$n" "$passes")"
      if awk -v s="$seconds" 'BEGIN { exit !(s >= 0.2) }' || [ "$passes" -ge 1000000 ]; then break; fi
      passes=$((passes * 4))
    done
    PASSES[$name.$who]=$(awk -v p="$passes" -v s="$seconds" -v t="$TARGET_SECONDS" \
      'BEGIN { q = int(p * t / s + 0.5); print (q < 1 ? 1 : q) }')
  done
done

declare -A RESULTS
for round in $(seq 1 "$ROUNDS"); do
  echo "Round $round of $ROUNDS..."
  for load in "${WORKLOADS[@]}"; do
    read -r name h w n <<<"$load"
    for who in "${CONTENDERS[@]}"; do
      read -r _ mops <<<"$(run "$who" "$h" "$w" "$n" "${PASSES[$name.$who]}")"
      RESULTS[$name.$who]="${RESULTS[$name.$who]:-} $mops"
    done
  done
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo
echo "MOPS, median of $ROUNDS alternating rounds; in brackets the ratio to FANN"
echo
printf '| workload | H | W | N | FANN |'
for who in "${CONTENDERS[@]:1}"; do printf ' %s |' "$who"; done
echo
printf '|---|---|---|---|---|'
for _ in "${CONTENDERS[@]:1}"; do printf -- '---|'; done
echo
for load in "${WORKLOADS[@]}"; do
  read -r name h w n <<<"$load"
  fann=$(median <<<"${RESULTS[$name.fann]}")
  printf '| %s | %s | %s | %s | %.0f |' "$name" "$h" "$w" "$n" "$fann"
  for who in "${CONTENDERS[@]:1}"; do
    mops=$(median <<<"${RESULTS[$name.$who]}")
    printf ' %.0f (%.1fx) |' "$mops" "$(awk -v a="$mops" -v b="$fann" 'BEGIN { print a / b }')"
  done
  echo
done

echo
echo "A plain read-modify-write sweep over D's weights, row by row, for scale (they leave"
echo "the second-level cache; the builds' sweeps pass this rate: every other sample starts on"
echo "the rows the one before left in the cache, and interleaved rows stream as one):"
"$PROBE" 256 4096
