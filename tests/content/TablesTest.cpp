// The ground list, the bonuses and the garbage list over their sample
// sections and pictures.
#include <gtest/gtest.h>

#include "ContentSamples.h"
#include "engine/DXLTexture.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/MapSprite.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"

using namespace contenttest;

TEST(GroundList, RecordsLoadTheirSpriteWhileUsedAndMakeTilesOnlyWhenLoaded) {
  ContentRig rig;
  ASSERT_TRUE(rig.WriteData({{kGroundSectionId, kGroundSectionSubId, GroundSection(SampleGrounds())}}));
  GroundList grounds;
  rig.Read([&](auto* r, SectionCursor* c) { return grounds.ReadSection(r, c); });
  GROUND* grass = grounds.Find(70000);
  GROUND* sand = grounds.Find(7);  // its sprite is missing
  ASSERT_TRUE(grass && sand);
  EXPECT_EQ(grounds.Find(0), nullptr);
  EXPECT_EQ(grounds.Find(8), nullptr);
  ASSERT_NE(grass->sprite, nullptr);
  EXPECT_EQ(sand->sprite, nullptr);

  EXPECT_EQ(grounds.MakeTile(0, 0, 0, grass, false), nullptr);  // not loaded yet
  grounds.Acquire(grass);
  grounds.Acquire(grass);
  EXPECT_EQ(grass->sprite->GetInitCount(), 1);
  grounds.Acquire(sand);
  EXPECT_EQ(sand->useCount, 0);
  EXPECT_EQ(grounds.MakeTile(0, 0, 0, sand, false), nullptr);
  EXPECT_EQ(grounds.MakeTile(0, 0, 0, nullptr, false), nullptr);

  auto first = grounds.MakeTile(100, 50, 5, grass, false);
  auto second = grounds.MakeTile(300, 50, 2, grass, true);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->layer, 3);  // above 3 lands in 3
  EXPECT_EQ(second->layer, 2);
  EXPECT_EQ(second->sequence, first->sequence + 1);
  EXPECT_EQ(first->groundId, 70000u);
  EXPECT_EQ(first->texture, grass->sprite->GetTexture());
  EXPECT_EQ(first->effects, nullptr);
  // The tile covers the record's 4 x 4 rectangle at its place (drawn half a
  // pixel up and left, so texel centres fall on pixel centres).
  float minX = 1e9f, maxX = -1e9f;
  for (const DXLVERTEX& v : first->quad.v) {
    minX = std::min(minX, v.x);
    maxX = std::max(maxX, v.x);
  }
  EXPECT_FLOAT_EQ(minX, 99.5f);
  EXPECT_FLOAT_EQ(maxX, 103.5f);

  grounds.Release(grass, false);
  EXPECT_TRUE(grass->sprite->IsLoaded());
  grounds.Acquire(grass);
  grounds.Release(grass, true);
  EXPECT_EQ(grass->useCount, 0);
  EXPECT_FALSE(grass->sprite->IsLoaded());
  grounds.Release(grass, false);  // nothing left to release
  EXPECT_EQ(grass->useCount, 0);
}

TEST(GameBonuses, IconsSoundsAndEffectPicturesLoadOnce) {
  ContentRig rig;
  BONUS sample[kBonusCount];
  SampleBonuses(sample);
  ASSERT_TRUE(rig.WriteData({{kBonusSectionId, kBonusSectionSubId, BonusSection(sample)}}));
  GameBonuses bonuses;
  rig.Read([&](auto* r, SectionCursor* c) { return bonuses.ReadSection(r, c); });
  EXPECT_EQ(bonuses.FindById(0), -1);
  EXPECT_EQ(bonuses.FindByName(u"Rain"), 1);
  EXPECT_EQ(bonuses.FindByName(u"hail"), -1);
  EXPECT_EQ(bonuses.Get(4).effect, 5.5f);

  for (u32 i = 0; i < kStandardSoundCount; ++i) GetSoundSettings().standardSounds[i] = 100 + i;
  bonuses.LoadIcons();
  ASSERT_NE(bonuses.Get(0).icon, nullptr);
  EXPECT_EQ(std::u16string(bonuses.GetBigIcon(0)->GetName()), u"big_bees");
  EXPECT_EQ(bonuses.Get(1).icon, nullptr);
  EXPECT_EQ(bonuses.GetBigIcon(1), nullptr);
  EXPECT_EQ(bonuses.Get(1).sound, 100u + kSoundBonusRain);
  EXPECT_EQ(bonuses.Get(kBonusFactories).sound, 100u + kSoundBonusFactories);
  EXPECT_EQ(bonuses.Get(kBonusAnimalHouses).sound, 100u + kSoundBonusAnimals);
  GetSoundSettings().standardSounds[kSoundBonusBees] = 0;  // no such sample loaded
  bonuses.LoadIcons();
  EXPECT_EQ(bonuses.Get(0).sound, 0u);

  bonuses.LoadBonus(kBonusBees);
  bonuses.LoadBonus(kBonusBees);
  ASSERT_TRUE(bonuses.GetBees() && bonuses.GetBeesAttack());
  EXPECT_EQ(bonuses.GetBees()->GetInitCount(), 1);
  EXPECT_EQ(std::u16string(bonuses.GetBeesAttack()->GetName()), u"bees_attack");
  bonuses.LoadBonus(kBonusRain);
  ASSERT_EQ(bonuses.GetRainImageCount(), 3u);  // rain0 to rain2, then none
  EXPECT_EQ(bonuses.GetRainImage(3), nullptr);
  for (u32 i = 0; i < 3; ++i) {
    EXPECT_EQ(bonuses.GetRainImage(i)->GetDrawState().addressU, plat::gfx::D3DTADDRESS_WRAP);
    EXPECT_EQ(bonuses.GetRainImage(i)->GetDrawState().addressV, plat::gfx::D3DTADDRESS_WRAP);
  }
  bonuses.LoadBonus(kBonusRain);
  EXPECT_EQ(bonuses.GetRainImageCount(), 3u);
}

TEST(GarbageList, GarbageIsFoundByIdAndItsMapSpritesLoadOncePerRecord) {
  ContentRig rig;
  std::vector<GARBAGEINFO> kinds = SampleGarbage();
  kinds.insert(kinds.begin(), GARBAGEINFO{});  // a record of id 0 first: kept, found by no id
  ASSERT_TRUE(rig.WriteData({{kGarbageSectionId, kGarbageSectionSubId, GarbageSection(kinds)}}));
  GarbageList garbage;
  rig.Read([&](auto* r, SectionCursor* c) { return LoadGarbageDefinitions(&garbage, r, c); });
  const GARBAGEINFO* heap = garbage.Find(11);
  ASSERT_NE(heap, nullptr);
  EXPECT_EQ(garbage.GetCount(), 3u);
  EXPECT_EQ(garbage.Find(0), nullptr);
  ASSERT_NE(heap->mapSprites[0], nullptr);
  EXPECT_EQ(heap->mapSprites[1], nullptr);  // its name is nobody's
  EXPECT_EQ(garbage.Find(12)->clearTime, 1000u);
  MapSprite* emptyPlace = GetSpriteSet(kLevelSpriteSet)->FindMapSprite(u"empty_place");
  garbage.LoadPointSprites(emptyPlace);
  garbage.LoadPointSprites(emptyPlace);
  EXPECT_EQ(emptyPlace->GetInitCount(), 2);
  EXPECT_EQ(heap->mapSprites[0]->GetInitCount(), 1);
  EXPECT_TRUE(heap->loaded);
}
