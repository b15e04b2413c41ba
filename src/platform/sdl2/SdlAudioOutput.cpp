#include "platform/sdl2/SdlAudioOutput.h"

#include <SDL.h>

#include "platform/audio/AudioMixer.h"

namespace plat::sdl2 {

SdlAudioOutput::~SdlAudioOutput() { Stop(); }

bool SdlAudioOutput::Start(audio::Mixer* mixer) {
  if (device_ != 0) return false;
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
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
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

}  // namespace plat::sdl2
