// A stream's decoding while it plays: Ogg Vorbis frames converted to the mix
// rate, handed out in pieces of any size, wrapping to the start when asked
// to loop. A stream that is damaged, or loops over no frames at all, ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/audio/AudioOggSource.h"
#include "platform/audio/AudioResampler.h"

namespace plat::audio {

class StreamDecoder {
 public:
  StreamDecoder(std::unique_ptr<OggSource> source, uint32_t outRate);

  uint32_t Channels() const { return channels_; }
  // Writes up to `frames` frames (interleaved, Channels() each) and returns
  // how many; fewer means the stream has ended.
  size_t Read(float* out, size_t frames, bool loop);
  // Back to the first frame; false (and ended) when the data does not allow it.
  bool Rewind();
  bool Ended() const { return ended_; }

 private:
  bool Refill(bool loop);

  std::unique_ptr<OggSource> source_;
  uint32_t channels_;
  std::optional<LinearResampler> resampler_;
  std::vector<float> block_;    // decoded at the source's rate
  std::vector<float> pending_;  // ready at the mix rate
  size_t pendingAt_ = 0;        // samples of pending_ handed out
  bool producedSinceStart_ = false;
  bool ended_ = false;
};

}  // namespace plat::audio
