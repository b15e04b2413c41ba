// The "CHQR" section of the data archive: the character descriptions
// (GameCharacter.h), read into a character list, and its writer.
//
// Layout: u32 count, then per character a 112-byte record {64-byte name
// (32 UTF-16 units), u32 id, u32 path grid id, 4 x i32 hit rectangle, 4 x
// i16 footprint, f32 walking speed, u32 skin count s, i32 idle index, i32
// walking index}, s skin blocks {u32 count m, m 64-byte animation names},
// a u32 shadow flag and, when it is not 0, an 84-byte shadow description
// (ShadowData.h).
#pragma once

#include <string>
#include <vector>

#include "base/Types.h"
#include "content/GameCharacter.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteRecords.h"

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kCharacterRecordSize = 112;
constexpr u32 kCharacterNameBytes = 64;
constexpr u32 kMaxCharacterSkins = 16;   // a record with more is a data error
constexpr u32 kMaxSkinAnimations = 64;   // names in one skin, likewise

// A description as stored (for the writer and the builder).
struct CHARACTERRECORD {
  wchar name[kCharacterNameSize] = {};
  u32 id = 0;
  u32 gridId = 0;
  i32 hit[4] = {-12, -12, 12, 12};
  i16 foot[4] = {};
  float speed = 1.0f;
  i32 idleIndex = 0;
  i32 walkIndex = 0;
  std::vector<std::vector<std::u16string>> skins;  // animation names per skin
  bool hasShadow = false;
  SHADOWRECORD shadow{};
};

std::vector<u8> CharacterSectionBody(const std::vector<CHARACTERRECORD>& characters);

// The resumable reader: 1 when finished (the cursor's error flag tells a
// failure), 0 to be called again. Each description joins `list` (a null
// list is a failure), its skins holding the animations of the global
// animation list their names find. A short read, a non-finite speed, more skins or names than the caps
// above, a name the animation list lacks, or a shadow that cannot be read is
// a data error: the description being read is deleted, the error flag set,
// and the reader finishes (the descriptions before it stay). After each one
// the progress is start + done / total x span, and the reader returns 0 when
// the progress hook asks for the frame back.
i32 LoadCharacters(CharacterList* list, kis::BaseDataFileReader* reader, SectionCursor* cursor, float start,
                   float span);
