# Sourced by run.sh and test.sh: installs the Debian packages that are missing.
# Works as root or through sudo; runs `apt-get update` once, and only when
# something has to be installed.

tm_install_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg -s "$p" >/dev/null 2>&1; then
      missing+=("$p")
    fi
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
TM_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev clang libclang-rt-14-dev xvfb xauth)

tm_jobs() {
  nproc 2>/dev/null || echo 2
}
