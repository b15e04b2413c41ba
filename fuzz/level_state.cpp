// The saved level's reader on arbitrary saved states: a small level (two
// heaps of garbage, a warehouse that can be poisoned, a chicken house, a
// wheat bed being dug, a planted one and an apple tree; the player with her
// work animations, a villain slot with the level objects' own villains) is
// rebuilt and restored from the input; an accepted state
// is played a few ticks, saved again and cleared, a refused one must leave a
// cleared level. Input: level time (u32), the 16-byte level block, the data
// size (u32), the data, then the records.
//
// TM_LEVEL_STATE_SEED=<file> writes a valid saved level (the first bed
// dug, a heap being cleared, a repair, a walk, a watering, a harvest and an
// upgrade queued, damage with puffs, the beds and the tree growing, a
// villain firing with a shot in flight) to the file at start-up: the seed
// of the corpus; and beside it FILE.henN, the level with its chicken house
// fed and in phase N (0 to 4; its chickens and their jobs, the eggs and the
// player's take-eggs job at 4); FILE.mill, the level with a flour mill at
// level 2 after its other points, grinding in both slots; FILE.mill_upgrade,
// the same with the player upgrading the mill, in her build animation;
// FILE.shedN, the level with a cow shed and a sheep pen of level 2 after
// its other points, both fed: 0 growing (the sheep grazing), 1 both ready
// (the cows calling, a sheep bleating), 2 the player milking inside the
// shed, 3 her walking out of it, 4 her shearing. An input is tried on the
// level without the mill, then on the one with it, then on the one with
// the shed and the pen.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ScratchFile.h"
#include "app/GameWorld.h"
#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "base/Identifier.h"
#include "base/LittleEndian.h"
#include "base/SavedStateStore.h"
#include "base/Strings.h"
#include "base/datafile/DataFileReader.h"
#include "content/BuildingTable.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/ContentWriter.h"
#include "content/GameCharacter.h"
#include "content/LevelInfo.h"
#include "content/ProductList.h"
#include "content/VillainList.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/characters/Job.h"
#include "level/characters/Job_GoTo.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPoint.h"
#include "level/map/LevelPointCare.h"
#include "level/map/LevelPointMaker.h"
#include "level/rules/LevelRules.h"
#include "level/state/LevelState.h"
#include "level/characters/MapPlayer.h"
#include "level/map/PointClasses.h"
#include "level/objects/Job_Build.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointCowshed.h"
#include "level/objects/PointHenhouse.h"
#include "level/objects/PointSheepRack.h"
#include "level/objects/MapSheep.h"
#include "level/objects/LevelVillainCast.h"
#include "level/objects/MapVillain.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/LevelObjectClasses.h"
#include "level/objects/PlantJobs.h"
#include "platform/encoding/Utf.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "resources/GameAnimation.h"
#include "resources/ResourceServices.h"
#include "testsupport/KindTables.h"

