#!/bin/sh
# Strips as Debian's packages are stripped (dh_strip): the symbols, and the .comment and
# .note sections that record only the compiler and its version. The build's installs with
# --strip (the package's among them) use it in place of plain strip.
exec strip --remove-section=.comment --remove-section=.note "$@"
