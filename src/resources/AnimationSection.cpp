#include "resources/AnimationSection.h"

#include <cstring>
#include <memory>

#include "base/LittleEndian.h"
#include "base/Maths.h"
#include "base/Strings.h"
#include "base/datafile/DataFileReader.h"
#include "resources/SectionReading.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteSet.h"

namespace {

using kis::GetF32LE;
using kis::GetI32LE;
using kis::GetU32LE;
using kis::PutF32LE;
using kis::PutI32LE;
using kis::PutU32LE;

void ParseDirection(const u8* raw, ANIMDIRECTION* d) {
  ParseSpriteName(raw, d->sprite);
  d->first = GetI32LE(raw + 64);
  d->count = GetI32LE(raw + 68);
  d->offsetX = GetI32LE(raw + 72);
  d->offsetY = GetI32LE(raw + 76);
  d->angle = GetF32LE(raw + 80);
  d->spritePtr = nullptr;  // the stored pointer slot means nothing
}

void PutDirection(u8* raw, const ANIMDIRECTION& d) {
  PutSpriteName(raw, d.sprite);
  PutI32LE(raw + 64, d.first);
  PutI32LE(raw + 68, d.count);
  PutI32LE(raw + 72, d.offsetX);
  PutI32LE(raw + 76, d.offsetY);
  PutF32LE(raw + 80, d.angle);
  PutU32LE(raw + 84, 0);
}

// One animation, into the list; false (and nothing kept) on a short read.
bool ReadAnimation(kis::BaseDataFileReader* reader) {
  u8 head[kAnimationHeaderSize];
  if (!reader->Read(head, sizeof head)) return false;
  const u32 count = GetU32LE(head + 76);
  if (u64(count) * kAnimationDirectionSize + kAnimationSoundSize > SectionBytesLeft(reader)) return false;
  wchar name[kAnimationNameSize];
  ParseSpriteName(head, name);
  auto animation = std::make_unique<GameAnimation>(name, static_cast<i32>(count));
  animation->SetTiming(GetU32LE(head + 64), GetU32LE(head + 68), GetU32LE(head + 72));
  const SpriteSet* set = GetSpriteSet(kAnimationSpriteSet);
  for (u32 i = 0; i < count; ++i) {
    u8 raw[kAnimationDirectionSize];
    if (!reader->Read(raw, sizeof raw)) return false;
    ANIMDIRECTION* d = animation->GetDirection(static_cast<i32>(i));
    ParseDirection(raw, d);
    d->spritePtr = set ? set->FindSprite(d->sprite) : nullptr;
  }
  u8 sound[kAnimationSoundSize];
  if (!reader->Read(sound, sizeof sound)) return false;
  wchar soundName[kAnimationNameSize];
  ParseSpriteName(sound, soundName);
  const u32 loop = GetU32LE(sound + 68);
  const u32 id = soundName[0] ? GetSoundSettings().LoadSound(soundName, loop != 0) : 0;
  animation->SetSound(soundName, GetU32LE(sound + 64), loop, GetU32LE(sound + 72), id);
  animation.release();  // the global list owns it now
  return true;
}

}  // namespace

ANIMRECORD MakeAnimationRecord(const wchar* name, u32 mode, u32 frameTime, i32 directions) {
  ANIMRECORD r{};
  kis::StrCopy(r.name, kAnimationNameSize, name);
  r.mode = mode;
  r.frameTime = frameTime;
  for (i32 i = 0; i < directions; ++i) {
    ANIMDIRECTION d{};
    d.angle = kis::NormalizeAngle(static_cast<float>(i) * 360.0f / directions + 270.0f);
    r.directions.push_back(d);
  }
  return r;
}

std::vector<u8> AnimationSectionBody(const std::vector<ANIMRECORD>& animations) {
  std::vector<u8> out(4, 0);
  PutU32LE(out.data(), static_cast<u32>(animations.size()));
  for (const ANIMRECORD& a : animations) {
    const size_t at = out.size();
    out.resize(at + kAnimationHeaderSize + a.directions.size() * kAnimationDirectionSize + kAnimationSoundSize, 0);
    u8* raw = out.data() + at;
    PutSpriteName(raw, a.name);
    PutU32LE(raw + 64, a.mode);
    PutU32LE(raw + 68, a.frameTime);
    PutU32LE(raw + 72, a.totalTime);
    PutU32LE(raw + 76, static_cast<u32>(a.directions.size()));
    raw += kAnimationHeaderSize;
    for (const ANIMDIRECTION& d : a.directions) {
      PutDirection(raw, d);
      raw += kAnimationDirectionSize;
    }
    PutSpriteName(raw, a.soundName);
    PutU32LE(raw + 64, a.soundDelay);
    PutU32LE(raw + 68, a.soundLoop);
    PutU32LE(raw + 72, a.soundRepeat);
  }
  return out;
}

i32 LoadAnimations(kis::BaseDataFileReader* reader, SectionCursor* cursor, float start, float span) {
  if (!cursor) return 1;
  if (!reader) return FinishSection(reader, cursor, true);
  if (cursor->done == 0) {
    u8 count[4];
    if (!reader->OpenSection(kAnimationSectionId, kAnimationSectionSubId) || !reader->Read(count, 4))
      return FinishSection(reader, cursor, true);
    cursor->total = GetU32LE(count);
    if (u64(cursor->total) * (kAnimationHeaderSize + kAnimationSoundSize) > SectionBytesLeft(reader))
      return FinishSection(reader, cursor, true);
  } else {
    const kis::DATAFILEENTRY* open = reader->GetOpenEntry();
    if (!open || open->id != kAnimationSectionId || open->subId != kAnimationSectionSubId)
      return FinishSection(reader, cursor, true);
  }
  while (cursor->done < cursor->total) {
    if (!ReadAnimation(reader)) return FinishSection(reader, cursor, true);
    ++cursor->done;
    if (StepLoadingProgress(start + static_cast<float>(cursor->done) / static_cast<float>(cursor->total) * span))
      return 0;
  }
  return FinishSection(reader, cursor, false);
}