namespace {

constexpr u32 kHeap = 7;
constexpr u32 kVillain = 77;

struct Warehouse : LevelPoint {
  explicit Warehouse(LevelMap& map) : LevelPoint(map) { kind_ = kPointKindWarehouse; }
  ~Warehouse() override { Shutdown(false, true, 0); }
  bool SetLevel(i32 level, bool, u32) override {
    level_ = level;
    return level >= 0 && level < 10;
  }
  i32 KindQuery() const override { return 0; }
  void GetWorkOffset(POINTPOS* out) const override { out->x = out->y = 0; }
  bool CanBeDamaged() const override { return level_ > 0; }
};

// The level objects' classes, with a warehouse of its own.
struct Classes : LevelObjectClasses {
  LevelPoint* CreatePoint(LevelMap& map, PointClass c, void* record) override {
    return c == kPointWarehouse ? new Warehouse(map) : LevelObjectClasses::CreatePoint(map, c, record);
  }
};

struct Villains : DamageSources {
  const DAMAGESOURCE* FindDamageSource(u32 id) const override { return id == kVillain ? &source : nullptr; }
  DAMAGESOURCE source{kVillain, 20000};
};

struct Store : kis::SavedStateStore {
  ~Store() override { delete slot; }
  kis::DataBuffer** Slot(u32 mode, u32 level) override { return mode == 0 && level == 0 ? &slot : nullptr; }
  kis::DataBuffer* slot = nullptr;
};

POINTDEF Heap(i32 x, i32 y) { return POINTDEF{0, 0, kHeap, 100, {0, 0}, x, y, 0}; }
// Wheat, and flour ground of two wheat in 10 s.
std::vector<PRODUCT> Products() {
  std::vector<PRODUCT> v(2);
  const wchar* names[] = {u"wheat", u"flour"};
  for (u32 i = 0; i < 2; ++i) {
    kis::StrCopy(v[i].name, kProductNameSize, names[i]);
    v[i].id = kis::NameId(names[i]);
    v[i].number = i + 1;
    v[i].awardIndex = -1;
  }
  v[0].price = 2;
  v[1].price = 10;
  v[1].productionTime = 10000;
  v[1].ingredientCount = 1;
  v[1].ingredients[0] = INGREDIENT{v[0].id, 2};
  return v;
}
POINTDEF Plant(const wchar* name, i32 level, i32 x, i32 y) {
  return POINTDEF{2, level, kis::NameId(name), 0, {0, 0}, x, y, 0};
}

class World : public LevelStateHost {
 public:
  World() : care_(&villains_) {
    ResetAllServices();
    // The plant kinds first: their tables' install leaves the buildings and
    // villains to the henhouse and villain kinds set below.
    kinds_.Load({testsupport::KindPlant(u"wheat"), testsupport::KindPlant(u"apple_tree", 50, true)}, {});
    for (u32 i = 0; i < kinds_.plants.GetCount(); ++i) {
      PLANT* plant = kinds_.plants.Get(i);
      plant->growthTime = 2000;
      plant->waterMin = 1;
      plant->waterMax = 3;
      for (u32& t : plant->digTimes) t = 500;
    }
    kinds_.EnableAll(4);
    GetContentServices().garbage = &garbage_;
    clockInstalled_.emplace(plat::PlatformServices{.clock = &clock_});
    ReadGarbage();
    GetContentServices().characters = &descriptions_;
    GetContentServices().villains = &villainKinds_;
    GetContentServices().products = &products_;
    MakeGirl();
    ReadHenhouse();
    MakeVillain();
    info_.startMoney = 300;
    for (float& f : info_.baseRates) f = 1.0f;
    info_.regimes[0].taskCount = 1;
    info_.regimes[0].tasks[0] = LEVELTASK{4, 0, 0, 3};
    info_.regimes[0].bronze = 180000;
    info_.points = {Heap(300, 300), Heap(900, 300), POINTDEF{1, 2, 0, 0, {0, 0}, 640, 200, 0},
                    POINTDEF{3, 3, kis::NameId(kHenhouseName), 0, {0, 0}, 400, 420, 0},
                    Plant(u"wheat", 0, 300, 500), Plant(u"wheat", 1, 500, 500), Plant(u"apple_tree", 2, 900, 500)};
    basePoints_ = info_.points.size();
    info_.waves = {{-1, 5, 100}, {-1, 5, 200}};
    info_.firstRepeatWave = 1;
    info_.repeatLength = 1;
    info_.playerX = 640;
    info_.playerY = 560;
    info_.villainSlotCount = 2;
    info_.villainSlots[0] = VILLAINSLOT{1100, 500, 900, 420, 6};
    info_.villainSlots[1] = VILLAINSLOT{100, 500, 300, 420, 2};
    rules_ = std::make_unique<LevelRules>(0, 0, &info_, LevelHooks{});
    map_ = std::make_unique<LevelMap>(rules_.get(), LevelMapHooks{&classes_, nullptr, nullptr, &care_});
    characters_ = std::make_unique<LevelCharacters>(*map_, rules_.get(), nullptr, kLevelWidth, kLevelHeight);
    map_->SetPathFinder(characters_->Paths().GetPathFinder());
    cast_.Bind(map_.get());
  }
  ~World() override {
    ClearLevel();
    cast_.Bind(nullptr);
    map_->DeleteAllObjects();  // their obstacles leave the characters' path finder
    characters_.reset();
    map_.reset();
    rules_.reset();
    GetContentServices().garbage = nullptr;
    GetContentServices().buildings = nullptr;
    GetContentServices().characters = nullptr;
    GetContentServices().villains = nullptr;
    GetContentServices().products = nullptr;
    kinds_.Uninstall();
    descriptions_.Clear();
    FreeAnimations();
    clockInstalled_.reset();
  }

