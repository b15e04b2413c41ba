// Writers of the sprite archive ("Sprites.dat"), beside SpriteSet's readers:
// the data builder, the tests and the fuzz seeds make their archives here.
//
// An entry is a record with the parts that follow it. The writer fills in
// what the parts decide (image length, explicit frame count, the has-flags,
// the array and sub-sprite counts), so every record it writes reads back
// whole; damaged records are made by changing the bytes afterwards.
#pragma once

#include <optional>
#include <vector>

#include "base/Types.h"
#include "resources/SpriteRecords.h"
#include "resources/SpriteSet.h"

namespace kis {
class BaseDataFileWriter;
}

struct SpriteImageEntry {
  IMAGERECORD record;     // length: the image's
  std::vector<u8> image;  // an image file (TGA, BMP, ...)
};

struct SpriteEntry {
  SPRITERECORD record;           // frameCount: the frames' when explicitFrames is set
  std::vector<DXLRECT> frames;   // written when explicitFrames is set
  std::optional<DXLDRAWSTATE> drawState;
  std::optional<DXLFRAMESEQ> animation;
};

struct MapSpriteEntry {
  MAPSPRITERECORD record;
  std::optional<SHADOWRECORD> shadow;
  std::vector<u8> arrayA;  // whole 20-byte records
  std::vector<u8> arrayB;  // whole 32-byte records
  std::vector<SSDATA> behind;
  std::vector<SSDATA> front;
};

// Records with every field zero but the name (and, for a sprite, its texture;
// for a map sprite, its sprite), sizes and draw state as the game expects.
SpriteImageEntry MakeSpriteImageEntry(const wchar* name, std::vector<u8> image);
SpriteEntry MakeSpriteEntry(const wchar* name, const wchar* texture);
MapSpriteEntry MakeMapSpriteEntry(const wchar* name, const wchar* sprite);
SSDATA MakeSubSprite(const wchar* sprite, float x, float y);
SHADOWRECORD MakeShadowRecord(const wchar* sprite, float alpha);

// One record's bytes appended to a section body.
void AppendSpriteImageEntry(std::vector<u8>* out, const SpriteImageEntry& entry);
void AppendSpriteEntry(std::vector<u8>* out, const SpriteEntry& entry);
void AppendMapSpriteEntry(std::vector<u8>* out, const MapSpriteEntry& entry);

// A section body: the record count, then the records.
template <class Entry>
std::vector<u8> SpriteSectionBody(const std::vector<Entry>& entries,
                                  void (*append)(std::vector<u8>*, const Entry&));

class SpriteArchiveWriter {
 public:
  std::vector<SpriteImageEntry>& Images(u32 set) { return sets_[set % kSpriteSetCount].images; }
  std::vector<SpriteEntry>& Sprites(u32 set) { return sets_[set % kSpriteSetCount].sprites; }
  std::vector<MapSpriteEntry>& MapSprites(u32 set) { return sets_[set % kSpriteSetCount].mapSprites; }

  // Writes these bytes as the set's section of that kind instead of its
  // entries (damaged and fuzzed archives).
  void SetRawSection(u32 kindId, u32 set, std::vector<u8> body);

  // The section bodies of one set.
  std::vector<u8> ImageSection(u32 set) const;
  std::vector<u8> SpriteSection(u32 set) const;
  std::vector<u8> MapSpriteSection(u32 set) const;

  // The three directories with a section for every set (empty sets write a
  // count of 0), into an open writer or a new file.
  bool WriteTo(kis::BaseDataFileWriter* writer) const;
  bool Write(const wchar* path) const;

 private:
  struct Set {
    std::vector<SpriteImageEntry> images;
    std::vector<SpriteEntry> sprites;
    std::vector<MapSpriteEntry> mapSprites;
    std::optional<std::vector<u8>> raw[3];  // by kind: images, sprites, map sprites
  };
  static int KindIndex(u32 kindId);
  Set sets_[kSpriteSetCount];
};
