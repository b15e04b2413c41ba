// A generated sprite archive of 17 sets holding 3,000 sprites and 1,000 map
// sprites (with shadows, arrays and sub-sprites): the sprite and map-sprite
// sections of every set read through SpriteSet's readers, beside a plain read
// of the same section bytes through the same open archive. The image
// sections are read before each parse, outside the timing (their images are
// not part of either figure). Goal: the parse takes at most twice the plain
// read, the two timed in turn within one benchmark (the ratio of the two
// benchmarks run apart is printed as well).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "GoalReport.h"
#include "base/datafile/DataFileReader.h"
#include "engine/image/SaveBitmapTGA.h"
#include "platform/encoding/Utf.h"
#include "resources/SpriteArchiveWriter.h"
#include "resources/SpriteSet.h"

namespace {

constexpr u32 kSprites = 3000;
constexpr u32 kMapSprites = 1000;


std::u16string Name(const char* stem, u32 set, u32 i) {
  return plat::Utf8ToUtf16(std::string(stem) + std::to_string(set) + "_" + std::to_string(i));
}

// A 4 x 4 uncompressed Targa picture.
std::vector<u8> Picture() {
  const std::vector<u32> white(4 * 4, 0xFFFFFFFFu);
  return DXLEncodeTGA32(4, 4, white.data());
}

SpriteArchiveWriter Generate() {
  SpriteArchiveWriter w;
  for (u32 set = 0; set < kSpriteSetCount; ++set) {
    const std::u16string sheet = Name("sheet", set, 0);
    w.Images(set).push_back(MakeSpriteImageEntry(sheet.c_str(), Picture()));
    const u32 sprites = kSprites / kSpriteSetCount + (set < kSprites % kSpriteSetCount ? 1 : 0);
    for (u32 i = 0; i < sprites; ++i) {
      SpriteEntry e = MakeSpriteEntry(Name("sprite", set, i).c_str(), sheet.c_str());
      if (i % 3 == 2) {
        e.record.explicitFrames = 1;
        e.frames = {{0, 0, 2, 2}, {2, 0, 4, 2}, {0, 2, 2, 4}, {2, 2, 4, 4}};
        DXLDRAWSTATE state;
        DXLMakeSimpleDrawState(&state, 1, 3, kBlendAdd, 4);
        e.drawState = state;
        e.animation = DXLFRAMESEQ{kFrameSeqLoop, 0, 0, 80, 0, 0};
      } else {
        e.record.frameWidth = 2;
        e.record.frameHeight = 2;
      }
      w.Sprites(set).push_back(e);
    }
    const u32 mapSprites = kMapSprites / kSpriteSetCount + (set < kMapSprites % kSpriteSetCount ? 1 : 0);
    for (u32 i = 0; i < mapSprites; ++i) {
      MapSpriteEntry m = MakeMapSpriteEntry(Name("map", set, i).c_str(), Name("sprite", set, i * 3).c_str());
      m.record.hotX = static_cast<i32>(i);
      if (i % 2 == 0) m.shadow = MakeShadowRecord(Name("sprite", kShadowSpriteSet, i).c_str(), 0.4f);
      if (i % 4 == 1) {
        m.arrayA.assign(2 * kMapSpriteARecordSize, 1);
        m.arrayB.assign(kMapSpriteBRecordSize, 2);
      }
      m.behind = {MakeSubSprite(Name("sprite", set, i + 1).c_str(), 1, 2)};
      m.front = {MakeSubSprite(Name("sprite", set, i + 2).c_str(), 3, 4)};
      w.MapSprites(set).push_back(m);
    }
  }
  return w;
}

// Written on first use and open until the program ends.
kis::DataFileReaderW* Archive() {
  struct Open {
    kis::DataFileReaderW* reader;
    ~Open() { kis::CloseDataFile(reader); }
  };
  static const Open archive{[] {
    const std::u16string name = plat::Utf8ToUtf16((benchfolder::Folder() / "Sprites.dat").string());
    if (!Generate().Write(name.c_str())) std::abort();
    return kis::OpenDataFileReaderW(name.c_str(), kSpriteArchiveSignature1, kSpriteArchiveSignature2,
                                    kSpriteArchiveVersion);
  }()};
  if (!archive.reader) std::abort();
  return archive.reader;
}

using Reader = i32 (SpriteSet::*)(kis::BaseDataFileReader*, SectionCursor*, float, float);

bool ReadKind(kis::BaseDataFileReader* reader, std::vector<std::unique_ptr<SpriteSet>>& sets, u32 id, u32 subId,
              Reader read) {
  if (!reader->EnterDirectory(id, subId)) return false;
  for (auto& set : sets) {
    SectionCursor cursor;
    while (((*set).*read)(reader, &cursor, 0.0f, 1.0f) == 0) {
    }
    if (cursor.error) return false;
  }
  return reader->LeaveDirectory();
}

u64 SectionBytes(kis::BaseDataFileReader* reader) {
  u64 bytes = 0;
  for (const u32 id : {kSpritesId, kMapSpritesId}) {
    reader->EnterDirectory(id, 0xFFFFFFFFu);
    for (const kis::DATAFILEENTRY& e : reader->GetDirectory()->entries) bytes += e.size;
    reader->LeaveDirectory();
  }
  return bytes;
}

void BM_ParseSpriteSections(benchmark::State& state) {
  kis::BaseDataFileReader* reader = Archive();
  std::vector<std::unique_ptr<SpriteSet>> sets;
  for (auto _ : state) {
    state.PauseTiming();
    sets.clear();
    for (u32 i = 0; i < kSpriteSetCount; ++i) sets.push_back(std::make_unique<SpriteSet>(i));
    const bool images = ReadKind(reader, sets, kSpriteImagesId, kSpriteImagesSubId, &SpriteSet::ReadImages);
    state.ResumeTiming();
    if (!images || !ReadKind(reader, sets, kSpritesId, kSpritesSubId, &SpriteSet::ReadSprites) ||
        !ReadKind(reader, sets, kMapSpritesId, kMapSpritesSubId, &SpriteSet::ReadMapSprites)) {
      state.SkipWithError("read failed");
      break;
    }
  }
  sets.clear();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * SectionBytes(reader)));
}
BENCHMARK(BM_ParseSpriteSections)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// The sprite and map-sprite sections of every set read whole, each in one call.
void PlainRead(kis::BaseDataFileReader* reader, std::vector<u8>* buffer) {
  for (const u32 id : {kSpritesId, kMapSpritesId}) {
    const u32 subId = id == kSpritesId ? kSpritesSubId : kMapSpritesSubId;
    reader->EnterDirectory(id, subId);
    for (u32 set = 0; set < kSpriteSetCount; ++set) {
      reader->OpenSection(id + set, subId);
      buffer->resize(reader->GetSectionSize());
      reader->Read(buffer->data(), static_cast<u32>(buffer->size()));
      reader->CloseSection();
      benchmark::DoNotOptimize(buffer->data());
    }
    reader->LeaveDirectory();
  }
}

