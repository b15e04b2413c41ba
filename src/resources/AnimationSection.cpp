#include "resources/AnimationSection.h"

#include <cstring>
#include <memory>

#include "base/LittleEndian.h"
#include "base/Maths.h"
#include "base/RecordFields.h"
#include "base/Strings.h"
#include "base/datafile/DataFileReader.h"
#include "resources/SectionReading.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteSet.h"

namespace {

using kis::GetU32LE;
using kis::PutU32LE;

// --- The layouts: each table is walked by the reader and by the writer -----------------

// The head: the name and the timing, then how many directions follow (a
// layout of its own over the same bytes, as the record does not keep it).
constexpr RecordField kHeadFields[] = {
    TM_FIELD(ANIMRECORD, name, 0, kText, kAnimationNameSize), TM_FIELD(ANIMRECORD, mode, 64, kU32, 1),
    TM_FIELD(ANIMRECORD, frameTime, 68, kU32, 1), TM_FIELD(ANIMRECORD, totalTime, 72, kU32, 1)};
constexpr RecordLayout kHeadLayout = MakeLayout(kAnimationHeaderSize, kHeadFields);

struct DIRECTIONCOUNT {
  u32 count;
};
constexpr RecordField kDirectionCountFields[] = {TM_FIELD(DIRECTIONCOUNT, count, 76, kU32, 1)};
constexpr RecordLayout kDirectionCountLayout = MakeLayout(kAnimationHeaderSize, kDirectionCountFields);

// A direction; the sprite pointer's slot at 84 is written 0 and means
// nothing when read.
constexpr RecordField kDirectionFields[] = {
    TM_FIELD(ANIMDIRECTION, sprite, 0, kText, kAnimationNameSize), TM_FIELD(ANIMDIRECTION, first, 64, kU32, 1),
    TM_FIELD(ANIMDIRECTION, count, 68, kU32, 1),                   TM_FIELD(ANIMDIRECTION, offsetX, 72, kU32, 1),
    TM_FIELD(ANIMDIRECTION, offsetY, 76, kU32, 1),                 TM_FIELD(ANIMDIRECTION, angle, 80, kF32, 1)};
constexpr RecordLayout kDirectionLayout = MakeLayout(kAnimationDirectionSize, kDirectionFields);

constexpr RecordField kSoundFields[] = {
    TM_FIELD(ANIMRECORD, soundName, 0, kText, kAnimationNameSize), TM_FIELD(ANIMRECORD, soundDelay, 64, kU32, 1),
    TM_FIELD(ANIMRECORD, soundLoop, 68, kU32, 1),                  TM_FIELD(ANIMRECORD, soundRepeat, 72, kU32, 1)};
constexpr RecordLayout kSoundLayout = MakeLayout(kAnimationSoundSize, kSoundFields);

static_assert(LayoutFits(kHeadLayout) && LayoutFits(kDirectionCountLayout) && LayoutFits(kDirectionLayout) &&
              LayoutFits(kSoundLayout));

// One animation, into the list; false (and nothing kept) on a short read.
bool ReadAnimation(kis::BaseDataFileReader* reader) {
  u8 head[kAnimationHeaderSize];
  if (!reader->Read(head, sizeof head)) return false;
  ANIMRECORD a{};
  ReadRecord(kHeadLayout, head, &a);
  DIRECTIONCOUNT directions{};
  ReadRecord(kDirectionCountLayout, head, &directions);
  const u32 count = directions.count;
  if (u64(count) * kAnimationDirectionSize + kAnimationSoundSize > SectionBytesLeft(reader)) return false;
  auto animation = std::make_unique<GameAnimation>(a.name, static_cast<i32>(count));
  animation->SetTiming(a.mode, a.frameTime, a.totalTime);
  const SpriteSet* set = GetSpriteSet(kAnimationSpriteSet);
  for (u32 i = 0; i < count; ++i) {
    u8 raw[kAnimationDirectionSize];
    if (!reader->Read(raw, sizeof raw)) return false;
    ANIMDIRECTION* d = animation->GetDirection(static_cast<i32>(i));
    ReadRecord(kDirectionLayout, raw, d);
    d->spritePtr = set ? set->FindSprite(d->sprite) : nullptr;
  }
  u8 sound[kAnimationSoundSize];
  if (!reader->Read(sound, sizeof sound)) return false;
  ReadRecord(kSoundLayout, sound, &a);
  const u32 id = a.soundName[0] ? GetSoundSettings().LoadSound(a.soundName, a.soundLoop != 0) : 0;
  animation->SetSound(a.soundName, a.soundDelay, a.soundLoop, a.soundRepeat, id);
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
    WriteRecord(kHeadLayout, &a, raw);
    const DIRECTIONCOUNT directions{static_cast<u32>(a.directions.size())};
    WriteRecordFields(kDirectionCountLayout, &directions, raw);
    raw += kAnimationHeaderSize;
    for (const ANIMDIRECTION& d : a.directions) {
      WriteRecord(kDirectionLayout, &d, raw);
      raw += kAnimationDirectionSize;
    }
    WriteRecord(kSoundLayout, &a, raw);
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
