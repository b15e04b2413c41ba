// The world of the content tests: the sprite sets of a small sprite archive
// holding every picture the tables name (SpriteRig), small plant and
// building tables read through their readers, and a data archive written by our section writers and read back
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
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "testsupport/KindTables.h"
#include "testsupport/SpriteRig.h"

namespace contenttest {

template <u32 n>
void SetName(wchar (&field)[n], const char16_t* text) {
  kis::StrCopy(field, n, text);
}

// The kinds the content tests name: the plants "wheat" and "apple_tree",
// the buildings "warehouse" (capacities 10, 20, 30, 40 at storage levels 1
// to 4) and "mill", read through the real readers.
inline bool LoadSampleKinds(testsupport::KindTables& kinds, bool withWarehouse = true) {
  std::vector<BUILDING> buildings;
  if (withWarehouse) {
    buildings.push_back(testsupport::KindBuilding(u"warehouse", 0, 4));
    for (u32 i = 0; i < 4; ++i) buildings.back().levels[i].capacity = 10 * (i + 1);
  }
  buildings.push_back(testsupport::KindBuilding(u"mill", kBuildingFactory));
  return kinds.Load({testsupport::KindPlant(u"wheat"), testsupport::KindPlant(u"apple_tree", 50, true)}, buildings);
}

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
    EXPECT_TRUE(LoadSampleKinds(tables));
  }
  ~ContentRig() {
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
    GetResourceServices().loadingProgress = yielding ? &YieldAlways : nullptr;
    g_fractions.clear();
    SectionCursor cursor;
    yields = 0;
    while (read(data, &cursor) == 0) {
      ++yields;
      if (yields > 1000) break;
    }
    GetResourceServices().loadingProgress = nullptr;
    return cursor;
  }

  spritetest::SpriteRig sprites;
  testsupport::KindTables tables;
  kis::DataFileReaderW* data = nullptr;
  u32 yields = 0;
};

}  // namespace contenttest
