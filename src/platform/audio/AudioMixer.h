// Our mixer: sample channels and streams summed into 44.1 kHz stereo with
// per-channel volume and linear volume slides, the two global volumes, and
// clipping to 16 bits. Samples are kept decoded at the mix rate (mono or
// stereo); streams decode while they play.
//
// Thread-safe: the game's thread changes channels while an output's thread
// calls Mix. One lock guards the channel state and is held by Mix for one
// block of at most kBlockFrames frames, so a control call waits at most for
// one block's work (a playing stream decodes its part of the block, reading
// its file, inside the lock). Decoding a sample and freeing sound data happen
// outside it. Handles and the meaning of every call are those of Backend.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/AudioBackend.h"
#include "platform/audio/AudioOggSource.h"
#include "platform/audio/AudioSlotTable.h"
#include "platform/audio/AudioStreamDecoder.h"

namespace plat::audio {

constexpr uint32_t kMixRate = 44100;
constexpr uint32_t kMixChannels = 2;

class Mixer {
 public:
  static constexpr size_t kBlockFrames = 1024;

  Mixer();
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // sound: decoded at kMixRate, 1 or 2 channels, at least one frame.
  SampleHandle AddSample(DecodedSound sound, uint32_t maxPlaybacks, bool loop);
  bool RemoveSample(SampleHandle sample);
  uint32_t SampleMaxPlaybacks(SampleHandle sample);
  ChannelHandle SampleChannel(SampleHandle sample);

  ChannelHandle AddStream(std::unique_ptr<StreamDecoder> stream, bool loop);
  bool RemoveStream(ChannelHandle stream);

  bool Play(ChannelHandle channel, bool restart);
  bool Pause(ChannelHandle channel);
  bool Stop(ChannelHandle channel);
  ChannelState State(ChannelHandle channel);
  bool Looping(ChannelHandle channel);
  bool SetLooping(ChannelHandle channel, bool loop);
  bool SetVolume(ChannelHandle channel, float volume);
  float Volume(ChannelHandle channel);
  bool SlideVolume(ChannelHandle channel, float target, uint32_t ms);
  bool IsSliding(ChannelHandle channel);

  void SetGlobalVolume(VolumeGroup group, uint32_t volume);
  // Frees every sample, channel and stream.
  void Clear();

  // Output side: the next `frames` stereo frames, interleaved, clipped.
  void Mix(int16_t* out, size_t frames);
  uint64_t FramesMixed() const { return framesMixed_.load(std::memory_order_relaxed); }

  // A mixed value (1.0 = full scale) as a 16-bit sample: rounded to nearest,
  // clipped to -32768..32767; NaN gives 0.
  static int16_t ToPcm16(float value);

 private:
  struct Sample {
    DecodedSound sound;
    uint64_t frames = 0;
    uint32_t maxPlaybacks = 0;
    uint32_t channelsInUse = 0;
    bool loop = false;
  };
  struct Voice {
    uint32_t sample = 0;    // slot of the sample (sample channels)
    uint64_t position = 0;  // next frame of the sample
    std::unique_ptr<StreamDecoder> stream;  // streams only
    ChannelState state = ChannelState::Stopped;
    bool loop = false;
    float volume = 1.0f;
    bool sliding = false;
    float slideFrom = 0, slideTo = 0;
    uint64_t slideFrames = 0, slideDone = 0;
  };

  Voice* FindVoice(ChannelHandle channel);
  void FreeVoice(uint32_t index);
  void MixVoice(uint32_t index, size_t frames);
  void Accumulate(Voice& voice, const float* source, uint32_t channels, float* acc, size_t frames, float global);
  static void AdvanceSlide(Voice& voice, uint64_t frames);

  std::mutex mutex_;
  SlotTable<Sample> samples_;
  SlotTable<Voice> voices_;
  float globalGain_[2] = {1.0f, 1.0f};
  std::vector<float> acc_;
  std::vector<float> streamBlock_;
  std::atomic<uint64_t> framesMixed_{0};
};

}  // namespace plat::audio
