#include "platform/audio/AudioSoftBackend.h"

#include "platform/audio/AudioByteSource.h"
#include "platform/audio/AudioOggSource.h"
#include "platform/audio/AudioStreamDecoder.h"

namespace plat::audio {

SoftBackend::SoftBackend(std::unique_ptr<Output> output) : output_(std::move(output)) {}

SoftBackend::~SoftBackend() { Free(); }

bool SoftBackend::Init() {
  if (!started_ && output_) started_ = output_->Start(&mixer_);
  return started_;
}

void SoftBackend::Free() {
  if (started_) output_->Stop();
  started_ = false;
  mixer_.Clear();
}

void SoftBackend::Update() {
  if (started_) output_->Update();
}

// The decoding runs on the caller's thread, before the mixer is locked.
SampleHandle SoftBackend::LoadSample(std::u16string_view path, uint64_t offset, uint64_t length,
                                     uint32_t maxPlaybacks, bool loop) {
  if (!started_ || maxPlaybacks == 0) return 0;
  DecodedSound sound;
  if (!DecodeOgg(FileRangeSource::Open(path, offset, length), kMixRate, kMaxSampleFrames, &sound)) return 0;
  return mixer_.AddSample(std::move(sound), maxPlaybacks, loop);
}

ChannelHandle SoftBackend::CreateStream(std::u16string_view path, uint64_t offset, uint64_t length, bool loop) {
  if (!started_) return 0;
  std::unique_ptr<OggSource> source = OggSource::Open(FileRangeSource::Open(path, offset, length));
  if (!source) return 0;
  return mixer_.AddStream(std::make_unique<StreamDecoder>(std::move(source), kMixRate), loop);
}

}  // namespace plat::audio
