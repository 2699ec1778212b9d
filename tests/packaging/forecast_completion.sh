#!/usr/bin/env bash
# Bash completion of vantiro-forecast: it offers every option of the usage text (no more),
# for each command only the options that command takes, file names after the file options,
# nothing after an option that takes a number, the engines after --engine and the series'
# own column names after --column and --date-column.
# Usage: forecast_completion.sh VANTIRO-FORECAST COMPLETION_SCRIPT
set -euo pipefail
export LC_ALL=C
program=$(realpath -e "$1") completion=$(realpath -e "$2")
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
complete_words() {  # prints what completion offers for the words given, one per line
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
           _vantiro_forecast; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@" |
    sed '/^$/d' | sort
}

# Every option the usage text names, in its synopsis or in its list.
usage_options=$("$program" --help | grep -oE '(^|[][ (])--?[a-z][a-z-]*' | sed 's/^[][ (]//' |
  sort -u)
offered_options=$( (complete_words vantiro-forecast check s.csv -
  complete_words vantiro-forecast ahead s.csv -
  complete_words vantiro-forecast error s.csv -
  echo -h) | sort -u)
if [ "$offered_options" != "$usage_options" ]; then
  fail "completion and usage text differ:"
  diff <(echo "$usage_options") <(echo "$offered_options") || true
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
printf 'year;"flow rate";level\n1871;1120;3\n' >nile.csv
printf '1120\n1160\n' >plain.txt
# The words before, the word being typed, what must be offered ('|' between).
while IFS=';' read -r words current expected; do
  read -ra before <<<"$words"
  offered=$(complete_words "${before[@]}" "$current" | paste -sd'|')
  [ "$offered" = "$expected" ] || fail "'$words $current': offered '$offered', not '$expected'"
done <<'CASES'
vantiro-forecast;;--help|ahead|check|error
vantiro-forecast;c;check
vantiro-forecast check;n;nile.csv
vantiro-forecast check nile.csv --column;;flow rate|level|year
vantiro-forecast ahead nile.csv --date-column;y;year
vantiro-forecast check plain.txt --column;;
vantiro-forecast check --holdout 3 nile.csv --column;l;level
vantiro-forecast check nile.csv --engine;;double|nnvec2|single|sse
vantiro-forecast check nile.csv --holdout;;
vantiro-forecast check nile.csv --rate;;
vantiro-forecast ahead nile.csv -o;p;plain.txt
vantiro-forecast ahead nile.csv --save-state;;nile.csv|plain.txt
vantiro-forecast check nile.csv;--h;--help|--holdout
vantiro-forecast check nile.csv;--p;
vantiro-forecast ahead nile.csv;--s;--save-state|--scale|--seconds|--state|--svg
vantiro-forecast error nile.csv;-;--column|--help|--state
CASES
[ "$failures" -eq 0 ] && echo "completion of vantiro-forecast: $(wc -l <<<"$usage_options") options agree, every case offers what it should"
exit $((failures > 0))
