#!/usr/bin/env bash
# The Windows installer's round trip under Wine: makensis builds it from the Windows build
# (with the zip), it installs silently what the zip holds, the installed VantiroCmdLine.exe runs
# a short Benchmark on every engine library shipped, from another directory (and the unpacked
# zip's runs one too); while it runs, neither
# the installer nor the uninstaller changes anything; then the uninstaller, started as Windows
# starts it, takes away every file, the Start-menu entry and its key.
# Usage: windows_installer_round_trip.sh BUILD_DIR   (the `windows` preset's build directory)
# The Wine prefix is the one the other Windows tests use, inside the build directory.
set -euo pipefail
export LC_ALL=C
build=$(realpath "$1")
sources=$(realpath "$(dirname "$0")/../..")
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Every Wine call goes through the tests' wrapper, which makes the prefix once for all of them.
export WINEPREFIX=${WINEPREFIX:-$build/wine-prefix}
wine=$sources/scripts/wine-run.sh
programs="$WINEPREFIX/drive_c/Program Files"
install_dir="$programs/Vantiro"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantiro.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantiro'
scratch=$(mktemp -d)
running=
trap '[ -z "$running" ] || kill "$running" 2>/dev/null || true; rm -rf "$scratch"' EXIT

# 1. makensis builds the installer, into the scratch directory (the build's own are left as
# `make windows` made them); the zip holds the same files.
"$sources/scripts/windows-package.sh" "$build" "$scratch/out"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
stem=vantiro-$version-win64
installer=$scratch/out/$stem-setup.exe
packed=$(grep -v -e '^#' -e '^$' "$sources/packaging/windows/program-files.txt")
examples="examples/nile-flow-1871-1970.txt examples/sunspots-yearly-1700-2008.txt examples/README.txt"
expected=$(printf "$stem/%s\n" "" examples/ $packed $examples | sort)
listed=$(unzip -Z1 "$scratch/out/$stem.zip" | sort)
[ "$listed" = "$expected" ] || fail "the zip holds $(echo $listed), expected $(echo $expected)"
unzip -q "$scratch/out/$stem.zip" -d "$scratch/zip"
unpacked=$scratch/zip/$stem

# 2. A silent install. Wine presents itself as Windows 7 unless told otherwise; the installer
# wants 10, so Wine shows it Windows 10 (for this program only). This also makes the prefix
# when no other test has.
"$wine" reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$installer")" /v Version /d win10 /f >/dev/null
# A run that failed half way may have left an installation behind.
rm -rf "$install_dir" "$shortcut"
before=$(cd "$WINEPREFIX/drive_c" && find "Program Files" ProgramData | sort)
echo "\$ $(basename "$installer") /S"
status=0
"$wine" "$installer" /S || status=$?
[ "$status" -eq 0 ] || fail "the silent install exited with $status"
for name in $packed $examples; do
  cmp -s "$unpacked/$name" "$install_dir/$name" || fail "$name was not installed as the zip holds it"
done
[ -f "$install_dir/Uninstall Vantiro.exe" ] || fail "no uninstaller in the installation"
[ -f "$shortcut" ] || fail "no Start-menu entry"
values=$("$wine" reg query "$key" | tr -d '\r' | sed -n 's/^ *//; s/  */ /gp' | grep ' REG_' || true)
echo "$values"
for value in 'DisplayName REG_SZ Vantiro' "DisplayVersion REG_SZ $version" \
  'Publisher REG_SZ Brennix Software' 'InstallLocation REG_SZ C:\Program Files\Vantiro' \
  'UninstallString REG_SZ "C:\Program Files\Vantiro\Uninstall Vantiro.exe"' \
  'QuietUninstallString REG_SZ "C:\Program Files\Vantiro\Uninstall Vantiro.exe" /S'; do
  grep -qxF "$value" <<<"$values" || fail "the uninstall key $key lacks $value"
done

