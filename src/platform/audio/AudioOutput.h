// Where the mix goes: a device that pulls frames from the mixer on a thread
// of its own, the offline output that mixes when told to, or no output at
// all (NullOutput, whose start fails: the game then runs without sound).
#pragma once

namespace plat::audio {

class Mixer;

class Output {
 public:
  virtual ~Output() = default;
  // Begins pulling mixed frames; false when there is no device.
  virtual bool Start(Mixer* mixer) = 0;
  // Ends pulling: once it returns, the mixer is not called any more.
  virtual void Stop() = 0;
  // Called once per game frame.
  virtual void Update() {}
};

class NullOutput final : public Output {
 public:
  bool Start(Mixer*) override { return false; }
  void Stop() override {}
};

}  // namespace plat::audio