  void StartNew() {
    RebuildLevel();
    map_->SetPointCount(static_cast<i32>(info_.points.size()));
    for (size_t i = 0; i < info_.points.size(); ++i) {
      const POINTDEF& d = info_.points[i];
      POINTPARAMS p;
      p.kind = d.kind;
      p.level = d.level;
      p.id = d.id;
      p.price = d.price;
      p.extra[0] = d.extra[0];
      p.extra[1] = d.extra[1];
      map_->Points().MakePoint(static_cast<i32>(i), p, false);
    }
    rules_->StartNew();
    rules_->StartPlay();
  }
  void Tick() {
    GetResourceServices().clock += 10;
    cast_.UpdateShots(10);
    for (i32 i = 0; i < map_->GetPointCount(); ++i)
      if (BaseLevelPoint* p = map_->GetPoint(i)) p->Update(10);
    characters_->Update();
    map_->PurgeDisposed(0);
    map_->PurgeDisposed(1);
  }
  // A level mid-play, saved into the store.
  bool SaveSeed() {
    StartNew();
    auto* place = static_cast<EmptyLevelPoint*>(map_->GetPoint(0));
    place->StartClearing();
    AddDamage(*map_, 2, &villains_.source, false);
    for (i32 i = 0; i < 400 && !(player_->GetCurrentJob() && player_->GetCurrentJob()->GetState() == kJobAnimating);
         ++i)
      Tick();
    for (i32 i = 0; i < 30; ++i) Tick();
    StartRepair(map_->GetPoint(2));
    new Job_GoTo(player_, 1000, 600, 0.0f, false);
    // A villain firing at the warehouse with a shot in flight, another walking in.
    cast_.SpawnVillain(0, info_.villainSlots[0], kis::NameId(u"raider"));
    for (i32 i = 0; i < 3000 && cast_.GetShots().empty(); ++i) Tick();
    for (i32 i = 0; i < 10; ++i) Tick();
    cast_.SpawnVillain(1, info_.villainSlots[1], kis::NameId(u"raider"));
    for (i32 i = 0; i < 5; ++i) Tick();
    auto* bed = static_cast<BasePointPlant*>(map_->GetPoint(5));
    bed->SetWater(0, 2, false);
    new Job_Water(player_, bed);
    Job_Plant::Create(*bed);
    new Job_Harvest(player_, static_cast<BasePointPlant*>(map_->GetPoint(6)));
    return SaveLevelState(*this);
  }
  void Run(const uint8_t* data, size_t size) {
    if (size < 24) return;
    auto* b = new kis::DataBuffer;
    b->headerSize = kis::kDataBufferHeaderSize;
    b->levelTime = kis::GetU32LE(data);
    std::memcpy(b->levelBlock, data + 4, 16);
    const u32 dataSize = kis::GetU32LE(data + 20);
    data += 24;
    size -= 24;
    const size_t inData = dataSize < size ? dataSize : size;
    if (!b->GrowData(inData + 1) || !b->GrowRecords(size - inData + 1)) {
      delete b;
      return;
    }
    std::memcpy(b->Data(), data, inData);
    std::memcpy(b->Records(), data + inData, size - inData);
    b->dataSize = static_cast<u32>(inData);
    b->recordSize = static_cast<u32>(size - inData);
    // A refused state leaves the store empty: each layout gets a copy.
    for (const Layout layout : {Layout::kBase, Layout::kMill, Layout::kSheds}) {
      delete store_.slot;
      store_.slot = Copy(*b);
      if (!store_.slot) break;
      WithLayout(layout);
      const bool restored = Restore();
      WithLayout(Layout::kBase);
      if (restored) break;
    }
    delete b;
  }
  // Restores the stored state, plays it, saves it again and clears the level.
  bool Restore() {
    if (LoadLevelState(*this)) {
      restored_ = true;
      for (i32 i = 0; i < 20; ++i) Tick();
      SaveLevelState(*this);
      ClearLevel();
      return true;
    }
    if (map_->GetPointCount() != 0 || characters_->GetCharacters().GetCount() != 0 || store_.slot)
      __builtin_trap();  // a refused state must leave nothing behind
    return false;
  }
  // The level with the mill, or the cow shed and the sheep pen, after its
  // other points, or with neither.
  enum class Layout { kBase, kMill, kSheds };
  void WithLayout(Layout layout) {
    info_.points.resize(basePoints_);
    if (layout == Layout::kMill) info_.points.push_back(POINTDEF{3, 2, kis::NameId(u"mill"), 0, {0, 0}, 800, 420, 0});
    if (layout == Layout::kSheds) {
      info_.points.push_back(POINTDEF{3, 2, kis::NameId(kCowshedName), 0, {0, 0}, 700, 640, 0});
      info_.points.push_back(POINTDEF{3, 2, kis::NameId(kSheepRackName), 0, {0, 0}, 1000, 640, 0});
    }
  }
  // The level with the cow shed and the sheep pen fed, brought to the
  // stage (see the file's head), saved.
  bool SaveShedSeed(u32 stage) {
    WithLayout(Layout::kSheds);
    StartNew();
    auto* shed = dynamic_cast<PointCowshed*>(map_->GetPoint(static_cast<i32>(basePoints_)));
    auto* pen = dynamic_cast<PointSheepRack*>(map_->GetPoint(static_cast<i32>(basePoints_) + 1));
    bool ok = shed && pen;
    if (ok) {
      shed->SetFed(true, false);
      pen->SetFed(true, false);
    }
    for (i32 i = 0; ok && i < 60; ++i) Tick();
    for (i32 i = 0; ok && stage >= 1 && i < 1000 && !(shed->IsMilkReady() && pen->IsWoolReady()); ++i) Tick();
    for (i32 i = 0; ok && stage >= 1 && i < 40; ++i) Tick();
    if (ok && (stage == 2 || stage == 3)) {
      shed->StartMilking();
      const i32 step = stage == 2 ? 3 : 4;
      for (i32 i = 0; i < 1000 && !(player_->GetCurrentJob() && player_->GetCurrentJob()->GetStep() == step); ++i)
        Tick();
      for (i32 i = 0; i < 10; ++i) Tick();
      ok = player_->GetCurrentJob() && player_->GetCurrentJob()->GetJobId() == kJobMilkCows;
    }
    if (ok && stage == 4) {
      pen->StartShearing();
      for (i32 i = 0; i < 1000 && !(pen->GetCutJob() && pen->GetCutJob()->HasStarted()); ++i) Tick();
      for (i32 i = 0; i < 10; ++i) Tick();
      ok = pen->GetCutJob() != nullptr;
    }
    ok = ok && SaveLevelState(*this);
    if (!ok) ClearLevel();
    WithLayout(Layout::kBase);
    return ok;
  }
  // The level with the mill grinding: a slot a fifth done, the other just
  // started; with `upgrade` the player then raising it to level 3, in her
  // build animation. Saved.
  bool SaveMillSeed(bool upgrade) {
    WithLayout(Layout::kMill);
    StartNew();
    auto* mill = dynamic_cast<PointFactory*>(map_->GetPoint(static_cast<i32>(basePoints_)));
    bool ok = mill && mill->GetSlotCount() == 2 && mill->StartProduction(0, 0, false);
    for (i32 i = 0; ok && i < 200; ++i) Tick();
    ok = ok && mill->StartProduction(0, 1, false);
    for (i32 i = 0; ok && i < 5; ++i) Tick();
    ok = ok && mill->GetBusyCount() == 2;
    if (ok && upgrade) {
      ok = Job_Build::Create(*mill) != nullptr;
      for (i32 i = 0; ok && i < 400 && mill->GetBuildJob() && mill->GetBuildJob()->GetState() != kJobAnimating; ++i)
        Tick();
      for (i32 i = 0; ok && i < 30; ++i) Tick();
      ok = ok && mill->GetBuildJob() && mill->GetBuildJob()->GetState() == kJobAnimating;
    }
    ok = ok && SaveLevelState(*this);
    if (!ok) ClearLevel();  // the next input finds an empty level
    WithLayout(Layout::kBase);
    return ok;
  }
  // The level with its chicken house fed and brought to the phase, saved.
  bool SaveHenSeed(u32 phase) {
    StartNew();
    auto* house = dynamic_cast<PointHenhouse*>(map_->GetPoint(3));
    if (!house) return false;
    house->SetFed(true, false);
    for (i32 i = 0; i < 2000 && house->GetCycle().phase < phase; ++i) Tick();
    for (i32 i = 0; i < 20; ++i) Tick();
    if (phase == kPhaseEggs) {
      house->StartTakeEggs();
      for (i32 i = 0; i < 5; ++i) Tick();
    }
    return SaveLevelState(*this);
  }
  kis::DataBuffer* Saved() const { return store_.slot; }
  static kis::DataBuffer* Copy(const kis::DataBuffer& from) {
    auto* b = new kis::DataBuffer;
    b->headerSize = from.headerSize;
    b->levelTime = from.levelTime;
    std::memcpy(b->levelBlock, from.levelBlock, sizeof b->levelBlock);
    if (!b->GrowData(from.dataSize + 1) || !b->GrowRecords(from.recordSize + 1)) {
      delete b;
      return nullptr;
    }
    std::memcpy(b->Data(), from.Data(), from.dataSize);
    std::memcpy(b->Records(), from.Records(), from.recordSize);
    b->dataSize = from.dataSize;
    b->recordSize = from.recordSize;
    return b;
  }
  bool Restores(const uint8_t* data, size_t size) {
    restored_ = false;
    Run(data, size);
    return restored_;
  }

