// A headless world for the tests of sprites and of what finds sprites by
// name: a viewer on a recording software device made the game viewer, a fake
// frame clock, the 17 sprite sets, and an archive written by our own writers
// and read the way the start-up loader reads it (every set's images, then
// sprites, then map sprites).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Random.h"
#include "base/datafile/DataFileReader.h"
#include "resources/ResourceServices.h"
#include "testsupport/ImageFiles.h"
#include "testsupport/ViewerRig.h"
#include "platform/encoding/Utf.h"
#include "resources/MapSprite.h"
#include "resources/SpriteArchiveWriter.h"
#include "resources/SpriteSet.h"

namespace spritetest {

inline u32 g_frameNow = 0;
inline u32 FakeFrameClock() { return g_frameNow; }

// A w x h picture whose pixel (x, y) is 0xFF000000 | x << 16 | y << 8 | id.
inline std::vector<u8> Picture(u32 w, u32 h, u32 id) {
  std::vector<u32> argb(w * h);
  for (u32 y = 0; y < h; ++y)
    for (u32 x = 0; x < w; ++x) argb[y * w + x] = 0xFF000000u | (x << 16) | (y << 8) | (id & 0xFF);
  return imagefiles::Targa32(w, h, argb);
}

class SpriteRig {
 public:
  SpriteRig() {
    ResetResourceServices();
    kis::srand(1);
    g_frameNow = 0;
    rig.viewer->GetSystem()->RecordDeviceCalls(&calls);
    EXPECT_EQ(rig.Open(256, 256), 0);
    SetGameViewer(rig.viewer.get());
    GetResourceServices().frameClock = &FakeFrameClock;
    MakeSets();
  }
  ~SpriteRig() {
    sets.clear();
    kis::CloseDataFile(reader);
    ResetResourceServices();
  }
  SpriteRig(const SpriteRig&) = delete;
  SpriteRig& operator=(const SpriteRig&) = delete;

  void MakeSets() {
    sets.clear();
    for (u32 i = 0; i < kSpriteSetCount; ++i) sets.push_back(std::make_unique<SpriteSet>(i));
  }
  SpriteSet& Set(u32 n) { return *sets[n]; }
  std::string Path() const { return rig.Folder() + "/Sprites.dat"; }

  // Writes the archive and opens it.
  bool WriteAndOpen(const SpriteArchiveWriter& writer) {
    kis::CloseDataFile(reader);
    reader = nullptr;
    const std::u16string name = plat::Utf8ToUtf16(Path());
    if (!writer.Write(name.c_str())) return false;
    reader = kis::OpenDataFileReaderW(name.c_str(), kSpriteArchiveSignature1, kSpriteArchiveSignature2,
                                      kSpriteArchiveVersion);
    return reader != nullptr;
  }

  using Reader = i32 (SpriteSet::*)(kis::BaseDataFileReader*, SectionCursor*, float, float);

  // One kind of section for every set, as the loader reads it: each reader
  // is called until it finishes, `between` runs whenever one asks for the
  // frame back. False at the first error flag.
  bool ReadKind(u32 dirId, u32 dirSubId, Reader read, const std::function<void()>& between = {}) {
    if (!reader || !reader->EnterDirectory(dirId, dirSubId)) return false;
    for (u32 set = 0; set < kSpriteSetCount; ++set) {
      SectionCursor cursor;
      const float base = static_cast<float>(set) / kSpriteSetCount, span = 1.0f / kSpriteSetCount;
      while ((Set(set).*read)(reader, &cursor, base, span) == 0) {
        ++yields;
        if (between) between();
      }
      if (cursor.error) return false;
    }
    return reader->LeaveDirectory();
  }

  bool LoadAll(const std::function<void()>& between = {}) {
    return ReadKind(kSpriteImagesId, kSpriteImagesSubId, &SpriteSet::ReadImages, between) &&
           ReadKind(kSpritesId, kSpritesSubId, &SpriteSet::ReadSprites, between) &&
           ReadKind(kMapSpritesId, kMapSpritesSubId, &SpriteSet::ReadMapSprites, between);
  }

  viewertest::ViewerRig rig;
  plat::gfx::CallLog calls;
  std::vector<std::unique_ptr<SpriteSet>> sets;
  kis::DataFileReaderW* reader = nullptr;
  u32 yields = 0;
};

// A map sprite's sub-sprite lists against the descriptions it was read
// from: names, places, pivots and scales, and each naming a sprite of `set`.
inline void ExpectSubSprites(const MapSprite& m, const std::vector<SSDATA>& behind, const std::vector<SSDATA>& front,
                             const SpriteSet& set, const std::string& what) {
  const std::vector<SSDATA>* sides[2] = {&behind, &front};
  const std::pmr::vector<SSDATA>* got[2] = {&m.Behind(), &m.InFront()};
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(got[k]->size(), sides[k]->size()) << what;
    for (size_t j = 0; j < got[k]->size(); ++j) {
      const SSDATA &a = (*got[k])[j], &b = (*sides[k])[j];
      EXPECT_EQ(std::u16string(a.name), std::u16string(b.name)) << what;
      EXPECT_EQ(a.sprite, set.FindSprite(b.name)) << what;
      EXPECT_NE(a.sprite, nullptr) << what;
      EXPECT_TRUE(a.x == b.x && a.y == b.y && a.pivotX == b.pivotX && a.pivotY == b.pivotY && a.scaleX == b.scaleX &&
                  a.scaleY == b.scaleY)
          << what;
    }
  }
}

}  // namespace spritetest
