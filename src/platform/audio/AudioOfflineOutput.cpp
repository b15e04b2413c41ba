#include "platform/audio/AudioOfflineOutput.h"

#include <algorithm>

#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioWav.h"
#include "platform/os/Clock.h"

namespace plat::audio {

bool OfflineOutput::Start(Mixer* mixer) {
  mixer_ = mixer;
  lastClockMs_ = GetTimeMs();
  return true;
}

void OfflineOutput::Update() {
  const uint32_t now = GetTimeMs();
  const uint32_t elapsed = now - lastClockMs_;  // the clock wraps like the system timer
  lastClockMs_ = now;
  AdvanceMs(elapsed);
}

void OfflineOutput::AdvanceMs(uint32_t ms) {
  timedMs_ += ms;
  const uint64_t target = timedMs_ * kMixRate / 1000;
  AdvanceFrames(target - timedFrames_);
  timedFrames_ = target;
}

void OfflineOutput::AdvanceFrames(uint64_t frames) {
  if (!mixer_) return;
  while (frames > 0) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(frames, Mixer::kBlockFrames));
    int16_t* out;
    if (capture_) {
      captured_.resize(captured_.size() + n * kMixChannels);
      out = captured_.data() + captured_.size() - n * kMixChannels;
    } else {
      scratch_.resize(n * kMixChannels);
      out = scratch_.data();
    }
    mixer_->Mix(out, n);
    frames -= n;
  }
}

bool OfflineOutput::WriteWav(std::string_view utf8Path) const {
  return audio::WriteWav(utf8Path, captured_.data(), captured_.size() / kMixChannels, kMixChannels, kMixRate);
}

}  // namespace plat::audio
