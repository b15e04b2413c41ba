// Shared by the two sound-section fuzz targets: the input becomes one section
// of a sound archive (the other section is whole), which is read the way the
// start-up loader reads it (yielding after every other entry) with the real
// backend on an offline output, so every sample registered is decoded from
// its range of the archive. The standard sounds and the music "theme" and
// "map" (the seeds' names) are then played and mixed. Whatever the bytes,
// reading must end cleanly and nothing may leak.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ScratchFile.h"
#include "base/datafile/DataFileReader.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "resources/SoundArchiveWriter.h"
#include "resources/SoundSections.h"
#include "resources/SoundSettings.h"

// libvorbisfile 1.3.7 keeps a few bytes when it gives up on damaged headers;
// that leak is the library's (see ogg_source.cpp).
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\n"; }

namespace soundfuzz {

inline u32 g_steps = 0;
inline bool YieldSometimes(float) { return (++g_steps & 1) != 0; }

inline bool ReadAll(i32 (*read)(kis::DataFileReaderW*, SectionCursor*), kis::DataFileReaderW* file) {
  SectionCursor cursor;
  u32 calls = 0;
  while (read(file, &cursor) == 0)
    if (++calls > (1u << 24)) __builtin_trap();  // every call takes an entry: it must end
  return cursor.error == 0;
}

// The scratch archive, removed when the fuzzer ends.
struct Scratch {
  std::string utf8 = fuzzscratch::Path("sounds", ".dat");
  std::u16string path = plat::Utf8ToUtf16(utf8);
  ~Scratch() { std::remove(utf8.c_str()); }
};

inline int Run(u32 sectionId, const uint8_t* data, size_t size) {
  static const Scratch scratch;
  const std::u16string& path = scratch.path;
  ResetResourceServices();
  GetResourceServices().loadingProgress = &YieldSometimes;
  SoundArchiveWriter writer;
  writer.SetRawSection(sectionId, std::vector<u8>(data, data + size));
  if (!writer.Write(path.c_str())) return 0;
  auto output = std::make_unique<plat::audio::OfflineOutput>(false);
  plat::audio::OfflineOutput* out = output.get();
  SoundSettings& sound = GetSoundSettings();
  if (!sound.Init(std::make_unique<plat::audio::SoftBackend>(std::move(output)))) __builtin_trap();
  kis::DataFileReaderW* file =
      kis::OpenDataFileReaderW(path.c_str(), kSoundArchiveSignature1, kSoundArchiveSignature2, kSoundArchiveVersion);
  if (file) {
    ReadAll(&LoadMusic, file);
    ReadAll(&LoadSounds, file);
    kis::CloseDataFile(file);
  }
  for (u32 i = 0; i < kStandardSoundCount; ++i) sound.PlaySound(GetStandardSound(i), kSoundGroupLevel, -1);
  sound.PlayMusic(u"theme", true);
  out->AdvanceMs(30);
  sound.PlayMusic(u"map", false);
  out->AdvanceMs(30);
  sound.Update();
  sound.Shutdown();
  ResetResourceServices();
  return 0;
}

}  // namespace soundfuzz
