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
// read whole by the first call, and each record is then checked whole (its
// parts' sizes, a sprite's texture found, a map sprite's sub-sprites named
// in the set) and indexed by name, but not made: its sprite or map sprite is
// made from the stored bytes when first found or listed (SetMembers), the
// same one from then on. A record that fails the check is never indexed; the
// records before it stay.
//
// Who owns what: the set owns every sprite and map sprite, made from a
// record or by hand, and deletes them when it goes (map sprites, then
// sprites, last to first); their makers may delete them sooner. A section's
// bytes, the slots of its records, and the sprites and map sprites made from
// them with their frame rectangles and sub-sprite lists, are in one block of
// memory (RecordPool) that the set keeps until it has deleted them; a map
// sprite's arrays stay in the section's bytes.
#pragma once

#include <memory>
#include <memory_resource>
#include <vector>

#include "base/List.h"
#include "base/Types.h"
#include "resources/NameIndex.h"
#include "resources/ResourceServices.h"
#include "resources/SetMembers.h"
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
  // add and remove themselves. Listing makes every record not made yet.
  void AddSprite(Sprite* sprite);
  void RemoveSprite(Sprite* sprite);
  void AddMapSprite(MapSprite* mapSprite);
  void RemoveMapSprite(MapSprite* mapSprite);
  const kis::list<Sprite*>& GetSprites() const;
  const kis::list<MapSprite*>& GetMapSprites() const;
  // The live image sprites, oldest first: the first, then each one's next
  // (ImageSprite::GetNextInSet) up to null.
  i32 GetImageSpriteCount() const { return imageCount_; }
  ImageSprite* GetFirstImageSprite() const { return firstImage_; }

 private:
  // The bytes of a sprite or map-sprite section after its count, read whole
  // with it by the first call into the pool its records are made in.
  struct SectionInput {
    const u8* data = nullptr;
    size_t size = 0;
    size_t at = 0;
    RecordPool* pool = nullptr;
    void* slots = nullptr;  // room for a slot a record, taken in turn
    size_t Left() const { return size - at; }
    const u8* Take(u64 n);  // null when fewer bytes are left
  };
  // Reads one record, from the reader (images) or the section's bytes.
  using RecordReader = bool (SpriteSet::*)(kis::BaseDataFileReader* reader, SectionInput* input);
  struct SectionKind;
  // `read` is taken at compile time so that it is built into the loop.
  template <RecordReader read>
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span,
                  const SectionKind& kind);
  bool StartWholeSection(kis::BaseDataFileReader* reader, const SectionKind& kind, u32* count);
  bool ReadImage(kis::BaseDataFileReader* reader, SectionInput* input);
  DXLTexture* FewTexture(const wchar* name) const;  // among up to kFewTextures, in turn
  // The readers of whole sections run once a record, by the thousand: they
  // are built into the loop, not called.
  [[gnu::always_inline]] inline bool ReadSprite(kis::BaseDataFileReader* reader, SectionInput* input);
  [[gnu::always_inline]] inline bool ReadMapSprite(kis::BaseDataFileReader* reader, SectionInput* input);
  // A record's sprite or map sprite, made on first use; null for no slot.
  using SpriteSlot = SetMembers<Sprite>::Slot;
  using MapSpriteSlot = SetMembers<MapSprite>::Slot;
  Sprite* Made(SpriteSlot* slot) const;
  MapSprite* Made(MapSpriteSlot* slot) const;
  Sprite* MakeSprite(SpriteSlot* slot) const;
  MapSprite* MakeMapSprite(MapSpriteSlot* slot) const;
  void MakeSubSprites(const u8* raw, i32 count, std::pmr::vector<SSDATA>* out) const;
  // An image sprite joins at the end of the chain and leaves from anywhere;
  // one that is not in the chain is left alone.
  friend class ImageSprite;
  void AddImageSprite(ImageSprite* image);
  void RemoveImageSprite(ImageSprite* image);

  u32 number_;
  std::unique_ptr<DXLTextures> textures_;
  std::vector<std::unique_ptr<DXLTextureLoaderDataFile>> loaders_;  // the textures' sources
  // Made on first use, also through the const look-ups.
  mutable SetMembers<Sprite> sprites_;
  mutable SetMembers<MapSprite> mapSprites_;
  ImageSprite* firstImage_ = nullptr;
  ImageSprite* lastImage_ = nullptr;
  i32 imageCount_ = 0;
  // The textures by name while a sprite section is read, made afresh by
  // every call (the list may change between two); a few are searched in
  // turn instead.
  NameIndex<DXLTexture> sectionTextures_;
  // The texture found last in this call (null: none) and the stored name it
  // was found by (empty: none yet).
  DXLTexture* lastTexture_ = nullptr;
  wchar lastTextureName_[kSpriteNameSize] = {};
  // Where the sprite after the sub-sprite found last in this call came
  // (SetMembers::Has): a map sprite's sub-sprites mostly name the sprite
  // its neighbour named or the next one.
  i32 nextSubSprite_ = 0;
  SectionInput input_;
  std::vector<std::unique_ptr<RecordPool>> pools_;  // one per section read
};

SpriteSet* GetSpriteSet(u32 number);  // null outside 0..16 or for a set not made
Sprite* GetSpriteByName(u32 set, const wchar* name);
DXLTextures* GetSpriteSetTextures(u32 set);