# 3. The installed console program, from a directory of its own (Z:), loads every engine
# library shipped and its messages from the installation; the unpacked zip's runs as well.
cd "$scratch"
benchmark() {  # benchmark PROGRAM ENGINE_LIBRARY [ENGINE_OPTION]
  echo "\$ \"$1\" -benchmark ... ${3:-}"
  local status=0
  "$wine" "$1" -benchmark -numberOfNeurons 2 -inputWindowSize 8 -benchmarkingDataPoints 50 \
    -benchmarkingIterations 10 -learningRate 0.0001 -toleranceUnit 0.00001 ${3:-} >output.txt 2>&1 ||
    status=$?
  tr -d '\r' <output.txt
  [ "$status" -eq 0 ] || fail "the Benchmark on $2 by $1 exited with $status"
  grep -q '^Benchmark finished in ' output.txt || fail "the Benchmark on $2 by $1 did not finish"
}
for engine in nnsingle.dll: nndouble.dll:-doublePrecision nnvec4.dll:-SSE nnvec2.dll:-nnvec2; do
  benchmark 'C:\Program Files\Vantiro\VantiroCmdLine.exe' "${engine%%:*}" "${engine#*:}"
done
benchmark "$unpacked/VantiroCmdLine.exe" nnsingle.dll

# 4. While the installed program runs, Windows lets nobody replace or delete its files: the
# installer and the uninstaller then change nothing and ask for it to be closed, which a silent
# run answers by giving up with exit code 2. The uninstaller runs in place (_?=) here, so that
# its exit code is its own; the directory is given by its short name, without spaces: _?= wants
# it unquoted, and Wine quotes an argument with spaces.
"$wine" 'C:\Program Files\Vantiro\VantiroCmdLine.exe' -benchmark -numberOfNeurons 2 \
  -inputWindowSize 8 -benchmarkingDataPoints 50 -benchmarkingIterations 2000000000 \
  -learningRate 0.0001 -toleranceUnit 0.00001 >running.txt 2>&1 &
running=$!
deadline=$((SECONDS + 60))
until grep -q '^Benchmarking' running.txt || ! kill -0 "$running" 2>/dev/null || [ $SECONDS -ge $deadline ]; do
  sleep 0.1
done
grep -q '^Benchmarking' running.txt || fail "a long Benchmark did not start: $(cat running.txt)"
echo "(VantiroCmdLine.exe running)"
status=0
echo "\$ $(basename "$installer") /S"
"$wine" "$installer" /S || status=$?
[ "$status" -eq 2 ] || fail "over a running program the installer exited with $status, expected 2"
status=0
short_dir=$("$wine" winepath -s 'C:\Program Files\Vantiro' | tr -d '\r')
echo "\$ \"C:\\Program Files\\Vantiro\\Uninstall Vantiro.exe\" /S _?=$short_dir"
"$wine" 'C:\Program Files\Vantiro\Uninstall Vantiro.exe' /S "_?=$short_dir" || status=$?
[ "$status" -eq 2 ] || fail "with the program running the uninstaller exited with $status, expected 2"
kill "$running"
wait "$running" 2>/dev/null || true
running=
for name in $packed; do
  cmp -s "$install_dir/$name" "$unpacked/$name" ||
    fail "with the program running, $name was changed or removed"
done
[ -f "$install_dir/Uninstall Vantiro.exe" ] || fail "with the program running, the uninstaller went"
"$wine" reg query "$key" >/dev/null 2>&1 || fail "with the program running, the uninstaller removed its key"

# 5. The uninstaller as Windows starts it (the key's QuietUninstallString). It runs from a copy
# in the temporary directory so that it can delete itself, and the command returns at once:
# the round trip waits for the installation directory to go, the uninstaller's last step.
echo "\$ \"C:\\Program Files\\Vantiro\\Uninstall Vantiro.exe\" /S"
status=0
"$wine" 'C:\Program Files\Vantiro\Uninstall Vantiro.exe' /S || status=$?
[ "$status" -eq 0 ] || fail "the uninstaller exited with $status"
deadline=$((SECONDS + 60))
while [ -e "$install_dir" ] && [ $SECONDS -lt $deadline ]; do
  sleep 0.2
done
if [ -e "$install_dir" ]; then
  fail "the uninstaller left: $(cd "$install_dir" && find . -mindepth 1 | tr '\n' ' ')"
fi
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
! "$wine" reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left its key $key"
after=$(cd "$WINEPREFIX/drive_c" && find "Program Files" ProgramData | sort)
left=$(comm -13 <(echo "$before") <(echo "$after"))
[ -z "$left" ] || fail "after uninstalling, the prefix still holds: $(echo $left)"

[ "$failures" -eq 0 ] && echo "the installer installs, runs and uninstalls cleanly"
exit $((failures > 0))
