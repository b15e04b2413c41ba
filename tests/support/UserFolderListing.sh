#!/usr/bin/env bash
# The real per-user folder of the program and the level player, listed with
# sizes and times before the first test that starts them and compared after
# the last: no test may write there.
# Usage: UserFolderListing.sh take|compare LISTING_FILE
set -uo pipefail
base="${XDG_DATA_HOME:-}"
[ "${base#/}" != "$base" ] || base="${HOME:-/nonexistent}/.local/share"
folder="$base/Morvalen"
listing() {
  if [ -e "$folder" ]; then
    find "$folder" -printf '%p %y %s %T@\n' | LC_ALL=C sort
  else
    echo "$folder is not there"
  fi
}
case "$1" in
  take) listing >"$2" ;;
  compare)
    if ! listing | diff "$2" -; then
      echo "FAILED: a test changed the real per-user folder $folder"
      exit 1
    fi
    echo "the real per-user folder $folder is unchanged" ;;
  *) echo "usage: $0 take|compare LISTING_FILE" >&2; exit 2 ;;
esac
