// What the readers and writers of the level objects' kind sections
// ("BLDN", "PLNT", "VLNS") share: the layout of a 64-byte name field, the
// look-ups of the pictures their records name, the bound on a stored count,
// the record loop of a resumable reader, a new record of a name, and the
// growing of a section's body.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "base/Identifier.h"
#include "base/LittleEndian.h"
#include "base/RecordFields.h"
#include "base/Strings.h"
#include "base/Types.h"
#include "content/BuildingTable.h"
#include "content/ContentSections.h"
#include "resources/SpriteSet.h"

static constexpr RecordField kKindNameFields[] = {TM_FIELD(KINDNAME, text, 0, kText, kKindNameSize)};
static constexpr RecordLayout kKindNameLayout = MakeLayout(64, kKindNameFields);

// Null for an empty name, a missing set or no such map sprite.
inline MapSprite* FindMapSpriteIn(u32 set, const wchar* name) {
  SpriteSet* s = name && name[0] ? GetSpriteSet(set) : nullptr;
  return s ? s->FindMapSprite(name) : nullptr;
}
// Null for an empty name or no such sprite.
inline Sprite* FindSpriteIn(u32 set, const wchar* name) {
  return name && name[0] ? GetSpriteByName(set, name) : nullptr;
}

// True when `count` records of at least `bytesEach` bytes can still stand
// in the open section: a damaged count fails before anything is read or
// sized by it.
inline bool RecordsFitSection(const kis::BaseDataFileReader* reader, u64 count, u32 bytesEach) {
  return count * bytesEach <= DataSectionBytesLeft(reader);
}

// The record loop of a kind section's resumable reader, once the cursor
// holds the count: `read` gives the next record, null failing the section
// (the records before it stay). 0 when the progress hook asks for the frame
// back after a record, else 1 with the section ended (the error flag telling
// a failure).
template <class R, class Read>
i32 ReadKindRecords(kis::BaseDataFileReader* reader, SectionCursor* cursor, std::vector<std::unique_ptr<R>>& records,
                    Read&& read) {
  while (cursor->done < cursor->total) {
    std::unique_ptr<R> r = read();
    if (!r) return EndDataSection(reader, cursor, true);
    records.push_back(std::move(r));
    ++cursor->done;
    if (StepLoadingProgress(static_cast<float>(cursor->done) / static_cast<float>(cursor->total))) return 0;
  }
  return EndDataSection(reader, cursor, false);
}

// A zeroed record of the name, its id the name's.
template <class R>
R ZeroedKindRecord(const wchar* name) {
  R r;
  std::memset(&r, 0, sizeof r);
  kis::StrCopy(r.name, kKindNameSize, name);
  r.id = kis::NameId(name);
  return r;
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