  // --- LevelStateHost -----------------------------------------------------------------------------
  LevelStateParts GetParts() override { return {rules_.get(), map_.get(), characters_.get(), &cast_}; }
  void RebuildLevel() override {
    cast_.DeleteAll();
    DeleteCharacters();
    map_->DeletePoints();
    rules_->Build(CHOSENBONUSES{});
    player_ = new MapPlayer(*characters_, static_cast<float>(info_.playerX), static_cast<float>(info_.playerY));
  }
  void ClearLevel() override {
    cast_.DeleteAll();
    DeleteCharacters();
    map_->DeletePoints();
    rules_->Clear();
  }
  kis::SavedStateStore* GetStore() override { return &store_; }
  void SaveProfile() override {}

 private:
  void DeleteCharacters() {
    player_ = nullptr;
    if (!characters_) return;
    while (characters_->GetCharacters().GetCount() > 0) delete characters_->GetCharacters()[0];
  }
  void ReadGarbage() {
    std::vector<GARBAGEINFO> kinds(1);
    kinds[0].id = kHeap;
    kinds[0].clearTime = 300;
    const std::u16string path = plat::Utf8ToUtf16(fuzzscratch::Path("level_state", ".dat"));
    VILLAININFO raider = ::MakeVillain(u"raider");
    raider.enterInterval = 300;
    raider.shotInterval = 500;
    raider.shots = 3;
    raider.health = 3;
    raider.damageTime = 5000;
    raider.money = 40;
    raider.shotMoney = 10;
    raider.shotSpeed = 20.0f;
    raider.flightTime = 1000;
    if (!WriteDataArchive(path.c_str(), {{kGarbageSectionId, kGarbageSectionSubId, GarbageSection(kinds)},
                                         {kVillainSectionId, kVillainSectionSubId, VillainSection({raider})},
                                         {kProductSectionId, kProductSectionSubId, ProductSection(Products())}}))
      return;
    if (kis::DataFileReaderW* data =
            kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion)) {
      SectionCursor cursor;
      LoadGarbageDefinitions(&garbage_, data, &cursor);
      SectionCursor villains;
      while (villainKinds_.ReadSection(data, &villains) == 0) {
      }
      SectionCursor products;
      while (products_.ReadSection(data, &products) == 0) {
      }
      products_.ResolveIngredients();
      for (u32 i = 0; i < products_.GetCount(); ++i) products_.UseProduct(products_.Get(i));
      kis::CloseDataFile(data);
    }
    std::remove(plat::Utf16ToUtf8(path).c_str());
  }
  // The "henhouse" kind (a short cycle: 3 s, 1 s of it eating) and its chicken.
  void ReadHenhouse() {
    BUILDING hen = MakeBuilding(kHenhouseName, kBuildingAnimalHouse);
    hen.levelCount = 4;
    hen.house.characterId = 2;
    hen.house.timings[0] = 3000;
    hen.house.timings[2] = 1000;
    hen.house.timings[3] = 200;
    hen.house.feedTime = 100;
    for (u32 i = 0; i < 4; ++i) {
      kis::PutI32LE(hen.house.houseBytes + 8 * i, -30 + 20 * static_cast<i32>(i));
      kis::PutI32LE(hen.house.houseBytes + 8 * i + 4, 20);
      hen.levels[i].house.feedAmount = 2;
      for (u32 k = 0; k < 4; ++k) {
        hen.levels[i].house.spots[2 * k] = 20 + 12 * static_cast<i32>(k);
        hen.levels[i].house.spots[2 * k + 1] = 40;
      }
    }
    const std::u16string path = plat::Utf8ToUtf16(fuzzscratch::Path("level_state_hen", ".dat"));
    // The flour mill: two slots at level 2.
    BUILDING mill = testsupport::KindBuilding(u"mill", kBuildingFactory, 4, 50);
    mill.factory.productCount = 1;
    mill.factory.products[0] = kis::NameId(u"flour");
    for (BUILDINGLEVEL& l : mill.levels) l.buildTime = 2000;
    // The cow shed and the sheep pen: milk and wool in 2 s, taken in 300 ms.
    BUILDING cows = MakeBuilding(kCowshedName, kBuildingAnimalHouse);
    BUILDING sheep = MakeBuilding(kSheepRackName, kBuildingAnimalHouse);
    for (BUILDING* b : {&cows, &sheep}) {
      b->levelCount = 4;
      b->house.characterId = b == &cows ? 3 : 4;
      b->house.timings[0] = 2000;
      b->house.timings[3] = 300;
      b->house.feedTime = 100;
      b->house.producedProduct = kis::NameId(u"flour");
      b->workSpot[1] = 60;
      for (BUILDINGLEVEL& l : b->levels) {
        l.house.feedAmount = 2;
        for (i32 k = 0; k < 4; ++k) {
          l.house.spots[2 * k] = -30 + 20 * k;
          l.house.spots[2 * k + 1] = -6;
        }
      }
    }
    if (!WriteDataArchive(path.c_str(),
                          {{kBuildingSectionId, kBuildingSectionSubId, BuildingSection({hen, mill, cows, sheep})}}))
      return;
    if (kis::DataFileReaderW* data =
            kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion)) {
      SectionCursor cursor;
      while (buildings_.ReadSection(data, &cursor) == 0) {
      }
      kis::CloseDataFile(data);
    }
    std::remove(plat::Utf16ToUtf8(path).c_str());
    GetContentServices().buildings = &buildings_;
    if (BUILDING* b = buildings_.Get(0)) {
      b->EnableForLevel(4);
      b->character = chicken_;
    }
    if (BUILDING* b = buildings_.Get(1)) b->EnableForLevel(4);
    for (u32 i = 2; i < 4; ++i)
      if (BUILDING* b = buildings_.Get(i)) {
        b->EnableForLevel(4);
        b->character = i == 2 ? cowhead_ : sheep_;
      }
  }
  // A description of one skin of these animations (each 400 ms), walking at
  // 4 units a tick with its second animation.
  GameCharacter* Describe(const wchar* name, u32 id, std::initializer_list<const wchar*> animations, u32 mode) {
    auto* c = new GameCharacter(name, id, 1);
    descriptions_.Add(c);
    c->speed = 4.0f;
    c->SetSkinCount(1);
    for (const wchar* n : animations) {
      auto* a = new GameAnimation(n, 8);
      a->SetTiming(mode, 100, 400);
      c->AddToSkin(0, a);
    }
    c->walkIndex = 1;
    return c;
  }
  void MakeGirl() {
    GameCharacter* girl = Describe(
        u"girl", 1,
        {u"girl_idle", u"girl_walk", u"girl_build", u"girl_repair", u"girl_dig", u"girl_water", kMilkCowsAnimation,
         kCutSheepAnimation},
        kAnimLoop);
    for (i16& f : girl->foot) f = 12;
    chicken_ = Describe(u"chicken", 2, {u"chicken_stand", u"chicken_walk", u"chicken_eat"}, kAnimLoop);
    chicken_->speed = 2.0f;
    for (i16& f : chicken_->foot) f = 3;
    cowhead_ = Describe(u"cowhead", 3, {u"cowhead", u"cowhead_eat", u"cowhead_yelling", u"cowhead_milk"}, kAnimLoop);
    // The sheep's body in its shorn (0) and woolly (1) skins, its head (5) in both.
    sheep_ = Describe(u"sheepbody", 4, {}, kAnimLoop);
    GameCharacter* head = Describe(u"sheephead", kSheepHeadCharacter, {}, kAnimLoop);
    sheep_->SetSkinCount(2);
    head->SetSkinCount(2);
    for (const wchar* action : {u"_stand", u"_eat", u"_yelling", u"_turnleft", u"_turnright", u"_blink"}) {
      for (i32 skin = 0; skin < 2; ++skin) {
        wchar body[kAnimationNameSize], face[kAnimationNameSize];
        kis::StrCopy(body, kAnimationNameSize, skin == 0 ? u"sheepbody_skin" : u"sheepbody");
        kis::StrCat(body, kAnimationNameSize, action);
        kis::StrCopy(face, kAnimationNameSize, u"sheephead");
        kis::StrCat(face, kAnimationNameSize, action);
        for (auto [who, name] : {std::pair{sheep_, body}, std::pair{head, face}}) {
          auto* a = new GameAnimation(name, 8);
          a->SetTiming(kAnimLoop, 100, 400);
          who->AddToSkin(skin, a);
        }
      }
    }
  }
  // The villain (6) and its catapult (7).
  void MakeVillain() {
    Describe(u"villain", kVillainCharacterId,
             {u"villain_stand", u"villain_walk", u"villain_install_begin", u"villain_install_end", u"villain_shoot_begin",
              u"villain_shoot_end", u"villain_remove", u"villain_angry", u"villain_bees", u"villain_runaway"},
             kAnimOnce);
    Describe(u"catapult", kCatapultCharacterId, {u"catapult_idle", u"catapult_stand", u"catapult_break"}, kAnimLoop);
  }

  plat::FakeClock clock_{1000};
  std::optional<plat::PlatformServicesScope> clockInstalled_;  // the clock, put back as it goes
  GarbageList garbage_;          // the game's garbage kinds
  BuildingTable buildings_;      // the chicken house's, the mill's, the cow shed's and the sheep pen's kinds
  ProductList products_;         // wheat, and flour ground of it
  GameCharacter* chicken_ = nullptr;
  GameCharacter* cowhead_ = nullptr;
  GameCharacter* sheep_ = nullptr;
  CharacterList descriptions_;  // the game's, in the services
  testsupport::KindTables kinds_;  // the plant kinds, in the services
  Villains villains_;
  Classes classes_;
  LevelPointCare care_;
  VillainList villainKinds_;     // the game's villain kinds, in the services
  LevelVillainCast cast_;
  Store store_;
  LEVELINFO info_;
  std::unique_ptr<LevelRules> rules_;
  std::unique_ptr<LevelMap> map_;
  std::unique_ptr<LevelCharacters> characters_;
  MapPlayer* player_ = nullptr;
  bool restored_ = false;
  size_t basePoints_ = 0;
};

