#include "platform/audio/AudioResampler.h"

namespace plat::audio {

LinearResampler::LinearResampler(uint32_t inRate, uint32_t outRate, uint32_t channels)
    : step_((static_cast<uint64_t>(inRate) << 32) / outRate), channels_(channels) {}

void LinearResampler::Reset() {
  position_ = 0;
  holding_ = false;
}

// Input frame 0 is the held frame, frames 1..n the new ones. Each output
// needs the frame after its integer position, so outputs stop one short of
// the end and the last new frame is held for the next piece.
void LinearResampler::Push(const float* in, size_t frames, std::vector<float>* out) {
  if (frames == 0) return;
  if (!holding_) {
    for (uint32_t c = 0; c < channels_; ++c) held_[c] = in[c];
    holding_ = true;
    in += channels_;
    --frames;
  }
  auto frame = [&](uint64_t i, uint32_t c) { return i == 0 ? held_[c] : in[(i - 1) * channels_ + c]; };
  while ((position_ >> 32) < frames) {
    const uint64_t i = position_ >> 32;
    const float t = static_cast<float>(position_ & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
    for (uint32_t c = 0; c < channels_; ++c) {
      const float a = frame(i, c);
      out->push_back(a + (frame(i + 1, c) - a) * t);
    }
    position_ += step_;
  }
  if (frames == 0) return;
  for (uint32_t c = 0; c < channels_; ++c) held_[c] = in[(frames - 1) * channels_ + c];
  position_ -= static_cast<uint64_t>(frames) << 32;
}

void LinearResampler::Finish(std::vector<float>* out) {
  if (!holding_) return;
  while ((position_ >> 32) == 0) {
    for (uint32_t c = 0; c < channels_; ++c) out->push_back(held_[c]);
    position_ += step_;
  }
  Reset();
}

}  // namespace plat::audio
