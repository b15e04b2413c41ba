#include "DemoSound.h"

#include "resources/SoundSettings.h"
#include "resources/StandardSounds.h"

namespace demo {

bool Sound::Start(std::string* why) {
  started_ = true;
  if (GetSoundSettings().PlayMusic(u"music_01", true)) return true;
  *why = "the music \"music_01\" does not play";
  return false;
}

void Sound::Update() {
  if (started_) GetSoundSettings().Update();
}

void Sound::Click() {
  if (started_) GetSoundSettings().PlaySound(GetStandardSound(kSoundClick), kSoundGroupClick, 0);
}

void Sound::Stop() { started_ = false; }

}  // namespace demo
