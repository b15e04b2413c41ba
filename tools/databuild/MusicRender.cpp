#include "MusicRender.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "StoredSounds.h"
#include "base/datafile/DataFileReader.h"
#include "platform/audio/AudioByteSource.h"
#include "platform/audio/AudioOggSource.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/encoding/Utf.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSections.h"
#include "resources/SoundSettings.h"


int RenderMusic(const std::string& dataDir, const std::string& outDir) {
  const std::u16string path = plat::Utf8ToUtf16(dataDir + "/Sounds.dat");
  kis::DataFileReaderW* file =
      kis::OpenDataFileReaderW(path.c_str(), kSoundArchiveSignature1, kSoundArchiveSignature2, kSoundArchiveVersion);
  if (!file) {
    std::fprintf(stderr, "databuild: %s/Sounds.dat does not open\n", dataDir.c_str());
    return 1;
  }
  std::vector<StoredSound> tracks;
  if (!ReadStoredSounds(file, false, &tracks)) {
    std::fprintf(stderr, "databuild: %s/Sounds.dat has no music\n", dataDir.c_str());
    kis::CloseDataFile(file);
    return 1;
  }

  plat::FakeClock clock(1000);
  plat::PlatformServicesScope scoped({.clock = &clock});
  ResetResourceServices();
  SoundSettings& sound = GetSoundSettings();
  sound.musicVolume = 100.0f;
  auto output = std::make_unique<plat::audio::OfflineOutput>(true);
  plat::audio::OfflineOutput* out = output.get();
  int result = 0;
  SectionCursor cursor;
  if (!sound.Init(std::make_unique<plat::audio::SoftBackend>(std::move(output))) || LoadMusic(file, &cursor) != 1 ||
      cursor.error) {
    std::fprintf(stderr, "databuild: the music of %s/Sounds.dat does not load\n", dataDir.c_str());
    result = 1;
  }
  std::error_code ec;
  std::filesystem::create_directories(outDir, ec);
  for (const StoredSound& t : tracks) {
    if (result != 0) break;
    plat::audio::DecodedSound pcm;
    const std::u16string name = plat::Utf8ToUtf16(t.name);
    if (!plat::audio::DecodeOgg(std::make_unique<plat::audio::MemorySource>(t.ogg.data(), t.ogg.size()),
                                plat::audio::kMixRate, u64{1} << 26, &pcm) ||
        !sound.PlayMusic(name.c_str(), true)) {
      std::fprintf(stderr, "databuild: music %s does not play\n", t.name.c_str());
      result = 1;
      break;
    }
    out->ClearCaptured();
    const u64 ms = 2 * pcm.Frames() * 1000 / plat::audio::kMixRate + 1;
    for (u64 done = 0; done < ms; done += 20) {
      clock.Advance(20);
      sound.Update();
    }
    const std::string wav = outDir + "/" + t.name + ".wav";
    if (!out->WriteWav(wav)) {
      std::fprintf(stderr, "databuild: cannot write %s\n", wav.c_str());
      result = 1;
      break;
    }
    std::printf("%s: %.1f s loop, twice\n", wav.c_str(), static_cast<double>(pcm.Frames()) / plat::audio::kMixRate);
    sound.StopMusic(sound.currentMusic);
    for (int k = 0; k < 40; ++k) {  // let the fade end before the next track
      clock.Advance(20);
      sound.Update();
    }
  }
  sound.Shutdown();
  ResetResourceServices();
  kis::CloseDataFile(file);
  return result;
}
