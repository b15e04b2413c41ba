// "config.dat" on arbitrary bytes: loading never fails for a damaged file,
// never gives a volume outside 0..100 or an on word other than 0 or 1, and
// what was loaded saves and loads back the same.
#include <cmath>

#include "UserFileFuzz.h"
#include "app/GameWorld.h"
#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const userfuzz::Scratch scratch("config");
  if (size > (1u << 16)) return 0;
  scratch.Put("config.dat", data, size);
  ResetAllServices();
  SCREENPARAMS params;
  if (!LoadSettings(scratch.Wide(), &params)) __builtin_trap();
  const SoundSettings& sound = GetSoundSettings();
  for (float v : {sound.musicVolume, sound.soundsVolume})
    if (!std::isfinite(v) || v < 0.0f || v > 100.0f) __builtin_trap();
  if (sound.musicOn > 1 || sound.soundsOn > 1) __builtin_trap();
  const SAVEDSOUND before = sound.GetAll();
  if (!SaveSettings(scratch.Wide(), params)) __builtin_trap();
  SCREENPARAMS again;
  again.fullscreen = params.fullscreen ^ 1;
  if (!LoadSettings(scratch.Wide(), &again) || !(again == params)) __builtin_trap();
  const SAVEDSOUND after = GetSoundSettings().GetAll();
  if (after.musicVolume != before.musicVolume || after.soundsOn != before.soundsOn) __builtin_trap();
  return 0;
}
