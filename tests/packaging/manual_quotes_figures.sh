#!/usr/bin/env bash
# Every program output the README and the manual's pages quote comes from the one run of
# scripts/manual-figures.sh kept in help/manual-figures.txt: each quoted progress, timing,
# benchmark and forecast line must be found there, so that no figure from another run (or
# another machine) creeps back in.
# Usage: manual_quotes_figures.sh SOURCE_DIR
set -euo pipefail
export LC_ALL=C
sources=$1
figures=$sources/help/manual-figures.txt
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
[ -s "$figures" ] || { echo "FAIL: no $figures"; exit 1; }
grep -q '^processor: ' "$figures" || fail "the figures file does not name the machine"

# The lines a run prints that carry a figure, as the documents quote them (the pages
# escape nothing in these lines), and the first forecast values the README shows.
quoted=$( (cat "$sources/README.md" "$sources"/help/*.html | sed -E 's/^ +//; s/<[^>]*>//g' |
  grep -E '^(Largest relative error of the pass: |Training finished; it took |Benchmark finished in |Benchmarking [0-9]+ neurons)'
  grep -A3 -F 'head -3 forecast.txt' "$sources/README.md" | tail -n 3 | sed -E 's/^ +//') |
  sort -u)
[ -n "$quoted" ] || fail "no quoted figures found: the pattern no longer matches the documents"
while IFS= read -r line; do
  grep -qxF -- "$line" "$figures" || fail "quoted but not in the figures file: $line"
done <<<"$quoted"

# Getting Started's forecast table, in the series' unit, is the figures run's forecast.
table=$(grep -oE '<td>[0-9]{4}</td><td>-?[0-9]+</td><td>predicted' "$sources/help/Getting Started.html" |
  sed -E 's#<td>[0-9]{4}</td><td>(-?[0-9]+)</td>.*#\1#' | paste -sd' ')
forecast=$(sed -n 's/^times 1000, 1971 to 1980: //p' "$figures" | head -n 1)
[ -n "$table" ] && [ "$table" = "$forecast" ] ||
  fail "Getting Started's forecast ($table) is not the figures run's ($forecast)"

[ "$failures" -eq 0 ] && echo "$(wc -l <<<"$quoted") quoted lines all come from $(basename "$figures")"
exit $((failures > 0))
