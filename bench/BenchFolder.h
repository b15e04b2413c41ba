// A scratch folder for benchmarks that work on files: made under the system's
// temporary folder on first use and removed, with everything in it, when the
// program ends (BENCH_MAIN_WITH_FOLDER).
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace benchfolder {

inline const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path p = std::filesystem::temp_directory_path() / ("tm_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
}

inline int RunAndRemoveFolder(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(Folder(), ec);
  return 0;
}

}  // namespace benchfolder
