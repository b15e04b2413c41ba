// The character descriptions: the "CHQR" section read back equal (at once
// and yielding after every record) into the list installed in the content
// services, its refusals, and the reference counting that carries the
// game's description 5 along with 4.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/LittleEndian.h"
#include "content/CharacterSection.h"
#include "content/ContentServices.h"
#include "content/GameCharacter.h"
#include "resources/GameAnimation.h"
#include "ContentRig.h"

namespace {

using contenttest::ContentRig;

// The animations the descriptions name, and the game's list of descriptions.
struct Animations {
  Animations() {
    for (const char16_t* n : {u"girl_idle", u"girl_walk", u"girl_dig", u"bee_fly"}) new GameAnimation(n, 8);
    GetContentServices().characters = &characters;
  }
  ~Animations() {
    GetContentServices().characters = nullptr;
    characters.Clear();  // they release their animations
    FreeAnimations();
  }
  CharacterList characters;
};

CHARACTERRECORD Girl() {
  CHARACTERRECORD c;
  kis::StrCopy(c.name, kCharacterNameSize, u"girl");
  c.id = 1;
  c.gridId = 0x20000000u;
  c.hit[0] = -20, c.hit[1] = -90, c.hit[2] = 20, c.hit[3] = 4;
  c.foot[0] = 12, c.foot[1] = 6, c.foot[2] = 12, c.foot[3] = 6;
  c.speed = 2.5f;
  c.idleIndex = 0;
  c.walkIndex = 1;
  c.skins = {{u"girl_idle", u"GIRL_WALK", u"girl_dig"}, {u"girl_idle", u"girl_walk"}};
  return c;
}

CHARACTERRECORD Bee(u32 id, bool shadow) {
  CHARACTERRECORD c;
  kis::StrCopy(c.name, kCharacterNameSize, id == 4 ? u"bee" : u"bee_swarm");
  c.id = id;
  c.skins = {{u"bee_fly"}};
  c.hasShadow = shadow;
  kis::StrCopy(c.shadow.name, kSpriteNameSize, u"round_shadow");
  c.shadow.width = 40, c.shadow.height = 16, c.shadow.pivotX = 0.5f, c.shadow.pivotY = 0.5f, c.shadow.alpha = 0.6f;
  return c;
}

// Into the list, installed as the game's (the rig's sprite sets reset the
// services).
SectionCursor ReadCharacters(ContentRig& rig, CharacterList& list, bool yielding) {
  GetContentServices().characters = &list;
  return rig.Read([&](auto* reader, SectionCursor* c) { return LoadCharacters(&list, reader, c, 0.0f, 1.0f); },
                  yielding);
}

// The section's bytes written again from what was read.
std::vector<u8> WrittenAgain() {
  std::vector<CHARACTERRECORD> again;
  const kis::list<GameCharacter*>& list = GetCharacters();
  for (i32 i = 0; i < list.GetCount(); ++i) {
    const GameCharacter* g = list[i];
    CHARACTERRECORD c;
    kis::StrCopy(c.name, kCharacterNameSize, g->name);
    c.id = g->id, c.gridId = g->gridId, c.speed = g->speed, c.idleIndex = g->idleIndex, c.walkIndex = g->walkIndex;
    for (u32 k = 0; k < 4; ++k) c.hit[k] = g->hit[k], c.foot[k] = g->foot[k];
    for (i32 s = 0; s < g->GetSkinCount(); ++s) {
      c.skins.emplace_back();
      for (i32 e = 0; e < g->GetSkinSize(s); ++e) c.skins.back().push_back(g->GetEntry(s, e)->GetName());
    }
    if (const SHADOWDATA* d = g->GetShadow()) {
      c.hasShadow = true;
      kis::StrCopy(c.shadow.name, kSpriteNameSize, u"round_shadow");
      c.shadow.width = d->width, c.shadow.height = d->height, c.shadow.pivotX = d->pivotX;
      c.shadow.pivotY = d->pivotY, c.shadow.alpha = d->alpha;
    }
    again.push_back(c);
  }
  return CharacterSectionBody(again);
}

}  // namespace

