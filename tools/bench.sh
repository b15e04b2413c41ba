#!/usr/bin/env bash
# Builds the benchmarks in release (in build-bench) and runs them all, or
# those named: NAME is a file of bench/ without its ".cpp" (level_load,
# main_screen, ...). Each source says what it times and its goal;
# docs/manual.md lists them.
#   bash tools/bench.sh [NAME...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/deps.sh"
tm_report_exit tools/bench.sh
tm_install_packages "${TM_BUILD_PACKAGES[@]}" "${TM_TEST_PACKAGES[@]}"
build="$here/build-bench"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTM_TESTS=OFF
cmake --build "$build" -j "$(tm_jobs)"
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for b in "$build"/bench/bench_*; do names+=("$(basename "$b" | sed 's/^bench_//')"); done
fi
for n in "${names[@]}"; do
  echo "== $n"
  "$build/bench/bench_$n"
done
