# Sourced by run.sh and test.sh: installs the Debian packages that are missing.
# Works as root or through sudo; runs `apt-get update` once, and only when
# something has to be installed. When another program holds the package
# manager's lock (the system's updater often does for minutes after a
# boot), it says so and waits for it, 10 minutes at most.

# How long apt-get waits for a lock another program holds, in seconds.
tm_apt_lock_wait=600

tm_install_packages() {
  local missing=() still=()
  local p installed sudo="" status=0
  if ! command -v dpkg-query >/dev/null 2>&1; then
    echo "Cannot check the packages: dpkg-query not found (these commands need Debian or Ubuntu)." >&2
    return 1
  fi
  # One query for all of them: a warm start should not wait on the package
  # database once per package. dpkg-query exits 1 when any of them is not
  # installed, which is just what is asked here, not a failure.
  installed="$(tm_installed_packages "$@")"
  for p in "$@"; do
    case $'\n'"$installed"$'\n' in
      *$'\n'"$p"$'\n'*) ;;
      *) missing+=("$p") ;;
    esac
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "Cannot install ${missing[*]}: not root and sudo not found (run as root, or install them)." >&2
      return 1
    fi
    sudo="sudo"
  fi
  tm_apt_get update -q || status=$?
  if [ "$status" -ne 0 ]; then
    tm_apt_failed "${missing[*]}" update "$status" "no network, or not allowed?"
    return 1
  fi
  tm_apt_get install -y -q --no-install-recommends "${missing[@]}" || status=$?
  if [ "$status" -ne 0 ]; then
    tm_apt_failed "${missing[*]}" install "$status" "no network, an unknown package, or not allowed?"
    return 1
  fi
  installed="$(tm_installed_packages "${missing[@]}")"
  for p in "${missing[@]}"; do
    case $'\n'"$installed"$'\n' in
      *$'\n'"$p"$'\n'*) ;;
      *) still+=("$p") ;;
    esac
  done
  if [ ${#still[@]} -ne 0 ]; then
    echo "Cannot install ${still[*]}: apt-get said it did, but they are still not installed." >&2
    return 1
  fi
}

# tm_apt_get ARGUMENT...: apt-get (through $sudo), its errors shown and kept
# in tm_apt_errors. When another program holds the package manager's lock,
# the line that says so is shown, and apt-get runs again, waiting up to
# tm_apt_lock_wait seconds for the lock (DPkg::Lock::Timeout).
tm_apt_get() {
  local status=0 held
  tm_apt_run 0 "$@" || status=$?
  held="$(tm_apt_lock_line)"
  if [ "$status" -ne 0 ] && [ -n "$held" ]; then
    echo "Another program holds the package manager's lock ($held);" \
      "waiting up to $((tm_apt_lock_wait / 60)) minutes for it to finish..."
    status=0
    tm_apt_run "$tm_apt_lock_wait" "$@" || status=$?
  fi
  return "$status"
}

# tm_apt_run WAIT ARGUMENT...: one apt-get, waiting WAIT seconds for a lock;
# its output shown as it comes, its errors also kept.
tm_apt_run() {
  local wait="$1" errors status=0
  shift
  errors="$(mktemp)"
  { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout="$wait" "$@" 2>&1 1>&3 3>&- |
    tee "$errors" >&2; status=${PIPESTATUS[0]}; } 3>&1
  tm_apt_errors="$(cat "$errors")"
  rm -f "$errors"
  return "$status"
}

# The first error line of the last apt-get that says another program holds a
# lock of the package manager; empty when none does.
tm_apt_lock_line() {
  { printf '%s\n' "${tm_apt_errors:-}" | grep -m 1 -E "Could not get lock|Unable to acquire the dpkg frontend lock|Unable to lock" |
    sed 's/^E: //'; } || true
}

# tm_apt_failed PACKAGES STEP STATUS GUESS: why apt-get STEP failed, the
# lock named when another program still held it.
tm_apt_failed() {
  local held
  held="$(tm_apt_lock_line)"
  if [ -n "$held" ]; then
    echo "Cannot install $1: another program still holds the package manager's lock after" \
      "$((tm_apt_lock_wait / 60)) minutes ($held): let it finish (or stop it), then start again." >&2
  else
    echo "Cannot install $1: apt-get $2 failed with status $3 ($4)." >&2
  fi
}

# tm_installed_packages NAME...: the names of those that are installed, one a
# line. A name that is unknown or not installed is left out, never an error.
tm_installed_packages() {
  { dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "$@" 2>/dev/null || true; } |
    awk '$1 == "ii" { sub(/:.*/, "", $2); print $2 }'
}

# tm_report_exit NAME: installs a trap that prints one line when the script
# stops on a failing command (set -e), so it never ends in silence.
tm_report_exit() {
  TM_SCRIPT_NAME="$1"
  trap 'tm_status=$?; echo "$TM_SCRIPT_NAME: stopped: \"$BASH_COMMAND\" failed with status $tm_status" >&2' ERR
}

# What building the game needs.
TM_BUILD_PACKAGES=(build-essential cmake pkg-config libfreetype-dev libfontconfig-dev libpng-dev libsdl2-dev
  libvorbis-dev libcairo2-dev fonts-liberation2 fonts-dejavu-core)
# What building and running the tests, benchmarks and fuzzers needs on top.
TM_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev clang libclang-rt-14-dev lld xvfb xauth
  procps openbox libx11-dev libxtst-dev util-linux findutils)

