#!/usr/bin/env bash
# The man pages, rendered as `man` shows them at the widths terminals have, break no word
# across lines: an option split as "-learn-ingRate" can no longer be copied. groff marks a
# break it made inside a word with U+2010 at the line's end (a break after a hyphen of the
# text itself, as in "double-precision", keeps the plain '-'); no line may end with it.
# Usage: man_pages_break_no_word.sh PAGE.gz...
set -euo pipefail
export LC_ALL=C.UTF-8
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

mark=$'\u2010'
render() {  # render PAGE WIDTH: the page as man shows it
  MANWIDTH=$2 MAN_KEEP_FORMATTING= man -l "$1" 2>/dev/null
}
for page in "$@"; do
  for width in 60 80 100 132; do
    split=$(render "$page" "$width" | grep -n -- "$mark\$" || true)
    [ -z "$split" ] || fail "$(basename "$page") at $width columns splits words:"$'\n'"$split"
  done
done

# The check can see a split: the first page with groff's hyphenation left on (the
# requests after .TH removed) must show some at 60 columns.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
gzip -dc "$1" | sed '/^\.TH /,$ { /^\.nh$/d; /^\.ad l$/d }' >"$scratch/hyphenated.1"
render "$scratch/hyphenated.1" 60 | grep -q -- "$mark\$" ||
  fail "with hyphenation on, no split word shows: the check above sees nothing"

[ "$failures" -eq 0 ] && echo "$# man pages break no word at 60, 80, 100 and 132 columns"
exit $((failures > 0))
