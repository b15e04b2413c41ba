// The shadow description that follows a map-sprite record (and a character
// record) in the archive: a sprite of the shadow sprite set, a size (0 or
// less: the sprite's own), a pivot as fractions of that size and a base
// alpha. The shadows drawn from it are made by their owners.
#pragma once

#include "base/Types.h"

class Sprite;

namespace kis {
class BaseDataFileReader;
}

struct SHADOWDATA {
  Sprite* sprite;  // null when the name is not in the shadow sprite set
  i32 width;
  i32 height;
  float pivotX;
  float pivotY;
  float alpha;
};

// Reads the 84-byte entry at the reader's position into a new record (the
// caller deletes it); null after a short read, when the caller fails its own
// record. The sprite is looked up in the shadow sprite set (kShadowSpriteSet);
// a name the set lacks still reads, without a sprite.
SHADOWDATA* ReadShadowData(kis::BaseDataFileReader* reader);
// The same from the entry's 84 bytes.
SHADOWDATA* MakeShadowData(const u8* raw);
// The record of the entry's 84 bytes, for a caller that keeps it itself.
SHADOWDATA ShadowDataFrom(const u8* raw);
