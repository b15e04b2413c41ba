// The sound device through SDL: the default output device opened at 44.1 kHz,
// 16-bit stereo (SDL converts when the device differs), with the mixer run
// on SDL's audio thread, one period of 1024 frames (23 ms) per call. Start
// fails when SDL's audio cannot start or no device opens (the game then runs
// without sound). Tests use SDL's dummy driver (SDL_AUDIODRIVER=dummy).
#pragma once

#include <cstdint>
#include <string>

#include "platform/audio/AudioOutput.h"

namespace plat::sdl2 {

class SdlAudioOutput final : public audio::Output {
 public:
  static constexpr uint16_t kPeriodFrames = 1024;

  SdlAudioOutput() = default;
  ~SdlAudioOutput() override;
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  bool Start(audio::Mixer* mixer) override;
  void Stop() override;

  const std::string& Error() const { return error_; }  // why the last start failed

 private:
  static void Pull(void* self, uint8_t* stream, int bytes);

  audio::Mixer* mixer_ = nullptr;
  uint32_t device_ = 0;
  std::string error_;
};

}  // namespace plat::sdl2
