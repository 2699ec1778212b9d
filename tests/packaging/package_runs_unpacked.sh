#!/usr/bin/env bash
# Builds the Debian package from the build tree as `make package` does, checks what it holds
# and that its dependencies cover every library its programs link, lets lintian judge it,
# then unpacks it into a scratch root and runs the programs by their bin/ links from
# another directory, as an installed program runs.
# Usage: package_runs_unpacked.sh BUILD_DIR HAS_MANUAL (1 when the build makes the manual)
set -euo pipefail
export LC_ALL=C
build=$(realpath "$1")
sources=$(realpath "$(dirname "$0")/../..")
has_manual=${2:-0}
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  exit 1
fi
deb=$(echo "$scratch"/out/vantiro_*.deb)
[ -f "$deb" ] || { echo "FAIL: no package in $scratch/out"; exit 1; }
echo "built $(basename "$deb")"

# What the package must hold, and nothing the programs do not use.
listing=$(dpkg-deb -c "$deb" | awk '{ print $6 $7 $8 }')
expected=(
  ./usr/bin/VantiroCmdLine-\>../lib/vantiro/VantiroCmdLine
  ./usr/lib/vantiro/VantiroCmdLine
  ./usr/bin/vantiro-forecast-\>../lib/vantiro/vantiro-forecast
  ./usr/lib/vantiro/vantiro-forecast
  ./usr/share/man/man1/vantiro-forecast.1.gz
  ./usr/lib/vantiro/Language.dll
  ./usr/lib/vantiro/nnsingle.dll
  ./usr/lib/vantiro/nndouble.dll
  ./usr/lib/vantiro/nnvec4.dll
  ./usr/lib/vantiro/nnvec2.dll
  ./usr/share/man/man1/VantiroCmdLine.1.gz
  ./usr/share/bash-completion/completions/VantiroCmdLine
  ./usr/share/bash-completion/completions/vantiro-forecast
  ./usr/share/doc/vantiro/copyright
  ./usr/share/doc/vantiro/changelog.Debian.gz
  ./usr/share/lintian/overrides/vantiro
  ./usr/share/doc/vantiro/examples/README.md
  ./usr/share/doc/vantiro/examples/nile-flow-1871-1970.txt
  ./usr/share/doc/vantiro/examples/sunspots-yearly-1700-2008.txt
)
if [ -x "$build/bin/Vantiro" ]; then
  expected+=(
    ./usr/bin/Vantiro-\>../lib/vantiro/Vantiro
    ./usr/lib/vantiro/Vantiro
    ./usr/lib/vantiro/vantiro-chm-reader
    ./usr/share/man/man1/Vantiro.1.gz
    ./usr/share/applications/org.vantiro.Vantiro.desktop
    ./usr/share/metainfo/org.vantiro.Vantiro.metainfo.xml
    ./usr/share/icons/hicolor/scalable/apps/org.vantiro.Vantiro.svg
    ./usr/share/icons/hicolor/48x48/apps/org.vantiro.Vantiro.png
    ./usr/share/icons/hicolor/256x256/apps/org.vantiro.Vantiro.png
  )
fi
if [ "$has_manual" = 1 ]; then
  expected+=(./usr/share/vantiro/VantiroUserManual.chm)
fi
for entry in "${expected[@]}"; do
  grep -qxF -- "$entry" <<<"$listing" || fail "the package lacks $entry"
done
# Help finds the manual in the shared directory of the prefix; the program directory holds
# no manual and no log.
unwanted=$(grep -E '\.(a|h|o|cmake|log)$|/tests?/|_tests$|/include/|lib/vantiro/VantiroUserManual' \
  <<<"$listing" || true)
[ -z "$unwanted" ] || fail "the package holds what it should not: $unwanted"

