// The SDL sound device on SDL's dummy driver: the mixer runs on SDL's audio
// thread once started, not at all once stopped, and the device can be
// opened again; the game's calls go through while it mixes.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/audio/AudioSoftBackend.h"
#include "platform/sdl2/SdlAudioOutput.h"

namespace {

using namespace plat::audio;

// Waits (up to a generous limit, never asserting on time) until the mixer
// has mixed more than `frames` frames.
bool MixedBeyond(const Mixer& mixer, uint64_t frames) {
  for (int i = 0; i < 2000 && mixer.FramesMixed() <= frames; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return mixer.FramesMixed() > frames;
}

TEST(SdlAudioOutputTest, MixesOnSdlsThreadUntilStopped) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  auto output = std::make_unique<plat::sdl2::SdlAudioOutput>();
  plat::sdl2::SdlAudioOutput* device = output.get();
  SoftBackend audio(std::move(output));
  ASSERT_TRUE(audio.Init()) << device->Error();
  Mixer& mixer = audio.GetMixer();

  const SampleHandle sample = mixer.AddSample(DecodedSound{1, kMixRate, std::vector<float>(4410, 0.25f)}, 16, true);
  const ChannelHandle ch = audio.SampleGetChannel(sample);
  ASSERT_TRUE(audio.Play(ch, false));
  ASSERT_TRUE(MixedBeyond(mixer, 3 * plat::sdl2::SdlAudioOutput::kPeriodFrames));
  EXPECT_EQ(audio.State(ch), ChannelState::Playing);
  ASSERT_TRUE(audio.SlideVolume(ch, 0.0f, 20));
  const uint64_t before = mixer.FramesMixed();
  ASSERT_TRUE(MixedBeyond(mixer, before + 2000));
  EXPECT_FALSE(audio.IsSliding(ch));

  audio.Free();
  EXPECT_EQ(audio.State(ch), ChannelState::Stopped);
  const uint64_t stopped = mixer.FramesMixed();
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_EQ(mixer.FramesMixed(), stopped);

  ASSERT_TRUE(audio.Init()) << device->Error();
  ASSERT_TRUE(MixedBeyond(mixer, stopped));
  audio.Free();
}

// A start that finds no device leaves SDL's audio started (taking it down
// would wait for SDL's watcher of the sound cards) until the session lets it
// go; a second failure takes its own start down, so one release ends it.
TEST(SdlAudioOutputTest, AFailedStartKeepsSdlsAudioUntilReleased) {
  bool disk = false;
  for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) disk = disk || std::strcmp(SDL_GetAudioDriver(i), "disk") == 0;
  if (!disk) GTEST_SKIP() << "SDL has no disk audio driver here";
  const char* was = std::getenv("SDL_AUDIODRIVER");
  const std::string driver = was ? was : "";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/nonexistent-folder/sound.raw", 1);  // the device cannot open
  ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  for (int attempt = 0; attempt < 2; ++attempt) {
    auto output = std::make_unique<plat::sdl2::SdlAudioOutput>();
    plat::sdl2::SdlAudioOutput* device = output.get();
    SoftBackend audio(std::move(output));
    EXPECT_FALSE(audio.Init()) << attempt;
    EXPECT_FALSE(device->Error().empty()) << attempt;
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u) << attempt;
  }
  plat::sdl2::SdlAudioOutput::ReleaseParked();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  plat::sdl2::SdlAudioOutput::ReleaseParked();  // nothing left to release
  unsetenv("SDL_DISKAUDIOFILE");
  if (was)
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
  else
    unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
