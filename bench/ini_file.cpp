// The ini engine on hostile sizes (files in a temporary folder removed
// afterwards):
// - EraseSection of a section repeated 80,000 times ("[D]" lines, 400 KB),
//   and 3,200,000 times (16 MB): every duplicate goes in one write;
// - ReadSectionValues of a section of 3,000 keys at the end of a 16 MB file;
// - DeleteKey of a key repeated 80,000 times in one section.
// Goal: under 1 s each (the time includes the write through to the disk).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/IniFile.h"
#include "base/StringList.h"
#include "platform/encoding/Utf.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path p = fs::temp_directory_path() / ("tm_bench_ini_file_" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p;
  }();
  return folder;
}

std::u16string Put(const std::string& name, const std::string& bytes) {
  const fs::path path = Folder() / name;
  std::ofstream(path, std::ios::binary) << bytes;
  return plat::Utf8ToUtf16(path.string());
}

void EraseDuplicatedSection(benchmark::State& state) {
  std::string text = "[Keep]\r\nk=1\r\n";
  for (i64 i = 0; i < state.range(0); ++i) text += "[D]\r\n";
  for (auto _ : state) {
    state.PauseTiming();
    const std::u16string path = Put("dup.ini", text);
    kis::IniFileW ini(path.c_str());
    state.ResumeTiming();
    if (!ini.EraseSection(u"d")) state.SkipWithError("erase failed");
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(EraseDuplicatedSection)->Arg(80000)->Arg(3200000)->Unit(benchmark::kMillisecond);

void DeleteDuplicatedKey(benchmark::State& state) {
  std::string text = "[S]\r\n";
  for (int i = 0; i < 80000; ++i) text += "k=1\r\n";
  for (auto _ : state) {
    state.PauseTiming();
    const std::u16string path = Put("keys.ini", text);
    kis::IniFileW ini(path.c_str());
    state.ResumeTiming();
    if (!ini.DeleteKey(u"S", u"K")) state.SkipWithError("delete failed");
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(DeleteDuplicatedKey)->Unit(benchmark::kMillisecond);

void ReadValuesOfABigSection(benchmark::State& state) {
  std::string text;
  const std::string filler = "[Filler]\r\n" + std::string(90, 'f') + "=" + std::string(900, 'v') + "\r\n";
  while (text.size() < 16000000u - 3000u * 80u) text += filler;
  text += "[Big]\r\n";
  // Three-character keys (case is ignored), so that all 3,000 names fit one
  // name list.
  const std::string digits = "0123456789abcdefghijklmnopqrstuvwxyz!#$%&()*+-./:<>?@^_{|}~";
  const int base = static_cast<int>(digits.size());
  for (int i = 0; i < 3000; ++i)
    text += std::string("k") + digits[i / base] + digits[i % base] + "=" + std::string(60, 'x') + "\r\n";
  const std::u16string path = Put("big.ini", text);
  kis::IniFileW ini(path.c_str());
  kis::WideStrings list;
  for (auto _ : state) {
    ini.ReadSectionValues(u"big", list);
    if (list.GetCount() != 3000) state.SkipWithError(("wrong key count " + std::to_string(list.GetCount())).c_str());
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(ReadValuesOfABigSection)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(Folder(), ignored);
  return 0;
}
