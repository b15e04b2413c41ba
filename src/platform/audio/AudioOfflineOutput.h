// An output without a device, for tests and headless runs: the mixer runs
// only when told to, so everything is deterministic. Update mixes the time
// that has passed on the platform clock since the start or the last update
// (the fake clock in tests); AdvanceMs and AdvanceFrames mix a given span at
// once. The mix can be kept and written as a WAV file to listen to.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/audio/AudioOutput.h"

namespace plat::audio {

class OfflineOutput final : public Output {
 public:
  // capture: keep every mixed frame (else they are mixed and dropped).
  explicit OfflineOutput(bool capture = true) : capture_(capture) {}

  bool Start(Mixer* mixer) override;
  void Stop() override { mixer_ = nullptr; }
  void Update() override;

  // Whole milliseconds are turned into frames without rounding drift: after
  // a total of t ms, t x 44100 / 1000 frames have been mixed for them.
  void AdvanceMs(uint32_t ms);
  void AdvanceFrames(uint64_t frames);

  // Stereo frames, interleaved, since the start or the last ClearCaptured.
  const std::vector<int16_t>& Captured() const { return captured_; }
  void ClearCaptured() { captured_.clear(); }
  bool WriteWav(std::string_view utf8Path) const;

 private:
  Mixer* mixer_ = nullptr;
  bool capture_;
  std::vector<int16_t> captured_;
  std::vector<int16_t> scratch_;
  uint32_t lastClockMs_ = 0;
  uint64_t timedMs_ = 0;      // milliseconds mixed by AdvanceMs and Update
  uint64_t timedFrames_ = 0;  // frames mixed for them
};

}  // namespace plat::audio
