#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass their validators without a remark, and
# name each other, the installed program and the installed icon consistently.
# Usage: desktop_files_validate.sh DESKTOP_ENTRY METAINFO ICON_DIR
set -euo pipefail
desktop=$1 metainfo=$2 icons=$3
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

echo "\$ desktop-file-validate $(basename "$desktop")"
remarks=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[ -z "$remarks" ] || fail "desktop-file-validate: $remarks"
echo "\$ appstreamcli validate --no-net $(basename "$metainfo")"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate failed"

id=$(basename "$desktop" .desktop)
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = Vantiro ] || fail "the entry should start the installed program Vantiro"
[ "$(entry Icon)" = "$id" ] || fail "the entry's icon should be named $id"
grep -qF "<id>$id</id>" "$metainfo" || fail "the metainfo's id should be $id"
grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo should launch $id.desktop"
for side in 16 24 32 48 64 128 256; do
  picture=$icons/${side}x$side/$id.png
  [ "$(file -b "$picture" 2>/dev/null | grep -oE '[0-9]+ x [0-9]+')" = "$side x $side" ] ||
    fail "the $side-pixel icon is missing or of another size"
done

[ "$failures" -eq 0 ] && echo "desktop entry, metainfo and icons valid"
exit $((failures > 0))
