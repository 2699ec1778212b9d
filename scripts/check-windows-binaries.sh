#!/usr/bin/env bash
# The Windows program directory as shipped: every .exe and .dll imports only
# system DLLs (the C++ runtime, libgcc and winpthread are linked in, so nothing
# else has to be installed beside them); each engine library exports Pet and
# nothing else; Language.dll is resources alone: no entry point, imports or exports.
#   scripts/check-windows-binaries.sh BIN_DIR [OBJDUMP]
set -uo pipefail
bin=$1
objdump=${2:-x86_64-w64-mingw32-objdump}
system_dlls='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|COMCTL32|COMDLG32|msvcrt|ucrtbase|api-ms-win-.*)\.dll$'
failed=0
fail() { echo "$*" >&2; failed=1; }

exports() { "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ {print $NF}'; }
imports() { "$objdump" -p "$1" | awk '/DLL Name:/ {print $3}'; }

found=0
for file in "$bin"/*.exe "$bin"/*.dll; do
  [ -e "$file" ] || continue
  found=$((found + 1))
  for dll in $(imports "$file"); do
    [[ "$dll" =~ $system_dlls ]] || fail "$(basename "$file") needs $dll"
  done
done
[ "$found" -ge 6 ] || fail "only $found programs and libraries in $bin"

for engine in nnsingle nndouble nnvec4 nnvec2; do
  [ "$(exports "$bin/$engine.dll" | tr '\n' ' ')" = "Pet " ] ||
    fail "$engine.dll exports: $(exports "$bin/$engine.dll" | tr '\n' ' ')"
done
[ -z "$(imports "$bin/Language.dll")$(exports "$bin/Language.dll")" ] ||
  fail "Language.dll has imports or exports"
# Whole outputs first: grep -q would end the pipe early and objdump fail with it.
headers=$("$objdump" -p "$bin/Language.dll")
sections=$("$objdump" -h "$bin/Language.dll")
grep -Eq 'AddressOfEntryPoint[[:space:]]+0+$' <<<"$headers" || fail "Language.dll has an entry point"
grep -q '\.rsrc' <<<"$sections" || fail "Language.dll holds no resources"
exit $failed
