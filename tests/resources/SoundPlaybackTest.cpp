// The sound settings over the real backend: an archive from our writer read
// by the section readers, mixed on the offline output under the fake clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/datafile/DataFileReader.h"
#include "common/OggEncoder.h"
#include "common/SynthSound.h"
#include "platform/audio/AudioByteSource.h"
#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "resources/ResourceServices.h"
#include "resources/SoundArchiveWriter.h"
#include "resources/SoundSections.h"
#include "resources/SoundSettings.h"
#include "testsupport/TempFolder.h"

namespace {

using Bytes = std::vector<u8>;
using Pcm = std::vector<int16_t>;

constexpr u32 kRate = plat::audio::kMixRate;
constexpr size_t Frames(size_t ms) { return ms * kRate / 1000; }

int Peak(const Pcm& mix, size_t fromMs, size_t toMs) {
  int peak = 0;
  for (size_t i = 2 * Frames(fromMs); i < 2 * Frames(toMs) && i < mix.size(); ++i)
    peak = std::max(peak, std::abs(static_cast<int>(mix[i])));
  return peak;
}

class SoundPlaybackTest : public ::testing::Test {
 protected:
  SoundPlaybackTest() : scoped_({.clock = &clock_}) {
    ResetResourceServices();
    SoundSettings& s = GetSoundSettings();
    s.musicVolume = 100.0f;
    s.soundsVolume = 100.0f;
    auto output = std::make_unique<plat::audio::OfflineOutput>(true);
    out_ = output.get();
    EXPECT_TRUE(s.Init(std::make_unique<plat::audio::SoftBackend>(std::move(output))));

    click_ = tools::EncodeOggVorbis(tools::SineTone(1000, 0.1, kRate, 1, 0.5f), 1, kRate);
    SoundArchiveWriter writer;
    writer.samples = {{u"click", 0, click_}};
    writer.music = {{u"theme", tools::EncodeOggVorbis(tools::SineTone(440, 2.0, kRate, 2, 0.5f), 2, kRate)},
                    {u"other", tools::EncodeOggVorbis(tools::SineTone(660, 2.0, kRate, 2, 0.5f), 2, kRate)}};
    const std::u16string path = folder_.Wide("Sounds.dat");
    EXPECT_TRUE(writer.Write(path.c_str()));
    kis::DataFileReaderW* file =
        kis::OpenDataFileReaderW(path.c_str(), kSoundArchiveSignature1, kSoundArchiveSignature2, kSoundArchiveVersion);
    SectionCursor music, samples;
    EXPECT_EQ(LoadMusic(file, &music), 1);
    EXPECT_EQ(LoadSounds(file, &samples), 1);
    EXPECT_EQ(music.error + samples.error, 0u);
    kis::CloseDataFile(file);
  }
  ~SoundPlaybackTest() override {
    GetSoundSettings().Shutdown();
    ResetResourceServices();
  }

  SoundSettings& sound() { return GetSoundSettings(); }
  // The frames mixed while ms pass on the clock.
  Pcm Mix(u32 ms) {
    out_->ClearCaptured();
    clock_.Advance(ms);
    sound().Update();
    return out_->Captured();
  }

  TempFolder folder_;
  plat::FakeClock clock_{5000};
  plat::PlatformServicesScope scoped_;
  plat::audio::OfflineOutput* out_ = nullptr;
  Bytes click_;
};

TEST_F(SoundPlaybackTest, ASoundStartedInAPausedGroupPlaysFromItsStartOnResume) {
  const u32 click = GetStandardSound(kSoundClick);
  ASSERT_NE(click, 0u);
  sound().PauseSounds(kSoundGroupLevel);
  const u32 channel = sound().PlaySound(click, kSoundGroupLevel | kSoundGroupScreen, -1);
  ASSERT_NE(channel, 0u);
  const Pcm held = Mix(50);
  ASSERT_EQ(held.size(), 2 * Frames(50));
  EXPECT_EQ(Peak(held, 0, 50), 0);
  sound().Update();  // a held channel is not taken for a finished one

  sound().ResumeSounds(kSoundGroupLevel);
  const Pcm played = Mix(150);
  plat::audio::DecodedSound pcm;
  ASSERT_TRUE(plat::audio::DecodeOgg(std::make_unique<plat::audio::MemorySource>(click_.data(), click_.size()),
                                     kRate, uint64_t{1} << 20, &pcm));
  ASSERT_GT(pcm.Frames(), 4000u);
  for (size_t f = 0; f < played.size() / 2; ++f) {
    const int16_t want = f < pcm.Frames() ? plat::audio::Mixer::ToPcm16(pcm.samples[f]) : 0;
    ASSERT_EQ(played[2 * f], want) << "frame " << f;
    ASSERT_EQ(played[2 * f + 1], want) << "frame " << f;
  }
}

TEST_F(SoundPlaybackTest, MusicFadesInAndOutOverHalfASecond) {
  ASSERT_TRUE(sound().PlayMusic(u"theme", true));
  const Pcm in = Mix(600);
  const int full = Peak(in, 500, 600);
  EXPECT_GT(full, 15000);
  EXPECT_LT(Peak(in, 0, 100), full / 4);
  EXPECT_LT(Peak(in, 200, 300), Peak(in, 400, 500));

  // Switching: the theme fades out while the other fades in; once the fade
  // is over the theme is stopped and forgotten.
  ASSERT_TRUE(sound().PlayMusic(u"other", true));
  const u32 theme = sound().fadingMusic;
  EXPECT_NE(theme, 0u);
  const Pcm both = Mix(250);
  EXPECT_GT(Peak(both, 0, 250), 0);
  EXPECT_EQ(sound().fadingMusic, theme);
  Mix(260);
  EXPECT_EQ(sound().fadingMusic, 0u);
  EXPECT_TRUE(sound().IsMusicPlaying());

  sound().StopMusic(sound().currentMusic);
  const Pcm out = Mix(500);
  EXPECT_LT(Peak(out, 400, 500), full / 4);
  EXPECT_EQ(Peak(Mix(100), 0, 100), 0);
  EXPECT_EQ(sound().fadingMusic, 0u);
  EXPECT_FALSE(sound().IsMusicPlaying());
}

TEST(SoundWithoutDevice, TheNullOutputLeavesNoManager) {
  ResetResourceServices();
  SoundSettings& s = GetSoundSettings();
  EXPECT_FALSE(s.Init(std::make_unique<plat::audio::SoftBackend>(std::make_unique<plat::audio::NullOutput>())));
  EXPECT_EQ(s.manager, nullptr);
  EXPECT_EQ(s.LoadSound(u"click", false), 0u);
  ResetResourceServices();
}

}  // namespace
