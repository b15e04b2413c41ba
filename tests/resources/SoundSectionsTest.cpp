// The "SAMP" and "MUSC" readers on archives from our writer, read the way the
// start-up loader reads them, with the sound manager on a scripted backend
// that checks each entry's range really holds Ogg data.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeAudioBackend.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "common/OggEncoder.h"
#include "common/SynthSound.h"
#include "resources/ResourceServices.h"
#include "resources/SoundArchiveWriter.h"
#include "resources/SoundManager.h"
#include "resources/SoundSections.h"
#include "resources/SoundSettings.h"
#include "testsupport/TempFolder.h"

namespace {

using soundtest::FakeAudio;
using soundtest::FakeBackend;
using Bytes = std::vector<u8>;
using SectionReader = i32 (*)(kis::DataFileReaderW*, SectionCursor*);

Bytes Tone(double hz) { return tools::EncodeOggVorbis(tools::SineTone(hz, 0.05, 22050, 1, 0.5f), 1, 22050); }

std::vector<float> g_progress;
bool g_yield = true;
bool Progress(float fraction) {
  g_progress.push_back(fraction);
  return g_yield;
}

class SoundSectionsTest : public ::testing::Test {
 protected:
  SoundSectionsTest() {
    ResetResourceServices();
    g_progress.clear();
    g_yield = true;
    GetResourceServices().loadingProgress = &Progress;
    audio.checkOgg = true;
    EXPECT_TRUE(GetSoundSettings().Init(std::make_unique<FakeBackend>(&audio)));
    writer.samples = {{u"click", 0, Tone(800)},
                      {u"Task_Done", 0, Tone(600)},
                      {u"rain_loop", 1, Tone(300)},
                      {u"junk", 0, Bytes(40, 0x55)},  // not Ogg: skipped
                      {u"extra", 0, Tone(200)}};
    writer.music = {{u"main_theme", Tone(440)}, {u"map", Tone(330)}};
  }
  ~SoundSectionsTest() override {
    kis::CloseDataFile(file);
    GetSoundSettings().Shutdown();
    ResetResourceServices();
  }

  SoundSettings& sound() { return GetSoundSettings(); }
  std::u16string Path() const { return folder.Wide("Sounds.dat"); }

  bool WriteAndOpen() {
    kis::CloseDataFile(file);
    file = nullptr;
    if (!writer.Write(Path().c_str())) return false;
    file = kis::OpenDataFileReaderW(Path().c_str(), kSoundArchiveSignature1, kSoundArchiveSignature2,
                                    kSoundArchiveVersion);
    return file != nullptr;
  }

  // Calls the reader until it finishes; the number of calls.
  u32 Read(SectionReader read, SectionCursor* cursor, const std::function<void()>& between = {}) {
    u32 calls = 1;
    while (read(file, cursor) == 0) {
      if (between) between();
      if (++calls > 1000) break;
    }
    return calls;
  }

  // The archive's bytes at a sample's or a stream's registered range.
  Bytes At(const FakeAudio::Load& load) const {
    std::ifstream in(folder.File("Sounds.dat"), std::ios::binary);
    Bytes bytes(load.length);
    in.seekg(static_cast<std::streamoff>(load.offset));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
  }

  // The sample section with its name block replaced by these units.
  Bytes WithNameBlock(const std::vector<wchar>& units, u32 declared) const {
    Bytes body = SampleSectionBody(writer.samples, {});
    body.resize(body.size() - 4);
    const size_t at = body.size();
    body.resize(at + 4 + 2 * units.size());
    kis::PutU32LE(&body[at], declared);
    for (size_t i = 0; i < units.size(); ++i) kis::PutU16LE(&body[at + 4 + 2 * i], units[i]);
    return body;
  }

