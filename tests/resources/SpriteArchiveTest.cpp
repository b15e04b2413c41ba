#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "testsupport/SpriteRig.h"

using spritetest::Picture;
using spritetest::SpriteRig;

namespace {

std::u16string Num(const char16_t* stem, u32 n) {
  std::u16string s = stem;
  if (n >= 10) s += static_cast<char16_t>(u'0' + n / 10);
  s += static_cast<char16_t>(u'0' + n % 10);
  return s;
}

// Every set: a texture "sheetN"; a grid sprite "grid" and an explicit sprite
// named after its texture, with a draw state and a default animation; a map
// sprite "house" with a shadow, both arrays and a sub-sprite on each side.
// Set 3, the shadow set, also has "blob"; set 9's shadow names a sprite
// nobody has.
SpriteArchiveWriter SeventeenSets() {
  SpriteArchiveWriter w;
  for (u32 s = 0; s < kSpriteSetCount; ++s) {
    const std::u16string sheet = Num(u"sheet", s);
    w.Images(s).push_back(MakeSpriteImageEntry(sheet.c_str(), Picture(16 + s, 8, s)));
    w.Images(s).back().record.loadOption = s & 3;
    SpriteEntry grid = MakeSpriteEntry(u"grid", sheet.c_str());
    grid.record.frameWidth = 4;
    grid.record.frameHeight = 4;
    grid.record.turn = static_cast<i32>(s % 4);
    SpriteEntry listed = MakeSpriteEntry(u"", sheet.c_str());
    listed.record.explicitFrames = 1;
    listed.record.flipV = 1;
    listed.frames = {{0, 0, 4, 4}, {0, 0, 0, 0}, {2, 2, 0, 0}};
    DXLDRAWSTATE state;
    DXLMakeSimpleDrawState(&state, 0, 1, kBlendAdd, 4);
    listed.drawState = state;
    listed.animation = DXLFRAMESEQ{kFrameSeqLoop, 0, 0, 100, 0, 0};
    w.Sprites(s) = {grid, listed};
    if (s == kShadowSpriteSet) w.Sprites(s).push_back(MakeSpriteEntry(u"blob", sheet.c_str()));
    MapSpriteEntry house = MakeMapSpriteEntry(u"house", u"grid");
    house.record.hotX = static_cast<i32>(s);
    house.record.hotY = 2;
    house.record.secondX = 3;
    house.record.secondY = -4;
    house.shadow = MakeShadowRecord(s == 9 ? u"nobody" : u"BLOB", 0.25f);
    house.arrayA.assign(2 * kMapSpriteARecordSize, static_cast<u8>(s));
    house.arrayB.assign(kMapSpriteBRecordSize, 0xB0);
    house.behind = {MakeSubSprite(u"grid", 1.5f, -2.0f)};
    house.front = {MakeSubSprite(sheet.c_str(), 0.0f, 3.0f)};
    w.MapSprites(s) = {house};
  }
  return w;
}

std::string Text(const wchar* s) {
  std::string out;
  for (; s && *s; ++s) out += static_cast<char>(*s < 128 ? *s : '?');
  return out;
}

// Everything the readers made, as text.
std::string Dump(SpriteRig& rig) {
  std::string out;
  char line[256];
  for (u32 n = 0; n < kSpriteSetCount; ++n) {
    SpriteSet& set = rig.Set(n);
    for (i32 i = 0; i < set.GetTextures()->GetCount(); ++i) {
      const DXLTexture* t = set.GetTextures()->GetAt(i);
      const DXLDRAWSTATE& d = t->GetDrawState();
      std::snprintf(line, sizeof line, "%u tex %s blend=%u op=%u\n", n, Text(t->GetName()).c_str(), d.blendMode,
                    d.colorOp);
      out += line;
    }
    for (i32 i = 0; i < set.GetSprites().GetCount(); ++i) {
      const Sprite* s = set.GetSprites().Get(i);
      const DXLFRAMESEQ* a = s->GetDefaultAnimation();
      std::snprintf(line, sizeof line, "%u spr %s on %s form=%u turn=%d state=%d anim=%u\n", n,
                    Text(s->GetName()).c_str(), s->GetTexture() ? Text(s->GetTexture()->GetName()).c_str() : "-",
                    s->GetForm(), s->GetTurn(), s->GetDrawState() ? static_cast<int>(s->GetDrawState()->blendMode) : -1,
                    a ? a->timePerFrame : 0);
      out += line;
    }
    for (i32 i = 0; i < set.GetMapSprites().GetCount(); ++i) {
      const MapSprite* m = set.GetMapSprites().Get(i);
      const SHADOWDATA* sh = m->GetShadow();
      std::snprintf(line, sizeof line, "%u msp %s of %s hot=%d,%d second=%d,%d shadow=%s/%g A=%u B=%u", n,
                    Text(m->GetName()).c_str(), m->GetSprite() ? Text(m->GetSprite()->GetName()).c_str() : "-",
                    m->GetHotX(), m->GetHotY(), m->GetSecondX(), m->GetSecondY(),
                    sh && sh->sprite ? Text(sh->sprite->GetName()).c_str() : "-", sh ? sh->alpha : -1.0f,
                    m->GetCountA(), m->GetCountB());
      out += line;
      for (const SSDATA& d : m->Behind()) out += " behind " + Text(d.name) + "@" + std::to_string(d.x);
      for (const SSDATA& d : m->InFront()) out += " front " + Text(d.name) + "@" + std::to_string(d.y);
      out += "\n";
    }
  }
  return out;
}

std::vector<float> g_fractions;
bool YieldAlways(float fraction) {
  g_fractions.push_back(fraction);
  return true;
}

TEST(SpriteArchive, SeventeenSetsReadTheSameInOnePassAndYieldingAfterEveryRecord) {
  SpriteRig rig;
  ASSERT_TRUE(rig.WriteAndOpen(SeventeenSets()));
  ASSERT_TRUE(rig.LoadAll());
  EXPECT_EQ(rig.yields, 0u);
  const std::string once = Dump(rig);
  EXPECT_NE(once.find("0 spr sheet0 on sheet0 form=1 turn=0 state=3 anim=100"), std::string::npos) << once;
  EXPECT_NE(once.find("3 spr blob on sheet3"), std::string::npos);
  EXPECT_NE(once.find("5 msp house of grid hot=5,2 second=3,-4 shadow=blob/0.25 A=2 B=1 behind grid@1.5"),
            std::string::npos);
  EXPECT_NE(once.find("9 msp house of grid hot=9,2 second=3,-4 shadow=-/0.25"), std::string::npos);
  EXPECT_FALSE(rig.Set(16).FindTexture(u"sheet16")->IsReady());  // no pixels read yet

  rig.MakeSets();
  ASSERT_TRUE(rig.WriteAndOpen(SeventeenSets()));
  g_fractions.clear();
  GetResourceServices().loadingProgress = &YieldAlways;
  // A texture that loads between two resumed records: the first sprite of
  // set 5 is loaded while its section waits for the next call.
  bool loadedBetween = false;
  ASSERT_TRUE(rig.LoadAll([&] {
    SpriteSet& set = rig.Set(5);
    if (loadedBetween || set.GetSprites().GetCount() != 1 || set.GetMapSprites().GetCount() != 0) return;
    const kis::DATAFILEENTRY* open = rig.reader->GetOpenEntry();
    ASSERT_NE(open, nullptr);
    const u32 at = rig.reader->GetPosition();
    Sprite* grid = set.GetSprites().Get(0);
    grid->Init();
    ASSERT_TRUE(grid->IsLoaded());
    EXPECT_EQ(grid->GetTexture()->GetImageWidth(), 21);
    EXPECT_EQ(grid->GetFrameCount(), 10);  // 21 x 8 in 4 x 4 cells: 5 x 2
    EXPECT_EQ(rig.reader->GetOpenEntry(), open);
    EXPECT_EQ(rig.reader->GetPosition(), at);
    grid->Release(false);
    loadedBetween = true;
  }));
  EXPECT_TRUE(loadedBetween);
  // One yield per record: 17 images, 35 sprites, 17 map sprites.
  EXPECT_EQ(rig.yields, 17u + 35u + 17u);
  ASSERT_EQ(g_fractions.size(), rig.yields);
  EXPECT_FLOAT_EQ(g_fractions[16], 1.0f);
  EXPECT_FLOAT_EQ(g_fractions[3], 4.0f / 17.0f);
  EXPECT_FLOAT_EQ(g_fractions[17 + 35 - 1], 1.0f);
  EXPECT_EQ(Dump(rig), once);
}

// A damaged section of set 2 of one kind, the others as SeventeenSets.
struct Damaged {
  u32 kind;
  std::vector<u8> body;
};

// Reads set 2's section of that kind, directory entered as the loader does.
SectionCursor ReadSet2(SpriteRig& rig, u32 kind) {
  SectionCursor cursor;
  if (kind == kSpriteImagesId) {
    rig.reader->EnterDirectory(kind, kSpriteImagesSubId);
    while (rig.Set(2).ReadImages(rig.reader, &cursor, 0, 1) == 0) {
    }
  } else if (kind == kSpritesId) {
    rig.reader->EnterDirectory(kind, kSpritesSubId);
    while (rig.Set(2).ReadSprites(rig.reader, &cursor, 0, 1) == 0) {
    }
  } else {
    rig.reader->EnterDirectory(kind, kMapSpritesSubId);
    while (rig.Set(2).ReadMapSprites(rig.reader, &cursor, 0, 1) == 0) {
    }
  }
  return cursor;
}

// The readers of the other kinds need what set 2's earlier kinds hold.
void ReadBefore(SpriteRig& rig, u32 kind) {
  if (kind == kSpriteImagesId) return;
  ASSERT_EQ(ReadSet2(rig, kSpriteImagesId).error, 0u);
  rig.reader->LeaveDirectory();
  if (kind == kMapSpritesId) {
    ASSERT_TRUE(rig.ReadKind(kSpritesId, kSpritesSubId, &SpriteSet::ReadSprites));
  }
}

SectionCursor ReadDamaged(SpriteRig& rig, u32 kind, std::vector<u8> body) {
  rig.MakeSets();
  SpriteArchiveWriter w = SeventeenSets();
  w.SetRawSection(kind, 2, std::move(body));
  EXPECT_TRUE(rig.WriteAndOpen(w));
  ReadBefore(rig, kind);
  return ReadSet2(rig, kind);
}

std::vector<u8> Body(u32 kind) {
  const SpriteArchiveWriter w = SeventeenSets();
  return kind == kSpriteImagesId ? w.ImageSection(2) : kind == kSpritesId ? w.SpriteSection(2) : w.MapSpriteSection(2);
}

TEST(SpriteArchive, EveryTruncationEndsWithTheErrorFlag) {
  SpriteRig rig;
  for (const u32 kind : {kSpriteImagesId, kSpritesId, kMapSpritesId}) {
    const std::vector<u8> whole = Body(kind);
    EXPECT_EQ(ReadDamaged(rig, kind, whole).error, 0u);
    for (size_t cut = 0; cut < whole.size(); ++cut) {
      const SectionCursor c = ReadDamaged(rig, kind, std::vector<u8>(whole.begin(), whole.begin() + cut));
      EXPECT_EQ(c.error, 1u) << "kind " << std::hex << kind << std::dec << " cut at " << cut;
      EXPECT_LE(c.done, c.total);
      // The records read before the cut stay and are found; nothing of the
      // one it fell in does.
      const SpriteSet& set = rig.Set(2);
      if (kind == kSpritesId) {
        ASSERT_EQ(set.GetSprites().GetCount(), static_cast<i32>(c.done)) << "cut at " << cut;
        EXPECT_EQ(set.FindSprite(u"grid"), c.done > 0 ? set.GetSprites().Get(0) : nullptr) << "cut at " << cut;
      } else if (kind == kMapSpritesId) {
        ASSERT_EQ(set.GetMapSprites().GetCount(), static_cast<i32>(c.done)) << "cut at " << cut;
      }
    }
  }
}

TEST(SpriteArchive, SizeWordsCountsAndSubSpritesAreChecked) {
  SpriteRig rig;
  struct Patch {
    u32 kind;
    size_t offset;  // in the section body
    u32 value;
    const char* what;
  };
  // Offsets: 4 for the count, then the first record.
  constexpr size_t r = 4;
  constexpr size_t sub = r + kMapSpriteRecordSize + kShadowRecordSize + 2 * 20 + 32;  // the behind record
  const Patch patches[] = {
      {kSpriteImagesId, r, 103, "image size word"},
      {kSpritesId, r, 183, "sprite size word"},
      {kMapSpritesId, r, 169, "map-sprite size word"},
      {kSpriteImagesId, 0, 0xFFFFFFFFu, "image count"},
      {kSpritesId, 0, 0x10000000u, "sprite count"},
      {kMapSpritesId, 0, 4, "map-sprite count beyond the bytes"},
      {kSpriteImagesId, r + 100, 0xFFFFFF00u, "image length"},
      {kSpritesId, r + kSpriteRecordSize + 140, 0x7FFFFFFFu, "explicit frame count"},
      {kSpritesId, r + kSpriteRecordSize + 140, 0x80000000u, "negative explicit frame count"},
      {kMapSpritesId, r + 152, 0xFFFFFFFFu, "count A"},
      {kMapSpritesId, r + 156, 0x08000000u, "count B"},
      {kMapSpritesId, r + 160, 0xFFFFFFFFu, "negative behind count"},
      {kMapSpritesId, r + 164, 0x7FFFFFFFu, "front count"},
      {kMapSpritesId, sub + 4, 2, "kind-2 sub-sprite"},
      {kMapSpritesId, sub, 95, "sub-sprite size word"},
      {kMapSpritesId, sub + 8, 'q', "unknown sub-sprite sprite"},
  };
  for (const Patch& p : patches) {
    std::vector<u8> body = Body(p.kind);
    ASSERT_LT(p.offset + 4, body.size()) << p.what;
    kis::PutU32LE(&body[p.offset], p.value);
    const SectionCursor c = ReadDamaged(rig, p.kind, body);
    EXPECT_EQ(c.error, 1u) << p.what;
    EXPECT_TRUE(rig.reader->IsOk()) << p.what;  // the archive itself stays readable
    EXPECT_EQ(rig.Set(2).GetMapSprites().GetCount(), 0) << p.what;
  }
  // The explicit sprite record follows the grid one: the grid sprite stays.
  EXPECT_EQ(rig.Set(2).GetSprites().GetCount(), 2);
}

// Map sprites that repeat their neighbours' sub-sprites: a name spelled as
// the sprite found last or the one after it is taken as found, any other is
// looked up, and an empty or unknown one still fails where it stands.
TEST(SpriteArchive, RepeatedSubSpriteNamesAreCheckedAsAnyOther) {
  SpriteRig rig;
  SpriteArchiveWriter w = SeventeenSets();
  MapSpriteEntry m = MakeMapSpriteEntry(u"m", u"grid");
  m.behind = {MakeSubSprite(u"grid", 0, 0)};
  m.front = {MakeSubSprite(u"sheet2", 0, 0), MakeSubSprite(u"GRID", 0, 0)};
  w.MapSprites(2) = {m, m, m, m};
  const std::vector<u8> whole = w.MapSpriteSection(2);
  const std::u16string sheet = u"sheet2";
  std::vector<size_t> fields;  // of "sheet2", one a record
  for (size_t at = 0; at + 2 * sheet.size() <= whole.size(); ++at) {
    bool same = true;
    for (size_t i = 0; i < sheet.size() && same; ++i) same = kis::GetU16LE(&whole[at + 2 * i]) == sheet[i];
    if (same) fields.push_back(at);
  }
  ASSERT_EQ(fields.size(), 4u);
  struct Case {
    u32 record;  // whose "sheet2" field gets `value` at `unit` (kSpriteNameSize: the whole field cleared)
    size_t unit;
    u16 value;
    u32 error;
  };
  const Case cases[] = {{3, 0, u'S', 0}, {3, 10, u'z', 0}, {3, 0, u'q', 1},
                        {3, kSpriteNameSize, 0, 1}, {0, kSpriteNameSize, 0, 1}};
  for (const Case& c : cases) {
    std::vector<u8> body = whole;
    const size_t at = fields[c.record];
    if (c.unit < kSpriteNameSize) {
      kis::PutU16LE(&body[at + 2 * c.unit], c.value);
    } else {
      std::fill(body.begin() + static_cast<std::ptrdiff_t>(at),
                body.begin() + static_cast<std::ptrdiff_t>(at + 2 * kSpriteNameSize), u8{0});
    }
    const SectionCursor cursor = ReadDamaged(rig, kMapSpritesId, body);
    ASSERT_EQ(cursor.error, c.error) << c.record << " " << c.unit;
    const SpriteSet& set = rig.Set(2);
    ASSERT_EQ(set.GetMapSprites().GetCount(), static_cast<i32>(c.error ? c.record : 4)) << c.record << " " << c.unit;
    for (i32 i = 0; i < set.GetMapSprites().GetCount(); ++i) {
      const MapSprite* made = set.GetMapSprites().Get(i);
      ASSERT_EQ(made->InFront().size(), 2u);
      EXPECT_EQ(made->Behind()[0].sprite, set.FindSprite(u"grid"));
      EXPECT_EQ(made->InFront()[0].sprite, set.FindSprite(u"sheet2"));
      EXPECT_EQ(made->InFront()[1].sprite, set.FindSprite(u"grid"));
      EXPECT_NE(made->InFront()[0].sprite, nullptr);
    }
  }
}

TEST(SpriteArchive, EmptySectionsNamesAndUnterminatedNames) {
  SpriteRig rig;
  SpriteArchiveWriter w;  // all 51 sections with a count of 0
  ASSERT_TRUE(rig.WriteAndOpen(w));
  ASSERT_TRUE(rig.LoadAll());
  EXPECT_EQ(rig.Set(16).GetSprites().GetCount(), 0);

  // A name filling all 32 units ends at 31 characters; look-ups fold case.
  const std::u16string longName = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef";
  w.Images(1).push_back(MakeSpriteImageEntry(u"pic", Picture(4, 4, 1)));
  w.Sprites(1).push_back(MakeSpriteEntry(u"x", u"PIC"));
  std::vector<u8> body = w.SpriteSection(1);
  for (size_t i = 0; i < 32; ++i) kis::PutU16LE(&body[4 + 4 + 2 * i], longName[i]);
  w.SetRawSection(kSpritesId, 1, body);
  rig.MakeSets();
  ASSERT_TRUE(rig.WriteAndOpen(w));
  ASSERT_TRUE(rig.LoadAll());
  SpriteSet& set = rig.Set(1);
  const std::u16string cut = longName.substr(0, 31);
  Sprite* s = set.FindSprite(u"abcdefghijklmnopqrstuvwxyzABCDE");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(std::u16string(s->GetName()), cut);
  EXPECT_EQ(s->GetTexture(), set.FindTexture(u"Pic"));
  EXPECT_EQ(set.FindSprite(u""), nullptr);
  EXPECT_EQ(set.FindSprite(nullptr), nullptr);
  EXPECT_EQ(GetSpriteByName(1, cut.c_str()), s);
  EXPECT_EQ(GetSpriteSetTextures(1), set.GetTextures());
  EXPECT_EQ(GetSpriteByName(17, cut.c_str()), nullptr);
  EXPECT_EQ(set.CreateImageSprite(s, false), nullptr);  // not loaded
}

}  // namespace
