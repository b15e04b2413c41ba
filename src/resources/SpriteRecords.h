// The stored records of the sprite archive ("Sprites.dat") and the shadow
// entry, in memory and as bytes. Every field is read and written on its own,
// little-endian; pointer words never reach the file. A name field holds 32
// UTF-16 units zero-padded; read back it is cut at 31 characters, so a name
// that fills the field without a terminator still ends inside the buffer.
//
// Parse* reads a record from exactly its fixed size of bytes (size and kind
// words are returned, never judged here); Put* writes one with the right
// size word and zero padding. Reader and writer walk one table of fields per
// layout (base/RecordFields.h).
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLFrameSeq.h"

class Sprite;

constexpr u32 kSpriteNameSize = 32;  // characters of a name buffer, with the terminator

constexpr u32 kImageRecordSize = 104;
constexpr u32 kSpriteRecordSize = 184;
constexpr u32 kMapSpriteRecordSize = 168;
constexpr u32 kSubSpriteRecordSize = 96;
constexpr u32 kShadowRecordSize = 84;
constexpr u32 kDrawStateRecordSize = 24;
constexpr u32 kFrameSeqRecordSize = 24;
constexpr u32 kFrameRectRecordSize = 16;
constexpr u32 kMapSpriteARecordSize = 20;
constexpr u32 kMapSpriteBRecordSize = 32;

constexpr u32 kSubSpriteImage = 1;  // the one kind of sub-sprite a map sprite reads

// Image entry of an IMG section; `length` bytes of an image file follow it.
struct IMAGERECORD {
  u32 size;
  u32 imageFilter;
  u32 loadOption;  // the texture's edge flags
  DXLDRAWSTATE drawState;
  wchar name[kSpriteNameSize];
  u32 length;
};

// Sprite record of an SPR section. Then, in order: frameCount frame
// rectangles when explicitFrames is set, a draw state when hasDrawState is
// set, a frame sequence when hasAnimation is set.
struct SPRITERECORD {
  u32 size;
  wchar name[kSpriteNameSize];     // empty: the texture's name
  wchar texture[kSpriteNameSize];  // a texture of the same set
  u8 flipH;
  u8 flipV;
  u8 unused;
  i32 turn;
  i32 frameCount;
  u8 explicitFrames;
  DXLRECT area;  // grid area in the texture
  i32 frameWidth;
  i32 frameHeight;
  i32 gapX;
  i32 gapY;
  u8 hasDrawState;
  u8 hasAnimation;
};

// Map-sprite record of an MSP section. Then, in order: a shadow entry when
// hasShadow is set, countA 20-byte and countB 32-byte records, the behind and
// the in-front sub-sprite records.
struct MAPSPRITERECORD {
  u32 size;
  wchar name[kSpriteNameSize];    // empty: the sprite's name
  wchar sprite[kSpriteNameSize];  // a sprite of the same set
  i32 hotX;
  i32 hotY;
  i32 secondX;
  i32 secondY;
  u8 hasShadow;
  u32 countA;
  u32 countB;
  i32 behindCount;
  i32 frontCount;
};

// A sub-sprite description; in memory it also holds the sprite it names.
struct SSDATA {
  u32 size;
  u32 kind;
  wchar name[kSpriteNameSize];
  float x, y;            // offset from the map object's position
  float pivotX, pivotY;  // fractions of the frame size
  float scaleX, scaleY;
  Sprite* sprite;        // found by name in the same set; never stored
};

// The shadow entry as stored (its sprite by name).
struct SHADOWRECORD {
  wchar name[kSpriteNameSize];
  i32 width;   // 0 or less: the sprite's own
  i32 height;
  float pivotX, pivotY;
  float alpha;
};

// Where the fields a section's records are checked and indexed by lie in
// their stored bytes (the same as in the layouts the Parse functions walk).
constexpr u32 kSpriteNameAt = 4;
constexpr u32 kSpriteTextureAt = 68;
constexpr u32 kSpriteFrameCountAt = 140;
constexpr u32 kSpriteExplicitAt = 144;
constexpr u32 kSpriteHasDrawStateAt = 180;
constexpr u32 kSpriteHasAnimationAt = 181;
constexpr u32 kMapSpriteNameAt = 4;
constexpr u32 kMapSpriteSpriteAt = 68;
constexpr u32 kMapSpriteHasShadowAt = 148;
constexpr u32 kMapSpriteCountAAt = 152;
constexpr u32 kMapSpriteCountBAt = 156;
constexpr u32 kMapSpriteBehindAt = 160;
constexpr u32 kMapSpriteFrontAt = 164;
constexpr u32 kSubSpriteKindAt = 4;
constexpr u32 kSubSpriteNameAt = 8;

// Names: reads 32 units cut at 31 characters; writes up to 32 units of the
// text (null writes an empty name), zero-padded.
void ParseSpriteName(const u8* raw, wchar* out);
// ParseSpriteName into a name buffer, in one copy where the byte order allows.
void ParseSpriteNameBuffer(const u8* raw, wchar (&out)[kSpriteNameSize]);
void PutSpriteName(u8* raw, const wchar* name);

void ParseImageRecord(const u8* raw, IMAGERECORD* out);
void PutImageRecord(u8* raw, const IMAGERECORD& record);
void ParseSpriteRecord(const u8* raw, SPRITERECORD* out);
void PutSpriteRecord(u8* raw, const SPRITERECORD& record);
void ParseMapSpriteRecord(const u8* raw, MAPSPRITERECORD* out);
void PutMapSpriteRecord(u8* raw, const MAPSPRITERECORD& record);
void ParseSubSpriteRecord(const u8* raw, SSDATA* out);  // sprite left null
void PutSubSpriteRecord(u8* raw, const SSDATA& record);
void ParseShadowRecord(const u8* raw, SHADOWRECORD* out);
void PutShadowRecord(u8* raw, const SHADOWRECORD& record);

void ParseDrawStateRecord(const u8* raw, DXLDRAWSTATE* out);
void PutDrawStateRecord(u8* raw, const DXLDRAWSTATE& state);
void ParseFrameSeqRecord(const u8* raw, DXLFRAMESEQ* out);
void PutFrameSeqRecord(u8* raw, const DXLFRAMESEQ& seq);
void ParseRectRecord(const u8* raw, DXLRECT* out);
void PutRectRecord(u8* raw, const DXLRECT& rect);
