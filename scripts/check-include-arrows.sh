#!/bin/bash
# Fails when an include crosses one of the arrows the code is laid out by
# (README, "How the code is laid out"):
#   gui/window -> gui/rules, gui/runs, gui/help;  gui/runs -> gui/rules;
#   gui/win32 -> gui/rules, gui/runs (no Qt)
#   gui/rules and gui/runs include no Qt; gui/help knows no other room, and
#   its readers of the manual's text include no Qt either;
#   engine/model and engine/kernels include nothing from engine/run or engine/builds;
#   common/ and platform/ include no program's code, cmdline/ neither the engine nor Qt.
# Usage: check-include-arrows.sh [source directory]
set -u
cd "${1:-$(dirname "$0")/..}" || exit 2

crossings=0
checked=0

# forbid <folder or files> <extended regex of include targets> <why>
forbid() {
  local where=$1 pattern=$2 why=$3 file hits
  for file in $where; do
    [ -f "$file" ] || continue
    checked=$((checked + 1))
    hits=$(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" "$file")
    if [ -n "$hits" ]; then
      while IFS= read -r hit; do
        echo "$file:$hit  <- $why"
        crossings=$((crossings + 1))
      done <<<"$hits"
    fi
  done
}

sources() { find "$@" -maxdepth 1 \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort; }

forbid "$(sources gui/rules)" 'Q|gui/(window|runs|help)/' 'rules/ uses no Qt and no other room'
forbid "$(sources gui/runs)" 'Q|gui/(window|help)/' 'runs/ uses no Qt and only rules/'
forbid "$(sources gui/help)" 'gui/(window|rules|runs)/' 'help/ knows no other room'
forbid "$(sources gui/win32)" 'Q|gui/(window|help)/' 'win32/ uses no Qt, only rules/ and runs/'
forbid "$(ls gui/help/help_contents.* gui/help/help_search.* gui/help/help_request.* \
              gui/help/chm_archive.* gui/help/chm_reader_process.* 2>/dev/null)" \
       'Q' "the manual's text readers use no Qt"
forbid "$(sources engine/model engine/kernels)" '(run|builds)/' 'model/ and kernels/ sit below run/ and builds/'
forbid "$(sources common platform)" '(gui|engine|cmdline)/' 'common/ and platform/ sit below every program'
forbid "$(sources cmdline)" 'Q|(gui|engine)/' 'the console program loads the engines, it does not include them'

if [ "$checked" -eq 0 ]; then
  echo "include arrows: no sources found under $(pwd)" >&2
  exit 2
fi
echo "include arrows: $checked files checked, $crossings crossings"
[ "$crossings" -eq 0 ]
