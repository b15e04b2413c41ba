// The mixer on the offline output, checked sample for sample against the
// decoder's PCM: looping, pausing, slides, global volumes, streams read in
// place from an archive, the channel limit of a sample, clipping, the
// null output, WAV output, and control calls racing the mixing thread.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

#include "AudioTestSupport.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"

namespace {

using namespace plat::audio;
using audiotest::Bytes;
using audiotest::ExpectFrame;

class AudioMixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto output = std::make_unique<OfflineOutput>();
    out_ = output.get();
    audio_ = std::make_unique<SoftBackend>(std::move(output));
    ASSERT_TRUE(audio_->Init());
  }

  // A mono 441 Hz tone of 0.1 s (the decoder's length), as a file of its own.
  SampleHandle LoadTone(bool loop, uint32_t maxPlaybacks = 16) {
    tone_ = audiotest::Tone(441, 0.1);
    pcm_ = audiotest::Decode(tone_);
    return audio_->LoadSample(audiotest::WriteSound(folder_, "tone.ogg", tone_), 0, 0, maxPlaybacks, loop);
  }

  std::vector<int16_t> Take() {
    std::vector<int16_t> mix = out_->Captured();
    out_->ClearCaptured();
    return mix;
  }

  TempFolder folder_;
  OfflineOutput* out_ = nullptr;
  std::unique_ptr<SoftBackend> audio_;
  Bytes tone_;
  DecodedSound pcm_;
};

TEST_F(AudioMixerTest, LoopingSampleWrapsAndPausedChannelIsSilent) {
  const SampleHandle sample = LoadTone(true);
  ASSERT_NE(sample, 0u);
  const uint64_t length = pcm_.Frames();
  ASSERT_GT(length, 4000u);

  const ChannelHandle ch = audio_->SampleGetChannel(sample);
  ASSERT_NE(ch, 0u);
  EXPECT_EQ(audio_->State(ch), ChannelState::Paused);  // handed out, holding its place
  EXPECT_TRUE(audio_->Looping(ch));
  out_->AdvanceFrames(100);
  std::vector<int16_t> mix = Take();
  EXPECT_EQ(mix, std::vector<int16_t>(200, 0));

  ASSERT_TRUE(audio_->Play(ch, false));
  const uint64_t played = length * 5 / 2;
  out_->AdvanceFrames(played);
  mix = Take();
  for (uint64_t i = 0; i < played; ++i) ExpectFrame(mix, i, pcm_, i, 1.0f);

  ASSERT_TRUE(audio_->Pause(ch));
  out_->AdvanceFrames(3000);
  mix = Take();
  EXPECT_EQ(mix, std::vector<int16_t>(6000, 0));
  EXPECT_EQ(audio_->State(ch), ChannelState::Paused);

  // Resumed where it was paused; without its loop flag it ends at the
  // sample's end, and its handle goes stale.
  ASSERT_TRUE(audio_->Play(ch, false));
  ASSERT_TRUE(audio_->SetLooping(ch, false));
  out_->AdvanceFrames(length);
  mix = Take();
  const uint64_t rest = length - played % length;
  for (uint64_t i = 0; i < rest; ++i) ExpectFrame(mix, i, pcm_, played + i, 1.0f);
  for (uint64_t i = rest; i < length; ++i) ASSERT_EQ(mix[2 * i], 0) << i;
  EXPECT_EQ(audio_->State(ch), ChannelState::Stopped);
  EXPECT_FALSE(audio_->Play(ch, true));
  EXPECT_FALSE(audio_->Pause(ch));
  EXPECT_FALSE(audio_->SetVolume(ch, 0.5f));

  // Restart goes back to the first frame.
  const ChannelHandle again = audio_->SampleGetChannel(sample);
  ASSERT_NE(again, ch);
  ASSERT_TRUE(audio_->Play(again, false));
  out_->AdvanceFrames(500);
  ASSERT_TRUE(audio_->Play(again, true));
  out_->AdvanceFrames(200);
  mix = Take();
  for (uint64_t i = 0; i < 200; ++i) ExpectFrame(mix, 500 + i, pcm_, i, 1.0f);
}

