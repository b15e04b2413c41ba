// "config.dat": the two sections as bytes written by hand, a saved file read
// back and saved again to the same bytes, the defaults kept when the file
// is missing or damaged, and the sound settings' checks on what it holds.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "ProfileRig.h"
#include "app/GameWorld.h"
#include "app/Settings.h"
#include "base/datafile/DataFileWriter.h"
#include "testsupport/ByteBuilder.h"

namespace profiletest {
namespace {

using testsupport::ByteBuilder;
using testsupport::ReadFileBytes;

constexpr u32 kMusic = SoundSettings::kMusic, kSounds = SoundSettings::kSounds;

class Settings : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllServices(); }
  void TearDown() override { ResetAllServices(); }
  // A "config.dat" of these section bodies (none: the section left out).
  void Write(const std::vector<u8>& screen, const std::vector<u8>& saved) {
    kis::DataFileWriterW* w =
        kis::CreateDataFileWriterW(dir.Wide("config.dat").c_str(), kSettingsSignature1, kSettingsSignature2, 1, false);
    ASSERT_NE(w, nullptr);
    for (auto [id, body] : {std::pair{kScreenSectionId, &screen}, std::pair{kSoundSectionId, &saved}}) {
      if (body->empty()) continue;
      w->BeginSection(id, 1);
      w->Write(body->data(), static_cast<u32>(body->size()));
      w->EndSection();
    }
    ASSERT_TRUE(kis::CloseDataFile(w));
  }
  std::vector<u8> Section(const TempFolder& in, u32 id) {
    return SectionBytes(in.Wide("config.dat"), kSettingsSignature1, kSettingsSignature2, 1, id, 1);
  }
  SoundSettings& sound = GetSoundSettings();
  TempFolder dir;
};

TEST_F(Settings, HandWrittenSectionsLoadAndASavedFileSavesBackToTheSameBytes) {
  const std::vector<u8> screen = ByteBuilder().u32_(0).u32_(1024).u32_(768).u32_(1920).u32_(1080).u32_(75).u32_(0).v;
  const std::vector<u8> saved = ByteBuilder().u32_(1).u32_(0x42480000).u32_(0).u32_(0x41200000).v;  // 50, 10
  Write(screen, saved);
  SCREENPARAMS p;
  ASSERT_TRUE(LoadSettings(dir.Wide(), &p));
  EXPECT_EQ(p, (SCREENPARAMS{0, 1024, 768, 1920, 1080, 75, 0}));
  EXPECT_EQ(sound.musicVolume, 50.0f);
  EXPECT_EQ(sound.soundsOn, 0u);
  EXPECT_EQ(sound.soundsVolume, 10.0f);

  // Saved, the sections are those bytes; read and saved again, the same file.
  TempFolder second, third;
  ASSERT_TRUE(SaveSettings(second.Wide(), p));
  EXPECT_EQ(Section(second, kScreenSectionId), screen);
  EXPECT_EQ(Section(second, kSoundSectionId), saved);
  ResetAllServices();
  SCREENPARAMS back;
  ASSERT_TRUE(LoadSettings(second.Wide(), &back));
  ASSERT_TRUE(SaveSettings(third.Wide(), back));
  EXPECT_EQ(ReadFileBytes(third.File("config.dat")), ReadFileBytes(second.File("config.dat")));
  EXPECT_EQ(third.Entries(), 1);  // no temporary left behind
  EXPECT_FALSE(LoadSettings(dir.Wide(std::string(260, 'x')), &p));  // a path too long
  EXPECT_FALSE(SaveSettings(dir.Wide(std::string(260, 'x')), p));
}

