// SpriteSet - one of the 17 numbered sets of the sprite archive
// ("Sprites.dat"): its textures (built lazily from the archive's image
// entries), its sprites, its map sprites and the live image sprites made from
// its sprites. A set puts itself in the global table under its number and
// takes itself out when deleted; names are found without regard to case.
// Image sprites come and go by the thousand (every particle has one): they
// join and leave the set's chain of them in constant time.
//
// The three section readers (images, sprites, map sprites) are resumable:
// each takes a record at a time, reports progress and returns 0 when the
// progress hook asks for the frame back; the next call carries on with the
// next record without opening the section again. They return 1 when done,
// with the cursor's error flag set after any failure. Counts, size words and
// lengths are checked against the bytes the section really has. Image
// entries are read from the archive as they come (the images themselves only
// when their textures are first built); a sprite or map-sprite section is
// read whole by the first call.
//
// Who owns what: the set owns every sprite and map sprite in its lists, read
// or made by hand, and deletes them when it goes (map sprites, then sprites,
// last to first); their makers may delete them sooner. The sprites and map
// sprites of one section, with their frame rectangles and sub-sprite lists,
// are made in one block of memory (RecordPool) that the set keeps until it
// has deleted them; the map sprites' arrays are copied into it too (the
// section's bytes themselves go once it is read). A record that fails is
// destroyed at once; the records read before it stay.
#pragma once

#include <memory>
#include <memory_resource>
#include <vector>

#include "base/List.h"
#include "base/Types.h"
#include "resources/GameServices.h"
#include "resources/NameIndex.h"
#include "resources/SpriteRecords.h"

class DXLTexture;
class DXLTextureLoaderDataFile;
class DXLTextures;
class ImageSprite;
class MapSprite;
class RecordPool;
class Sprite;

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kSpriteSetCount = 17;

// The sprite archive: signature, version, and the directories and sections
// of the three kinds (a section's id is its kind plus the set number).
constexpr u32 kSpriteArchiveSignature1 = 0xE317A788u;
constexpr u32 kSpriteArchiveSignature2 = 0xB90D20FAu;
constexpr u32 kSpriteArchiveVersion = 1;
constexpr u32 kSpriteImagesId = 0x494D4700u;      // "IMG" and the set number
constexpr u32 kSpriteImagesSubId = 1;
constexpr u32 kSpritesId = 0x53505200u;           // "SPR"
constexpr u32 kSpritesSubId = 1;
constexpr u32 kMapSpritesId = 0x4D535000u;        // "MSP"
constexpr u32 kMapSpritesSubId = 2;

// Sets the code reads by number (each also in tools/data/names.txt).
// The set every shadow picture is looked up in: the set of the level's
// object pictures.
constexpr u32 kShadowSpriteSet = 3;
// The set the animations find their sprites in: the characters' pictures.
constexpr u32 kAnimationSpriteSet = 6;
// The set of the particles' pictures.
constexpr u32 kParticleSpriteSet = 8;

class SpriteSet {
 public:
  // An empty set with its texture list on the game viewer, registered in the
  // application's list of texture lists.
  explicit SpriteSet(u32 number);
  SpriteSet(const SpriteSet&) = delete;
  SpriteSet& operator=(const SpriteSet&) = delete;
  // Deletes image sprites, map sprites, sprites (each last to first), then
  // the textures and their list.
  ~SpriteSet();

  Sprite* FindSprite(const wchar* name) const;        // null for a null or empty name; a miss is logged
  // FindSprite without logging a miss: for names tried in turn until the
  // first that is missing (a picture's numbered frames).
  Sprite* ProbeSprite(const wchar* name) const;
  // The same for a name read into a record's buffer, terminated inside it:
  // cheaper for the look-ups made by the thousand.
  Sprite* FindStoredSprite(const wchar (&name)[kSpriteNameSize]) const;
  MapSprite* FindMapSprite(const wchar* name) const;
  DXLTexture* FindTexture(const wchar* name) const;
  // A new image sprite of a loaded sprite; null otherwise.
  ImageSprite* CreateImageSprite(Sprite* sprite, bool mirror);
  ImageSprite* CreateImageSpriteByName(const wchar* name, bool mirror);