// A fade-out over 500 ms of the game's clock, mixed by the per-frame update:
// every frame from the 22050th on is silent, and the slide has ended.
TEST_F(AudioMixerTest, SlideReachesZeroWithin500Ms) {
  plat::FakeClock clock(5000);
  plat::PlatformServicesScope installed({.clock = &clock});
  audio_->Free();
  ASSERT_TRUE(audio_->Init());  // started again, under the fake clock
  const SampleHandle sample = LoadTone(true);
  const ChannelHandle ch = audio_->SampleGetChannel(sample);
  ASSERT_TRUE(audio_->Play(ch, false));
  ASSERT_TRUE(audio_->SlideVolume(ch, 0.0f, 500));
  EXPECT_TRUE(audio_->IsSliding(ch));
  for (int frame = 0; frame < 30; ++frame) {  // 30 game frames of 17 ms: 510 ms
    clock.Advance(17);
    audio_->Update();
  }
  const std::vector<int16_t> mix = Take();
  ASSERT_EQ(mix.size(), 2u * (510 * 441 / 10));
  const uint64_t slide = 500 * 441 / 10;  // 22050 frames
  for (uint64_t i = slide - 1; i < mix.size() / 2; ++i) ASSERT_EQ(mix[2 * i], 0) << i;
  // On the way down each frame has the volume of its place in the slide.
  for (uint64_t i : {0ull, 1000ull, 11025ull, 20000ull}) {
    const float t = static_cast<float>(static_cast<double>(i + 1) / static_cast<double>(slide));
    ExpectFrame(mix, i, pcm_, i, 1.0f - t);
  }
  EXPECT_FALSE(audio_->IsSliding(ch));
  EXPECT_EQ(audio_->Volume(ch), 0.0f);
  EXPECT_EQ(audio_->State(ch), ChannelState::Playing);  // silent, still playing

  // A slide runs on output time, paused or not; setting the volume cancels it.
  ASSERT_TRUE(audio_->Pause(ch));
  ASSERT_TRUE(audio_->SlideVolume(ch, 1.0f, 100));
  out_->AdvanceMs(50);
  EXPECT_NEAR(audio_->Volume(ch), 0.5f, 0.001f);
  ASSERT_TRUE(audio_->SetVolume(ch, 0.25f));
  EXPECT_FALSE(audio_->IsSliding(ch));
  out_->AdvanceMs(100);
  EXPECT_EQ(audio_->Volume(ch), 0.25f);
  ASSERT_TRUE(audio_->SlideVolume(ch, 0.75f, 0));  // 0 ms: at once
  EXPECT_EQ(audio_->Volume(ch), 0.75f);
  EXPECT_FALSE(audio_->IsSliding(ch));
}

// The sample volume scales sample channels only, the stream volume streams
// only; 10000 is full, 0 silent, larger values full.
TEST_F(AudioMixerTest, GlobalVolumesScaleSamplesAndStreamsApart) {
  const SampleHandle sample = LoadTone(true);
  const Bytes music = audiotest::Tone(330, 0.2, 44100, 2);
  const DecodedSound musicPcm = audiotest::Decode(music);
  const ChannelHandle stream =
      audio_->CreateStream(audiotest::WriteSound(folder_, "music.ogg", music), 0, 0, true);
  ASSERT_NE(stream, 0u);
  EXPECT_EQ(audio_->State(stream), ChannelState::Stopped);
  const ChannelHandle ch = audio_->SampleGetChannel(sample);
  ASSERT_TRUE(audio_->Play(ch, false));
  ASSERT_TRUE(audio_->Play(stream, false));

  audio_->SetGlobalVolume(VolumeGroup::Samples, 5000);
  audio_->SetGlobalVolume(VolumeGroup::Streams, 0);
  out_->AdvanceFrames(2000);
  std::vector<int16_t> mix = Take();
  for (uint64_t i = 0; i < 2000; ++i) ExpectFrame(mix, i, pcm_, i, 0.5f);

  audio_->SetGlobalVolume(VolumeGroup::Samples, 0);
  audio_->SetGlobalVolume(VolumeGroup::Streams, 20000);
  out_->AdvanceFrames(2000);
  mix = Take();
  for (uint64_t i = 0; i < 2000; ++i) ExpectFrame(mix, i, musicPcm, 2000 + i, 1.0f);

  // The channel volume multiplies with the global one.
  audio_->SetGlobalVolume(VolumeGroup::Streams, 5000);
  ASSERT_TRUE(audio_->SetVolume(stream, 0.5f));
  out_->AdvanceFrames(1000);
  mix = Take();
  for (uint64_t i = 0; i < 1000; ++i) ExpectFrame(mix, i, musicPcm, 4000 + i, 0.25f);
}

