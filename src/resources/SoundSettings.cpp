#include "resources/SoundSettings.h"

#include "resources/GameServices.h"

SoundSettings& GetSoundSettings() { return GetGameServices().sound; }

u32 GetStandardSound(u32 index) {
  return index < kStandardSoundCount ? GetSoundSettings().standardSounds[index] : 0;
}
