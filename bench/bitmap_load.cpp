// Loading a 2048 x 2048 32-bit Targa image from memory (raw and run-length)
// and converting it to R5G6B5 and A4R4G4B4, beside memcpy of the same bytes.
// Throughput is counted in bytes of 32-bit pixels (16 MiB per image).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "base/MemoryStream.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/image/DXLBitmapFileFormats.h"

namespace {

constexpr u32 kSide = 2048;
constexpr u64 kImageBytes = u64{kSide} * kSide * 4;

// A picture with flat areas and noise, like a sprite sheet: every fourth
// 16-pixel span of a row is noise, the rest are runs of one colour.
u32 PixelAt(u32 x, u32 y) {
  if ((x / 16) % 4 == 3) return 0xFF000000u | ((x * 2654435761u) ^ (y * 40503u));
  return 0xFF000000u | ((y / 8) * 0x010203u) | ((x / 16) * 0x0100u);
}

void PutHeader(std::vector<u8>& f, u8 type, bool topDown = false) {
  const u8 h[18] = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                    static_cast<u8>(kSide), static_cast<u8>(kSide >> 8), static_cast<u8>(kSide),
                    static_cast<u8>(kSide >> 8), 32, static_cast<u8>(topDown ? 0x28 : 8)};
  f.insert(f.end(), h, h + 18);
}

void PutPixel(std::vector<u8>& f, u32 p) {
  for (int i = 0; i < 4; ++i) f.push_back(static_cast<u8>(p >> (8 * i)));
}

const std::vector<u8>& RawTarga() {
  static const std::vector<u8> file = [] {
    std::vector<u8> f;
    PutHeader(f, 2);
    for (u32 y = 0; y < kSide; ++y)
      for (u32 x = 0; x < kSide; ++x) PutPixel(f, PixelAt(x, y));
    return f;
  }();
  return file;
}

// Bottom-up files (the usual Targa layout) stay packed once loaded; top-down
// ones are left plain.
std::vector<u8> MakePackedTarga(bool topDown) {
    std::vector<u8> f;
    PutHeader(f, 10, topDown);
    for (u32 y = 0; y < kSide; ++y) {
      u32 x = 0;
      while (x < kSide) {
        u32 run = 1;
        while (run < 128 && x + run < kSide && PixelAt(x + run, y) == PixelAt(x, y)) ++run;
        if (run > 1) {
          f.push_back(static_cast<u8>(0x80 | (run - 1)));
          PutPixel(f, PixelAt(x, y));
          x += run;
          continue;
        }
        u32 n = 1;
        while (n < 128 && x + n < kSide && !(x + n + 1 < kSide && PixelAt(x + n, y) == PixelAt(x + n + 1, y))) ++n;
        f.push_back(static_cast<u8>(n - 1));
        for (u32 k = 0; k < n; ++k) PutPixel(f, PixelAt(x + k, y));
        x += n;
      }
    }
    return f;
}

const std::vector<u8>& PackedTarga() {
  static const std::vector<u8> file = MakePackedTarga(false);
  return file;
}

const std::vector<u8>& PackedTargaTopDown() {
  static const std::vector<u8> file = MakePackedTarga(true);
  return file;
}

void LoadTarga(benchmark::State& state, const std::vector<u8>& file) {
  for (auto _ : state) {
    kis::ByteReadStream stream(file.data(), file.size());
    DXLBitmap bitmap;
    DXLLoadBitmapTGA(&stream, &bitmap);
    if (bitmap.GetWidth() != static_cast<i32>(kSide)) state.SkipWithError("not loaded");
    benchmark::DoNotOptimize(bitmap.GetPixels());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageBytes));
  state.counters["file_MiB"] = static_cast<double>(file.size()) / (1 << 20);
}

void BM_LoadTargaRaw(benchmark::State& state) { LoadTarga(state, RawTarga()); }
BENCHMARK(BM_LoadTargaRaw)->Unit(benchmark::kMillisecond);

void BM_LoadTargaRunLength(benchmark::State& state) { LoadTarga(state, PackedTarga()); }
BENCHMARK(BM_LoadTargaRunLength)->Unit(benchmark::kMillisecond);

void BM_LoadTargaRunLengthTopDown(benchmark::State& state) { LoadTarga(state, PackedTargaTopDown()); }
BENCHMARK(BM_LoadTargaRunLengthTopDown)->Unit(benchmark::kMillisecond);

void Convert(benchmark::State& state, u32 format) {
  kis::ByteReadStream stream(RawTarga().data(), RawTarga().size());
  DXLBitmap source;
  DXLLoadBitmapTGA(&stream, &source);
  for (auto _ : state) {
    state.PauseTiming();
    DXLBitmap bitmap;
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetSize(static_cast<i32>(kSide), static_cast<i32>(kSide));
    std::memcpy(bitmap.GetPixels(), source.GetPixels(), kImageBytes);
    state.ResumeTiming();
    bitmap.SetFormat(format);
    benchmark::DoNotOptimize(bitmap.GetPixels());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageBytes));
}

void BM_ConvertToR5G6B5(benchmark::State& state) { Convert(state, D3DFMT_R5G6B5); }
BENCHMARK(BM_ConvertToR5G6B5)->Unit(benchmark::kMillisecond);

void BM_ConvertToA4R4G4B4(benchmark::State& state) { Convert(state, D3DFMT_A4R4G4B4); }
BENCHMARK(BM_ConvertToA4R4G4B4)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
  std::vector<u8> from(kImageBytes, 1), to(kImageBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kImageBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageBytes));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
