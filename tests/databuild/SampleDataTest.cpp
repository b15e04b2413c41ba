// The sample data set as the builder wrote it (the CTest fixture): every
// section read back through the game's own readers, the first two levels
// as the campaign starts them, every name of the manifest found where the
// game looks for it, and the sounds audible, unclipped and, where they loop, seamless.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Manifest.h"
#include "PictureCatalog.h"
#include "StoredSounds.h"
#include "base/datafile/DataFileReader.h"
#include "content/AwardTable.h"
#include "content/BuildingTable.h"
#include "content/CharacterSection.h"
#include "content/ComixSection.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/GameBonuses.h"
#include "content/GameCharacter.h"
#include "content/GarbageList.h"
#include "content/GroundList.h"
#include "content/KindSections.h"
#include "content/LevelTable.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "content/ProfileProgress.h"
#include "content/VillainList.h"
#include "engine/DXLTexture.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/TextServices.h"
#include "windows/ComixWindow.h"
#include "platform/audio/AudioByteSource.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/audio/AudioOggSource.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/encoding/Utf.h"
#include "base/Identifier.h"
#include "resources/AnimationSection.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/MapSprite.h"
#include "resources/ParticleLibrary.h"
#include "resources/SoundSections.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "testsupport/SpriteRig.h"

