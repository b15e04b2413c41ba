// An archive of 10,000 sections of 20 KB (about 200 MB, in a temporary folder
// removed afterwards): writing it, then opening it and reading every section
// with its CRC-32 checked, beside a plain stdio read of the same bytes in the
// same chunks (with and without the CRC). Goal: the checked container read
// takes at most 1.3 times the plain read with CRC.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "base/Crc32.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "platform/encoding/Utf.h"

namespace {

namespace fs = std::filesystem;

constexpr u32 kSig1 = 0x48435241u;
constexpr u32 kSig2 = 2;
constexpr u32 kSections = 10000;
constexpr u32 kBody = 20000;  // each section: a u32 CRC, then the body

using benchfolder::Folder;

std::u16string ArchiveName() { return plat::Utf8ToUtf16((Folder() / "archive.dat").string()); }

const std::vector<u8>& Bodies() {
  static const std::vector<u8> bytes = [] {
    std::vector<u8> b(static_cast<size_t>(kBody) * 16);
    u32 x = 12345;
    for (auto& v : b) {
      x = x * 1103515245u + 12345u;
      v = static_cast<u8>(x >> 16);
    }
    return b;
  }();
  return bytes;
}

const u8* Body(u32 i) { return Bodies().data() + static_cast<size_t>(i % 16) * kBody; }

bool WriteArchive() {
  const std::u16string name = ArchiveName();
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(name.c_str(), kSig1, kSig2, 1, false);
  if (!w) return false;
  for (u32 i = 0; i < kSections; ++i) {
    u8 crc[4];
    kis::PutU32LE(crc, kis::Crc32(Body(i), kBody));
    w->BeginSection(i, 0);
    w->Write(crc, 4);
    w->Write(Body(i), kBody);
    w->EndSection();
  }
  return kis::CloseDataFile(w);
}

void EnsureArchive() {
  static const bool written = WriteArchive();
  if (!written) std::abort();
}

constexpr int64_t kTotalBytes = static_cast<int64_t>(kSections) * (kBody + 4);

void BM_WriteArchive(benchmark::State& state) {
  for (auto _ : state) {
    if (!WriteArchive()) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() * kTotalBytes);
}
BENCHMARK(BM_WriteArchive)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ContainerReadChecked(benchmark::State& state) {
  EnsureArchive();
  std::vector<u8> buf(kBody);
  const std::u16string name = ArchiveName();
  for (auto _ : state) {
    kis::DataFileReaderW* r = kis::OpenDataFileReaderW(name.c_str(), kSig1, kSig2, 1);
    if (!r) {
      state.SkipWithError("open failed");
      break;
    }
    const size_t n = r->GetDirectory()->entries.size();
    for (size_t i = 0; i < n; ++i) {
      const kis::DATAFILEENTRY* e = &r->GetDirectory()->entries[i];
      u8 crc[4];
      const u32 size = e->size - 4;
      if (!r->OpenEntry(e) || !r->Read(crc, 4) || !r->ReadChecked(buf.data(), size, kis::GetU32LE(crc))) break;
    }
    if (!kis::CloseDataFile(r)) state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(state.iterations() * kTotalBytes);
}
BENCHMARK(BM_ContainerReadChecked)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same bytes in the same chunks straight through stdio.
void PlainRead(benchmark::State& state, bool withCrc) {
  EnsureArchive();
  std::vector<u8> buf(kBody);
  const std::string name = (Folder() / "archive.dat").string();
  for (auto _ : state) {
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f || std::fseek(f, 20, SEEK_SET) != 0) {
      state.SkipWithError("open failed");
      break;
    }
    for (u32 i = 0; i < kSections; ++i) {
      u8 crc[4];
      if (std::fread(crc, 1, 4, f) != 4 || std::fread(buf.data(), 1, kBody, f) != kBody) {
        state.SkipWithError("short read");
        break;
      }
      if (withCrc && kis::Crc32(buf.data(), kBody) != kis::GetU32LE(crc)) state.SkipWithError("bad crc");
    }
    std::fclose(f);
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(state.iterations() * kTotalBytes);
}

void BM_PlainReadWithCrc(benchmark::State& state) { PlainRead(state, true); }
BENCHMARK(BM_PlainReadWithCrc)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_PlainReadOnly(benchmark::State& state) { PlainRead(state, false); }
BENCHMARK(BM_PlainReadOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) { return benchfolder::RunAndRemoveFolder(argc, argv); }