TEST(CharacterSection, ReadsBackEqualAtOnceAndYieldingAfterEveryRecord) {
  for (bool yielding : {false, true}) {
    Animations anims;
    ContentRig rig;
    std::vector<CHARACTERRECORD> written = {Girl(), Bee(4, true), Bee(5, false)};
    written[0].skins[0][1] = u"girl_walk";  // written back with the animation's own spelling
    std::vector<CHARACTERRECORD> source = written;
    source[0].skins[0][1] = u"GIRL_WALK";
    const std::vector<u8> body = CharacterSectionBody(source);
    ASSERT_TRUE(rig.WriteData({{kCharacterSectionId, kCharacterSectionSubId, body}}));
    const SectionCursor c = ReadCharacters(rig, anims.characters, yielding);
    EXPECT_EQ(c.error, 0u);
    EXPECT_EQ(c.done, 3u);
    EXPECT_EQ(rig.yields, yielding ? 3u : 0u);
    EXPECT_EQ(WrittenAgain(), CharacterSectionBody(written));

    GameCharacter* girl = FindCharacterByName(GetCharacters(), u"GIRL");
    ASSERT_NE(girl, nullptr);
    EXPECT_EQ(FindCharInfo(GetCharacters(), 1), girl);
    EXPECT_EQ(FindCharInfo(GetCharacters(), 0), nullptr);
    EXPECT_EQ(FindCharacterByName(GetCharacters(), u""), nullptr);
    EXPECT_EQ(girl->FindAnimation(0, u"Girl_Dig"), girl->GetEntry(0, 2));
    EXPECT_EQ(girl->FindAnimation(1, u"girl_dig"), nullptr);
    EXPECT_EQ(girl->FindAnimation(2, u"girl_idle"), nullptr);
    EXPECT_EQ(girl->FindAnimation(0, u""), nullptr);
    EXPECT_EQ(girl->GetCharAnimation(1), FindAnimation(GetAnimations(), u"girl_idle"));
    EXPECT_EQ(girl->GetCharAnimation(-1), nullptr);
    EXPECT_EQ(std::u16string(girl->GetWalkAnimation(1)), u"girl_walk");
    EXPECT_EQ(girl->GetWalkAnimation(2), nullptr);
    girl->SetSkinCount(0);  // a description with no skins plays nothing
    EXPECT_EQ(girl->GetCharAnimation(0), nullptr);
  }
}