namespace {

// The levels the sample data set describes: those with a level file
// ("levels/level_NN.txt", NN from 01).
bool DescribedLevel(u32 i) {
  char name[32];
  std::snprintf(name, sizeof name, "/levels/level_%02u.txt", i + 1);
  return std::filesystem::exists(std::string(TM_DATA_SOURCE_DIR) + name);
}

const std::string kSampleData = TM_SAMPLE_DATA_DIR;

kis::DataFileReaderW* OpenArchive(const char* file, u32 sig1, u32 sig2, u32 version) {
  const std::u16string path = plat::Utf8ToUtf16(kSampleData + "/" + file);
  return kis::OpenDataFileReaderW(path.c_str(), sig1, sig2, version);
}

std::u16string Wide(const std::string& s) { return plat::Utf8ToUtf16(s); }

// A resumable reader called until it finishes; its cursor.
template <class Read>
SectionCursor ReadAll(Read read) {
  SectionCursor cursor;
  for (int calls = 0; read(&cursor) == 0 && calls < 100000; ++calls) {
  }
  return cursor;
}

// The world of the game's readers: the sprite sets read from "Sprites.dat",
// the sound settings on the offline output with "Sounds.dat" read, and
// "Data.dat" open.
class SampleData : public ::testing::Test {
 protected:
  void SetUp() override {
    sprites_.reader = OpenArchive("Sprites.dat", kSpriteArchiveSignature1, kSpriteArchiveSignature2,
                                  kSpriteArchiveVersion);
    ASSERT_NE(sprites_.reader, nullptr);
    ASSERT_TRUE(sprites_.LoadAll());
    SoundSettings& sound = GetSoundSettings();
    ASSERT_TRUE(sound.Init(std::make_unique<plat::audio::SoftBackend>(std::make_unique<plat::audio::OfflineOutput>(false))));
    kis::DataFileReaderW* sounds =
        OpenArchive("Sounds.dat", kSoundArchiveSignature1, kSoundArchiveSignature2, kSoundArchiveVersion);
    ASSERT_NE(sounds, nullptr);
    EXPECT_EQ(ReadAll([&](SectionCursor* c) { return LoadMusic(sounds, c); }).error, 0u);
    EXPECT_EQ(ReadAll([&](SectionCursor* c) { return LoadSounds(sounds, c); }).error, 0u);
    kis::CloseDataFile(sounds);
    data_ = OpenArchive("Data.dat", kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
    ASSERT_NE(data_, nullptr);
    GetContentServices().characters = &characters_;
  }
  void TearDown() override {
    GetContentServices().characters = nullptr;
    characters_.Clear();
    FreeAnimations();
    FreeParticleLibrary();
    kis::CloseDataFile(data_);
    GetSoundSettings().Shutdown();
  }

  // The particle systems and the animations, as the start-up loader reads them.
  void ReadMotion() {
    ExpectReads("PART", [](auto* r, SectionCursor* c) { return LoadParticleSystems(r, c); });
    ExpectReads("ANIM", [](auto* r, SectionCursor* c) { return LoadAnimations(r, c, 0.0f, 1.0f); });
    ExpectReads("CHQR", [](auto* r, SectionCursor* c) { return LoadCharacters(GetContentServices().characters, r, c, 0.0f, 1.0f); });
  }

  template <class Read>
  void ExpectReads(const char* what, Read read) {
    const SectionCursor c = ReadAll([&](SectionCursor* cursor) { return read(data_, cursor); });
    EXPECT_EQ(c.error, 0u) << what;
  }

  spritetest::SpriteRig sprites_;
  kis::DataFileReaderW* data_ = nullptr;
  CharacterList characters_;  // the game's descriptions
};

TEST_F(SampleData, EverySectionReadsBackThroughTheGameReadersAndFindsItsPictures) {
  EXPECT_TRUE(data_->HasSection(kConstantsSectionId, kConstantsSectionSubId));

  GameBonuses bonuses;
  ExpectReads("BONS", [&](auto* r, SectionCursor* c) { return bonuses.ReadSection(r, c); });
  bonuses.LoadIcons();
  for (u32 i = 0; i < kBonusCount; ++i) {
    EXPECT_NE(bonuses.Get(i).icon, nullptr) << i;
    EXPECT_NE(bonuses.GetBigIcon(i), nullptr) << i;
    EXPECT_NE(bonuses.Get(i).sound, 0u) << i;
  }
  bonuses.LoadBonus(kBonusBees);
  bonuses.LoadBonus(kBonusRain);
  EXPECT_NE(bonuses.GetBees(), nullptr);
  EXPECT_NE(bonuses.GetBeesAttack(), nullptr);
  EXPECT_EQ(bonuses.GetRainImageCount(), kMaxRainImages);

  GroundList grounds;
  ExpectReads("GRND", [&](auto* r, SectionCursor* c) { return grounds.ReadSection(r, c); });
  ASSERT_GE(grounds.GetCount(), 4u);
  for (u32 i = 0; i < grounds.GetCount(); ++i) {
    grounds.Acquire(grounds.Get(i));
    EXPECT_NE(grounds.Get(i)->sprite, nullptr) << i;
    EXPECT_NE(grounds.MakeTile(0, 0, 0, grounds.Get(i), false), nullptr) << i;
  }

  ReadMotion();
  GarbageList garbage;
  ExpectReads("LPNT", [&](auto* r, SectionCursor* c) { return LoadGarbageDefinitions(&garbage, r, c); });
  ASSERT_EQ(garbage.GetCount(), 5u);
  garbage.LoadPointSprites(nullptr);
  u32 emitters = 0;
  for (u32 i = 0; i < garbage.GetCount(); ++i) {
    const GARBAGEINFO* g = garbage.Get(i);
    EXPECT_NE(g->mapSprites[0], nullptr) << i;
    for (u32 k = 0; k < g->particleCount; ++k, ++emitters)
      EXPECT_NE(FindParticleSystem(g->particles[k].systemId), nullptr) << i << " " << k;
  }
  EXPECT_GT(emitters, 0u);

  ProductList products;
  ExpectReads("PROD", [&](auto* r, SectionCursor* c) { return products.ReadSection(r, c); });
  products.ResolveIngredients();
  ASSERT_EQ(products.GetCount(), 11u);
  PRODUCT* bread = products.FindByName(u"bread");
  ASSERT_NE(bread, nullptr);
  EXPECT_EQ(bread->ingredientCount, 2u);
  EXPECT_EQ(bread->ingredientProducts[0], products.FindByName(u"flour"));
  for (u32 i = 0; i < products.GetCount(); ++i) {
    PRODUCT* p = products.Get(i);
    products.LoadProduct(p);
    EXPECT_TRUE(p->icon && p->icon2 && p->mapSprite) << i;
  }
  // A laid egg shows frame 2r, or 2r + 1 on a marked point: its map sprite
  // comes in whole pairs.
  Sprite* laid = products.FindByName(u"egg")->mapSprite->GetSprite();
  ASSERT_NE(laid, nullptr);
  laid->Init();
  EXPECT_GE(laid->GetFrameCount(), 2);
  EXPECT_EQ(laid->GetFrameCount() % 2, 0);

  // The level objects' kinds, their products found in the list read above;
  // each enabled for a level finds its panel pictures.
  GetContentServices().products = &products;
  PlantTable plants;
  BuildingTable buildings;
  VillainList villains;
  ExpectReads("PLNT", [&](auto* r, SectionCursor* c) { return plants.ReadSection(r, c); });
  ExpectReads("BLDN", [&](auto* r, SectionCursor* c) { return buildings.ReadSection(r, c); });
  ExpectReads("VLNS", [&](auto* r, SectionCursor* c) { return villains.ReadSection(r, c); });
  EXPECT_EQ(plants.GetCount(), 3u);
  EXPECT_EQ(plants.GetBedLookCount(), 2u);
  EXPECT_GT(plants.GetTiming(kTimingPulldown), 0u);
  for (const wchar* name : {u"wheat", u"beta", u"apple_tree"}) {
    PLANT* p = plants.FindPlantByName(name);
    ASSERT_NE(p, nullptr);
    plants.UsePlant(p, 2);
    EXPECT_TRUE(p->picture && p->icon && p->crop && p->product);
    EXPECT_TRUE(p->product->used);
  }
  EXPECT_EQ(plants.FindPlantByName(u"apple_tree")->kind, kPlantTree);
  ASSERT_EQ(buildings.GetCount(), 9u);
  for (u32 i = 0; i < buildings.GetCount(); ++i) {
    BUILDING* b = buildings.Get(i);
    b->EnableForLevel(b->levelCount);
    EXPECT_NE(b->site, nullptr) << i;
    EXPECT_NE(b->levels[0].buildIcon, nullptr) << i;
    for (i32 l = 0; l < b->levelCount; ++l) EXPECT_TRUE(b->levels[l].icon && b->levels[l].mapSprite) << i << " " << l;
  }
  const BUILDING* warehouse = buildings.FindBuildingByName(u"warehouse");
  ASSERT_NE(warehouse, nullptr);
  EXPECT_EQ(warehouse->levelCount, 4);
  EXPECT_EQ(products.GetCapacity(products.FindByName(u"wheat"), 1), 0);  // no building list installed
  EXPECT_EQ(warehouse->GetCapacity(1), 10);
  EXPECT_NE(buildings.FindBuildingByName(u"henhouse")->nest, nullptr);
  // Pies are made of flour and eggs: with the mill and the chicken house on
  // the level, both factories can work.
  EXPECT_TRUE(buildings.FindBuildingByName(u"prod_flour")->IsAvailable());
  EXPECT_TRUE(buildings.FindBuildingByName(u"prod_pie")->IsAvailable());
  // Every factory makes its product at four levels, each dearer than the
  // last, each working (its animation's frames found) and smoking or steaming.
  const std::pair<const wchar*, const wchar*> factories[] = {{u"prod_flour", u"flour"},
                                                             {u"prod_pie", u"pie"},
                                                             {u"prod_bread", u"bread"},
                                                             {u"prod_cheese", u"cheese"},
                                                             {u"prod_cloth", u"cloth"}};
  for (const auto& [name, product] : factories) {
    const BUILDING* factory = buildings.FindBuildingByName(name);
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(factory->levelCount, 4);
    EXPECT_EQ(factory->factory.productCount, 1u);
    EXPECT_EQ(factory->factory.products[0], products.FindByName(product)->id);
    EXPECT_NE(GetSoundSettings().FindSound(factory->factory.soundName), 0u);
    for (i32 l = 0; l < factory->levelCount; ++l) {
      const BUILDINGLEVEL& level = factory->levels[l];
      EXPECT_GT(level.price, l > 0 ? factory->levels[l - 1].price : 0) << l;
      ASSERT_GE(level.factory.animationCount, 1u) << l;
      EXPECT_NE(FindMapSpriteIn(kMapSpriteSet, level.factory.animations[0].imageName), nullptr) << l;
      EXPECT_GE(level.emitterCount, 1u) << l;
      for (u32 k = 0; k < level.emitterCount; ++k) EXPECT_NE(FindParticleSystem(level.emitters[k].systemId), nullptr);
    }
  }
  // The new chains' goods: bread of flour and eggs, cheese of milk, cloth of
  // wool; each sells for more than what goes into it.
  for (const wchar* name : {u"bread", u"cheese", u"cloth"}) {
    const PRODUCT* p = products.FindByName(name);
    i32 cost = 0;
    for (u32 k = 0; k < p->ingredientCount; ++k) cost += p->ingredientProducts[k]->price * p->ingredients[k].amount;
    EXPECT_GT(p->price, cost);
  }
  ASSERT_EQ(villains.GetCount(), 2u);
  EXPECT_EQ(villains.Get(0)->skin, 0u);
  EXPECT_EQ(villains.Get(1)->skin, 1u);
  GetContentServices().products = nullptr;

  LevelTable levels;
  ExpectReads("LVLS", [&](auto* r, SectionCursor* c) { return levels.ReadChunk(r, c); });
  for (u32 i = 0; i < kLevelCount; ++i) EXPECT_EQ(levels.Get(i).loaded, DescribedLevel(i)) << i;
  EXPECT_NE(levels.Get(0).emptyPlace, nullptr);
  EXPECT_NE(levels.Get(0).treeSpot, nullptr);

  AwardTable awards;
  ExpectReads("awards", [&](auto* r, SectionCursor* c) { return awards.ReadSection(r, c); });
  awards.LoadIcons();
  for (u32 i = 0; i < kTieredAwardCount; ++i) EXPECT_NE(awards.GetTiered(i).icon, nullptr) << i;
  for (u32 i = 0; i < kRecordAwardCount; ++i) EXPECT_NE(awards.GetRecord(i).icon, nullptr) << i;
  EXPECT_NE(awards.GetTotalPicture(), nullptr);
  EXPECT_EQ(awards.FindTieredByName(u"wheat"), 0);

  // A new profile: tutorials on, the first level of each regime open.
  PROFILEPROGRESS fresh{};
  ExpectReads("PROF", [&](auto* r, SectionCursor* c) { return ReadProfileDefaults(r, c, &fresh); });
  EXPECT_EQ(fresh.size, kProfileProgressSize);
  EXPECT_EQ(fresh.tutorialsOn, 1u);
  for (u32 r = 0; r < kProfileRegimes; ++r) {
    EXPECT_EQ(fresh.selection[r].slots[0], -1);
    for (u32 l = 0; l < kLevelCount; ++l) EXPECT_EQ(fresh.regimes[r].levels[l].state, l == 0 ? kLevelOpen : 0u);
  }
}

// The first two levels are what their tutorials' scripts count on: level
// 1 the warehouse on point 0, clean places on points 1 and 2, wheat its one
// plant and task 0 collecting wheat's product; level 2 mill sites (clean
// places, the flour mill allowed) on points 1 and 2, wheat beds on points 3
// and 4, task 0 an amount of flour. Both play modes; the rest stand on the
// map not loaded.
TEST_F(SampleData, TheFirstTwoLevelsAreTheFarmsTheirTutorialsCountOnAndTheOthersStandOnTheMapNotLoaded) {
  LevelTable levels;
  ExpectReads("LVLS", [&](auto* r, SectionCursor* c) { return levels.ReadChunk(r, c); });
  const u32 wheat = kis::NameIdA("wheat"), flour = kis::NameIdA("flour");
  const u32 warehouse = kis::NameIdA("warehouse"), mill = kis::NameIdA("prod_flour");
  const auto clean = [](const POINTDEF& p) { return p.kind == 0u && p.id == 0u && p.price == 0u; };
  const auto allows = [](const LEVELINFO& l, u32 building) {
    for (u32 i = 0; i < l.buildingCount; ++i)
      if (l.buildings[i].id == building && l.buildings[i].value >= 1) return true;
    return false;
  };
  for (u32 n = 0; n < 2; ++n) {
    const LEVELINFO& l = levels.Get(n);
    ASSERT_GE(l.mapCell, 0) << n;
    EXPECT_EQ(levels.GetGridCell(static_cast<u32>(l.mapCell)), static_cast<i32>(n));
    EXPECT_EQ(l.bonusId, n == 0 ? -1 : static_cast<i32>(kBonusBees)) << "level 2 unlocks the bees";
    ASSERT_GE(l.points.size(), n == 0 ? 3u : 5u);
    EXPECT_EQ(l.points[0].kind, 1u) << n;
    EXPECT_EQ(l.points[0].id, warehouse) << n;
    EXPECT_TRUE(clean(l.points[1]) && clean(l.points[2])) << n;
    ASSERT_GE(l.buildingCount, 1u);
    EXPECT_EQ(l.buildings[0].id, warehouse) << "the warehouse's storage level is the first building's";
    ASSERT_GE(l.plantCount, 1u);
    EXPECT_EQ(l.plants[0].id, wheat);
    EXPECT_FALSE(l.ground.empty());
    for (u32 r = 0; r < kLevelRegimes; ++r) {
      const LEVELREGIME& m = l.regimes[r];
      ASSERT_GE(m.taskCount, 1u) << n << " " << r;
      EXPECT_EQ(m.tasks[0].kind, 1u);
      EXPECT_EQ(m.tasks[0].item, n == 0 ? wheat : flour);
      EXPECT_GT(m.bronze, m.silver);
      EXPECT_GT(m.silver, m.gold);
    }
  }
  const LEVELINFO& first = levels.Get(0);
  EXPECT_EQ(first.plantCount, 1u) << "wheat alone";
  EXPECT_GE(first.startMoney, 2 * 20) << "two beds sown";
  const LEVELINFO& second = levels.Get(1);
  EXPECT_TRUE(allows(second, mill));
  EXPECT_GE(second.startMoney, 2 * 120) << "two mills built";
  for (u32 i : {3u, 4u}) {
    EXPECT_EQ(second.points[i].kind, 2u) << i;
    EXPECT_EQ(second.points[i].id, wheat) << i;
    EXPECT_GE(second.points[i].level, 1) << "sown";
  }
  // Both modes' first task is the three sacks the tutorial's last step waits for.
  EXPECT_EQ(second.regimes[0].tasks[0].target, 3);
  EXPECT_EQ(second.regimes[1].tasks[0].target, 3);
  EXPECT_EQ(levels.GetMedal(0, 0, first.regimes[0].gold), kGradeGold);
  EXPECT_EQ(levels.GetMedal(0, 0, first.regimes[0].bronze + 1), kGradeBronze);
  EXPECT_EQ(levels.GetMedal(1, 0, first.regimes[1].bronze + 1), kGradeFinished);

  // Levels 3 to 5 as their tutorials find them: (level, point) -> kind, id, level.
  struct LaterPoint {
    u32 level, point, kind;
    const char* id;
    i32 pointLevel;
  };
  for (const LaterPoint& p : {LaterPoint{2, 2, 3, "prod_flour", 1}, LaterPoint{2, 3, 2, "wheat", 1},
                              LaterPoint{3, 2, 0, nullptr, 0}, LaterPoint{3, 4, 2, "wheat", 3},
                              LaterPoint{4, 1, 3, "henhouse", 1}, LaterPoint{4, 3, 2, "wheat", 3},
                              LaterPoint{4, 4, 0, nullptr, 0}, LaterPoint{4, 5, 3, "prod_flour", 1}}) {
    const LEVELINFO& l = levels.Get(p.level);
    ASSERT_GT(l.points.size(), p.point) << p.level;
    EXPECT_EQ(l.points[p.point].kind, p.kind) << p.level << " " << p.point;
    if (p.id) {
      EXPECT_EQ(l.points[p.point].id, kis::NameIdA(p.id)) << p.level << " " << p.point;
    }
    EXPECT_EQ(l.points[p.point].level, p.pointLevel) << p.level << " " << p.point;
  }
  EXPECT_TRUE(allows(levels.Get(4), kis::NameIdA("prod_pie")));
  EXPECT_TRUE(allows(levels.Get(3), kis::NameIdA("henhouse")));

  // The others stand on the map with the campaign's cells, not loaded.
  for (u32 i = 5; i < kLevelCount; ++i) {
    const LEVELINFO& l = levels.Get(i);
    if (DescribedLevel(i)) {
      EXPECT_TRUE(l.loaded && !l.points.empty()) << i;
      continue;
    }
    EXPECT_FALSE(l.loaded) << i;
    ASSERT_GE(l.mapCell, 0) << i;
    EXPECT_EQ(levels.GetGridCell(static_cast<u32>(l.mapCell)), static_cast<i32>(i));
    EXPECT_EQ(l.regimes[0].taskCount + l.regimes[1].taskCount + l.plantCount + l.buildingCount, 0u) << i;
    EXPECT_TRUE(l.points.empty() && l.ground.empty()) << i;
  }
}

// A picture of the manifest: found where the game looks for it, its frames
// of its size (an image is one frame).
void ExpectPicture(SpriteSet& set, const ManifestEntry& e) {
  const std::u16string name = Wide(e.name);
  DXLTexture* texture = set.FindTexture(name.c_str());
  ASSERT_NE(texture, nullptr) << "image " << e.set << " " << e.name;
  texture->Load();
  if (e.kind == NameKind::kImage) {
    EXPECT_EQ(texture->GetImageWidth(), static_cast<i32>(e.width)) << e.name;
    EXPECT_EQ(texture->GetImageHeight(), static_cast<i32>(e.height)) << e.name;
    return;
  }
  Sprite* sprite = set.FindSprite(name.c_str());
  ASSERT_NE(sprite, nullptr) << "sprite " << e.set << " " << e.name;
  sprite->Init();
  EXPECT_GE(sprite->GetFrameCount(), 1) << e.name;
  EXPECT_EQ(sprite->GetFrameWidth(), static_cast<i32>(e.width)) << e.name;
  EXPECT_EQ(sprite->GetFrameHeight(), static_cast<i32>(e.height)) << e.name;
  if (e.kind == NameKind::kMapSprite) {
    EXPECT_NE(set.FindMapSprite(name.c_str()), nullptr) << "mapsprite " << e.name;
  }
}

TEST_F(SampleData, EveryNameOfTheManifestResolves) {
  Manifest manifest;
  std::string error;
  ASSERT_TRUE(manifest.Load(std::string(TM_DATA_SOURCE_DIR) + "/names.txt", &error)) << error;
  const std::u16string cache = Wide(kSampleData + "/language.dat");
  GetTextServices().languageViewer = sprites_.rig.viewer.get();
  GameLanguage language(cache.c_str());
  language.Acquire();
  ReadMotion();
  BuildingTable manifestBuildings;  // the building list, for the "building" entries
  ExpectReads("BLDN", [&](auto* r, SectionCursor* c) { return manifestBuildings.ReadSection(r, c); });
  u32 resolved = 0;
  for (const ManifestEntry& e : manifest.Entries()) {
    SCOPED_TRACE(std::string(Manifest::KindName(e.kind)) + " " + e.name + " (names.txt:" + std::to_string(e.line) + ")");
    const std::u16string name = Wide(e.name);
    switch (e.kind) {
      case NameKind::kSpriteSet:
        for (const auto& [dir, sub] : {std::pair{kSpriteImagesId, kSpriteImagesSubId}, std::pair{kSpritesId, kSpritesSubId},
                                       std::pair{kMapSpritesId, kMapSpritesSubId}}) {
          ASSERT_TRUE(sprites_.reader->EnterDirectory(dir, sub));
          EXPECT_TRUE(sprites_.reader->HasSection(dir + e.set, sub));
          ASSERT_TRUE(sprites_.reader->LeaveDirectory());
        }
        break;
      case NameKind::kImage:
      case NameKind::kSprite:
      case NameKind::kMapSprite:
        ExpectPicture(sprites_.Set(e.set), e);
        break;
      case NameKind::kSound:
        EXPECT_NE(GetSoundSettings().FindSound(name.c_str()), 0u);
        break;
      case NameKind::kMusic:
        EXPECT_TRUE(GetSoundSettings().PlayMusic(name.c_str(), true));
        break;
      case NameKind::kBuilding:
        EXPECT_NE(manifestBuildings.FindBuildingByName(name.c_str()), nullptr);
        break;
      case NameKind::kText:
        EXPECT_NE(language.GetText(Wide(e.section).c_str(), name.c_str(), 0, false), nullptr) << e.section;
        break;
      case NameKind::kAnimation: {
        GameAnimation* a = FindAnimation(GetAnimations(), name.c_str());
        ASSERT_NE(a, nullptr);
        a->Init();
        EXPECT_TRUE(a->IsLoaded());
        break;
      }
      case NameKind::kParticles:
        EXPECT_NE(FindParticleSystem(kis::NameIdA(e.name.c_str())), nullptr);
        break;
      case NameKind::kFile:
        EXPECT_TRUE(std::filesystem::is_regular_file(kSampleData + "/" + e.name));
        break;
      case NameKind::kCharacter: {
        const GameCharacter* c = FindCharacterByName(GetCharacters(), name.c_str());
        ASSERT_NE(c, nullptr);
        EXPECT_NE(c->GetCharAnimation(0), nullptr);
        EXPECT_NE(c->GetWalkAnimation(0), nullptr);
        break;
      }
    }
    ++resolved;
  }
  for (u32 i = 0; i < kStandardSoundCount; ++i)
    EXPECT_EQ(GetStandardSound(i) != 0, kStandardSoundNames[i][0] != 0) << "standard sound " << i;
  std::printf("%u manifest names resolve\n", resolved);
  // A level's name: the language's text, then the level's number.
  SetGameLanguage(&language);
  EXPECT_EQ(GetLevelName(0), u"Day 1");
  EXPECT_EQ(GetLevelName(40), u"Day 41");
  SetGameLanguage(nullptr);
  EXPECT_EQ(GetLevelName(40), u"41");
  language.Release();
  GetTextServices().languageViewer = nullptr;
}

// The welcome and the three chapters' comics (after levels 8, 30 and 41):
// every part inside its page, every picture in the comics' set at its size
// with its stamps inside it, and every caption found in the language and
// laid out as the comic window lays it out: inside its picture, a caption
// inside the cream band at the picture's foot.
TEST_F(SampleData, FourComicsEveryPictureFoundEveryCaptionInsideItsPanel) {
  ComixList comics;
  ExpectReads("COMX", [&](auto* r, SectionCursor* c) { return comics.ReadSection(r, c); });
  ASSERT_EQ(comics.GetCount(), 4u);
  const u32 partCounts[] = {3, 4, 5, 6};
  const std::u16string cache = Wide(kSampleData + "/language.dat");
  GetTextServices().languageViewer = sprites_.rig.viewer.get();
  GameLanguage language(cache.c_str());
  language.Acquire();
  SetGameLanguage(&language);
  SpriteSet& set = sprites_.Set(kComixSpriteSet);
  const auto expectSprite = [&](const COMIXENTRY& e, i32 side) {
    Sprite* sprite = set.FindSprite(e.name);
    ASSERT_NE(sprite, nullptr) << plat::Utf16ToUtf8(e.name);
    sprite->Init();
    EXPECT_EQ(sprite->GetFrameWidth(), side) << plat::Utf16ToUtf8(e.name);
    EXPECT_EQ(sprite->GetFrameHeight(), side) << plat::Utf16ToUtf8(e.name);
  };
  for (u32 n = 0; n < comics.GetCount(); ++n) {
    SCOPED_TRACE("comic " + std::to_string(n));
    const ComixPage* page = comics.Get(n);
    ASSERT_EQ(page->parts.size(), partCounts[n]);
    for (const COMIXPART& part : page->parts) {
      EXPECT_GE(part.x, 0);
      EXPECT_GE(part.y, 0);
      EXPECT_LE(part.x + 300, 980);
      EXPECT_LE(part.y + 300, 720);
      ASSERT_EQ(part.pictures.size(), 1u);
      expectSprite(part.pictures[0], 300);
      for (const COMIXENTRY& stamp : part.overlays) {
        expectSprite(stamp, 64);
        EXPECT_TRUE(stamp.x >= 0 && stamp.y >= 0 && stamp.x + 64 <= 300 && stamp.y + 64 <= 300);
      }
      ASSERT_FALSE(part.texts.empty());
      for (const COMIXENTRY& e : part.texts) {
        const COMIXTEXT* c = language.FindComix(e.name);
        EXPECT_TRUE(c && c != &language.GetMissingComix() && c->text) << plat::Utf16ToUtf8(e.name);
      }
      const ComixPart laid(&part, 0);
      ASSERT_EQ(laid.Texts().size(), part.texts.size());
      for (const ComixPart::Text& t : laid.Texts()) {
        const float left = t.x - t.halfWidth - part.x, right = t.x + t.halfWidth - part.x;
        const float top = t.y - t.halfHeight - part.y, bottom = t.y + t.halfHeight - part.y;
        EXPECT_GT(t.halfHeight, 0.0f);
        const bool caption = top >= 228;
        EXPECT_TRUE(left >= (caption ? 18 : 0) && right <= (caption ? 282 : 300)) << left << " " << right;
        EXPECT_TRUE(top >= 0 && bottom <= (caption ? 288 : 228)) << top << " " << bottom;
      }
    }
  }
  SetGameLanguage(nullptr);
  language.Release();
  GetTextServices().languageViewer = nullptr;
}

// Every animation turns through its directions at the default angles, each
// a run of its sprite's row with the feet on one point, and finds its
// sound; every particle system finds its sprite and, started, emits
// particles that live a while.
TEST_F(SampleData, AnimationsPlayInEightDirectionsAndParticleSystemsEmit) {
  ReadMotion();
  ASSERT_GE(GetAnimations().GetCount(), 6);
  for (i32 i = 0; i < GetAnimations().GetCount(); ++i) {
    GameAnimation* a = GetAnimations().Get(i);
    SCOPED_TRACE(plat::Utf16ToUtf8(a->GetName()));
    a->Init();
    ASSERT_TRUE(a->IsLoaded());
    ASSERT_EQ(a->GetDirectionCount(), 8);
    EXPECT_EQ(a->FindDirection(90.0f), 4);  // towards the player
    EXPECT_EQ(a->FindDirection(270.0f), 0);
    const ANIMDIRECTION* first = a->GetDirection(0);
    ASSERT_NE(first->spritePtr, nullptr);
    for (i32 d = 0; d < 8; ++d) {
      const ANIMDIRECTION* dir = a->GetDirection(d);
      EXPECT_EQ(dir->spritePtr, first->spritePtr);
      EXPECT_EQ(dir->first, d * dir->count);
      EXPECT_EQ(dir->offsetX, first->offsetX);
      EXPECT_EQ(dir->offsetY, first->offsetY);
    }
    EXPECT_EQ(first->spritePtr->GetFrameCount(), 8 * first->count);
    EXPECT_GT(a->GetTotalTime(), 0u);
    if (a->GetSoundName()[0]) {
      EXPECT_NE(a->GetSoundId(), 0u);
    }
  }
  GameAnimation* walk = FindAnimation(GetAnimations(), u"girl_walk");
  ASSERT_NE(walk, nullptr);
  EXPECT_EQ(walk->GetMode(), kAnimLoop);

  ASSERT_GE(GetParticleLibrary().systems.size(), 2u);
  for (const auto& system : GetParticleLibrary().systems) {
    SCOPED_TRACE(plat::Utf16ToUtf8(system->sprite));
    Sprite* sprite = GetParticleSpriteSet()->FindSprite(system->sprite);
    ASSERT_NE(sprite, nullptr);
    sprite->Init();  // the start-up loader loads the particle set's pictures
    GPSSpace space(0);
    auto* emitter = new GPSEmiter(&space, system.get(), nullptr, 100.0f, 100.0f);
    emitter->Start();
    u32 most = 0;
    for (int step = 0; step < 15; ++step) {
      space.Update(100.0f);
      most = std::max(most, space.GetParticleCount());
    }
    EXPECT_GT(most, 0u);
  }
}

// The samples and music of "Sounds.dat", decoded from the stored bytes.
struct Decoded {
  std::string name;
  bool loop;
  plat::audio::DecodedSound pcm;
};

void DecodeSection(kis::DataFileReaderW* file, bool samples, std::vector<Decoded>* out) {
  std::vector<StoredSound> stored;
  ASSERT_TRUE(ReadStoredSounds(file, samples, &stored));
  for (const StoredSound& s : stored) {
    Decoded d{s.name, s.loop || !samples, {}};
    EXPECT_TRUE(plat::audio::DecodeOgg(std::make_unique<plat::audio::MemorySource>(s.ogg.data(), s.ogg.size()),
                                       plat::audio::kMixRate, u64{1} << 24, &d.pcm))
        << d.name;
    out->push_back(std::move(d));
  }
}

TEST(SampleSounds, AreAudibleNeverClipAndLoopWithoutASeam) {
  kis::DataFileReaderW* file =
      OpenArchive("Sounds.dat", kSoundArchiveSignature1, kSoundArchiveSignature2, kSoundArchiveVersion);
  ASSERT_NE(file, nullptr);
  std::vector<Decoded> all;
  DecodeSection(file, true, &all);
  const size_t samples = all.size();
  DecodeSection(file, false, &all);  // music loops
  kis::CloseDataFile(file);
  EXPECT_EQ(all.size() - samples, 4u);  // the three level tracks and the title's and map's theme
  for (const Decoded& d : all) {
    SCOPED_TRACE(d.name);
    const std::vector<float>& s = d.pcm.samples;
    ASSERT_GT(d.pcm.Frames(), plat::audio::kMixRate / 50);
    float peak = 0;
    double energy = 0;
    for (const float v : s) {
      peak = std::max(peak, std::fabs(v));
      energy += static_cast<double>(v) * v;
    }
    EXPECT_LT(peak, 0.99f);
    EXPECT_GT(peak, 0.2f);
    EXPECT_GT(std::sqrt(energy / s.size()), 0.01);
    if (!d.loop) continue;
    // Across the seam the wave moves no more than it does anywhere else.
    const u32 ch = d.pcm.channels;
    double largest = 0;
    for (size_t i = ch; i < s.size(); ++i) largest = std::max(largest, static_cast<double>(std::fabs(s[i] - s[i - ch])));
    for (u32 c = 0; c < ch; ++c) EXPECT_LE(std::fabs(s[c] - s[s.size() - ch + c]), largest) << "channel " << c;
  }
}

TEST(Manifest, ReadsKindsSetsAndSizesAndRefusesWhatIsMalformed) {
  Manifest m;
  std::string error;
  ASSERT_TRUE(m.Parse("# comment\n\nspriteset 16\nimage 8 Rain0 256x128  # trailing\nmapsprite 3 bees 64x64\n"
                      "sound click\nmusic music_01\nbuilding warehouse\ntext Messages Warehouse_Full\n"
                      "animation girl_dig\nparticles smoke\n",
                      "t", &error))
      << error;
  ASSERT_EQ(m.Entries().size(), 9u);
  EXPECT_EQ(m.Entries()[6].kind, NameKind::kText);
  EXPECT_EQ(m.Entries()[6].section, "messages");
  EXPECT_EQ(m.Entries()[6].name, "warehouse_full");
  EXPECT_EQ(m.Entries()[7].kind, NameKind::kAnimation);
  EXPECT_EQ(m.Entries()[8].kind, NameKind::kParticles);
  EXPECT_EQ(m.Entries()[0].set, 16u);
  EXPECT_EQ(m.Entries()[1].name, "rain0");
  EXPECT_EQ(m.Entries()[1].width, 256u);
  EXPECT_EQ(m.Entries()[1].height, 128u);
  EXPECT_EQ(m.Entries()[1].line, 4u);
  EXPECT_EQ(m.Entries()[2].kind, NameKind::kMapSprite);
  EXPECT_EQ(m.Entries()[5].kind, NameKind::kBuilding);

  const char* bad[] = {
      "sprite 2 icon\n",            // no size
      "sprite 17 icon 8x8\n",       // no such set
      "sprite 2 icon 0x8\n",        // empty
      "sprite 2 icon 8x5000\n",     // too large
      "sprite 2 ic-on 8x8\n",       // not a name
      "sound a23456789012345678901234567890123\n",  // too long
      "picture 2 icon 8x8\n",       // no such kind
      "sound click extra\n",        // a field too many
      "sound click\nsound CLICK\n", // twice
      "text messages\n",           // no key
      "text mes.sages full\n",     // not a section
      "animation girl_dig 8x8\n",  // an animation has no size
  };
  for (const char* text : bad) {
    EXPECT_FALSE(m.Parse(text, "bad", &error)) << text;
    EXPECT_EQ(error.rfind("bad:", 0), 0u) << error;
  }
}

TEST(PictureCatalog, KeepsOneSizeAndOneFrameLayoutPerName) {
  PictureCatalog c;
  std::string error;
  EXPECT_TRUE(c.Require(6, "Girl_Walk", PictureKind::kSprite, 128, 144, "a", &error, FrameLayout{64, 8}));
  EXPECT_TRUE(c.Require(6, "girl_walk", PictureKind::kSprite, 128, 144, "b", &error));  // open: keeps the layout
  EXPECT_EQ(c.Find(6, "GIRL_WALK")->layout.frames, 64u);
  EXPECT_FALSE(c.Require(6, "girl_walk", PictureKind::kSprite, 128, 144, "c", &error, FrameLayout{32, 8}));
  EXPECT_NE(error.find("64 in rows of 8"), std::string::npos) << error;
  EXPECT_FALSE(c.Require(6, "girl_walk", PictureKind::kSprite, 96, 144, "d", &error));
  EXPECT_TRUE(c.Require(8, "gas", PictureKind::kSprite, 96, 96, "e", &error, FrameLayout{12, 0}));
  EXPECT_EQ(c.Find(8, "gas")->layout.columns, 12u);  // one row
  EXPECT_EQ(c.Count(), 2u);
}

}  // namespace
