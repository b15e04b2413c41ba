#include "StoredSounds.h"

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "resources/SoundSections.h"

bool ReadStoredSounds(kis::DataFileReaderW* file, bool samples, std::vector<StoredSound>* out) {
  out->clear();
  const u32 id = samples ? kSampleSectionId : kMusicSectionId;
  const u32 subId = samples ? kSampleSectionSubId : kMusicSectionSubId;
  if (!file || !file->OpenSection(id, subId)) return false;
  u8 word[4];
  bool ok = file->Read(word, 4);
  const u32 count = ok ? kis::GetU32LE(word) : 0;
  for (u32 i = 0; ok && i < count; ++i) {
    u8 name[kSoundNameBytes];
    ok = file->Read(word, 4) && file->Read(name, sizeof name);
    const u32 size = ok ? kis::GetU32LE(word) : 0;
    StoredSound s;
    if (ok && samples) {
      ok = file->Read(word, 4);
      s.loop = kis::GetU32LE(word) != 0;
    }
    if (!ok || size == 0 || size > file->GetSectionSize()) {
      file->CloseSection();
      return false;
    }
    s.ogg.resize(size);
    ok = file->Read(s.ogg.data(), size);
    for (u32 k = 0; k < kSoundNameBytes / 2 && kis::GetU16LE(name + 2 * k); ++k)
      s.name.push_back(static_cast<char>(kis::GetU16LE(name + 2 * k)));
    out->push_back(std::move(s));
  }
  return file->CloseSection() && ok;
}
