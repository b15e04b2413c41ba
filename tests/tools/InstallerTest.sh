#!/usr/bin/env bash
# The package installer of tools/deps.sh run as tools/run.sh and
# tools/test.sh run it (a script under `set -euo pipefail`), against stub
# `dpkg-query`, `apt-get`, `sudo` and `id` on the PATH: it installs exactly
# the packages that are missing and says so, does nothing when none is, and
# when apt-get or sudo fails it says which packages and why and fails; when
# another program holds the package manager's lock it says so and waits for
# it, and names that lock when it is still held; it never ends the script in
# silence. The jobs of the builds: CMAKE_BUILD_PARALLEL_LEVEL when it is a
# number, else every core, and then it leaves the environment.
#   tests/tools/InstallerTest.sh REPOSITORY
set -uo pipefail
repo="$(cd "${1:?usage: $0 REPOSITORY}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The stubs read and write the fake package database ($work/installed, one
# name a line) and log their calls ($work/calls).
mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
# As dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' NAME...: a line for
# each known package, an error and status 1 when any is not installed.
echo "dpkg-query $*" >>"$TM_STUB_WORK/calls"
status=0
for a in "$@"; do
  case "$a" in -*) continue ;; esac
  if grep -qx "$a" "$TM_STUB_WORK/installed"; then
    echo "ii  $a"
  elif [ "$a" = known-but-removed ]; then
    echo "un  $a"
    status=1
  else
    echo "dpkg-query: no packages found matching $a" >&2
    status=1
  fi
done
exit "$status"
EOF
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$TM_STUB_WORK/calls"
# Another program's lock (TM_STUB_LOCKED): refused at once without a wait
# for it; with one, let go in the meantime ("released") or not ("held").
if [ "${TM_STUB_LOCKED:-}" = released ] && [[ " $* " =~ " DPkg::Lock::Timeout="[1-9] ]]; then
  touch "$TM_STUB_WORK/released"
fi
if [ -n "${TM_STUB_LOCKED:-}" ] && [ ! -e "$TM_STUB_WORK/released" ]; then
  echo "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (unattended-upgr)" >&2
  echo "E: Unable to acquire the dpkg frontend lock (/var/lib/dpkg/lock-frontend), is another process using it?" >&2
  exit 100
fi
case " $* " in
  *" update "*) [ -z "${TM_STUB_UPDATE_FAILS:-}" ] || { echo "E: network is unreachable" >&2; exit 100; } ;;
  *" install "*)
    [ -z "${TM_STUB_INSTALL_FAILS:-}" ] || { echo "E: Unable to locate package" >&2; exit 100; }
    for a in "$@"; do
      case "$a" in -* | install) ;; *) [ "$a" = "${TM_STUB_NOT_INSTALLED:-}" ] || echo "$a" >>"$TM_STUB_WORK/installed" ;; esac
    done
    ;;
esac
EOF
cat >"$work/bin/sudo" <<'EOF'
#!/usr/bin/env bash
echo "sudo $1" >>"$TM_STUB_WORK/calls"
exec "$@"
EOF
cat >"$work/bin/id" <<'EOF'
#!/usr/bin/env bash
echo "${TM_STUB_UID:-0}"
EOF
chmod +x "$work/bin/"*
export TM_STUB_WORK="$work"

# run NAME [VAR=VALUE...] -- PACKAGE...: the installer in a strict script, as
# the tools use it; its output in $work/out, its status in $status.
run() {
  local name="$1" settings=()
  shift
  while [ "$1" != -- ]; do
    settings+=("$1")
    shift
  done
  shift
  : >"$work/calls"
  rm -f "$work/released"
  env PATH="$work/bin:$PATH" "${settings[@]}" bash -c '
    set -euo pipefail
    . "$1/tools/deps.sh"
    shift
    tm_install_packages "$@"
    echo "the script went on"' _ "$repo" "$@" >"$work/out" 2>&1
  status=$?
  echo "== $name: status $status"
  sed 's/^/   /' "$work/out"
}
installs() { grep '^apt-get .*install ' "$work/calls" | sed 's/.*--no-install-recommends //'; }

# Some missing: those installed, once, after one update; the script goes on.
printf 'alpha\ngamma\n' >"$work/installed"
run "some missing" -- alpha beta gamma delta known-but-removed
[ "$status" -eq 0 ] || fail "some missing: status $status"
grep -q "Installing missing packages: beta delta known-but-removed" "$work/out" || fail "some missing: not said"
[ "$(installs)" = "beta delta known-but-removed" ] || fail "some missing: installed '$(installs)'"
[ "$(grep -c '^apt-get .*update' "$work/calls")" -eq 1 ] || fail "some missing: not one update"
grep -q "the script went on" "$work/out" || fail "some missing: the script stopped"
! grep -q '^sudo' "$work/calls" || fail "some missing: sudo used as root"

# None missing: no apt-get at all, nothing said.
run "none missing" -- alpha beta
[ "$status" -eq 0 ] || fail "none missing: status $status"
! grep -q '^apt-get' "$work/calls" || fail "none missing: apt-get ran"
[ "$(cat "$work/out")" = "the script went on" ] || fail "none missing: said '$(cat "$work/out")'"

