#include "content/CharacterSection.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "base/LittleEndian.h"
#include "content/ContentArchive.h"
#include "content/ContentSections.h"
#include "resources/GameAnimation.h"
#include "resources/ShadowData.h"

using kis::GetU32LE;
using kis::PutU32LE;

namespace {

constexpr u32 kMinCharacterBytes = kCharacterRecordSize + 4;  // a record without skins, and its shadow flag

void PutRecord(u8* raw, const CHARACTERRECORD& c) {
  PutWideField(raw, c.name);
  PutU32LE(raw + 64, c.id);
  PutU32LE(raw + 68, c.gridId);
  for (u32 i = 0; i < 4; ++i) PutU32LE(raw + 72 + 4 * i, static_cast<u32>(c.hit[i]));
  for (u32 i = 0; i < 4; ++i) kis::PutU16LE(raw + 88 + 2 * i, static_cast<u16>(c.foot[i]));
  kis::PutF32LE(raw + 96, c.speed);
  PutU32LE(raw + 100, static_cast<u32>(c.skins.size()));
  PutU32LE(raw + 104, static_cast<u32>(c.idleIndex));
  PutU32LE(raw + 108, static_cast<u32>(c.walkIndex));
}

// Grown, then copied into: an insert of a range at the end makes GCC 12 at
// -O3 warn of a write past a buffer it has not yet seen grown.
void Append(std::vector<u8>& out, const u8* bytes, size_t n) {
  const size_t at = out.size();
  out.resize(at + n);
  std::memcpy(out.data() + at, bytes, n);
}

void AppendCharacterU32(std::vector<u8>& out, u32 v) {
  u8 b[4];
  PutU32LE(b, v);
  Append(out, b, 4);
}

// One record after the count into the list; false on a data error (the
// description made for it is gone again).
bool ReadCharacter(CharacterList* list, kis::BaseDataFileReader* reader) {
  u8 raw[kCharacterRecordSize];
  if (!ReadDataSection(reader, raw, kCharacterRecordSize)) return false;
  auto c = std::make_unique<GameCharacter>(nullptr, GetU32LE(raw + 64), GetU32LE(raw + 68));
  ParseWideField(raw, c->name);
  for (u32 i = 0; i < 4; ++i) c->hit[i] = static_cast<i32>(GetU32LE(raw + 72 + 4 * i));
  for (u32 i = 0; i < 4; ++i) c->foot[i] = static_cast<i16>(kis::GetU16LE(raw + 88 + 2 * i));
  c->speed = kis::GetF32LE(raw + 96);
  const u32 skins = GetU32LE(raw + 100);
  c->idleIndex = static_cast<i32>(GetU32LE(raw + 104));
  c->walkIndex = static_cast<i32>(GetU32LE(raw + 108));
  if (!std::isfinite(c->speed) || skins > kMaxCharacterSkins) return false;
  c->SetSkinCount(static_cast<i32>(skins));
  for (u32 s = 0; s < skins; ++s) {
    u8 count[4];
    if (!ReadDataSection(reader, count, 4)) return false;
    const u32 m = GetU32LE(count);
    if (m > kMaxSkinAnimations || u64(m) * kCharacterNameBytes > DataSectionBytesLeft(reader)) return false;
    for (u32 k = 0; k < m; ++k) {
      u8 field[kCharacterNameBytes];
      if (!ReadDataSection(reader, field, kCharacterNameBytes)) return false;
      wchar animName[kCharacterNameSize];
      ParseWideField(field, animName);
      GameAnimation* a = FindAnimation(GetAnimations(), animName);
      if (!a) return false;  // the skin would not hold its count
      c->AddToSkin(static_cast<i32>(s), a);
    }
  }
  u8 flag[4];
  if (!ReadDataSection(reader, flag, 4)) return false;
  if (GetU32LE(flag) != 0) {
    u8 shadow[kShadowRecordSize];
    if (!ReadDataSection(reader, shadow, kShadowRecordSize)) return false;
    c->SetShadow(MakeShadowData(shadow));
  }
  list->Add(c.release());
  return true;
}

}  // namespace

std::vector<u8> CharacterSectionBody(const std::vector<CHARACTERRECORD>& characters) {
  std::vector<u8> out;
  AppendCharacterU32(out, static_cast<u32>(characters.size()));
  for (const CHARACTERRECORD& c : characters) {
    u8 raw[kCharacterRecordSize];
    PutRecord(raw, c);
    Append(out, raw, kCharacterRecordSize);
    for (const std::vector<std::u16string>& skin : c.skins) {
      AppendCharacterU32(out, static_cast<u32>(skin.size()));
      for (const std::u16string& n : skin) {
        wchar text[kCharacterNameSize] = {};
        for (size_t i = 0; i + 1 < kCharacterNameSize && i < n.size(); ++i) text[i] = n[i];
        u8 field[kCharacterNameBytes];
        PutWideField(field, text);
        Append(out, field, kCharacterNameBytes);
      }
    }
    AppendCharacterU32(out, c.hasShadow ? 1u : 0u);
    if (c.hasShadow) {
      u8 shadow[kShadowRecordSize];
      PutShadowRecord(shadow, c.shadow);
      Append(out, shadow, kShadowRecordSize);
    }
  }
  return out;
}

i32 LoadCharacters(CharacterList* list, kis::BaseDataFileReader* reader, SectionCursor* cursor, float start,
                   float span) {
  if (!cursor) return 1;
  if (!reader || !list) return EndDataSection(reader, cursor, true);
  if (cursor->done == 0) {
    u8 count[4];
    if (!OpenDataSection(reader, kCharacterSectionId, kCharacterSectionSubId) || !ReadDataSection(reader, count, 4))
      return EndDataSection(reader, cursor, true);
    cursor->total = GetU32LE(count);
    if (u64(cursor->total) * kMinCharacterBytes > DataSectionBytesLeft(reader))
      return EndDataSection(reader, cursor, true);
  } else if (!IsDataSectionOpen(reader, kCharacterSectionId, kCharacterSectionSubId)) {
    return EndDataSection(reader, cursor, true);
  }
  while (cursor->done < cursor->total) {
    if (!ReadCharacter(list, reader)) return EndDataSection(reader, cursor, true);
    ++cursor->done;
    if (StepLoadingProgress(start + static_cast<float>(cursor->done) / static_cast<float>(cursor->total) * span))
      return 0;
  }
  return EndDataSection(reader, cursor, false);
}
