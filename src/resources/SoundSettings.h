// SoundSettings - the game's sound settings (music and sounds on or off and
// their volumes, the current and the fading music, the muted flag, the
// standard sound table), kept in the game services (GetSoundSettings).
#pragma once

#include "base/Types.h"
#include "resources/StandardSounds.h"

class SoundManager;

struct SoundSettings {
  u32 musicOn = 1;
  float musicVolume = 50.0f;  // 0..100
  u32 soundsOn = 1;
  float soundsVolume = 50.0f;  // 0..100
  u32 currentMusic = 0;        // music handle; 0 = none
  u32 fadingMusic = 0;         // the music fading out; 0 = none
  u32 muted = 0;               // everything silent (the game window is paused)
  u32 standardSounds[kStandardSoundCount] = {};  // sample handles by StandardSound
  SoundManager* manager = nullptr;  // none: no sound, every call does nothing
};

SoundSettings& GetSoundSettings();
// The sample handle of a standard sound; 0 for none or an index out of range.
u32 GetStandardSound(u32 index);