# tm_configure SOURCE BUILD [-DNAME=VALUE]...: configures BUILD from SOURCE
# only when its configuration is out of date: no build system yet, made from
# another source folder, another value in its cache for one of the options
# given, or a file CMake read when it last configured (a CMakeLists.txt, a
# module of cmake/) changed or gone since. Otherwise a warm start skips the
# configure step; the build still re-globs the source folders by itself.
tm_configure() {
  local source="$1" build="$2"
  shift 2
  local cache="$build/CMakeCache.txt" stamp="$build/CMakeFiles/cmake.check_cache"
  local inputs="$build/CMakeFiles/Makefile.cmake" fresh=1 option name value input
  if [ ! -f "$cache" ] || [ ! -f "$build/Makefile" ] || [ ! -f "$stamp" ] || [ ! -f "$inputs" ] ||
    [ "$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")" != "$source" ]; then
    fresh=0
  else
    while IFS= read -r input; do
      case "$input" in /*) ;; *) input="$build/$input" ;; esac
      if [ ! -e "$input" ] || [ "$input" -nt "$stamp" ]; then
        fresh=0
        break
      fi
    done < <(sed -n '/^set(CMAKE_MAKEFILE_DEPENDS/,/^ *)/s/^ *"\(.*\)"$/\1/p' "$inputs")
    for option in "$@"; do
      case "$option" in
        -D*=*)
          name="${option#-D}"
          value="${name#*=}"
          name="${name%%=*}"
          name="${name%%:*}"
          [ "$(sed -n "s/^$name:[A-Z]*=//p" "$cache")" = "$value" ] || fresh=0
          ;;
      esac
    done
  fi
  if [ "$fresh" -eq 0 ]; then
    cmake -S "$source" -B "$build" "$@"
  fi
}

# The jobs of a build or a test run: CMAKE_BUILD_PARALLEL_LEVEL when it is
# set (a machine with little memory builds with fewer), else every core.
tm_jobs() {
  local level="${CMAKE_BUILD_PARALLEL_LEVEL:-}"
  if [[ "$level" =~ ^[1-9][0-9]*$ ]]; then
    echo "$level"
    return
  fi
  [ -z "$level" ] || echo "CMAKE_BUILD_PARALLEL_LEVEL=\"$level\" is not a number of jobs: every core is used" >&2
  nproc 2>/dev/null || echo 2
}

# A CMAKE_BUILD_PARALLEL_LEVEL that is no number of jobs ("0") stops every
# `cmake --build` run without -j (a CTest entry that brings the build up to
# date does so): once tm_jobs has said so, it leaves the environment, and
# those builds take the build tool's own number, as without it.
if [ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ] && ! [[ "$CMAKE_BUILD_PARALLEL_LEVEL" =~ ^[1-9][0-9]*$ ]]; then
  tm_jobs >/dev/null
  unset CMAKE_BUILD_PARALLEL_LEVEL
fi
