// The sample data set's sprite and map-sprite sections: every record the
// sets make (on first use) against the same record walked here straight
// from the section's bytes and built by hand as a reader that made every
// record at once did: names, textures, frames and quads, draw states,
// animations, hot spots, shadows, arrays and sub-sprites; a record asked
// for by name before its set is listed is the very one listed after.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/LittleEndian.h"
#include "base/Strings.h"
#include "base/datafile/DataFileReader.h"
#include "engine/DXLTexture.h"
#include "platform/encoding/Utf.h"
#include "resources/MapSprite.h"
#include "resources/Sprite.h"
#include "testsupport/SpriteRig.h"

namespace {

// A section's records as stored.
struct StoredSprite {
  SPRITERECORD r;
  std::vector<DXLRECT> rects;
  std::optional<DXLDRAWSTATE> state;
  std::optional<DXLFRAMESEQ> seq;
};
struct StoredMapSprite {
  MAPSPRITERECORD r;
  std::optional<SHADOWRECORD> shadow;
  std::vector<u8> arrays;  // A, then B
  std::vector<SSDATA> behind, front;
};

std::vector<u8> SectionBytes(kis::BaseDataFileReader* reader, u32 dir, u32 subId, u32 set) {
  std::vector<u8> bytes;
  if (!reader->EnterDirectory(dir, subId) || !reader->OpenSection(dir + set, subId)) return bytes;
  bytes.resize(reader->GetSectionSize());
  if (!reader->Read(bytes.data(), static_cast<u32>(bytes.size()))) bytes.clear();
  reader->CloseSection();
  reader->LeaveDirectory();
  return bytes;
}

std::vector<StoredSprite> WalkSprites(const std::vector<u8>& b) {
  std::vector<StoredSprite> out(b.size() >= 4 ? kis::GetU32LE(b.data()) : 0);
  const u8* p = b.data() + 4;
  for (StoredSprite& s : out) {
    ParseSpriteRecord(p, &s.r);
    p += kSpriteRecordSize;
    for (i32 i = 0; s.r.explicitFrames && i < s.r.frameCount; ++i, p += kFrameRectRecordSize)
      ParseRectRecord(p, &s.rects.emplace_back());
    if (s.r.hasDrawState) ParseDrawStateRecord(p, &s.state.emplace()), p += kDrawStateRecordSize;
    if (s.r.hasAnimation) ParseFrameSeqRecord(p, &s.seq.emplace()), p += kFrameSeqRecordSize;
  }
  return out;
}

std::vector<StoredMapSprite> WalkMapSprites(const std::vector<u8>& b) {
  std::vector<StoredMapSprite> out(b.size() >= 4 ? kis::GetU32LE(b.data()) : 0);
  const u8* p = b.data() + 4;
  for (StoredMapSprite& m : out) {
    ParseMapSpriteRecord(p, &m.r);
    p += kMapSpriteRecordSize;
    if (m.r.hasShadow) ParseShadowRecord(p, &m.shadow.emplace()), p += kShadowRecordSize;
    const size_t arrays = m.r.countA * kMapSpriteARecordSize + m.r.countB * kMapSpriteBRecordSize;
    m.arrays.assign(p, p + arrays);
    p += arrays;
    for (i32 i = 0; i < m.r.behindCount; ++i, p += kSubSpriteRecordSize) ParseSubSpriteRecord(p, &m.behind.emplace_back());
    for (i32 i = 0; i < m.r.frontCount; ++i, p += kSubSpriteRecordSize) ParseSubSpriteRecord(p, &m.front.emplace_back());
  }
  return out;
}

void ExpectSameFrames(Sprite* read, Sprite* hand, const std::string& what) {
  read->Init();
  hand->Init();
  ASSERT_EQ(read->IsLoaded(), hand->IsLoaded()) << what;
  ASSERT_EQ(read->GetFrameCount(), hand->GetFrameCount()) << what;
  EXPECT_EQ(std::make_pair(read->GetFrameWidth(), read->GetFrameHeight()), std::make_pair(hand->GetFrameWidth(), hand->GetFrameHeight()))
      << what;
  for (i32 f = 0; f < read->GetFrameCount(); ++f)
    for (bool mirrored : {false, true})
      EXPECT_EQ(std::memcmp(read->GetQuad(f, mirrored), hand->GetQuad(f, mirrored), sizeof(DXLQUAD)), 0) << what << f;
  read->Release(true);
  hand->Release(true);
}

TEST(SampleSpriteSections, EveryRecordIsMadeAsStoredAndTheSameEachTimeItIsAskedFor) {
  spritetest::SpriteRig rig;
  const std::u16string path = plat::Utf8ToUtf16(std::string(TM_SAMPLE_DATA_DIR) + "/Sprites.dat");
  rig.reader = kis::OpenDataFileReaderW(path.c_str(), kSpriteArchiveSignature1, kSpriteArchiveSignature2,
                                        kSpriteArchiveVersion);
  ASSERT_NE(rig.reader, nullptr);
  ASSERT_TRUE(rig.LoadAll());
  i32 sprites = 0, mapSprites = 0;
  for (u32 n = 0; n < kSpriteSetCount; ++n) {
    SpriteSet& set = rig.Set(n);
    const std::vector<StoredSprite> stored = WalkSprites(SectionBytes(rig.reader, kSpritesId, kSpritesSubId, n));
    const std::vector<StoredMapSprite> storedMaps =
        WalkMapSprites(SectionBytes(rig.reader, kMapSpritesId, kMapSpritesSubId, n));
    // Asked for by name first: the last record of each kind.
    Sprite* lastFound = stored.empty() ? nullptr : set.FindSprite(stored.back().r.name);
    MapSprite* lastMapFound = storedMaps.empty() ? nullptr : set.FindMapSprite(storedMaps.back().r.name);
    ASSERT_EQ(set.GetSprites().GetCount(), static_cast<i32>(stored.size())) << n;
    ASSERT_EQ(set.GetMapSprites().GetCount(), static_cast<i32>(storedMaps.size())) << n;
    sprites += static_cast<i32>(stored.size());
    mapSprites += static_cast<i32>(storedMaps.size());
    if (lastFound) {  // the first of its name
      size_t first = 0;
      while (kis::StrICompare(set.GetSprites().Get(static_cast<i32>(first))->GetName(), lastFound->GetName()) != 0) ++first;
      EXPECT_EQ(set.GetSprites().Get(static_cast<i32>(first)), lastFound) << n;
      EXPECT_EQ(set.FindSprite(lastFound->GetName()), lastFound) << n;
    }
    if (lastMapFound) {
      EXPECT_EQ(set.FindMapSprite(lastMapFound->GetName()), lastMapFound) << n;
    }

    SpriteSet hand(40 + n);  // outside the global table
    for (size_t i = 0; i < stored.size(); ++i) {
      const SPRITERECORD& r = stored[i].r;
      const std::string what = "set " + std::to_string(n) + " sprite " + std::to_string(i);
      Sprite* read = set.GetSprites().Get(static_cast<i32>(i));
      DXLTexture* texture = set.FindTexture(r.texture);
      Sprite* made = r.explicitFrames
                         ? new Sprite(&hand, r.name, texture, r.frameCount, stored[i].rects.data(), r.flipH != 0,
                                      r.flipV != 0, r.turn)
                         : new Sprite(&hand, r.name, texture,
                                      SPRITEGRID{r.frameCount, r.frameWidth, r.frameHeight, r.gapX, r.gapY, r.area},
                                      r.flipH != 0, r.flipV != 0, r.turn);
      if (stored[i].state) made->SetDrawState(&*stored[i].state);
      if (stored[i].seq) made->SetDefaultAnimation(&*stored[i].seq);
      EXPECT_EQ(std::u16string(read->GetName()), std::u16string(made->GetName())) << what;
      EXPECT_EQ(read->GetTexture(), texture) << what;
      EXPECT_EQ(std::make_pair(read->GetForm(), read->GetTurn()), std::make_pair(made->GetForm(), made->GetTurn())) << what;
      ASSERT_EQ(read->GetDrawState() != nullptr, stored[i].state.has_value()) << what;
      if (stored[i].state) {
        EXPECT_EQ(read->GetDrawState()->blendMode, stored[i].state->blendMode) << what;
      }
      ExpectSameFrames(read, made, what);
      ASSERT_EQ(read->GetDefaultAnimation() != nullptr, stored[i].seq.has_value()) << what;
      if (stored[i].seq) {
        EXPECT_EQ(std::memcmp(read->GetDefaultAnimation(), made->GetDefaultAnimation(), sizeof(DXLFRAMESEQ)), 0) << what;
      }
      if (HasFatalFailure()) return;
    }
    for (size_t i = 0; i < storedMaps.size(); ++i) {
      const StoredMapSprite& e = storedMaps[i];
      const std::string what = "set " + std::to_string(n) + " map sprite " + std::to_string(i);
      const MapSprite* m = set.GetMapSprites().Get(static_cast<i32>(i));
      Sprite* sprite = set.FindSprite(e.r.sprite);
      EXPECT_EQ(m->GetSprite(), sprite) << what;
      EXPECT_EQ(std::u16string(m->GetName()), std::u16string(e.r.name[0] ? e.r.name : sprite ? sprite->GetName() : u""))
          << what;
      EXPECT_EQ(std::make_tuple(m->GetHotX(), m->GetHotY(), m->GetSecondX(), m->GetSecondY()),
                std::make_tuple(e.r.hotX, e.r.hotY, e.r.secondX, e.r.secondY))
          << what;
      ASSERT_EQ(m->GetShadow() != nullptr, e.shadow.has_value()) << what;
      if (e.shadow) {
        EXPECT_EQ(m->GetShadow()->sprite, rig.Set(kShadowSpriteSet).FindSprite(e.shadow->name)) << what;
        EXPECT_EQ(m->GetShadow()->width, e.shadow->width) << what;
        EXPECT_EQ(m->GetShadow()->alpha, e.shadow->alpha) << what;
      }
      std::vector<u8> arrays;
      if (m->GetArrayA()) arrays.assign(m->GetArrayA(), m->GetArrayA() + m->GetCountA() * kMapSpriteARecordSize);
      if (m->GetArrayB()) arrays.insert(arrays.end(), m->GetArrayB(), m->GetArrayB() + m->GetCountB() * kMapSpriteBRecordSize);
      EXPECT_EQ(arrays, e.arrays) << what;
      spritetest::ExpectSubSprites(*m, e.behind, e.front, set, what);
    }
  }
  EXPECT_GT(sprites, 100);
  EXPECT_GT(mapSprites, 10);
}

}  // namespace