// No file, sections too short or longer, every cut and every flipped byte:
// the screen keeps what it held unless a section's first 28 bytes are read,
// and no volume or switch is ever out of range.
TEST_F(Settings, AMissingOrDamagedFileKeepsTheDefaults) {
  SCREENPARAMS p;
  ASSERT_TRUE(LoadSettings(dir.Wide(), &p));
  EXPECT_EQ(p, SCREENPARAMS{});
  EXPECT_TRUE(sound.IsEnabled(kMusic) && sound.IsEnabled(kSounds));
  EXPECT_EQ(sound.musicVolume, 50.0f);
  // A screen section a word short is left out; the sound section after it is read.
  Write(ByteBuilder().u32_(0).u32_(1024).u32_(768).u32_(1).u32_(1).u32_(1).v,
        ByteBuilder().u32_(0).u32_(0x42480000).u32_(1).u32_(0x42480000).v);
  ASSERT_TRUE(LoadSettings(dir.Wide(), &p));
  EXPECT_EQ(p, SCREENPARAMS{});
  EXPECT_EQ(sound.musicOn, 0u);
  // Longer sections (a later version's) give their first 28 and 16 bytes;
  // a sound section a byte short is left out.
  Write(ByteBuilder().u32_(0).u32_(1024).u32_(768).u32_(1920).u32_(1080).u32_(75).u32_(0).u32_(9).v,
        ByteBuilder().u32_(1).u32_(0x41200000).u32_(1).u32_(0x41200000).u32_(9).v);
  ASSERT_TRUE(LoadSettings(dir.Wide(), &p));
  EXPECT_EQ(p, (SCREENPARAMS{0, 1024, 768, 1920, 1080, 75, 0}));
  EXPECT_EQ(sound.musicOn, 1u);
  EXPECT_EQ(sound.soundsVolume, 10.0f);
  Write({}, std::vector<u8>(15, 0));
  ASSERT_TRUE(LoadSettings(dir.Wide(), &p));
  EXPECT_EQ(sound.musicOn, 1u);

  SCREENPARAMS good;
  good.fullscreen = 0;
  ASSERT_TRUE(SaveSettings(dir.Wide(), good));
  const std::vector<u8> bytes = ReadFileBytes(dir.File("config.dat"));
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::vector<u8> cut(bytes.begin(), bytes.begin() + static_cast<long>(i)), flipped = bytes;
    flipped[i] ^= 0x5A;
    for (const std::vector<u8>* damaged : {&cut, &flipped}) {
      ASSERT_TRUE(testsupport::WriteFileBytes(dir.File("config.dat"), *damaged));
      SCREENPARAMS q;
      ASSERT_TRUE(LoadSettings(dir.Wide(), &q));
      if (damaged == &cut) {
        EXPECT_EQ(q, SCREENPARAMS{}) << i;
      }
      for (float v : {sound.musicVolume, sound.soundsVolume}) EXPECT_TRUE(std::isfinite(v) && v >= 0 && v <= 100) << i;
      EXPECT_TRUE(sound.musicOn <= 1 && sound.soundsOn <= 1) << i;
    }
  }
}

TEST_F(Settings, VolumesAreCheckedWhereverTheyComeFrom) {
  const u32 nan = std::bit_cast<u32>(std::nanf(""));
  // From the file: not a number, below 0, above 100, infinite; on words of 7 and 0.
  Write({}, ByteBuilder().u32_(7).u32_(nan).u32_(0).u32_(std::bit_cast<u32>(-5.0f)).v);
  SCREENPARAMS p;
  ASSERT_TRUE(LoadSettings(dir.Wide(), &p));
  EXPECT_EQ(sound.GetAll().musicOn, 1u);
  EXPECT_EQ(sound.musicVolume, 50.0f);
  EXPECT_EQ(sound.soundsOn, 0u);
  EXPECT_EQ(sound.soundsVolume, 0.0f);
  Write({}, ByteBuilder().u32_(1).u32_(std::bit_cast<u32>(150.0f)).u32_(1).u32_(std::bit_cast<u32>(INFINITY)).v);
  ASSERT_TRUE(LoadSettings(dir.Wide(), &p));
  EXPECT_EQ(sound.musicVolume, 100.0f);
  EXPECT_EQ(sound.soundsVolume, 50.0f);

  // Set: a change once, the same value again nothing.
  EXPECT_TRUE(sound.SetVolume(kSounds, 150.0f));
  EXPECT_FALSE(sound.SetVolume(kSounds, 100.0f));
  EXPECT_TRUE(sound.SetVolume(kSounds, std::nanf("")));
  EXPECT_EQ(sound.soundsVolume, 50.0f);
  EXPECT_FALSE(sound.SetVolume(2, 10.0f));
  // Silent only at volume 0; switched off reads as 0 but is not silent.
  EXPECT_TRUE(sound.SetEnabled(kMusic, false));
  EXPECT_FALSE(sound.SetEnabled(kMusic, false));
  EXPECT_EQ(sound.GetVolume(kMusic), 0.0f);
  EXPECT_FALSE(sound.IsEnabled(kMusic) || sound.IsSilent(kMusic));
  sound.SetEnabled(kMusic, true);
  EXPECT_TRUE(sound.SetVolume(kMusic, 0.0f));
  EXPECT_TRUE(sound.IsSilent(kMusic) && !sound.IsEnabled(kMusic));
  EXPECT_TRUE(sound.SetVolume(kMusic, 0.5f));
  EXPECT_FALSE(sound.IsSilent(kMusic));
}

}  // namespace
}  // namespace profiletest
