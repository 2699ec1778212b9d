#!/usr/bin/env bash
# Packs the Windows build for users: the program directory build-windows/bin/ becomes
# vantiro-<version>-win64.zip and the installer vantiro-<version>-win64-setup.exe (NSIS), both
# written beside bin/. The files packed are those of packaging/windows/program-files.txt.
#
# A file of the list that the build did not make fails the packing, named.
# Usage: windows-package.sh [BUILD_DIR [OUT_DIR]]
#   BUILD_DIR defaults to build-windows, OUT_DIR (where both are written) to BUILD_DIR.
set -euo pipefail
export LC_ALL=C
sources=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$sources/build-windows}")
out=$(realpath -m "${2:-$build}")
bin=$build/bin
packaging=$sources/packaging/windows

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
if [ -z "$version" ]; then
  echo "windows-package: $build is no configured build directory (cmake --preset windows)" >&2
  exit 1
fi

files=()
missing=()
while read -r name; do
  case $name in '' | '#'*) continue ;; esac
  if [ -f "$bin/$name" ]; then
    files+=("$name")
  else
    missing+=("$name")
  fi
done <"$packaging/program-files.txt"
if [ ${#missing[@]} -gt 0 ]; then
  echo "windows-package: missing from $bin: ${missing[*]}; nothing was packed" >&2
  exit 1
fi

stem=vantiro-$version-win64
zip_file=$out/$stem.zip
installer=$out/$stem-setup.exe
staging=$out/packaging-windows
rm -rf "$staging" "$zip_file" "$installer"
mkdir -p "$staging/$stem/examples"

# The zip: one folder holding the program directory, stripped of its debugging information,
# and the example series, these with Windows line ends so that Notepad shows them as lines
# (the programs read either). A program or library that needs a DLL of the compiler's
# runtime (libstdc++, libgcc, winpthread) would not start on a machine without MinGW: the
# build links them statically, and this keeps it so.
tool() { sed -n "s/^CMAKE_$1:FILEPATH=//p" "$build/CMakeCache.txt"; }
strip=$(tool STRIP)
objdump=$(tool OBJDUMP)
for name in "${files[@]}"; do
  cp "$bin/$name" "$staging/$stem/"
  case $name in
    *.exe | *.dll)
      "$strip" --strip-unneeded "$staging/$stem/$name"
      runtime=$("$objdump" -p "$staging/$stem/$name" | sed -n 's/^\s*DLL Name: //p' | grep -i '^lib' || true)
      if [ -n "$runtime" ]; then
        echo "windows-package: $name needs $(echo $runtime), which Windows does not have" >&2
        exit 1
      fi
      ;;
  esac
done
examples=(nile-flow-1871-1970.txt sunspots-yearly-1700-2008.txt README.txt)
for example in "${examples[@]}"; do
  source=$sources/examples/$example
  [ "$example" = README.txt ] && source=$sources/examples/README.md
  sed 's/$/\r/' "$source" >"$staging/$stem/examples/$example"
done
(cd "$staging" && zip -q -X -r "$zip_file" "$stem")

# The installer takes the same files, and the uninstaller removes exactly these: two macros
# that apply a given macro to each program file and each example.
{
  echo "!macro VANTIRO_FILES action"
  printf '  !insertmacro ${action} "%s"\n' "${files[@]}"
  echo "!macroend"
  echo "!macro VANTIRO_EXAMPLES action"
  printf '  !insertmacro ${action} "%s"\n' "${examples[@]}"
  echo "!macroend"
} >"$staging/files.nsh"
# The installer wears the dialog's icon when the build made it.
icon=$build/gui/win32/icon163.ico
icon_define=()
[ -f "$icon" ] && icon_define=("-DICON=$icon")
# Windows wants four numbers in a file's version.
file_version=$(echo "$version.0.0.0" | cut -d. -f1-4)
makensis -V2 -NOCD "${icon_define[@]}" \
  "-DVERSION=$version" "-DFILE_VERSION=$file_version" "-DSTAGING_DIR=$staging/$stem" \
  "-DFILES_NSH=$staging/files.nsh" "-DOUT_FILE=$installer" "$packaging/vantiro.nsi"

echo "packed from $bin (stripped), into $out:"
(cd "$staging/$stem" && stat -c '%10s  %n' "${files[@]}" examples/*)
(cd "$out" && stat -c '%10s  %n' "$stem.zip" "$stem-setup.exe")
