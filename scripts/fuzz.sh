#!/usr/bin/env bash
# Runs every libFuzzer program of a fuzz build for FUZZ_SECONDS seconds each,
# starting from the seed corpus in the repository. New inputs go to the build
# directory's own corpus, crashes to its crashes/ folder; the repository's
# corpus is only read. Prints the executions per target; fails on a crash.
set -euo pipefail

build=${1:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
status=0
summary=""
for program in "$build"/fuzz/bin/fuzz_*; do
  name=$(basename "$program")
  name=${name#fuzz_}
  corpus="$build/fuzz-corpus/$name"
  crashes="$build/crashes/$name"
  mkdir -p "$corpus" "$crashes"
  log="$build/fuzz-$name.log"
  echo "== $name: $seconds s"
  if ! "$program" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$crashes/" \
      "$corpus" "$source_dir/fuzz/corpus/$name" >"$log" 2>&1; then
    echo "   FAILED: see $log and $crashes/"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  summary+=$(printf '%-16s %12s executions in %s s\n' "$name" "$runs" "$seconds")$'\n'
done
printf '\n%s' "$summary"
exit $status
