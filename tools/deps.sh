# Sourced by run.sh and test.sh: installs the Debian packages that are missing.
# Works as root or through sudo; runs `apt-get update` once, and only when
# something has to be installed.

tm_install_packages() {
  local missing=()
  local p installed
  # One query for all of them: a warm start should not wait on the package
  # database once per package.
  installed="$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "$@" 2>/dev/null | awk '$1 == "ii" { print $2 }')"
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
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# What building the game needs.
TM_BUILD_PACKAGES=(build-essential cmake pkg-config libfreetype-dev libfontconfig-dev libpng-dev libsdl2-dev
  libvorbis-dev libcairo2-dev fonts-liberation2 fonts-dejavu-core)
# What building and running the tests, benchmarks and fuzzers needs on top.
TM_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev clang libclang-rt-14-dev lld xvfb xauth)

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

tm_jobs() {
  nproc 2>/dev/null || echo 2
}