// Music read in place from the middle of an archive sounds exactly like the
// same bytes as a file of their own, and like the whole decoded sound; it
// loops without a seam, stops, and starts again.
TEST_F(AudioMixerTest, StreamFromArchiveRangeEqualsStandaloneFile) {
  const Bytes music = audiotest::Tone(523, 0.15, 44100, 2);
  const DecodedSound pcm = audiotest::Decode(music);
  Bytes archive(1000, 0xA5);
  archive.insert(archive.end(), music.begin(), music.end());
  archive.insert(archive.end(), 777, 0x5A);
  const std::u16string archivePath = audiotest::WriteSound(folder_, "Sounds.dat", archive);
  const std::u16string filePath = audiotest::WriteSound(folder_, "music.ogg", music);

  auto mixStream = [&](const std::u16string& path, uint64_t offset, uint64_t length, uint64_t frames) {
    auto output = std::make_unique<OfflineOutput>();
    OfflineOutput* out = output.get();
    SoftBackend audio(std::move(output));
    EXPECT_TRUE(audio.Init());
    const ChannelHandle stream = audio.CreateStream(path, offset, length, true);
    EXPECT_NE(stream, 0u);
    EXPECT_TRUE(audio.Play(stream, true));
    out->AdvanceFrames(frames);
    return out->Captured();
  };
  const uint64_t frames = pcm.Frames() * 2 + 1500;
  const std::vector<int16_t> fromArchive = mixStream(archivePath, 1000, music.size(), frames);
  EXPECT_EQ(fromArchive, mixStream(filePath, 0, 0, frames));
  for (uint64_t i = 0; i < frames; ++i) ExpectFrame(fromArchive, i, pcm, i, 1.0f);

  // Ranges outside the file open nothing.
  EXPECT_EQ(audio_->CreateStream(archivePath, archive.size() + 1, 0, false), 0u);
  EXPECT_EQ(audio_->CreateStream(archivePath, 1000, archive.size(), false), 0u);
  EXPECT_EQ(audio_->CreateStream(archivePath, 0, 1000, false), 0u);  // the bytes before the music
  EXPECT_EQ(audio_->CreateStream(plat::Utf8ToUtf16(folder_.File("missing.ogg")), 0, 0, false), 0u);

  // Without its loop flag the stream ends and stops; it plays again from the
  // start, and Stop keeps its place for a later Play.
  const ChannelHandle stream = audio_->CreateStream(archivePath, 1000, music.size(), false);
  ASSERT_TRUE(audio_->Play(stream, false));
  out_->AdvanceFrames(pcm.Frames() + 100);
  EXPECT_EQ(audio_->State(stream), ChannelState::Stopped);
  Take();
  ASSERT_TRUE(audio_->Play(stream, false));
  out_->AdvanceFrames(300);
  ASSERT_TRUE(audio_->Stop(stream));
  out_->AdvanceFrames(300);
  ASSERT_TRUE(audio_->Play(stream, false));
  out_->AdvanceFrames(300);
  std::vector<int16_t> mix = Take();
  for (uint64_t i = 0; i < 300; ++i) ExpectFrame(mix, i, pcm, i, 1.0f);
  for (uint64_t i = 300; i < 600; ++i) ASSERT_EQ(mix[2 * i], 0);
  for (uint64_t i = 600; i < 900; ++i) ExpectFrame(mix, i, pcm, i - 300, 1.0f);
  ASSERT_TRUE(audio_->FreeStream(stream));
  EXPECT_FALSE(audio_->FreeStream(stream));
  EXPECT_EQ(audio_->State(stream), ChannelState::Stopped);
}

