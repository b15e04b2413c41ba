// CRC-32 throughput on a 64 MiB buffer, beside zlib's crc32 on the same bytes.
#include <benchmark/benchmark.h>

#include <vector>

#include "base/Crc32.h"
#if TM_HAVE_ZLIB
#include <zlib.h>
#endif

namespace {

const std::vector<u8>& Buffer() {
  static const std::vector<u8> buf = [] {
    std::vector<u8> b(64u << 20);
    u32 x = 12345;
    for (auto& v : b) {
      x = x * 1103515245u + 12345u;
      v = static_cast<u8>(x >> 16);
    }
    return b;
  }();
  return buf;
}

void BM_KisCrc32(benchmark::State& state) {
  const auto& b = Buffer();
  for (auto _ : state) benchmark::DoNotOptimize(kis::UpdateCrc32(b.data(), b.size(), 0, 0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(b.size()));
}
BENCHMARK(BM_KisCrc32)->Unit(benchmark::kMillisecond);

// The portable table path alone, as on CPUs without carry-less multiply.
void BM_KisCrc32Portable(benchmark::State& state) {
  const auto& b = Buffer();
  for (auto _ : state) benchmark::DoNotOptimize(kis::Crc32Portable(b.data(), b.size(), 0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(b.size()));
}
BENCHMARK(BM_KisCrc32Portable)->Unit(benchmark::kMillisecond);

#if TM_HAVE_ZLIB
void BM_ZlibCrc32(benchmark::State& state) {
  const auto& b = Buffer();
  for (auto _ : state) benchmark::DoNotOptimize(crc32(0L, b.data(), static_cast<uInt>(b.size())));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(b.size()));
}
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
