// The sound device through SDL: the default output device opened at 44.1 kHz,
// 16-bit stereo (SDL converts when the device differs), with the mixer run
// on SDL's audio thread, one period of 1024 frames (23 ms) per call. Start
// fails when SDL's audio cannot start or no device opens (the game then runs
// without sound). What the system's sound libraries print while the device
// opens is kept for the log instead of reaching the standard error stream.
// Tests use SDL's dummy driver (SDL_AUDIODRIVER=dummy).
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
  // What the sound libraries printed during the last start (lines, or "").
  const std::string& LibraryOutput() const { return said_; }
  // SDL's audio taken down where a start that found no device left it
  // started (the session does this as it closes).
  static void ReleaseParked();

 private:
  bool Open(audio::Mixer* mixer);
  static void Pull(void* self, uint8_t* stream, int bytes);

  audio::Mixer* mixer_ = nullptr;
  uint32_t device_ = 0;
  std::string error_;
  std::string said_;
};

}  // namespace plat::sdl2
