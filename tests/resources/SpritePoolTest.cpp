// The sprite and map-sprite sections read into their sections' pools, held
// against what the same entries give when built by hand, and the ownership
// of pooled records.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "resources/MapSprite.h"
#include "resources/Sprite.h"
#include "testsupport/SeededRandom.h"
#include "testsupport/SpriteRig.h"

using spritetest::Picture;
using spritetest::SpriteRig;
using testsupport::SeededRandom;

namespace {

std::u16string Name(const char* stem, i32 n) {
  std::u16string s;
  for (const char* c = stem; *c; ++c) s += static_cast<char16_t>(*c);
  for (char c : std::to_string(n)) s += static_cast<char16_t>(c);
  return s;
}

// The name as the archive spells it: its letters' case drawn at random.
std::u16string Spelled(const std::u16string& name, SeededRandom& rng) {
  std::u16string s = name;
  for (char16_t& c : s)
    if (c >= u'a' && c <= u'z' && rng.Range(0, 2) == 0) c = static_cast<char16_t>(c - 32);
  return s;
}

constexpr u32 kSets[] = {1, kShadowSpriteSet, 7};

// Three sets of seeded sprites (grid and explicit, up to 40 frames, with and
// without draw states and animations, some names twice) on `sheets`
// textures and map sprites (shadows, arrays, sub-sprites on both sides, some
// in runs of the sprites' order) naming them in any case.
SpriteArchiveWriter Seeded(u32 seed, i32 sheets = 3) {
  SeededRandom rng(seed);
  SpriteArchiveWriter w;
  for (u32 set : kSets) {
    for (i32 t = 0; t < sheets; ++t) {
      const std::u16string sheet = Name("sheet", t);
      w.Images(set).push_back(MakeSpriteImageEntry(sheet.c_str(), Picture(24 + 8 * t, 16 + 4 * t, set)));
    }
    const i32 sprites = rng.Range(60, 90);
    for (i32 i = 0; i < sprites; ++i) {
      // Every tenth reuses an earlier name: the first keeps it.
      const std::u16string name = Name("s", i % 10 == 9 ? i - 5 : i);
      const std::u16string sheet = Spelled(Name("sheet", rng.Range(0, sheets)), rng);  // the last is missing
      SpriteEntry e = MakeSpriteEntry(Spelled(name, rng).c_str(), sheet.c_str());
      e.record.flipH = static_cast<u8>(rng.Range(0, 1));
      e.record.flipV = static_cast<u8>(rng.Range(0, 1));
      e.record.turn = rng.Range(-2, 5);
      if (rng.Range(0, 1)) {
        e.record.explicitFrames = 1;
        const i32 frames = rng.Range(0, 3) == 0 ? rng.Range(17, 40) : rng.Range(0, 6);
        for (i32 f = 0; f < frames; ++f) {
          const i32 x = rng.Range(0, 20), y = rng.Range(0, 12);
          e.frames.push_back(DXLRECT{x, y, x + rng.Range(-2, 9), y + rng.Range(-2, 7)});
        }
      } else {
        e.record.frameCount = rng.Range(0, 5);
        e.record.frameWidth = rng.Range(0, 8);
        e.record.frameHeight = rng.Range(1, 8);
        e.record.gapX = rng.Range(0, 2);
        e.record.area = DXLRECT{rng.Range(0, 4), 0, rng.Range(0, 30), rng.Range(0, 20)};
      }
      if (rng.Range(0, 2) == 0) {
        DXLDRAWSTATE state;
        DXLMakeSimpleDrawState(&state, rng.Range(0, 1), 3, rng.Range(0, 4), 4);
        e.drawState = state;
      }
      if (rng.Range(0, 2) == 0)
        e.animation = DXLFRAMESEQ{kFrameSeqLoop, static_cast<u32>(rng.Range(0, 3)), 0, 40, 0, 0};
      w.Sprites(set).push_back(e);
    }
    const i32 mapSprites = rng.Range(20, 40);
    i32 last = -1;  // the sprite the last sub-sprite named
    for (i32 i = 0; i < mapSprites; ++i) {
      const std::u16string sprite = Spelled(Name("s", rng.Range(0, sprites + 3)), rng);  // a few missing
      MapSpriteEntry m = MakeMapSpriteEntry(rng.Range(0, 4) ? Name("m", i).c_str() : u"", sprite.c_str());
      m.record.hotX = rng.Range(-50, 50);
      m.record.hotY = rng.Range(-50, 50);
      m.record.secondX = rng.Range(-9, 9);
      m.record.secondY = rng.Range(-9, 9);
      if (rng.Range(0, 1)) {
        m.shadow = MakeShadowRecord(Spelled(Name("s", rng.Range(0, 70)), rng).c_str(), 0.25f * rng.Range(0, 4));
        m.shadow->width = rng.Range(-1, 30);
        m.shadow->pivotY = 0.75f;
      }
      for (i32 k = rng.Range(0, 3) == 0 ? rng.Range(1, 4) : 0; k > 0; --k)
        for (u32 b = 0; b < kMapSpriteARecordSize; ++b) m.arrayA.push_back(static_cast<u8>(rng.Next()));
      for (i32 k = rng.Range(0, 3) == 0 ? rng.Range(1, 3) : 0; k > 0; --k)
        for (u32 b = 0; b < kMapSpriteBRecordSize; ++b) m.arrayB.push_back(static_cast<u8>(rng.Next()));
      for (std::vector<SSDATA>* side : {&m.behind, &m.front})
        for (i32 k = rng.Range(0, 3); k > 0; --k) {
          // A name the set has (the tenths are taken): the sprite after the
          // one before, the same again, or any.
          const i32 pick = rng.Range(0, 3);
          const i32 k2 = last >= 0 && last + 1 < sprites && pick == 0 ? last + 1
                         : last >= 0 && pick == 1                     ? last
                                                                      : rng.Range(0, sprites - 1);
          last = k2;
          SSDATA d = MakeSubSprite(Spelled(Name("s", k2 % 10 == 9 ? k2 - 5 : k2), rng).c_str(),
                                   static_cast<float>(rng.Range(-20, 20)), static_cast<float>(rng.Range(-20, 20)));
          d.pivotX = 0.125f * rng.Range(0, 8);
          d.scaleY = 0.5f * rng.Range(1, 4);
          side->push_back(d);
        }
      w.MapSprites(set).push_back(m);
    }
  }
  return w;
}

// A sprite built by hand from the entry, in a set of its own, on the read
// set's texture.
Sprite* ByHand(SpriteSet* hand, SpriteSet& read, const SpriteEntry& e) {
  const SPRITERECORD& r = e.record;
  DXLTexture* texture = read.FindTexture(r.texture);
  Sprite* s = r.explicitFrames ? new Sprite(hand, r.name, texture, static_cast<i32>(e.frames.size()), e.frames.data(),
                                            r.flipH != 0, r.flipV != 0, r.turn)
                               : new Sprite(hand, r.name, texture,
                                            SPRITEGRID{r.frameCount, r.frameWidth, r.frameHeight, r.gapX, r.gapY, r.area},
                                            r.flipH != 0, r.flipV != 0, r.turn);
  if (e.drawState) s->SetDrawState(&*e.drawState);
  if (e.animation) s->SetDefaultAnimation(&*e.animation);
  return s;
}

void ExpectSameSprite(Sprite* read, Sprite* hand, const std::string& what) {
  EXPECT_EQ(std::u16string(read->GetName()), std::u16string(hand->GetName())) << what;
  EXPECT_EQ(read->GetTexture(), hand->GetTexture()) << what;
  EXPECT_EQ(read->GetForm(), hand->GetForm()) << what;
  EXPECT_EQ(read->GetTurn(), hand->GetTurn()) << what;
  ASSERT_EQ(read->GetDrawState() != nullptr, hand->GetDrawState() != nullptr) << what;
  if (read->GetDrawState()) {
    // Field by field: the padding after the filters holds whatever the
    // copy or the reader left there.
    const DXLDRAWSTATE& a = *read->GetDrawState();
    const DXLDRAWSTATE& b = *hand->GetDrawState();
    EXPECT_EQ(std::tie(a.minFilter, a.magFilter, a.addressU, a.addressV, a.blendMode, a.colorOp, a.alphaOp),
              std::tie(b.minFilter, b.magFilter, b.addressU, b.addressV, b.blendMode, b.colorOp, b.alphaOp))
        << what;
  }
  read->Init();
  hand->Init();
  ASSERT_EQ(read->IsLoaded(), hand->IsLoaded()) << what;
  ASSERT_EQ(read->GetDefaultAnimation() != nullptr, hand->GetDefaultAnimation() != nullptr) << what;
  if (read->GetDefaultAnimation()) {
    EXPECT_EQ(std::memcmp(read->GetDefaultAnimation(), hand->GetDefaultAnimation(), sizeof(DXLFRAMESEQ)), 0) << what;
  }
  ASSERT_EQ(read->GetFrameCount(), hand->GetFrameCount()) << what;
  EXPECT_EQ(read->GetFrameWidth(), hand->GetFrameWidth()) << what;
  EXPECT_EQ(read->GetFrameHeight(), hand->GetFrameHeight()) << what;
  for (i32 f = 0; f < read->GetFrameCount(); ++f) {
    DXLRECT a, b;
    read->GetFrameRect(f, &a);
    hand->GetFrameRect(f, &b);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << what << " frame " << f;
    for (bool mirrored : {false, true})
      EXPECT_EQ(std::memcmp(read->GetQuad(f, mirrored), hand->GetQuad(f, mirrored), sizeof(DXLQUAD)), 0)
          << what << " frame " << f;
  }
  read->Release(true);
  hand->Release(true);
}

// Few textures are searched in turn, more through an index: both give the
// sprites the same textures.
void ExpectReadAsBuilt(i32 sheets) {
  SpriteRig rig;
  const SpriteArchiveWriter w = Seeded(20240611, sheets);
  ASSERT_TRUE(rig.WriteAndOpen(w));
  ASSERT_TRUE(rig.LoadAll());
  SpriteArchiveWriter entries = w;
  for (u32 set : kSets) {
    SpriteSet& read = rig.Set(set);
    const std::vector<SpriteEntry>& sprites = entries.Sprites(set);
    ASSERT_EQ(read.GetSprites().GetCount(), static_cast<i32>(sprites.size()));
    SpriteSet hand(40 + set);  // outside the global table
    for (size_t i = 0; i < sprites.size(); ++i) {
      Sprite* s = read.GetSprites().Get(static_cast<i32>(i));
      ExpectSameSprite(s, ByHand(&hand, read, sprites[i]), "set " + std::to_string(set) + " sprite " + std::to_string(i));
      // The first sprite of a name is the one found, in any case.
      Sprite* first = nullptr;
      for (size_t j = 0; j <= i && !first; ++j)
        if (kis::StrICompare(sprites[j].record.name, sprites[i].record.name) == 0)
          first = read.GetSprites().Get(static_cast<i32>(j));
      EXPECT_EQ(read.FindSprite(sprites[i].record.name), first);
      SeededRandom spell(static_cast<u32>(i));
      EXPECT_EQ(read.FindSprite(Spelled(sprites[i].record.name, spell).c_str()), first);
    }
    if (::testing::Test::HasFatalFailure()) return;

    const std::vector<MapSpriteEntry>& maps = entries.MapSprites(set);
    ASSERT_EQ(read.GetMapSprites().GetCount(), static_cast<i32>(maps.size()));
    for (size_t i = 0; i < maps.size(); ++i) {
      const MapSpriteEntry& e = maps[i];
      const MapSprite* m = read.GetMapSprites().Get(static_cast<i32>(i));
      const std::string what = "set " + std::to_string(set) + " map sprite " + std::to_string(i);
      Sprite* sprite = read.FindSprite(e.record.sprite);
      EXPECT_EQ(m->GetSprite(), sprite) << what;
      EXPECT_EQ(std::u16string(m->GetName()),
                std::u16string(e.record.name[0] ? e.record.name : sprite ? sprite->GetName() : u"")) << what;
      const MapSprite* firstOfName = nullptr;
      for (size_t j = 0; j <= i && !firstOfName; ++j)
        if (kis::StrICompare(read.GetMapSprites().Get(static_cast<i32>(j))->GetName(), m->GetName()) == 0)
          firstOfName = read.GetMapSprites().Get(static_cast<i32>(j));
      if (m->GetName()[0]) {
        EXPECT_EQ(read.FindMapSprite(m->GetName()), firstOfName) << what;
      }
      EXPECT_EQ(m->GetHotX(), e.record.hotX);
      EXPECT_EQ(m->GetHotY(), e.record.hotY);
      EXPECT_EQ(m->GetSecondX(), e.record.secondX);
      EXPECT_EQ(m->GetSecondY(), e.record.secondY);
      ASSERT_EQ(m->GetShadow() != nullptr, e.shadow.has_value()) << what;
      if (e.shadow) {
        EXPECT_EQ(m->GetShadow()->sprite, rig.Set(kShadowSpriteSet).FindSprite(e.shadow->name)) << what;
        EXPECT_EQ(m->GetShadow()->width, e.shadow->width);
        EXPECT_EQ(m->GetShadow()->pivotY, e.shadow->pivotY);
        EXPECT_EQ(m->GetShadow()->alpha, e.shadow->alpha);
      }
      ASSERT_EQ(m->GetCountA(), e.arrayA.size() / kMapSpriteARecordSize) << what;
      ASSERT_EQ(m->GetCountB(), e.arrayB.size() / kMapSpriteBRecordSize) << what;
      EXPECT_EQ(m->GetArrayA() ? std::vector<u8>(m->GetArrayA(), m->GetArrayA() + e.arrayA.size()) : std::vector<u8>(),
                e.arrayA) << what;
      EXPECT_EQ(m->GetArrayB() ? std::vector<u8>(m->GetArrayB(), m->GetArrayB() + e.arrayB.size()) : std::vector<u8>(),
                e.arrayB) << what;
      spritetest::ExpectSubSprites(*m, e.behind, e.front, read, what);
    }
  }
}

TEST(SpritePool, SectionsReadGiveTheSetsNamesAndFramesOfTheirEntries) {
  for (const i32 sheets : {3, 12}) {
    SCOPED_TRACE(sheets);
    ExpectReadAsBuilt(sheets);
    if (HasFatalFailure()) return;
  }
}

// Pooled records may be deleted by hand like any other: they leave their set
// (and its names) and the set frees the rest, its pools after them; so does
// one whose name is not its record's (no name of its own, made on a sprite
// that came by hand after the reading), also as the set's first. A second
// read of the same sections into the same set adds a second set of records
// in pools of their own.
TEST(SpritePool, PooledRecordsLeaveTheirSetWhenDeletedAndGoWithIt) {
  SpriteRig rig;
  SpriteArchiveWriter w = Seeded(77);
  w.MapSprites(kSets[0]).insert(w.MapSprites(kSets[0]).begin(), MakeMapSpriteEntry(u"", u"late"));
  ASSERT_TRUE(rig.WriteAndOpen(w));
  ASSERT_TRUE(rig.LoadAll());
  SpriteSet& set = rig.Set(kSets[0]);
  const i32 sprites = set.GetSprites().GetCount();
  Sprite* late = new Sprite(&set, u"late", nullptr, SPRITEGRID{1, 1, 1, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  const i32 maps = set.GetMapSprites().GetCount() - 1;
  MapSprite* renamed = set.GetMapSprites().Get(0);
  EXPECT_EQ(std::u16string(renamed->GetName()), u"late");
  delete renamed;
  delete late;
  EXPECT_EQ(set.GetMapSprites().GetCount(), maps);
  EXPECT_EQ(set.GetMapSprites().IndexOf(renamed), -1);
  Sprite* gone = set.GetSprites().Get(3);
  const std::u16string name = gone->GetName();
  MapSprite* mapGone = set.GetMapSprites().Get(0);
  delete mapGone;
  delete gone;
  EXPECT_EQ(set.GetSprites().GetCount(), sprites - 1);
  EXPECT_EQ(set.GetMapSprites().GetCount(), maps - 1);
  EXPECT_NE(set.FindSprite(name.c_str()), gone);
  EXPECT_EQ(set.GetSprites().IndexOf(gone), -1);
  // A sprite made by hand among pooled ones.
  Sprite* mine = new Sprite(&set, u"mine", nullptr, SPRITEGRID{1, 1, 1, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  EXPECT_EQ(set.FindSprite(u"MINE"), mine);
  ASSERT_TRUE(rig.LoadAll());  // everything again: each set holds two of each
  EXPECT_EQ(set.GetSprites().GetCount(), 2 * sprites);
  EXPECT_EQ(set.GetMapSprites().GetCount(), 2 * maps);  // the renamed record's second copy too
  rig.MakeSets();  // the sets go with all of it: the sanitizers see any record freed twice or not at all
}

}  // namespace

// Records are made when first asked for, and keep the order they came in:
// a sprite made by hand after a section is read comes after its records in
// the list and in the names, whenever they are made; a record asked for
// before the set is listed is the one listed; deleting one made so takes
// it out like any other.
TEST(SpritePool, RecordsMadeOnFirstUseKeepTheOrderTheyCame) {
  SpriteRig rig;
  SpriteArchiveWriter w = Seeded(5);
  ASSERT_TRUE(rig.WriteAndOpen(w));
  ASSERT_TRUE(rig.LoadAll());
  SpriteSet& set = rig.Set(kSets[1]);
  const i32 count = static_cast<i32>(w.Sprites(kSets[1]).size()), maps = static_cast<i32>(w.MapSprites(kSets[1]).size());
  Sprite* mine = new Sprite(&set, u"S3", nullptr, SPRITEGRID{1, 1, 1, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  Sprite* s3 = set.FindSprite(u"s3");
  ASSERT_NE(s3, nullptr);
  EXPECT_NE(s3, mine);  // the record came first
  EXPECT_EQ(set.FindSprite(u"S3"), s3);
  Sprite* s7 = set.FindSprite(u"s7");
  MapSprite* m1 = set.FindMapSprite(u"m1");
  ASSERT_EQ(set.GetSprites().GetCount(), count + 1);
  EXPECT_EQ(set.GetSprites().Get(3), s3);
  EXPECT_EQ(set.GetSprites().Get(7), s7);
  EXPECT_EQ(set.GetSprites().Last(), mine);
  if (m1) {
    EXPECT_EQ(set.GetMapSprites().IndexOf(m1), set.GetMapSprites().IndexOf(set.FindMapSprite(u"M1")));
  }
  ASSERT_EQ(set.GetMapSprites().GetCount(), maps);
  delete s3;  // made from its record: it leaves, and the name finds the next of it
  EXPECT_EQ(set.FindSprite(u"s3"), mine);
  EXPECT_EQ(set.GetSprites().GetCount(), count);
  EXPECT_EQ(set.GetSprites().IndexOf(s3), -1);
  rig.MakeSets();  // with the third set never searched nor listed: its records go unmade
}