// Sixteen copies of a sound play at once; the 17th asks in vain until one
// has ended. Channels kept back unplayed count as busy. Freeing the sample
// frees its channels.
TEST_F(AudioMixerTest, SeventeenthPlayGetsNoChannel) {
  const SampleHandle sample = LoadTone(false);
  ASSERT_NE(sample, 0u);
  EXPECT_EQ(audio_->SampleMaxPlaybacks(sample), 16u);
  std::vector<ChannelHandle> channels;
  for (int i = 0; i < 16; ++i) {
    const ChannelHandle ch = audio_->SampleGetChannel(sample);
    ASSERT_NE(ch, 0u) << i;
    if (i != 7) {
      ASSERT_TRUE(audio_->Play(ch, false));
    }
    channels.push_back(ch);
  }
  EXPECT_EQ(audio_->SampleGetChannel(sample), 0u);
  EXPECT_EQ(audio_->SampleGetChannel(sample + 1), 0u);  // not a sample
  out_->AdvanceFrames(pcm_.Frames());
  EXPECT_EQ(audio_->State(channels[7]), ChannelState::Paused);  // never played: still holds its place
  EXPECT_EQ(audio_->State(channels[0]), ChannelState::Stopped);
  EXPECT_EQ(audio_->State(channels[15]), ChannelState::Stopped);

  // Fifteen have ended; fifteen new channels, none matching an old handle.
  for (int i = 0; i < 15; ++i) {
    const ChannelHandle ch = audio_->SampleGetChannel(sample);
    ASSERT_NE(ch, 0u);
    EXPECT_EQ(std::find(channels.begin(), channels.end(), ch), channels.end());
    ASSERT_TRUE(audio_->Play(ch, false));
  }
  EXPECT_EQ(audio_->SampleGetChannel(sample), 0u);
  ASSERT_TRUE(audio_->Stop(channels[7]));
  const ChannelHandle last = audio_->SampleGetChannel(sample);
  EXPECT_NE(last, 0u);
  EXPECT_EQ(audio_->State(last), ChannelState::Paused);

  ASSERT_TRUE(audio_->FreeSample(sample));
  EXPECT_EQ(audio_->State(last), ChannelState::Stopped);
  EXPECT_EQ(audio_->SampleGetChannel(sample), 0u);
  EXPECT_EQ(audio_->SampleMaxPlaybacks(sample), 0u);
  EXPECT_FALSE(audio_->FreeSample(sample));
  Take();
  out_->AdvanceFrames(100);
  EXPECT_EQ(Take(), std::vector<int16_t>(200, 0));
}

