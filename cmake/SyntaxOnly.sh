#!/bin/sh
# Compiler launcher of the include check: runs the compile command it is
# given with -fsyntax-only (parsed and checked, no code made) and, when that
# succeeds, leaves an empty object file behind, so the build knows the
# source as checked until it or a header it includes changes.
out=""
prev=""
for a in "$@"; do
  [ "$prev" = "-o" ] && out="$a"
  prev="$a"
done
"$@" -fsyntax-only || exit $?
if [ -n "$out" ]; then
  mkdir -p "$(dirname "$out")" && : >"$out"
fi
