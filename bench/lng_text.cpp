// A language text of many variants, as a damaged or crafted language file or
// cache may hold one: 80,000 and 2^20 (the most the readers take) short
// variants, each made from a source value of quoted variants
// ("v0", "v1", ...) and read from a cache text record (in a temporary folder
// removed afterwards). Goal: 2^20 variants in under 1 s each way.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchFolder.h"
#include "GoalReport.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "gametext/DXLLngRecords.h"
#include "gametext/DXLLngText.h"
#include "platform/encoding/Utf.h"

namespace {

constexpr u32 kLngBenchSignature = 0x4C4E4742u;
constexpr i64 kMostVariants = i64{1} << 20;

// "v0" to "v99".
std::u16string VariantText(i64 i) {
  std::u16string s = u"v";
  const int n = static_cast<int>(i % 100);
  if (n >= 10) s += static_cast<char16_t>(u'0' + n / 10);
  s += static_cast<char16_t>(u'0' + n % 10);
  return s;
}

std::u16string QuotedValue(i64 variants) {
  std::u16string value;
  for (i64 i = 0; i < variants; ++i) {
    if (i) value += u", ";
    value += u'"' + VariantText(i) + u'"';
  }
  return value;
}

void BM_SourceValue(benchmark::State& state) {
  const std::u16string value = QuotedValue(state.range(0));
  for (auto _ : state) {
    DXLLngText* t = MakeLngText(u"many", kis::kToTerminator, value.c_str(), static_cast<u32>(value.size()));
    if (!t || t->count != state.range(0)) state.SkipWithError("wrong variant count");
    FreeLngText(t);
  }
}
BENCHMARK(BM_SourceValue)->Arg(80000)->Arg(kMostVariants)->Unit(benchmark::kMillisecond);

// A cache holding one text record of `variants` variants, laid out by hand.
std::u16string CacheFile(i64 variants) {
  std::string name = "many";
  name += std::to_string(variants);
  name += ".dat";
  const std::u16string path = plat::Utf8ToUtf16((benchfolder::Folder() / name).string());
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(path.c_str(), kLngBenchSignature, 1, 1, false);
  if (!w) return u"";
  std::vector<std::u16string> texts;
  u32 total = 0;
  for (i64 i = 0; i < variants; ++i) {
    texts.push_back(VariantText(i));
    total += static_cast<u32>(texts.back().size());
  }
  w->BeginSection(1, 1);
  LngWriteString(w, u"many", 4);
  LngWriteU32(w, static_cast<u32>(variants));
  LngWriteU32(w, total);
  for (const std::u16string& s : texts) LngWriteString(w, s.data(), static_cast<u32>(s.size()));
  w->EndSection();
  return kis::CloseDataFile(w) ? path : u"";
}

void BM_CacheRecord(benchmark::State& state) {
  const std::u16string path = CacheFile(state.range(0));
  kis::DataFileReaderW* r = path.empty() ? nullptr : kis::OpenDataFileReaderW(path.c_str(), kLngBenchSignature, 1, 1);
  if (!r) {
    state.SkipWithError("no cache file");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    r->OpenSection(1, 1);
    state.ResumeTiming();
    DXLLngText* t = LngReadText(r);
    if (!t || t->count != state.range(0)) state.SkipWithError("wrong variant count");
    FreeLngText(t);
    state.PauseTiming();
    r->CloseSection();
    state.ResumeTiming();
  }
  kis::CloseDataFile(r);
}
BENCHMARK(BM_CacheRecord)->Arg(80000)->Arg(kMostVariants)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchgoal::Reporter reporter;
  if (!benchgoal::Run(&argc, argv, &reporter)) return 1;
  const std::string most = "/" + std::to_string(kMostVariants);
  benchgoal::Goal("a source value of 2^20 variants made into a text, processor time",
                  reporter.Ms("BM_SourceValue" + most), 1000.0, "ms");
  benchgoal::Goal("a cache record of 2^20 variants read into a text, processor time",
                  reporter.Ms("BM_CacheRecord" + most), 1000.0, "ms");
  std::error_code ignored;
  std::filesystem::remove_all(benchfolder::Folder(), ignored);
  return 0;
}
