#include "DemoSound.h"

#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/encoding/Utf.h"
#include "resources/SoundSections.h"
#include "resources/SoundSettings.h"
#include "resources/StandardSounds.h"

namespace demo {

namespace {

template <class Read>
bool ReadAll(Read read) {
  SectionCursor cursor;
  for (int calls = 0; read(&cursor) == 0 && calls < 100000; ++calls) {
  }
  return cursor.error == 0;
}

}  // namespace

Sound::~Sound() { Stop(); }

bool Sound::Start(std::unique_ptr<plat::audio::Output> output, const std::string& dataFolder, std::string* why) {
  SoundSettings& sound = GetSoundSettings();
  if (!sound.Init(std::make_unique<plat::audio::SoftBackend>(std::move(output)))) {
    *why = "no sound device";
    return false;
  }
  started_ = true;
  const std::string file = dataFolder + "/Sounds.dat";
  const std::u16string path = plat::Utf8ToUtf16(file);
  archive_ = kis::OpenDataFileReaderW(path.c_str(), kSoundArchiveSignature1, kSoundArchiveSignature2,
                                      kSoundArchiveVersion);
  if (!archive_) {
    *why = file + " does not open";
    return false;
  }
  if (!ReadAll([&](SectionCursor* c) { return LoadMusic(archive_, c); }) ||
      !ReadAll([&](SectionCursor* c) { return LoadSounds(archive_, c); })) {
    *why = file + " does not read";
    return false;
  }
  if (!sound.PlayMusic(u"music_01", true)) {
    *why = "the music \"music_01\" does not play";
    return false;
  }
  return true;
}

void Sound::Update() {
  if (started_) GetSoundSettings().Update();
}

void Sound::Click() {
  if (started_) GetSoundSettings().PlaySound(GetStandardSound(kSoundClick), kSoundGroupClick, 0);
}

void Sound::Stop() {
  if (started_) GetSoundSettings().Shutdown();
  started_ = false;
  kis::CloseDataFile(archive_);
  archive_ = nullptr;
}

}  // namespace demo