  // Section readers: 1 when finished, 0 to be called again.
  i32 ReadImages(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span);
  i32 ReadSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span);
  i32 ReadMapSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span);

  u32 GetNumber() const { return number_; }
  DXLTextures* GetTextures() const { return textures_.get(); }
  // Members in the order they came; sprites, map sprites and image sprites
  // add and remove themselves.
  void AddSprite(Sprite* sprite);
  void RemoveSprite(Sprite* sprite);
  void AddMapSprite(MapSprite* mapSprite);
  void RemoveMapSprite(MapSprite* mapSprite);
  const kis::list<Sprite*>& GetSprites() const { return sprites_; }
  const kis::list<MapSprite*>& GetMapSprites() const { return mapSprites_; }
  // The live image sprites, oldest first: the first, then each one's next
  // (ImageSprite::GetNextInSet) up to null.
  i32 GetImageSpriteCount() const { return imageCount_; }
  ImageSprite* GetFirstImageSprite() const { return firstImage_; }

 private:
  // The bytes of a sprite or map-sprite section after its count, read whole
  // by the first call and kept until the section is done, and the pool its
  // records are made in.
  struct SectionInput {
    const u8* data = nullptr;
    size_t size = 0;
    size_t at = 0;
    RecordPool* pool = nullptr;
    size_t Left() const { return size - at; }
    const u8* Take(u64 n);  // null when fewer bytes are left
  };
  // Reads one record, from the reader (images) or the section's bytes.
  using RecordReader = bool (SpriteSet::*)(kis::BaseDataFileReader* reader, SectionInput* input);
  struct SectionKind;
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span,
                  const SectionKind& kind);
  bool StartWholeSection(kis::BaseDataFileReader* reader, const SectionKind& kind, u32 count, u64 bytes);
  bool ReadImage(kis::BaseDataFileReader* reader, SectionInput* input);
  bool ReadSprite(kis::BaseDataFileReader* reader, SectionInput* input);
  bool ReadMapSprite(kis::BaseDataFileReader* reader, SectionInput* input);
  bool ReadSubSprites(SectionInput* input, i32 count, std::pmr::vector<SSDATA>* out);
  // An image sprite joins at the end of the chain and leaves from anywhere;
  // one that is not in the chain is left alone.
  friend class ImageSprite;
  void AddImageSprite(ImageSprite* image);
  void RemoveImageSprite(ImageSprite* image);

  u32 number_;
  std::unique_ptr<DXLTextures> textures_;
  std::vector<std::unique_ptr<DXLTextureLoaderDataFile>> loaders_;  // the textures' sources
  kis::list<Sprite*> sprites_;
  kis::list<MapSprite*> mapSprites_;
  ImageSprite* firstImage_ = nullptr;
  ImageSprite* lastImage_ = nullptr;
  i32 imageCount_ = 0;
  NameIndex<Sprite> spriteNames_;
  NameIndex<MapSprite> mapSpriteNames_;
  // The textures by name while a sprite section is read, made afresh by
  // every call (the list may change between two).
  NameIndex<DXLTexture> sectionTextures_;
  // The texture found last in this call (null: none) and the stored name it
  // was found by (empty: none yet).
  DXLTexture* lastTexture_ = nullptr;
  wchar lastTextureName_[kSpriteNameSize] = {};
  SectionInput input_;
  std::unique_ptr<u8[]> sectionBytes_;  // the bytes of the section being read
  std::vector<std::unique_ptr<RecordPool>> pools_;  // one per section read
};

SpriteSet* GetSpriteSet(u32 number);  // null outside 0..16 or for a set not made
Sprite* GetSpriteByName(u32 set, const wchar* name);
DXLTextures* GetSpriteSetTextures(u32 set);
