#!/usr/bin/env bash
# Remakes docs/screenshot.png, the README's picture of the game: the main
# screen at 1024 x 768, just after a first profile ("Tester") was made. The
# game draws it itself, headless (no display needed), playing a short
# replay on a per-user folder of its own, so nothing of yours is read or
# changed. The game and the data set are built as tools/run.sh builds them.
#   bash tools/screenshot.sh [FILE.png]
# FILE.png: where the picture goes (by default docs/screenshot.png). Run it
# again, look at the picture and commit it whenever the main screen changed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_report_exit tools/screenshot.sh
tm_install_packages "${TM_BUILD_PACKAGES[@]}"

out="$(realpath -m "${1:-$here/docs/screenshot.png}")"
case "$out" in
  *.png) ;;
  *)
    echo "tools/screenshot.sh: $out: the picture is written as PNG, its name must end in .png" >&2
    exit 2
    ;;
esac
# The run command builds what is out of date; the game's --help then ends it.
bash "$here/tools/run.sh" --help >/dev/null

# A copy of the program with a "config.ini" of its own (full screen at
# 1024 x 768, no developer overlay) and fresh per-user and lock folders.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin" "$scratch/user" "$scratch/run"
chmod 700 "$scratch/run"
cp "$here/build/src/tallowmere" "$scratch/bin/"
printf '[Video]\nFullscreen=1\nScreen=1024,768\n\n[Game]\nCheats=0\n' >"$scratch/bin/config.ini"
cat >"$scratch/shot.txt" <<'EOF'
clock 1767225600
seed 7
await 6 120000               # the main screen, its new-profile window open
wait 800
text "Tester"
key enter                    # the profile made: the menu with its greeting
wait 2000                    # the petals and rays well under way
screenshot main.png
EOF
(cd "$scratch" && XDG_DATA_HOME="$scratch/user" XDG_RUNTIME_DIR="$scratch/run" \
  bin/tallowmere --headless --data "$here/build/Data" --replay shot.txt)
mkdir -p "$(dirname "$out")"
cp "$scratch/main.png" "$out"
echo "tools/screenshot.sh: wrote $out"
