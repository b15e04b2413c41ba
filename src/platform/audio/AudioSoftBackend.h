// The audio backend of the platform: our mixer behind the Backend calls,
// Ogg Vorbis read in place from file ranges, and an output chosen by the
// program (a device, the offline output, or NullOutput for "no sound").
// Samples are decoded whole when loaded (at most kMaxSampleFrames frames at
// the mix rate); streams decode while they play. Until Init succeeds, and
// after Free, nothing can be loaded or created.
#pragma once

#include <memory>

#include "platform/audio/AudioBackend.h"
#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioOutput.h"

namespace plat::audio {

class SoftBackend final : public Backend {
 public:
  static constexpr uint64_t kMaxSampleFrames = uint64_t{1} << 22;  // about 95 s

  explicit SoftBackend(std::unique_ptr<Output> output);
  ~SoftBackend() override;
  SoftBackend(const SoftBackend&) = delete;
  SoftBackend& operator=(const SoftBackend&) = delete;

  bool Init() override;
  void Free() override;
  void Update() override;
  void SetGlobalVolume(VolumeGroup group, uint32_t volume) override { mixer_.SetGlobalVolume(group, volume); }

  SampleHandle LoadSample(std::u16string_view path, uint64_t offset, uint64_t length, uint32_t maxPlaybacks,
                          bool loop) override;
  uint32_t SampleMaxPlaybacks(SampleHandle sample) override { return mixer_.SampleMaxPlaybacks(sample); }
  bool FreeSample(SampleHandle sample) override { return mixer_.RemoveSample(sample); }
  ChannelHandle SampleGetChannel(SampleHandle sample) override { return mixer_.SampleChannel(sample); }

  ChannelHandle CreateStream(std::u16string_view path, uint64_t offset, uint64_t length, bool loop) override;
  bool FreeStream(ChannelHandle stream) override { return mixer_.RemoveStream(stream); }

  bool Play(ChannelHandle channel, bool restart) override { return mixer_.Play(channel, restart); }
  bool Pause(ChannelHandle channel) override { return mixer_.Pause(channel); }
  bool Stop(ChannelHandle channel) override { return mixer_.Stop(channel); }
  ChannelState State(ChannelHandle channel) override { return mixer_.State(channel); }
  bool Looping(ChannelHandle channel) override { return mixer_.Looping(channel); }
  bool SetLooping(ChannelHandle channel, bool loop) override { return mixer_.SetLooping(channel, loop); }
  bool SetVolume(ChannelHandle channel, float volume) override { return mixer_.SetVolume(channel, volume); }
  float Volume(ChannelHandle channel) override { return mixer_.Volume(channel); }
  bool SlideVolume(ChannelHandle channel, float target, uint32_t ms) override {
    return mixer_.SlideVolume(channel, target, ms);
  }
  bool IsSliding(ChannelHandle channel) override { return mixer_.IsSliding(channel); }

  Mixer& GetMixer() { return mixer_; }
  Output& GetOutput() { return *output_; }

 private:
  Mixer mixer_;  // before the output, which may still mix while it stops
  std::unique_ptr<Output> output_;
  bool started_ = false;
};

}  // namespace plat::audio