TEST(CharacterSection, UnknownNamesBadCountsAndShortRecordsAreDataErrors) {
  struct Case {
    const char* what;
    std::vector<u8> body;
    u32 kept;  // descriptions left in the list
  };
  const std::vector<u8> good = CharacterSectionBody({Girl(), Bee(4, true)});
  const u32 beeAt = static_cast<u32>(CharacterSectionBody({Girl()}).size());
  auto patched = [&](u32 at, u32 value) {
    std::vector<u8> b = good;
    kis::PutU32LE(b.data() + at, value);
    return b;
  };
  CHARACTERRECORD unknown = Bee(4, false);
  unknown.skins[0].push_back(u"bee_sting");
  CHARACTERRECORD manySkins = Bee(4, false);
  manySkins.skins.resize(kMaxCharacterSkins + 1);
  CHARACTERRECORD manyNames = Bee(4, false);
  manyNames.skins[0].assign(kMaxSkinAnimations + 1, u"bee_fly");
  CHARACTERRECORD nan = Bee(4, false);
  nan.speed = std::numeric_limits<float>::quiet_NaN();
  std::vector<u8> flagged = CharacterSectionBody({Bee(4, false)});
  kis::PutU32LE(flagged.data() + flagged.size() - 4, 1);
  const Case cases[] = {
      {"unknown animation", CharacterSectionBody({Girl(), unknown}), 1},
      {"too many skins", CharacterSectionBody({Girl(), manySkins}), 1},
      {"too many names", CharacterSectionBody({Girl(), manyNames}), 1},
      {"speed not a number", CharacterSectionBody({Girl(), nan}), 1},
      {"skin count past the bytes", patched(beeAt + 100, 9), 1},
      {"name count past the bytes", patched(beeAt + kCharacterRecordSize, 0x40000000u), 1},
      {"count past the bytes", patched(0, 0xFFFFFFFFu), 0},
      {"shadow cut short", std::vector<u8>(good.begin(), good.end() - 10), 1},
      {"shadow flag without a shadow", flagged, 0},
      {"one record too few", patched(0, 3), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Animations anims;
    ContentRig rig;
    ASSERT_TRUE(rig.WriteData({{kCharacterSectionId, kCharacterSectionSubId, c.body}}));
    EXPECT_EQ(ReadCharacters(rig, anims.characters, false).error, 1u);
    EXPECT_EQ(static_cast<u32>(GetCharacters().GetCount()), c.kept);
  }
  Animations anims;
  ContentRig rig;
  ASSERT_TRUE(rig.WriteData({}));
  EXPECT_EQ(ReadCharacters(rig, anims.characters, false).error, 1u) << "a missing section";
  ASSERT_TRUE(rig.WriteData({{kCharacterSectionId, kCharacterSectionSubId, good}}));
  const SectionCursor none = rig.Read([](auto* r, SectionCursor* c) { return LoadCharacters(nullptr, r, c, 0, 1); });
  EXPECT_EQ(none.error, 1u) << "no list to read into";
  EXPECT_EQ(none.done, 0u);
}

TEST(CharacterSection, InitialisingFourCarriesFiveAlongAndReleasesMatch) {
  Animations anims;
  GameAnimation* fly = FindAnimation(GetAnimations(), u"bee_fly");
  GameAnimation* dig = FindAnimation(GetAnimations(), u"girl_dig");
  auto* four = new GameCharacter(u"bee", 4, 0);
  auto* five = new GameCharacter(u"bee_swarm", 5, 0);
  anims.characters.Add(four);
  anims.characters.Add(five);
  four->SetSkinCount(1);
  four->AddToSkin(0, fly);
  five->SetSkinCount(2);
  five->AddToSkin(1, dig);
  four->AddToSkin(3, dig);  // out of range: nothing
  four->Init();
  four->Init();
  EXPECT_EQ(four->GetInitCount(), 2);
  EXPECT_EQ(five->GetInitCount(), 2);
  EXPECT_EQ(fly->GetInitCount(), 1);
  EXPECT_EQ(dig->GetInitCount(), 1);
  five->Init();
  four->Release(false);
  EXPECT_EQ(five->GetInitCount(), 2);
  four->Release(false);
  EXPECT_EQ(fly->GetInitCount(), 0);
  EXPECT_EQ(dig->GetInitCount(), 1) << "five still holds its own";
  five->Release(true);
  EXPECT_EQ(dig->GetInitCount(), 0);

  // Five is carried along only from the game's list: out of it, four goes alone.
  CharacterList other;
  GetContentServices().characters = &other;
  EXPECT_EQ(GetCharacters().GetCount(), 0);
  four->Init();
  EXPECT_EQ(five->GetInitCount(), 0);
  EXPECT_EQ(fly->GetInitCount(), 1);
  GetContentServices().characters = &anims.characters;
  four->Release(false);  // five's count stays at 0 rather than going under
  EXPECT_EQ(five->GetInitCount(), 0);
  EXPECT_EQ(fly->GetInitCount(), 0);
  // The list deletes what it holds; initialised ones release their animations first.
  four->Init();
  EXPECT_EQ(dig->GetInitCount(), 1);
  anims.characters.Clear();
  EXPECT_EQ(GetCharacters().GetCount(), 0);
  EXPECT_EQ(fly->GetInitCount(), 0);
  EXPECT_EQ(dig->GetInitCount(), 0);
}
