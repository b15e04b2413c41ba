// The demo's sound: a synthesised music loop streamed while the demo runs
// and a click sound for left clicks, encoded as Ogg Vorbis into one scratch
// archive (the click, then the music) that the audio backend reads in place.
// The output is the program's choice: the SDL device in a window, the
// offline output headless (its mix can be written to a WAV file), or none.
#pragma once

#include <memory>
#include <string>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/AudioSoftBackend.h"

namespace demo {

class Sound {
 public:
  Sound() = default;
  ~Sound();
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // Starts the output and the music; false (and silence) when the output has
  // no device or the sounds cannot be made.
  bool Start(std::unique_ptr<plat::audio::Output> output);
  void Update();  // once per frame
  void Click();
  void Stop();

 private:
  std::unique_ptr<plat::audio::SoftBackend> audio_;
  std::string archive_;
  plat::audio::SampleHandle click_ = 0;
};

}  // namespace demo
