// The music of the sound manager: streams registered by name and opened on
// first play, one current music and one fading out.
#include "resources/SoundManager.h"
#include "resources/SoundSettings.h"

using plat::audio::ChannelState;

namespace {

// The file's own name without its folder and extension.
std::u16string FileTitle(const wchar* path) {
  std::u16string title(path);
  const size_t slash = title.find_last_of(u"\\/");
  if (slash != std::u16string::npos) title.erase(0, slash + 1);
  const size_t dot = title.rfind(u'.');
  if (dot != std::u16string::npos && dot > 0) title.erase(dot);
  return title;
}

}  // namespace

// Without a name the music takes its file's name.
u32 SoundManager::AddMusic(const wchar* path, const wchar* name, u32 offset, u32 length) {
  if (!path) return 0;
  auto music = std::make_unique<SoundStream>();
  music->path = path;
  music->offset = offset;
  music->length = length;
  const std::u16string title = name && *name ? std::u16string(name) : FileTitle(path);
  music->name.Parse(title.c_str(), kis::kToTerminator, false, nullptr, nullptr);
  music->handle = music_.Insert(music.get());
  if (!music->handle) return 0;
  return music.release()->handle;
}

SoundStream* SoundManager::FindMusic(const wchar* name) {
  kis::Identifier wanted;
  if (!name || !wanted.Parse(name, kis::kToTerminator, false, nullptr, nullptr)) return nullptr;
  for (u32 h = music_.First(); h; h = music_.Next(h))
    if (music_.Find(h)->name.Equals(wanted)) return music_.Find(h);
  return nullptr;
}

// The new music starts from silence, so it fades in also when its stream
// was never played before (a new stream starts at full volume).
bool SoundManager::PlayMusic(const wchar* name, bool loop) {
  SoundStream* music = FindMusic(name);
  if (music && !music->stream) music->stream = backend_->CreateStream(music->path, music->offset, music->length, loop);
  if (!music || !music->stream) {
    StopMusic(settings_->currentMusic);
    return false;
  }
  if (music->handle == settings_->currentMusic) return true;
  backend_->SetLooping(music->stream, loop);
  StopMusic(settings_->currentMusic);
  backend_->SetVolume(music->stream, 0.0f);
  backend_->SlideVolume(music->stream, 1.0f, kMusicFadeMs);
  if (backend_->Play(music->stream, true)) {
    settings_->currentMusic = music->handle;
    if (settings_->fadingMusic == music->handle) settings_->fadingMusic = 0;
    return true;
  }
  StopMusic(settings_->currentMusic);
  return false;
}

// Only the current music stops: a music still fading out from before is cut,
// and the current one becomes the one fading out.
void SoundManager::StopMusic(u32 handle) {
  if (handle == 0 || handle != settings_->currentMusic) return;
  if (SoundStream* old = music_.Find(settings_->fadingMusic); old && old->stream) {
    backend_->SetVolume(old->stream, 0.0f);
    backend_->Stop(old->stream);
  }
  settings_->fadingMusic = handle;
  SoundStream* music = music_.Find(handle);
  if (music && music->stream && backend_->State(music->stream) == ChannelState::Playing)
    backend_->SlideVolume(music->stream, 0.0f, kMusicFadeMs);
  settings_->currentMusic = 0;
}

// The stream is freed; the music stays registered and opens again when next played.
void SoundManager::FreeMusic(u32 handle) {
  SoundStream* music = music_.Find(handle);
  if (!music) return;
  if (settings_->currentMusic == handle) settings_->currentMusic = 0;
  if (settings_->fadingMusic == handle) settings_->fadingMusic = 0;
  if (music->stream) backend_->FreeStream(music->stream);
  music->stream = 0;
}

bool SoundManager::IsMusicPlaying() {
  const SoundStream* music = music_.Find(settings_->currentMusic);
  return music && music->stream && backend_->State(music->stream) == ChannelState::Playing;
}

plat::audio::ChannelHandle SoundManager::GetMusicStream(u32 handle) const {
  const SoundStream* music = music_.Find(handle);
  return music ? music->stream : 0;
}
