// The demo's sound, through the game's sound manager that the game's world
// starts on the program's output (the SDL device in a window, the offline
// output headless, whose mix can be written to a WAV file, or none) with the
// samples and music of the data set's "Sounds.dat": the first general music
// track looping while the demo runs, the interface's click for left clicks,
// and whatever the animations play (her steps).
#pragma once

#include <string>

namespace demo {

class Sound {
 public:
  // Starts the music on the world's running sound manager; false (and
  // silence) when it does not play, with why in `why`.
  bool Start(std::string* why);
  void Update();  // once per frame
  void Click();
  void Stop();  // the world takes the sound manager down

 private:
  bool started_ = false;
};

}  // namespace demo
