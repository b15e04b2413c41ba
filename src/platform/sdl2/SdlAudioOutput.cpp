#include "platform/sdl2/SdlAudioOutput.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>

#include "platform/audio/AudioMixer.h"

namespace plat::sdl2 {

SdlAudioOutput::~SdlAudioOutput() { Stop(); }

namespace {

// SDL's audio kept started after a device that did not open (Open).
bool gAudioParked = false;

// Leads the standard error stream into a temporary file while it lives: the
// system's sound libraries print their complaints there directly (a screen
// of them when no device answers), which belong in the log, not before the
// person. Said() ends the capture and returns what was printed.
class StderrCapture {
 public:
  StderrCapture() {
    std::fflush(stderr);
    file_ = std::tmpfile();
    saved_ = file_ ? ::dup(STDERR_FILENO) : -1;
    if (saved_ >= 0 && ::dup2(::fileno(file_), STDERR_FILENO) < 0) {
      ::close(saved_);
      saved_ = -1;
    }
  }
  ~StderrCapture() { Said(); }
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  std::string Said() {
    std::string text;
    if (saved_ >= 0) {
      std::fflush(stderr);
      ::dup2(saved_, STDERR_FILENO);
      ::close(saved_);
      saved_ = -1;
      std::rewind(file_);
      char chunk[1024];
      size_t n;
      while (text.size() < kLongest && (n = std::fread(chunk, 1, sizeof chunk, file_)) > 0) text.append(chunk, n);
      if (text.size() > kLongest) text.resize(kLongest);
    }
    if (file_) std::fclose(file_);
    file_ = nullptr;
    return text;
  }

 private:
  static constexpr size_t kLongest = 16384;
  std::FILE* file_ = nullptr;
  int saved_ = -1;
};

}  // namespace

bool SdlAudioOutput::Start(audio::Mixer* mixer) {
  if (device_ != 0) return false;
  said_.clear();
  StderrCapture capture;
  const bool started = Open(mixer);
  said_ = capture.Said();
  return started;
}

// Where no device opens, SDL's audio is not taken down at once but parked
// until the program is done with SDL (ReleaseParked): taking it down waits
// for SDL's watcher of the sound cards, which sleeps a tenth of a second at a
// time, and a start-up without sound would stand still for it. One start is
// parked at most; the next failure takes its own start down at once.
bool SdlAudioOutput::Open(audio::Mixer* mixer) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error_ = SDL_GetError();
    return false;
  }
  mixer_ = mixer;
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(audio::kMixRate);
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(audio::kMixChannels);
  want.samples = kPeriodFrames;
  want.callback = &SdlAudioOutput::Pull;
  want.userdata = this;
  SDL_AudioSpec have{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ == 0) {
    error_ = SDL_GetError();
    mixer_ = nullptr;
    if (gAudioParked)
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    else
      gAudioParked = true;
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

// Closing the device waits for a running callback to return.
void SdlAudioOutput::Stop() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  mixer_ = nullptr;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::Pull(void* self, uint8_t* stream, int bytes) {
  auto* output = static_cast<SdlAudioOutput*>(self);
  const size_t frames = static_cast<size_t>(bytes) / (audio::kMixChannels * sizeof(int16_t));
  output->mixer_->Mix(reinterpret_cast<int16_t*>(stream), frames);
}

void SdlAudioOutput::ReleaseParked() {
  if (!gAudioParked) return;
  gAudioParked = false;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace plat::sdl2
