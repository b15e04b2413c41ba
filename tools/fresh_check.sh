#!/usr/bin/env bash
# Tries the README's two commands as a new user would on a fresh machine:
# makes a bare Debian (debootstrap, minbase) in DIR, clones this repository
# into it (what is committed, at HEAD) at a path of 85 characters, as deep
# as a home folder may lie (a fault that shows only from a long path shows
# here), and runs, as root in a chroot there, exactly
#   bash tools/run.sh --headless
#   bash tools/test.sh
# printing each one's exit status and wall time, and the disk the clone
# takes after each. Run as root, before a release; not part of CI.
#   tools/fresh_check.sh DIR [RELEASE]
# RELEASE: the Debian release to make (default: this machine's). DIR must be
# empty or not exist yet; it is left behind for a look (remove it with
# `rm -rf --one-file-system DIR` once no mount is left in it). Environment:
#   FRESH_MIRROR  the Debian mirror (default: this machine's, else
#                 http://deb.debian.org/debian);
#   FRESH_CORES   run the commands on this many cores only (as CI's 2).
# Its mounts in DIR (proc, sys, dev, run) are taken down on any exit.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
usage() {
  echo "usage: $0 DIR [RELEASE]" >&2
  exit 2
}
[ $# -ge 1 ] && [ $# -le 2 ] || usage
case "$1" in -h | --help) usage ;; esac
if [ "$(id -u)" -ne 0 ]; then
  echo "$0: must run as root (debootstrap and chroot)" >&2
  exit 2
fi
. "$here/tools/deps.sh"
tm_report_exit tools/fresh_check.sh
tm_install_packages debootstrap git

root="$(realpath -m "$1")"
release="${2:-}"
if [ -z "$release" ]; then
  release="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
  [ -n "$release" ] || { echo "$0: cannot tell this machine's release: name one" >&2; exit 2; }
fi
mirror="${FRESH_MIRROR:-}"
if [ -z "$mirror" ]; then
  mirror="$(sed -n 's/^URIs: *\(http[^ ]*\/debian\)\/*$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)"
  [ -n "$mirror" ] || mirror="$(sed -n 's/^deb \(http[^ ]*\/debian\)\/* .*/\1/p' /etc/apt/sources.list 2>/dev/null | head -n 1)"
  [ -n "$mirror" ] || mirror=http://deb.debian.org/debian
fi
if [ -e "$root" ] && [ -n "$(ls -A "$root")" ]; then
  echo "$0: $root is not empty: give a new folder" >&2
  exit 2
fi
cores=()
if [ -n "${FRESH_CORES:-}" ]; then
  cores=(taskset -c "0-$((FRESH_CORES - 1))")
fi

mounts=()
cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount -R "${mounts[$i]}" 2>/dev/null || umount -R -l "${mounts[$i]}" 2>/dev/null || true
  done
}
trap cleanup EXIT
mount_in() {  # mount_in TARGET MOUNT-ARGUMENTS...
  mkdir -p "$1"
  local target="$1"
  shift
  mount "$@" "$target"
  mounts+=("$target")
}

echo "== Making a bare Debian $release (minbase) in $root from $mirror"
start=$SECONDS
mkdir -p "$root"
debootstrap --variant=minbase "$release" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
  echo "$0: debootstrap failed; its log: $root.debootstrap.log" >&2
  tail -n 20 "$root.debootstrap.log" >&2
  exit 1
}
echo "   made in $((SECONDS - start)) s"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
mount_in "$root/proc" -t proc proc
mount_in "$root/sys" --rbind /sys
mount --make-rslave "$root/sys"
mount_in "$root/dev" --rbind /dev
mount --make-rslave "$root/dev"
mount_in "$root/run" -t tmpfs tmpfs
mount_in "$root/tmp" -t tmpfs -o mode=1777 tmpfs

clone=/root/the-home-of-a-player-whose-folders-have-long-names/games/tallowmere-fresh-clone
git clone -q "$here" "$root$clone"
echo "== Cloned $(git -C "$root$clone" log -1 --format='%h %s') into $clone"

results=()
run_in() {  # run_in COMMAND: as a new root login in the clone's folder
  local status=0 start=$SECONDS
  echo "== $1"
  "${cores[@]}" chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c "cd $clone && $1" || status=$?
  local took=$((SECONDS - start))
  local disk
  disk="$(du -sh "$root$clone" | cut -f1)"
  results+=("$1: exit status $status, $((took / 60)) min $((took % 60)) s, the clone then $disk")
  echo "== $1: exit status $status after $took s"
}
run_in "bash tools/run.sh --headless"
run_in "bash tools/test.sh"

echo "== Summary (Debian $release, $(if [ ${#cores[@]} -gt 0 ]; then echo "$FRESH_CORES cores"; else echo "$(nproc) cores"; fi))"
printf '%s\n' "${results[@]}"
case "${results[*]}" in *"exit status "[1-9]*) exit 1 ;; esac