World* g_world = nullptr;

void WriteSaved(const std::string& path) {
  if (!g_world->Saved()) return;
  const kis::DataBuffer& b = *g_world->Saved();
  u8 head[24];
  kis::PutU32LE(head, b.levelTime);
  std::memcpy(head + 4, b.levelBlock, 16);
  kis::PutU32LE(head + 20, b.dataSize);
  std::vector<u8> seed(head, head + sizeof head);
  seed.insert(seed.end(), b.Data(), b.Data() + b.dataSize);
  seed.insert(seed.end(), b.Records(), b.Records() + b.recordSize);
  g_world->ClearLevel();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(seed.data(), 1, seed.size(), f);
    std::fclose(f);
  }
  std::fprintf(stderr, "seed of %zu bytes %s\n", seed.size(),
               g_world->Restores(seed.data(), seed.size()) ? "restores" : "does NOT restore");
}

void WriteSeed(const char* path) {
  if (g_world->SaveSeed()) WriteSaved(path);
  for (u32 phase = 0; phase <= kPhaseEggs; ++phase)
    if (g_world->SaveHenSeed(phase)) WriteSaved(std::string(path) + ".hen" + std::to_string(phase));
  if (g_world->SaveMillSeed(false)) WriteSaved(std::string(path) + ".mill");
  if (g_world->SaveMillSeed(true)) WriteSaved(std::string(path) + ".mill_upgrade");
  for (u32 stage = 0; stage <= 4; ++stage)
    if (g_world->SaveShedSeed(stage)) WriteSaved(std::string(path) + ".shed" + std::to_string(stage));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_world = new World;
  std::atexit([] { delete g_world; });
  if (const char* seed = std::getenv("TM_LEVEL_STATE_SEED")) WriteSeed(seed);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  g_world->Run(data, size);
  return 0;
}
