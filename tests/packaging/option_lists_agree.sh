#!/usr/bin/env bash
# The options of VantiroCmdLine as its usage text lists them, as its man page describes
# them and as bash completes them must be the same; after an option that takes a file the
# completion offers file names, after one that takes a number nothing.
# Usage: option_lists_agree.sh VANTIROCMDLINE MAN_PAGE.gz COMPLETION_SCRIPT
set -euo pipefail
export LC_ALL=C
# Absolute paths: the completion cases run in a scratch directory.
program=$(realpath -e "$1") man_page=$(realpath -e "$2") completion=$(realpath -e "$3")
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The usage text is what the program prints for an empty command line.
status=0
usage=$("$program") || status=$?
[ "$status" -eq 1 ] || fail "the usage text should end with exit code 1, not $status"
usage_options=$(grep -oE '^ +-[A-Za-z0-9]+' <<<"$usage" | tr -d ' ' | sort -u)
[ -n "$usage_options" ] || fail "no options found in the usage text"

# The man page describes each option in a paragraph that starts with its name in bold.
man_options=$(gzip -dc "$man_page" | sed -n '/^\.SH OPTIONS/,/^\.SH [^O]/p' |
  grep -oE '^\\fB-[A-Za-z0-9]+\\fR' | sed -E 's/\\f[BR]//g' | sort -u)

complete_words() {  # prints what completion offers for the words given, one per line
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
           _VantiroCmdLine; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@" |
    sed '/^$/d' | sort
}
completion_options=$(complete_words VantiroCmdLine -)

if [ "$man_options" != "$usage_options" ]; then
  fail "man page and usage text differ:"
  diff <(echo "$usage_options") <(echo "$man_options") || true
fi
if [ "$completion_options" != "$usage_options" ]; then
  fail "completion and usage text differ:"
  diff <(echo "$usage_options") <(echo "$completion_options") || true
fi

# The value an option takes, as the usage text names it (FILE, N, R, ...).
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
touch "series one.txt" state.vns
mkdir sub
file_names=$(printf '%s\n' "series one.txt" state.vns sub | sort)
while read -r option value; do
  offered=$(complete_words VantiroCmdLine -train "$option" "")
  if [ "$value" = FILE ]; then
    [ "$offered" = "$file_names" ] || fail "after $option completion offers '$offered', not the files"
  elif [ -n "$value" ]; then
    [ -z "$offered" ] || fail "after $option (a number) completion offers '$offered'"
  fi
done < <(grep -oE '^ +-[A-Za-z0-9]+( [A-Z]+)?' <<<"$usage" | sort -u)

# Completion cases: the words before, the word being typed, what must be offered ('|' between).
while IFS=';' read -r words current expected; do
  read -ra before <<<"$words"
  offered=$(complete_words "${before[@]}" "$current" | paste -sd'|')
  [ "$offered" = "$expected" ] || fail "'$words $current': offered '$offered', not '$expected'"
done <<'CASES'
VantiroCmdLine -saveStateFile;;series one.txt|state.vns|sub
VantiroCmdLine -inputFile;st;state.vns
VantiroCmdLine -inputFile;series;series one.txt
VantiroCmdLine -inputFile;-t;
VantiroCmdLine -inputFile x.txt;-t;-toleranceUnit|-train|-trainToTolerance
VantiroCmdLine -numberOfNeurons;;
VantiroCmdLine;-save;-saveConversionState|-saveStateFile
VantiroCmdLine -train;-ge;
VantiroCmdLine -generate;-b;-benchmarkingDataPoints|-benchmarkingIterations
VantiroCmdLine;-S;-SSE
CASES

[ "$failures" -eq 0 ] && echo "usage text, man page and completion agree on $(wc -l <<<"$usage_options") options"
exit $((failures > 0))