// Sums beyond full scale clip at both ends; a stereo sample keeps its sides.
TEST_F(AudioMixerTest, MixClipsAndKeepsStereoSides) {
  Mixer& mixer = audio_->GetMixer();
  DecodedSound loud{2, kMixRate, {0.75f, -0.75f, 0.75f, -0.75f, 0.2f, -0.1f}};
  const SampleHandle sample = mixer.AddSample(loud, 4, false);
  ASSERT_NE(sample, 0u);
  EXPECT_EQ(mixer.AddSample(DecodedSound{1, 22050, {0.5f}}, 4, false), 0u);  // not at the mix rate
  EXPECT_EQ(mixer.AddSample(DecodedSound{2, kMixRate, {}}, 4, false), 0u);
  ASSERT_TRUE(mixer.Play(mixer.SampleChannel(sample), false));
  ASSERT_TRUE(mixer.Play(mixer.SampleChannel(sample), false));
  int16_t out[8];
  mixer.Mix(out, 4);
  const int16_t expected[8] = {32767, -32768, 32767, -32768, Mixer::ToPcm16(0.4f), Mixer::ToPcm16(-0.2f), 0, 0};
  EXPECT_TRUE(std::equal(std::begin(out), std::end(out), std::begin(expected)));
  EXPECT_EQ(Mixer::ToPcm16(1.0f), 32767);
  EXPECT_EQ(Mixer::ToPcm16(-1.0f), -32767);
  EXPECT_EQ(Mixer::ToPcm16(-1.5f), -32768);
  EXPECT_EQ(Mixer::ToPcm16(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(mixer.FramesMixed(), 4u);
}

// Without a device nothing loads and nothing plays; the game goes on.
TEST(AudioNullOutputTest, StartFailsAndEveryCallFails) {
  TempFolder folder;
  const std::u16string path = audiotest::WriteSound(folder, "tone.ogg", audiotest::Tone(441, 0.05));
  SoftBackend audio(std::make_unique<NullOutput>());
  EXPECT_FALSE(audio.Init());
  audio.Update();
  EXPECT_EQ(audio.LoadSample(path, 0, 0, 16, false), 0u);
  EXPECT_EQ(audio.CreateStream(path, 0, 0, true), 0u);
  EXPECT_EQ(audio.SampleGetChannel(0), 0u);
  EXPECT_FALSE(audio.Play(0, true));
  EXPECT_EQ(audio.State(0x80010000u), ChannelState::Stopped);
}

// The captured mix is written as a 44.1 kHz 16-bit stereo WAV file.
TEST_F(AudioMixerTest, OfflineMixWritesWav) {
  const ChannelHandle ch = audio_->SampleGetChannel(LoadTone(false));
  ASSERT_TRUE(audio_->Play(ch, false));
  out_->AdvanceMs(30);
  ASSERT_EQ(out_->Captured().size(), 2u * 1323);
  const std::string path = folder_.File("mix.wav");
  ASSERT_TRUE(out_->WriteWav(path));
  std::ifstream in(path, std::ios::binary);
  const Bytes wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(wav.size(), 44u + 1323 * 4);
  auto u32 = [&](size_t at) { return wav[at] | wav[at + 1] << 8 | wav[at + 2] << 16 | uint32_t{wav[at + 3]} << 24; };
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(u32(4), wav.size() - 8);
  EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(u32(20), 0x00020001u);  // PCM, 2 channels
  EXPECT_EQ(u32(24), 44100u);
  EXPECT_EQ(u32(28), 44100u * 4);
  EXPECT_EQ(u32(32), 0x00100004u);  // 4 bytes a frame, 16 bits
  EXPECT_EQ(u32(40), 1323u * 4);
  const int16_t s = static_cast<int16_t>(wav[44 + 400] | wav[44 + 401] << 8);
  EXPECT_EQ(s, out_->Captured()[200]);
  EXPECT_FALSE(out_->WriteWav(folder_.File("no/such/folder/mix.wav")));
}

// Control calls from the game's thread while another thread mixes, as a
// device's thread does (run under ThreadSanitizer too).
TEST_F(AudioMixerTest, ControlWhileAnotherThreadMixes) {
  const SampleHandle sample = LoadTone(true, 64);
  const Bytes music = audiotest::Tone(220, 0.1, 22050, 2);
  const std::u16string musicPath = audiotest::WriteSound(folder_, "music.ogg", music);
  Mixer& mixer = audio_->GetMixer();
  std::atomic<bool> done{false};
  std::thread device([&] {
    int16_t block[2 * 256];
    while (!done.load()) mixer.Mix(block, 256);
  });
  std::vector<ChannelHandle> channels;
  for (int round = 0; round < 200; ++round) {
    const ChannelHandle ch = audio_->SampleGetChannel(sample);
    if (ch != 0) {
      audio_->Play(ch, false);
      audio_->SlideVolume(ch, 0.0f, 5);
      channels.push_back(ch);
    }
    if (round % 3 == 0 && !channels.empty()) {
      audio_->Stop(channels.front());
      channels.erase(channels.begin());
    }
    if (round % 40 == 0) {
      const ChannelHandle stream = audio_->CreateStream(musicPath, 0, 0, true);
      ASSERT_NE(stream, 0u);
      audio_->Play(stream, true);
      audio_->SetGlobalVolume(VolumeGroup::Streams, round * 10);
      std::this_thread::yield();
      audio_->Pause(stream);
      audio_->FreeStream(stream);
    }
    for (ChannelHandle c : channels) (void)audio_->State(c);
  }
  const SampleHandle other = LoadTone(false);
  audio_->Play(audio_->SampleGetChannel(other), false);
  EXPECT_TRUE(audio_->FreeSample(sample));
  done = true;
  device.join();
  EXPECT_GT(mixer.FramesMixed(), 0u);
}

}  // namespace