// The same sections read whole, each in one call.
void BM_PlainReadSpriteSections(benchmark::State& state) {
  kis::BaseDataFileReader* reader = Archive();
  std::vector<u8> buffer;
  for (auto _ : state) {
    PlainRead(reader, &buffer);
    if (!reader->IsOk()) {
      state.SkipWithError("read failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * SectionBytes(reader)));
}
BENCHMARK(BM_PlainReadSpriteSections)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// The two above in turn, each iteration a plain read then a parse, each
// timed on its own: the machine's speed drifts from second to second, and
// figures taken side by side keep that drift out of their ratio.
void BM_ParseAndPlainReadInTurn(benchmark::State& state) {
  kis::BaseDataFileReader* reader = Archive();
  std::vector<std::unique_ptr<SpriteSet>> sets;
  std::vector<u8> buffer;
  double plainMs = 0.0, parseMs = 0.0;
  for (auto _ : state) {
    const double start = benchgoal::ThreadCpuMs();
    PlainRead(reader, &buffer);
    plainMs += benchgoal::ThreadCpuMs() - start;
    sets.clear();
    for (u32 i = 0; i < kSpriteSetCount; ++i) sets.push_back(std::make_unique<SpriteSet>(i));
    const bool images = ReadKind(reader, sets, kSpriteImagesId, kSpriteImagesSubId, &SpriteSet::ReadImages);
    const double parseStart = benchgoal::ThreadCpuMs();
    if (!reader->IsOk() || !images || !ReadKind(reader, sets, kSpritesId, kSpritesSubId, &SpriteSet::ReadSprites) ||
        !ReadKind(reader, sets, kMapSpritesId, kMapSpritesSubId, &SpriteSet::ReadMapSprites)) {
      state.SkipWithError("read failed");
      break;
    }
    parseMs += benchgoal::ThreadCpuMs() - parseStart;
  }
  sets.clear();
  const double n = static_cast<double>(state.iterations());
  state.counters["plain_us"] = plainMs * 1000.0 / n;
  state.counters["parse_us"] = parseMs * 1000.0 / n;
  state.counters["ratio"] = plainMs > 0.0 ? parseMs / plainMs : -1.0;
}
BENCHMARK(BM_ParseAndPlainReadInTurn)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace

// Memory the sets free between two iterations stays with the process, as
// it would in a game that loads its sets once: the figures are of the
// parse, not of the system clearing fresh pages for every iteration.
int main(int argc, char** argv) {
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  benchgoal::Reporter reporter;
  const bool ran = benchgoal::Run(&argc, argv, &reporter);
  std::error_code ec;
  std::filesystem::remove_all(benchfolder::Folder(), ec);
  if (!ran) return 1;
  const double parse = reporter.Ms("BM_ParseSpriteSections/min_time:2.000"),
               plain = reporter.Ms("BM_PlainReadSpriteSections/min_time:2.000");
  std::printf("parse over plain read, each timed apart: %.3f times\n",
              parse < 0.0 || plain <= 0.0 ? -1.0 : parse / plain);
  benchgoal::Goal("parse over plain read of the sections, processor time, in turn",
                  reporter.Counter("BM_ParseAndPlainReadInTurn/min_time:2.000", "ratio"), 2.0, "times");
  return 0;
}
