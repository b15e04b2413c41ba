#include "resources/SoundSections.h"

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "resources/SectionReading.h"
#include "resources/SoundSettings.h"

namespace {

bool ReadU32(kis::BaseDataFileReader* file, u32* value) {
  u8 raw[4];
  if (!file->Read(raw, 4)) return false;
  *value = kis::GetU32LE(raw);
  return true;
}

// One entry after its non-zero size word: the name (and the loop flag of a
// sample), then the data, registered where it lies in the archive file.
bool ReadEntry(kis::DataFileReaderW* file, u32 size, bool sample) {
  u8 raw[kSoundNameBytes];
  u32 loop = 0;
  if (!file->Read(raw, kSoundNameBytes) || (sample && !ReadU32(file, &loop))) return false;
  wchar name[kSoundNameBytes / 2 + 1];
  for (u32 i = 0; i < kSoundNameBytes / 2; ++i) name[i] = kis::GetU16LE(raw + 2 * i);
  name[kSoundNameBytes / 2] = 0;
  const u32 position = file->GetFilePos();
  if (position == 0xFFFFFFFFu || size > SectionBytesLeft(file)) return false;
  const wchar* path = file->GetFileName().c_str();
  SoundSettings& sound = GetSoundSettings();
  if (sample)
    sound.LoadSample(path, name, position, size, loop != 0);
  else
    sound.AddMusic(path, name, position, size);
  return file->Seek(file->GetPosition() + size);
}

// The terminator, then the block of standard names, parsed only within its
// length: a name without its zero ends the parse, and slots past the last
// name found keep 0.
bool ReadStandardNames(kis::BaseDataFileReader* file) {
  SoundSettings& sound = GetSoundSettings();
  for (u32& handle : sound.standardSounds) handle = 0;
  u32 terminator = 0, units = 0;
  if (!ReadU32(file, &terminator) || terminator != 0 || !ReadU32(file, &units)) return false;
  if (units > kMaxStandardNameUnits || u64(units) * 2 > SectionBytesLeft(file)) return false;
  u8 raw[kMaxStandardNameUnits * 2];
  if (units > 0 && !file->Read(raw, units * 2)) return false;
  wchar block[kMaxStandardNameUnits];
  for (u32 i = 0; i < units; ++i) block[i] = kis::GetU16LE(raw + 2 * i);
  u32 at = 0;
  for (u32 slot = 0; slot < kStandardSoundCount && at < units; ++slot) {
    u32 end = at;
    while (end < units && block[end] != 0) ++end;
    if (end == units) break;
    sound.standardSounds[slot] = end > at ? sound.FindSound(block + at) : 0;
    at = end + 2;
  }
  return true;
}

i32 ReadSoundSection(kis::DataFileReaderW* file, SectionCursor* cursor, u32 id, u32 subId, bool samples) {
  if (!cursor) return 1;
  if (!file) return FinishSection(file, cursor, true);
  if (cursor->done == 0) {
    if (!file->OpenSection(id, subId) || !ReadU32(file, &cursor->total)) return FinishSection(file, cursor, true);
  } else {
    const kis::DATAFILEENTRY* open = file->GetOpenEntry();
    if (!open || open->id != id || open->subId != subId) return FinishSection(file, cursor, true);
  }
  while (cursor->done < cursor->total) {
    u32 size = 0;
    if (!ReadU32(file, &size)) return FinishSection(file, cursor, true);
    if (size == 0) {
      cursor->done = cursor->total;
    } else {
      if (!ReadEntry(file, size, samples)) return FinishSection(file, cursor, true);
      ++cursor->done;
    }
    if (StepLoadingProgress(static_cast<float>(cursor->done) / static_cast<float>(cursor->total))) return 0;
  }
  if (samples && !ReadStandardNames(file)) return FinishSection(file, cursor, true);
  return FinishSection(file, cursor, false);
}

}  // namespace

i32 LoadSounds(kis::DataFileReaderW* file, SectionCursor* cursor) {
  return ReadSoundSection(file, cursor, kSampleSectionId, kSampleSectionSubId, true);
}

i32 LoadMusic(kis::DataFileReaderW* file, SectionCursor* cursor) {
  return ReadSoundSection(file, cursor, kMusicSectionId, kMusicSectionSubId, false);
}
