#include "platform/audio/AudioStreamDecoder.h"

#include <algorithm>
#include <cstring>

namespace plat::audio {

namespace {
constexpr size_t kBlockFrames = 2048;
}

StreamDecoder::StreamDecoder(std::unique_ptr<OggSource> source, uint32_t outRate)
    : source_(std::move(source)), channels_(source_->Channels()), block_(kBlockFrames * channels_) {
  if (source_->Rate() != outRate) resampler_.emplace(source_->Rate(), outRate, channels_);
}

size_t StreamDecoder::Read(float* out, size_t frames, bool loop) {
  size_t done = 0;
  while (done < frames) {
    if (pendingAt_ == pending_.size() && !Refill(loop)) break;
    const size_t take = std::min((pending_.size() - pendingAt_) / channels_, frames - done);
    std::memcpy(out + done * channels_, pending_.data() + pendingAt_, take * channels_ * sizeof(float));
    pendingAt_ += take * channels_;
    done += take;
  }
  return done;
}

bool StreamDecoder::Rewind() {
  pending_.clear();
  pendingAt_ = 0;
  producedSinceStart_ = false;
  if (resampler_) resampler_->Reset();
  ended_ = !source_->Rewind();
  return !ended_;
}

// Decodes until some frames are ready at the mix rate; at the end of the data
// a looping stream starts again, unless it gave nothing since its start.
bool StreamDecoder::Refill(bool loop) {
  pending_.clear();
  pendingAt_ = 0;
  while (!ended_ && pending_.empty()) {
    const int64_t n = source_->Read(block_.data(), kBlockFrames);
    if (n > 0) {
      if (resampler_) {
        resampler_->Push(block_.data(), static_cast<size_t>(n), &pending_);
      } else {
        pending_.assign(block_.begin(), block_.begin() + n * channels_);
      }
    } else if (n < 0) {
      ended_ = true;
    } else {
      if (resampler_) resampler_->Finish(&pending_);
      if (pending_.empty()) {
        if (!loop || !producedSinceStart_) {
          ended_ = true;
        } else {
          Rewind();
        }
      }
    }
    if (!pending_.empty()) producedSinceStart_ = true;
  }
  return !pending_.empty();
}

}  // namespace plat::audio
