// The demo's sound, through the game's sound manager: the samples and the
// music of the data set's "Sounds.dat" (read in place from the file), the
// first general music track looping while the demo runs, the interface's
// click for left clicks, and whatever the animations play (her steps). The
// output is the program's choice: the SDL device in a window, the offline
// output headless (its mix can be written to a WAV file), or none.
#pragma once

#include <memory>
#include <string>

#include "platform/audio/AudioOutput.h"

namespace kis {
class DataFileReaderW;
}

namespace demo {

class Sound {
 public:
  Sound() = default;
  ~Sound();
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // Starts the output, reads the data set's sounds and starts the music;
  // false (and silence) when the output has no device or the sounds cannot
  // be read, with which of them in `why`.
  bool Start(std::unique_ptr<plat::audio::Output> output, const std::string& dataFolder, std::string* why);
  void Update();  // once per frame
  void Click();
  void Stop();

 private:
  kis::DataFileReaderW* archive_ = nullptr;
  bool started_ = false;
};

}  // namespace demo