  TempFolder folder;
  FakeAudio audio;
  SoundArchiveWriter writer;
  kis::DataFileReaderW* file = nullptr;
};

TEST_F(SoundSectionsTest, ArchiveReadsBackRecordByRecordWithAYieldAfterEach) {
  ASSERT_TRUE(WriteAndOpen());
  SectionCursor music;
  EXPECT_EQ(Read(&LoadMusic, &music), 3u);
  EXPECT_EQ(music.error, 0u);
  EXPECT_EQ(music.done, 2u);
  SectionCursor samples;
  EXPECT_EQ(Read(&LoadSounds, &samples), 6u);
  EXPECT_EQ(samples.error, 0u);
  EXPECT_EQ(samples.done, 5u);
  EXPECT_EQ(g_progress, (std::vector<float>{0.5f, 1.0f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f}));

  // Every entry is registered at its data's place in the archive.
  ASSERT_EQ(audio.loads.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(audio.loads[i].path, Path());
    EXPECT_EQ(At(audio.loads[i]), writer.samples[i].data) << i;
    EXPECT_EQ(audio.loads[i].loop, writer.samples[i].loop != 0);
  }
  EXPECT_EQ(sound().FindSound(u"junk"), 0u);
  const u32 click = sound().FindSound(u"CLICK");
  ASSERT_NE(click, 0u);
  EXPECT_EQ(GetStandardSound(kSoundClick), click);
  EXPECT_EQ(GetStandardSound(kSoundTaskDone), sound().FindSound(u"task_done"));
  EXPECT_EQ(GetStandardSound(kSoundRainLoop), sound().FindSound(u"rain_loop"));
  EXPECT_NE(GetStandardSound(kSoundRainLoop), 0u);
  EXPECT_EQ(GetStandardSound(kSoundSale), 0u);  // named, but no such sample
  EXPECT_EQ(GetStandardSound(kSoundFree24), 0u);
  EXPECT_EQ(GetStandardSound(kStandardSoundCount), 0u);

  ASSERT_TRUE(sound().PlayMusic(u"map", true));
  ASSERT_EQ(audio.streams.size(), 1u);
  EXPECT_EQ(At(audio.streams[0]), writer.music[1].data);

  // Read again without yielding: one call each, the same result.
  g_yield = false;
  SectionCursor again;
  EXPECT_EQ(Read(&LoadSounds, &again), 1u);
  EXPECT_EQ(again.error, 0u);
  EXPECT_EQ(audio.loads.size(), 10u);
  EXPECT_EQ(GetStandardSound(kSoundClick), click);  // the first sample of the name
}

TEST_F(SoundSectionsTest, DamagedSectionsSetTheErrorFlag) {
  struct Case {
    const char* what;
    u32 id;
    std::function<Bytes()> body;
    size_t loads;  // samples registered before the failure
    bool fileOk;   // a read past the section's end fails the whole archive
  };
  const Bytes good = SampleSectionBody(writer.samples, StandardSoundNameList());
  const size_t trailer = 8 + 2 * StandardNameBlock(StandardSoundNameList()).size();
  const std::vector<Case> cases = {
      {"non-zero terminator", kSampleSectionId,
       [&] {
         Bytes b = good;
         kis::PutU32LE(&b[b.size() - trailer], 7);
         return b;
       },
       5, true},
      {"name block above the bound", kSampleSectionId,
       [&] {
         return WithNameBlock(std::vector<wchar>(kMaxStandardNameUnits + 1, u'a'), kMaxStandardNameUnits + 1);
       },
       5, true},
      {"name block length near 2^32", kSampleSectionId, [&] { return WithNameBlock({u'a', 0, 0}, 0xFFFFFFFFu); },
       5, true},
      {"name block longer than the bytes", kSampleSectionId, [&] { return WithNameBlock({u'a', 0, 0}, 4); }, 5, true},
      {"entry larger than the section", kSampleSectionId,
       [&] {
         Bytes b = good;
         kis::PutU32LE(&b[4], static_cast<u32>(b.size()));
         return b;
       },
       0, true},
      {"name cut short", kSampleSectionId, [&] { return Bytes(good.begin(), good.begin() + 40); }, 0, false},
      {"count beyond the entries", kSampleSectionId,
       [&] {
         Bytes b = good;
         kis::PutU32LE(&b[0], 9);
         return b;
       },
       5, true},
      {"empty section", kSampleSectionId, [] { return Bytes{}; }, 0, false},
      {"music entry larger than the section", kMusicSectionId,
       [&] {
         Bytes b = MusicSectionBody(writer.music);
         kis::PutU32LE(&b[4], 0x7FFFFFFF);
         return b;
       },
       0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    audio.loads.clear();
    SoundArchiveWriter damaged = writer;
    damaged.SetRawSection(c.id, c.body());
    std::swap(writer, damaged);
    ASSERT_TRUE(WriteAndOpen());
    std::swap(writer, damaged);
    SectionCursor cursor;
    Read(c.id == kMusicSectionId ? &LoadMusic : &LoadSounds, &cursor);
    EXPECT_EQ(cursor.error, 1u);
    EXPECT_EQ(audio.loads.size(), c.loads);
    EXPECT_EQ(file->GetOpenEntry(), nullptr);
    EXPECT_EQ(file->IsOk(), c.fileOk);
    SectionCursor other;  // a section refused by its own checks leaves the archive readable
    Read(c.id == kMusicSectionId ? &LoadSounds : &LoadMusic, &other);
    EXPECT_EQ(other.error, c.fileOk ? 0u : 1u);
  }

  SectionCursor cursor;
  EXPECT_EQ(LoadSounds(nullptr, &cursor), 1);
  EXPECT_EQ(cursor.error, 1u);
  EXPECT_EQ(LoadSounds(file, nullptr), 1);
  // A section closed under the reader between two calls.
  SectionCursor cut;
  Read(&LoadSounds, &cut, [&] { file->CloseSection(); });
  EXPECT_EQ(cut.error, 1u);
  EXPECT_EQ(cut.done, 1u);
}

TEST_F(SoundSectionsTest, ShortListsAndShortNameBlocksAreAccepted) {
  // A size of 0 ends the list although the count promised more; the trailer follows at once.
  Bytes early = SampleSectionBody({writer.samples[0], writer.samples[1]}, StandardSoundNameList());
  kis::PutU32LE(&early[0], 5);
  const size_t trailer = 8 + 2 * StandardNameBlock(StandardSoundNameList()).size();
  early.insert(early.end() - static_cast<std::ptrdiff_t>(trailer), 4, 0);
  writer.SetRawSection(kSampleSectionId, early);
  Bytes music = MusicSectionBody({writer.music[0]});
  kis::PutU32LE(&music[0], 3);
  music.insert(music.end(), 4, 0);
  writer.SetRawSection(kMusicSectionId, music);
  ASSERT_TRUE(WriteAndOpen());
  SectionCursor m, s;
  EXPECT_EQ(Read(&LoadMusic, &m), 3u);  // one entry, the end, the close
  EXPECT_EQ(m.error, 0u);
  EXPECT_EQ(m.done, 3u);
  EXPECT_EQ(Read(&LoadSounds, &s), 4u);
  EXPECT_EQ(s.error, 0u);
  EXPECT_EQ(s.done, 5u);
  EXPECT_EQ(audio.loads.size(), 2u);
  EXPECT_NE(GetStandardSound(kSoundClick), 0u);
  EXPECT_NE(GetStandardSound(kSoundTaskDone), 0u);

  // Fewer names than slots; a name over 31 characters; a last name without its zero.
  const std::u16string longName(40, u'a');
  std::vector<wchar> units = StandardNameBlock({u"task_done", longName, u"", u"click"});
  const std::vector<wchar> cut = {u'c', u'l', u'i', u'c', u'k'};
  units.insert(units.end(), cut.begin(), cut.end());
  writer.SetRawSection(kSampleSectionId, WithNameBlock(units, static_cast<u32>(units.size())));
  ASSERT_TRUE(WriteAndOpen());
  SectionCursor t;
  Read(&LoadSounds, &t);
  EXPECT_EQ(t.error, 0u);
  EXPECT_EQ(GetStandardSound(0), sound().FindSound(u"task_done"));
  EXPECT_EQ(GetStandardSound(1), 0u);
  EXPECT_EQ(GetStandardSound(2), 0u);
  EXPECT_EQ(GetStandardSound(3), sound().FindSound(u"click"));
  EXPECT_EQ(GetStandardSound(4), 0u);

  // Without a manager the sections still read through; nothing is registered.
  sound().Shutdown();
  writer.SetRawSection(kSampleSectionId, SampleSectionBody(writer.samples, StandardSoundNameList()));
  ASSERT_TRUE(WriteAndOpen());
  SectionCursor none;
  Read(&LoadSounds, &none);
  EXPECT_EQ(none.error, 0u);
  EXPECT_EQ(GetStandardSound(kSoundClick), 0u);
}

}  // namespace
