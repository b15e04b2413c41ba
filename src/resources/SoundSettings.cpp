#include "resources/SoundSettings.h"

#include <cmath>
#include <string>

#include "engine/DXLLog.h"
#include "platform/audio/AudioBackend.h"
#include "resources/ResourceServices.h"
#include "resources/SoundManager.h"

namespace {

constexpr size_t kMaxPathChars = 260;

u32 GlobalVolume(u32 on, float volume, u32 muted) {
  if (muted || !on || !(volume > 0.0f)) return 0;
  const float clamped = volume < 100.0f ? volume : 100.0f;
  return static_cast<u32>(std::floor(clamped * 100.0f + 0.5f));
}

}  // namespace

SoundSettings& GetSoundSettings() { return GetResourceServices().sound; }

u32 GetStandardSound(u32 index) {
  return index < kStandardSoundCount ? GetSoundSettings().standardSounds[index] : 0;
}

bool SoundSettings::Init(std::unique_ptr<plat::audio::Backend> backend) {
  if (manager) return true;
  if (!backend) return false;
  manager = new SoundManager(std::move(backend), this);
  if (!manager->Start()) {
    delete manager;
    manager = nullptr;
    return false;
  }
  ApplyVolumes();
  return true;
}

void SoundSettings::Shutdown() {
  delete manager;
  manager = nullptr;
  currentMusic = 0;
  fadingMusic = 0;
  for (u32& sound : standardSounds) sound = 0;
}

void SoundSettings::ApplyVolume(u32 kind) {
  if (!manager) return;
  if (kind == kMusic)
    manager->GetBackend().SetGlobalVolume(plat::audio::VolumeGroup::Streams, GlobalVolume(musicOn, musicVolume, muted));
  else if (kind == kSounds)
    manager->GetBackend().SetGlobalVolume(plat::audio::VolumeGroup::Samples,
                                          GlobalVolume(soundsOn, soundsVolume, muted));
}

void SoundSettings::ApplyVolumes() {
  ApplyVolume(kMusic);
  ApplyVolume(kSounds);
}

bool SoundSettings::SetVolume(u32 channel, float volume) {
  if (channel != kMusic && channel != kSounds) return false;
  if (!std::isfinite(volume)) volume = 50.0f;
  volume = volume < 0.0f ? 0.0f : volume > 100.0f ? 100.0f : volume;
  float& stored = channel == kMusic ? musicVolume : soundsVolume;
  if (stored == volume) return false;
  stored = volume;
  if (!applying) ApplyVolume(channel);
  return true;
}

bool SoundSettings::SetEnabled(u32 channel, bool on) {
  if (channel != kMusic && channel != kSounds) return false;
  u32& stored = channel == kMusic ? musicOn : soundsOn;
  if ((stored != 0) == on) return false;
  stored = on ? 1 : 0;
  if (!applying) ApplyVolume(channel);
  return true;
}

void SoundSettings::ApplySaved(const SAVEDSOUND& saved) {
  applying = 1;
  SetEnabled(kMusic, saved.musicOn != 0);
  SetVolume(kMusic, saved.musicVolume);
  ApplyVolume(kMusic);
  SetEnabled(kSounds, saved.soundsOn != 0);
  SetVolume(kSounds, saved.soundsVolume);
  ApplyVolume(kSounds);
  applying = 0;
}

SAVEDSOUND SoundSettings::GetAll() const {
  return SAVEDSOUND{musicOn != 0 ? 1u : 0u, musicVolume, soundsOn != 0 ? 1u : 0u, soundsVolume};
}

bool SoundSettings::IsEnabled(u32 channel) const {
  if (channel == kMusic) return musicOn && musicVolume != 0.0f;
  if (channel == kSounds) return soundsOn && soundsVolume != 0.0f;
  return false;
}

float SoundSettings::GetVolume(u32 channel) const {
  if (channel == kMusic) return musicOn ? musicVolume : 0.0f;
  if (channel == kSounds) return soundsOn ? soundsVolume : 0.0f;
  return 0.0f;
}

bool SoundSettings::IsSilent(u32 channel) const {
  if (channel == kMusic) return musicVolume == 0.0f;
  if (channel == kSounds) return soundsVolume == 0.0f;
  return false;
}

void SoundSettings::Mute() {
  if (muted) return;
  muted = 1;
  ApplyVolumes();
}

void SoundSettings::Unmute() {
  if (!muted) return;
  muted = 0;
  ApplyVolumes();
}

u32 SoundSettings::LoadSample(const wchar* path, const wchar* name, u32 offset, u32 length, bool loop) {
  return manager ? manager->LoadSample(path, name, offset, length, loop) : 0;
}

u32 SoundSettings::FindSound(const wchar* name) {
  const u32 sample = manager ? manager->FindSound(name) : 0;
  if (manager && !sample && name && *name) DXLLogLookupMissW("sound", name);
  return sample;
}

u32 SoundSettings::LoadSound(const wchar* name, bool loop) {
  if (!manager || !name || !*name) return 0;
  if (const u32 found = manager->FindSound(name)) return found;
  const std::u16string path = u"Sounds\\" + std::u16string(name) + u".ogg";
  const u32 loaded = path.size() > kMaxPathChars ? 0 : manager->LoadSample(path.c_str(), name, 0, 0, loop);
  if (!loaded) DXLLogLookupMissW("sound", name);
  return loaded;
}

u32 SoundSettings::PlaySound(u32 sample, u32 groupMask, i32 loop) {
  return manager ? manager->PlaySound(sample, groupMask, loop) : 0;
}

void SoundSettings::StopSound(u32 channel) {
  if (manager) manager->StopSound(channel);
}

void SoundSettings::FadeOutSound(u32 channel, u32 ms) {
  if (manager) manager->FadeOutSound(channel, ms);
}

void SoundSettings::PauseSounds(u32 groupMask) {
  if (manager) manager->PauseSounds(groupMask);
}

void SoundSettings::ResumeSounds(u32 groupMask) {
  if (manager) manager->ResumeSounds(groupMask);
}

void SoundSettings::FadeOutSounds(u32 groupMask) {
  if (manager) manager->FadeOutSounds(groupMask);
}

u32 SoundSettings::AddMusic(const wchar* path, const wchar* name, u32 offset, u32 length) {
  return manager ? manager->AddMusic(path, name, offset, length) : 0;
}

bool SoundSettings::PlayMusic(const wchar* name, bool loop) { return manager && manager->PlayMusic(name, loop); }

void SoundSettings::StopMusic(u32 music) {
  if (manager) manager->StopMusic(music);
}

void SoundSettings::FreeMusic(u32 music) {
  if (manager) manager->FreeMusic(music);
}

bool SoundSettings::IsMusicPlaying() { return manager && manager->IsMusicPlaying(); }

void SoundSettings::Update() {
  if (manager) manager->Update();
}
