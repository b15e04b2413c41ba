// What the readers and writers of the level objects' kind sections
// ("BLDN", "PLNT", "VLNS") share: the layout of a 64-byte name field, the
// look-ups of the pictures their records name, and the growing of a
// section's body.
#pragma once

#include <cstring>
#include <vector>

#include "base/LittleEndian.h"
#include "base/RecordFields.h"
#include "base/Types.h"
#include "content/BuildingTable.h"
#include "resources/SpriteSet.h"

static constexpr RecordField kKindNameFields[] = {TM_FIELD(KINDNAME, text, 0, kText, kKindNameSize)};
static constexpr RecordLayout kKindNameLayout = MakeLayout(64, kKindNameFields);

// Null for an empty name, a missing set or no such map sprite.
inline MapSprite* FindMapSpriteIn(u32 set, const wchar* name) {
  SpriteSet* s = name && name[0] ? GetSpriteSet(set) : nullptr;
  return s ? s->FindMapSprite(name) : nullptr;
}

// Grown, then copied into (an insert of a range at the end makes GCC 12 at
// -O3 warn of a write past a buffer it has not yet seen grown).
inline void AppendBytes(std::vector<u8>& out, const u8* bytes, size_t n) {
  const size_t at = out.size();
  out.resize(at + n);
  std::memcpy(out.data() + at, bytes, n);
}

inline void AppendU32(std::vector<u8>& out, u32 v) {
  u8 b[4];
  kis::PutU32LE(b, v);
  AppendBytes(out, b, 4);
}
