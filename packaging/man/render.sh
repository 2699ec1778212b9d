#!/bin/sh
# Renders one scdoc page into a compressed man page: render.sh SCDOC SOURCE.scd PAGE.gz
# scdoc turns hyphenation and justification off before .TH, but the man macros' .TH turns
# them on again, and groff then splits long option names across lines ("-learn-ingRate"),
# which a reader can no longer copy. The same two requests after .TH keep every word whole.
# SOURCE_DATE_EPOCH, when set, dates the page (scdoc reads it).
set -eu
scdoc=$1 source=$2 page=$3
# scdoc writes to a file of its own first: in a pipe its failure would go unseen and
# leave a cut page.
"$scdoc" <"$source" >"$page.roff" || { rm -f "$page.roff"; exit 1; }
sed '/^\.TH /a\
.nh\
.ad l' "$page.roff" | gzip -9n >"$page.tmp"
rm -f "$page.roff"
mv "$page.tmp" "$page"