# All missing, not root: through sudo.
: >"$work/installed"
run "all missing, through sudo" TM_STUB_UID=1000 -- one two
[ "$status" -eq 0 ] || fail "all missing: status $status"
[ "$(installs)" = "one two" ] || fail "all missing: installed '$(installs)'"
grep -q '^sudo env' "$work/calls" || fail "all missing: sudo not used"

# apt-get install fails: the packages and the cause named, the script stopped.
: >"$work/installed"
run "install fails" TM_STUB_INSTALL_FAILS=1 -- one two
[ "$status" -ne 0 ] || fail "install fails: status 0"
grep -q "Cannot install one two: apt-get install failed with status 100" "$work/out" || fail "install fails: not said"
! grep -q "the script went on" "$work/out" || fail "install fails: the script went on"

# apt-get update fails (no network).
run "update fails" TM_STUB_UPDATE_FAILS=1 -- one
[ "$status" -ne 0 ] || fail "update fails: status 0"
grep -q "Cannot install one: apt-get update failed" "$work/out" || fail "update fails: not said"

# Another program holds the package manager's lock: said, waited for; let
# go, the packages install; still held after the wait, the lock is named
# (not the network).
: >"$work/installed"
run "lock let go" TM_STUB_LOCKED=released -- one
[ "$status" -eq 0 ] && [ "$(installs)" = "one" ] || fail "lock let go: status $status, installed '$(installs)'"
grep -q "Another program holds the package manager's lock (Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (unattended-upgr)); waiting up to 10 minutes" "$work/out" ||
  fail "lock let go: the wait is not said"
grep -q '^apt-get -o DPkg::Lock::Timeout=600 update' "$work/calls" || fail "lock let go: apt-get did not wait"
: >"$work/installed"
run "lock held" TM_STUB_LOCKED=held -- one
[ "$status" -ne 0 ] || fail "lock held: status 0"
grep -q "Cannot install one: another program still holds the package manager's lock after 10 minutes (Could not get lock" "$work/out" &&
  ! grep -q "no network" "$work/out" || fail "lock held: the lock is not named as the cause"

# apt-get says it installed, but the package is still not there.
run "still missing" TM_STUB_NOT_INSTALLED=two -- one two
[ "$status" -ne 0 ] || fail "still missing: status 0"
grep -q "Cannot install two: apt-get said it did" "$work/out" || fail "still missing: not said"

# Not root and no sudo: said, not attempted. (A PATH of the stubs and the
# few programs the installer needs, so no sudo of the machine is found.)
mkdir -p "$work/nosudo"
for p in bash env awk grep cat; do ln -s "$(command -v "$p")" "$work/nosudo/$p"; done
for p in dpkg-query apt-get id; do ln -s "$work/bin/$p" "$work/nosudo/$p"; done
: >"$work/installed"
run "no sudo" TM_STUB_UID=1000 PATH="$work/nosudo" -- one
[ "$status" -ne 0 ] || fail "no sudo: status 0"
grep -q "not root and sudo not found" "$work/out" || fail "no sudo: not said"
! grep -q '^apt-get' "$work/calls" || fail "no sudo: apt-get ran"

# The tools' own scripts: a failure they stop on is said in one line.
out="$(PATH="$work/bin:$PATH" bash -c '
  set -euo pipefail
  . "$1/tools/deps.sh"
  tm_report_exit tools/some.sh
  false' _ "$repo" 2>&1)" && fail "report exit: status 0"
[ "$out" = 'tools/some.sh: stopped: "false" failed with status 1' ] || fail "report exit: said '$out'"

# The jobs of the builds and test runs: CMAKE_BUILD_PARALLEL_LEVEL when it
# is a number, else every core (a level that is not a number said so).
job_count() {
  env CMAKE_BUILD_PARALLEL_LEVEL="$1" bash -c '. "$1/tools/deps.sh"; tm_jobs' _ "$repo" 2>"$work/jobs.err"
}
[ "$(job_count 3)" = 3 ] || fail "jobs: CMAKE_BUILD_PARALLEL_LEVEL=3 gives $(job_count 3)"
[ "$(job_count "")" = "$(nproc)" ] && [ ! -s "$work/jobs.err" ] || fail "jobs: without a level, not every core"
[ "$(job_count two)" = "$(nproc)" ] && grep -q '"two" is not a number of jobs' "$work/jobs.err" ||
  fail "jobs: a level that is not a number is not said, or not every core"
# Said once, such a level ("0" too) leaves the environment: a `cmake --build`
# without -j the scripts start builds as it does without one.
level="$(env CMAKE_BUILD_PARALLEL_LEVEL=0 bash -c '. "$1/tools/deps.sh"; tm_jobs >/dev/null
  printenv CMAKE_BUILD_PARALLEL_LEVEL || echo unset' _ "$repo" 2>"$work/jobs.err")"
[ "$level" = unset ] && [ "$(grep -c '"0" is not a number of jobs' "$work/jobs.err")" = 1 ] ||
  fail "jobs: CMAKE_BUILD_PARALLEL_LEVEL=0 is left for the builds as '$level', or not said once"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all checks passed"
