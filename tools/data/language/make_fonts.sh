#!/usr/bin/env bash
# Makes the sample language's four bitmap fonts with the makefont tool from
# the Liberation Sans faces shipped with the tests (so the result does not
# depend on the fonts installed on the machine). Usage: make_fonts.sh MAKEFONT
set -euo pipefail
makefont="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
faces="$here/../../../tests/data/fonts"
mk() { "$makefont" --folder "$faces" --no-system "$@"; }
mk --bold Arial 11 "$here/fonts/buttons_font"
mk --bold --outline 1 Arial 15 "$here/fonts/caption_font"
mk Arial 11 "$here/fonts/main_font"
mk Arial 15 "$here/fonts/main_big_font"
