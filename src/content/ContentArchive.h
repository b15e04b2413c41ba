// The data archive ("Data.dat") as the content tables see it: its signature,
// the ids of the sections they read, the sprite sets their names are found
// in, and the UTF-16 name fields of their records.
//
// A section id is four ASCII characters packed high byte first ("PROD" is
// 0x50524F44). Name fields are zero-padded UTF-16; read back they are cut one
// unit short of the field, so a name that fills its field without a
// terminator still ends inside the buffer.
#pragma once

#include "base/LittleEndian.h"
#include "base/Types.h"

constexpr u32 kDataArchiveSignature1 = 0xBAE13676u;
constexpr u32 kDataArchiveSignature2 = 0x74BFFE7Du;
constexpr u32 kDataArchiveVersion = 1;

constexpr u32 SectionTag(char a, char b, char c, char d) {
  return (static_cast<u32>(static_cast<u8>(a)) << 24) | (static_cast<u32>(static_cast<u8>(b)) << 16) |
         (static_cast<u32>(static_cast<u8>(c)) << 8) | static_cast<u32>(static_cast<u8>(d));
}

// Sections (id, sub-id).
constexpr u32 kConstantsSectionId = SectionTag('C', 'N', 'S', 'T');  // checked for at start-up
constexpr u32 kConstantsSectionSubId = 1;
constexpr u32 kProductSectionId = SectionTag('P', 'R', 'O', 'D');
constexpr u32 kProductSectionSubId = 1;
constexpr u32 kBonusSectionId = SectionTag('B', 'O', 'N', 'S');
constexpr u32 kBonusSectionSubId = 262;
constexpr u32 kAwardSectionId = 0xA3A4D500u;
constexpr u32 kAwardSectionSubId = 649;
constexpr u32 kGroundSectionId = SectionTag('G', 'R', 'N', 'D');
constexpr u32 kGroundSectionSubId = 1;
constexpr u32 kGarbageSectionId = SectionTag('L', 'P', 'N', 'T');
constexpr u32 kGarbageSectionSubId = 256;
constexpr u32 kLevelSectionId = SectionTag('L', 'V', 'L', 'S');
constexpr u32 kLevelSectionSubId = 2;
constexpr u32 kCharacterSectionId = SectionTag('C', 'H', 'Q', 'R');
constexpr u32 kCharacterSectionSubId = 1;
constexpr u32 kProfileSectionId = SectionTag('P', 'R', 'O', 'F');  // a new profile's progress
constexpr u32 kProfileSectionSubId = 0x80000003u;

// Sprite sets the content tables find their pictures in (each also in
// tools/data/names.txt where the code names a picture itself).
constexpr u32 kIconSpriteSet = 2;     // product, bonus and award icons
constexpr u32 kMapSpriteSet = 3;      // the pictures of the level's objects
constexpr u32 kGroundSpriteSet = 4;   // ground tiles
constexpr u32 kLevelSpriteSet = 5;    // the two map sprites each level record names
constexpr u32 kEffectSpriteSet = 8;   // effects: the rain images
constexpr u32 kAwardSpriteSet = kIconSpriteSet;

// A UTF-16 name field of `units` code units.
template <u32 units>
inline void ParseWideField(const u8* raw, wchar (&out)[units]) {
  for (u32 i = 0; i + 1 < units; ++i) out[i] = static_cast<wchar>(kis::GetU16LE(raw + 2 * i));
  out[units - 1] = 0;
}

// Writes up to `units` units of the text (null: empty), zero-padded.
template <u32 units>
inline void PutWideField(u8* raw, const wchar (&text)[units]) {
  u32 i = 0;
  for (; i < units && text[i]; ++i) kis::PutU16LE(raw + 2 * i, text[i]);
  for (; i < units; ++i) kis::PutU16LE(raw + 2 * i, 0);
}
