// The world of the content tests: the sprite sets of a small sprite archive
// holding every picture the tables name (SpriteRig), fake plant and building
// tables, and a data archive written by our section writers and read back
// the way the start-up loader reads it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/Identifier.h"
#include "base/Strings.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "content/LevelObjectTables.h"
#include "platform/encoding/Utf.h"
#include "testsupport/SpriteRig.h"

namespace contenttest {

template <u32 n>
void SetName(wchar (&field)[n], const char16_t* text) {
  kis::StrCopy(field, n, text);
}

// Plant and building kinds are opaque here: each id found stands for a byte
// of the fake. The building "warehouse" gives capacities 10, 20, 30, 40 at
// levels 1 to 4 and notes every level asked for.
class FakeObjectTables : public LevelObjectTables {
 public:
  FakeObjectTables() {
    plants_[kis::NameId(u"wheat")] = 0;
    plants_[kis::NameId(u"apple_tree")] = 1;
    buildings_[kis::NameId(u"warehouse")] = 0;
    buildings_[kis::NameId(u"mill")] = 1;
  }
  PLANT* FindPlant(u32 id) const override {
    auto it = plants_.find(id);
    return it == plants_.end() ? nullptr : reinterpret_cast<PLANT*>(const_cast<char*>(&tokens_[it->second]));
  }
  BUILDING* FindBuilding(u32 id) const override {
    ++buildingLookups;
    if (!haveWarehouse && id == kis::NameId(u"warehouse")) return nullptr;
    auto it = buildings_.find(id);
    return it == buildings_.end() ? nullptr : reinterpret_cast<BUILDING*>(const_cast<char*>(&tokens_[4 + it->second]));
  }
  i32 GetStorageCapacity(const BUILDING* building, i32 level) const override {
    levelsAsked.push_back(level);
    return building == reinterpret_cast<const BUILDING*>(&tokens_[4]) ? 10 * level : -1;
  }
  PLANT* Plant(const char16_t* name) const { return FindPlant(kis::NameId(name)); }
  BUILDING* Building(const char16_t* name) const { return FindBuilding(kis::NameId(name)); }

  bool haveWarehouse = true;
  mutable std::vector<i32> levelsAsked;
  mutable u32 buildingLookups = 0;

 private:
  std::map<u32, int> plants_, buildings_;
  char tokens_[8] = {};
};

// Pictures by set: icons (2), map sprites (3), ground (4), level map sprites
// (5) and the rain images (8, textures only).
inline SpriteArchiveWriter ContentPictures() {
  SpriteArchiveWriter w;
  auto sprite = [&w](u32 set, const char16_t* name) {
    w.Images(set).push_back(MakeSpriteImageEntry(name, spritetest::Picture(8, 8, set)));
    w.Sprites(set).push_back(MakeSpriteEntry(name, name));
    w.Sprites(set).back().record.frameCount = 1;  // the whole picture
  };
  auto mapSprite = [&](u32 set, const char16_t* name) {
    sprite(set, name);
    w.MapSprites(set).push_back(MakeMapSpriteEntry(name, name));
  };
  for (const char16_t* name : {u"ico_wheat", u"ico_wheat2", u"ico_flour", u"bees", u"big_bees", u"aw_wheat",
                               u"ba_total", u"ico_total"})
    sprite(kIconSpriteSet, name);
  for (const char16_t* name : {u"wheat_map", u"heap", u"heap_top", u"bees_attack", u"bees"})
    mapSprite(kMapSpriteSet, name);
  sprite(kGroundSpriteSet, u"grass");
  sprite(kGroundSpriteSet, u"sand");
  mapSprite(kLevelSpriteSet, u"empty_place");
  mapSprite(kLevelSpriteSet, u"tree_spot");
  for (const char16_t* name : {u"rain0", u"rain1", u"rain2"})
    w.Images(kEffectSpriteSet).push_back(MakeSpriteImageEntry(name, spritetest::Picture(8, 8, 9)));
  return w;
}

inline std::vector<float> g_fractions;
inline bool YieldAlways(float fraction) {
  g_fractions.push_back(fraction);
  return true;
}

class ContentRig {
 public:
  ContentRig() {
    EXPECT_TRUE(sprites.WriteAndOpen(ContentPictures()));
    EXPECT_TRUE(sprites.LoadAll());
    GetGameServices().objectTables = &tables;
  }
  ~ContentRig() {
    GetGameServices().objectTables = nullptr;
    kis::CloseDataFile(data);
  }
  ContentRig(const ContentRig&) = delete;
  ContentRig& operator=(const ContentRig&) = delete;

  // Writes the data archive and opens it.
  bool WriteData(const std::vector<DataSection>& sections) {
    kis::CloseDataFile(data);
    data = nullptr;
    const std::u16string path = plat::Utf8ToUtf16(sprites.rig.Folder() + "/Data.dat");
    if (!WriteDataArchive(path.c_str(), sections)) return false;
    data = kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2,
                                    kDataArchiveVersion);
    return data != nullptr;
  }

  // Calls a section reader until it finishes, asking it to yield after every
  // record when `yielding`; the cursor it ended with.
  template <class Reader>
  SectionCursor Read(Reader read, bool yielding = false) {
    GetGameServices().loadingProgress = yielding ? &YieldAlways : nullptr;
    g_fractions.clear();
    SectionCursor cursor;
    yields = 0;
    while (read(data, &cursor) == 0) {
      ++yields;
      if (yields > 1000) break;
    }
    GetGameServices().loadingProgress = nullptr;
    return cursor;
  }

  spritetest::SpriteRig sprites;
  FakeObjectTables tables;
  kis::DataFileReaderW* data = nullptr;
  u32 yields = 0;
};

}  // namespace contenttest