# Every library a program or engine library names as needed must come from a package the
# package depends on.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
depended=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/^ *([^ (]+).*/\1/')
root=$scratch/root
dpkg-deb -x "$deb" "$root"
for binary in "$root"/usr/lib/vantiro/*; do
  needed=$(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  while read -r name _ library _; do
    grep -qxF "$name" <<<"$needed" || continue
    owner=$(dpkg -S "$library" 2>/dev/null || dpkg -S "/usr$library" 2>/dev/null || true)
    owner=${owner%%:*}
    if [ -z "$owner" ]; then
      fail "$(basename "$binary") needs $name ($library), which no package provides"
    elif ! grep -qxF "$owner" <<<"$depended"; then
      fail "$(basename "$binary") needs $name from $owner, missing from Depends"
    fi
  done < <(ldd "$binary" | awk '$2 == "=>" { print $1, $2, $3 }')
done

if ! lintian --fail-on error --display-info --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>&1; then
  cat "$scratch/lintian.log"
  fail "lintian reports errors"
fi
grep -E '^[EWI]:' "$scratch/lintian.log" || true
# Built with Debian's hardening flags, and with no maintainer script that calls ldconfig
# for libraries outside the linker's search path.
for tag in hardening-no-bindnow hardening-no-fortify-functions hardening-no-relro \
  maintscript-calls-ldconfig maintainer-script-empty binary-has-unneeded-section; do
  ! grep -q ": $tag " "$scratch/lintian.log" || fail "lintian: $tag"
done
! dpkg-deb -I "$deb" | grep -qw postinst || fail "the package has a postinst; it needs none"

# The example series come as they are in the sources.
for example in nile-flow-1871-1970.txt sunspots-yearly-1700-2008.txt; do
  cmp -s "$root/usr/share/doc/vantiro/examples/$example" "$sources/examples/$example" ||
    fail "the packaged $example differs from the one in examples/"
done

# A Train and a Generate from another directory, by the bin/ link.
work=$scratch/work
mkdir "$work"
cd "$work"
for i in $(seq 0 59); do
  awk -v i="$i" 'BEGIN { printf "%.6f\n", 1 + 0.1 * sin(i / 3) }'
done >series.txt
tail -n 3 series.txt >seed.txt
program=../root/usr/bin/VantiroCmdLine
echo "in $work, beside the unpacked root:"
run() {  # run EXPECTED_EXIT ARGUMENTS...: shows the command and its output
  local expected_exit=$1
  shift
  echo "\$ $program $*"
  local status=0
  "$program" "$@" >"$work/output.txt" 2>&1 || status=$?
  cat "$work/output.txt"
  [ "$status" -eq "$expected_exit" ] || fail "exit code $status, expected $expected_exit"
}
run 0 -train -numberOfNeurons 2 -inputWindowSize 3 -learningRate 0.01 -toleranceUnit 0.001 \
  -trainToTolerance 0.5 -inputFile series.txt -saveStateFile state.vns
grep -q "not found" output.txt && fail "a message text is missing: Language.dll not loaded"
[ "$(stat -c %s state.vns 2>/dev/null)" = 36 ] || fail "the state should take 4 x (1 + 2 x 3 + 2) bytes"
run 0 -generate -numberOfNeurons 2 -inputWindowSize 3 -pointsToGenerate 5 -inputFile seed.txt \
  -loadStateFile state.vns -outputFile forecast.txt
[ "$(wc -l <forecast.txt 2>/dev/null)" = 5 ] || fail "Generate should write 5 values"
cat forecast.txt

# Every engine build ships and loads from the program directory.
for engine in "" -doublePrecision -SSE -nnvec2; do
  run 0 -benchmark -numberOfNeurons 2 -inputWindowSize 4 -benchmarkingDataPoints 20 \
    -benchmarkingIterations 1 -learningRate 0.01 -toleranceUnit 0.001 $engine
done

# The forecast checker loads the engine from the same directory, by its own link.
echo "\$ ../root/usr/bin/vantiro-forecast check series.txt --holdout 5 --seconds 1"
forecast_status=0
../root/usr/bin/vantiro-forecast check series.txt --holdout 5 --seconds 1 >"$work/output.txt" 2>&1 ||
  forecast_status=$?
cat "$work/output.txt"
[ "$forecast_status" -eq 0 ] || fail "vantiro-forecast check: exit code $forecast_status"
grep -q "Best by mean absolute error" output.txt || fail "vantiro-forecast printed no table"

# The dialog program, started off screen by its link, loads Language.dll from its own
# directory; it waits for the user, so it is ended after a few seconds.
if [ -x "$build/bin/Vantiro" ]; then
  echo "\$ ../root/usr/bin/Vantiro   (off screen, for 8 seconds)"
  trace=$(XDG_CONFIG_HOME=$scratch/config QT_QPA_PLATFORM=offscreen LD_DEBUG=files \
    timeout 8 ../root/usr/bin/Vantiro 2>&1 || true)
  grep -F "file=$root/usr/lib/vantiro/Language.dll" <<<"$trace" | grep -q "dynamically loaded" ||
    fail "the dialog program did not load Language.dll from its own directory"
fi

[ "$failures" -eq 0 ] && echo "the unpacked package runs"
exit $((failures > 0))
