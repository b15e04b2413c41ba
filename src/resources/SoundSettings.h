// SoundSettings - the game's sound settings (music and sounds on or off and
// their volumes, the current and the fading music, the muted flag, the
// standard sound table), kept in the resource services (GetSoundSettings), and
// every sound operation of the game through its one SoundManager.
//
// Init makes the manager over the audio backend the program chooses; when
// the backend has no device there is no manager, and every operation then
// does nothing and returns 0 or false. Handles are opaque (SoundManager):
// samples, playing channels and music. Only the game's thread calls these.
#pragma once

#include <memory>

#include "base/Types.h"
#include "resources/StandardSounds.h"

class SoundManager;

// The sound settings a player keeps: each channel on or off and its volume
// (0..100).
struct SAVEDSOUND {
  u32 musicOn = 1;
  float musicVolume = 50.0f;
  u32 soundsOn = 1;
  float soundsVolume = 50.0f;
};

namespace plat::audio {
class Backend;
}

struct SoundSettings {
  static constexpr u32 kMusic = 0;   // ApplyVolume kinds
  static constexpr u32 kSounds = 1;

  u32 musicOn = 1;
  float musicVolume = 50.0f;  // 0..100
  u32 soundsOn = 1;
  float soundsVolume = 50.0f;  // 0..100
  u32 currentMusic = 0;        // music handle; 0 = none
  u32 fadingMusic = 0;         // the music fading out; 0 = none
  u32 muted = 0;               // everything silent (the game window is paused)
  u32 applying = 0;            // set: SetVolume and SetEnabled do not reach the backend
  u32 standardSounds[kStandardSoundCount] = {};  // sample handles by StandardSound
  SoundManager* manager = nullptr;  // made by Init, deleted by Shutdown

  // Once: starts the backend's output and applies both volumes; false (and
  // no manager) when it has no device.
  bool Init(std::unique_ptr<plat::audio::Backend> backend);
  // Deletes the manager with every sample, channel and stream; the handles
  // kept here are cleared.
  void Shutdown();

  // The global volume of music (kMusic) or sounds (kSounds): 0 while muted or
  // switched off, else volume x 100 rounded (0..10000).
  void ApplyVolume(u32 kind);
  void ApplyVolumes();
  void Mute();
  void Unmute();

  // The player's settings, by channel (kMusic or kSounds; any other does
  // nothing). A volume is clamped to 0..100, one that is not a number is 50;
  // false when nothing changed. A change reaches the backend unless
  // `applying` is set.
  bool SetVolume(u32 channel, float volume);
  bool SetEnabled(u32 channel, bool on);
  // Both channels at once, each applied once (enabled words other than 0
  // count as on).
  void ApplySaved(const SAVEDSOUND& saved);
  SAVEDSOUND GetAll() const;
  bool IsEnabled(u32 channel) const;   // on, and the volume above 0
  float GetVolume(u32 channel) const;  // 0 while off
  bool IsSilent(u32 channel) const;    // the volume is 0

  // Registers the Ogg data at [offset, offset + length) of the file (length
  // 0: to its end) as a sample; 0 when it cannot be decoded.
  u32 LoadSample(const wchar* path, const wchar* name, u32 offset, u32 length, bool loop);
  u32 FindSound(const wchar* name);  // the first sample of the name; 0 for none
  // FindSound, else the file "Sounds\<name>.ogg"; 0 for an empty name.
  u32 LoadSound(const wchar* name, bool loop);
  // Plays a sample on a free channel: the channel's handle, or 0 (unknown
  // sample, all its channels busy). loop: 1 on, 0 off, -1 as loaded. In a
  // paused group the sound waits for the group's resume.
  u32 PlaySound(u32 sample, u32 groupMask, i32 loop);
  void StopSound(u32 channel);
  // Fades a playing channel out over ms; 0 or 0x80000000 and above stops it at once.
  void FadeOutSound(u32 channel, u32 ms);
  void PauseSounds(u32 groupMask);   // pauses nest per group bit
  void ResumeSounds(u32 groupMask);
  void FadeOutSounds(u32 groupMask);  // every playing channel of the groups, over 250 ms

  // Registers music at [offset, offset + length) of the file; without a name
  // it takes the file's name. Its handle, or 0.
  u32 AddMusic(const wchar* path, const wchar* name, u32 offset, u32 length);
  // Plays music by name, fading it in (and the current one out) over 500 ms;
  // the music already current goes on. False (and the current music fades
  // out) when there is no such music or it cannot be opened.
  bool PlayMusic(const wchar* name, bool loop);
  void StopMusic(u32 music);  // the current music fades out
  void FreeMusic(u32 music);  // frees its stream; it stays registered
  bool IsMusicPlaying();
  void Update();  // once per frame
};

SoundSettings& GetSoundSettings();
// The sample handle of a standard sound; 0 for none or an index out of range.
u32 GetStandardSound(u32 index);
