// The world of the level-core tests: the sprite sets of SpriteRig (with
// two four-frame icons for each product, "NAME" and "NAME2", and the flying
// coin), products, bonuses
// and awards written with the content writers and read back by the game's
// readers, a level table whose level 0 each test shapes, fake building
// tables (the warehouse holds 10 units a storage level), a fake clock, the
// level's head-up display (the toolkit's screen-sprite list, with a fake of
// the running level around it for the sprites to find), a window manager
// for the dialogs, and recording fakes of everything else LevelRules calls
// out to. Every call out is written to one log, so tests can read the order
// things happened in; what the head-up display shows is read back from it
// (HudReadBack.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/Identifier.h"
#include "base/Strings.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/ContentWriter.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "gametext/GameMessager.h"
#include "level/scene/LevelInterface.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPoint.h"
#include "level/rules/LevelProfile.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelScene.h"
#include "level/rules/LevelWindows.h"
#include "level/scene/LevelServices.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "testsupport/FakeCurrentLevel.h"
#include "testsupport/SpriteRig.h"
#include "testsupport/KindTables.h"
#include "testsupport/TempFolder.h"
#include "hud/ScreenSpriteList.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "HudReadBack.h"

namespace leveltest {

using Log = std::vector<std::string>;

inline std::string Narrow(const wchar* s) {
  std::string out;
  for (; s && *s; ++s) out += static_cast<char>(*s);
  return out;
}

// Appends a formatted line to the log.
template <class... A>
void Say(Log& log, const char* format, A... args) {
  char b[200];
  std::snprintf(b, sizeof b, format, args...);
  log.push_back(b);
}

struct FakeScene : LevelScene {
  explicit FakeScene(Log& l) : log(l) {}
  i32 CountPlantBeds(u32, i32 minLevel) override { return plantBeds - (minLevel > 1 ? 1 : 0); }
  i32 CountBuildings(u32, i32) override { return buildings; }
  i32 CountCleanPlaces() override { return cleanPlaces; }
  // Play starts the rules, as the scene's start does.
  void StartPlay() override {
    if (rules) rules->StartPlay();
  }
  void StopTutorial() override { Say(log, "stop tutorial"); }
  void StartWarehouseTutorial(const PRODUCT* p) override { Say(log, "warehouse tutorial %s", Narrow(p->name).c_str()); }
  bool OnLoseAnswer(u32 answer) override {
    Say(log, "lose answer %x", answer);
    return true;
  }
  void DriveOffVillains() override { Say(log, "drive off"); }
  void RainOnPlantBeds() override { Say(log, "rain on beds"); }
  void CollectUndamaged(GameMessager&) override { Say(log, "collect"); }
  void SetBuildingRateModifier(u32 kind, u32 id, float v) override {
    Say(log, "building %u %u %g", kind, id - BonusModifierId(0), v);
  }
  void SetPlayerWalkModifier(u32, float v) override { Say(log, "walk %g", v); }
  void SetPlayerSpeedModifier(u32, float v) override { Say(log, "speed %g", v); }
  void SetPlayerRunning(bool on) override { Say(log, on ? "running" : "not running"); }

  Log& log;
  LevelRules* rules = nullptr;  // the rules play starts in
  i32 plantBeds = 0, buildings = 0, cleanPlaces = 0;
};

// No villain slots: the waves of these levels bring nobody.
struct NoSlots : VillainSlots {
  u32 GetSlotCount() const override { return 0; }
  bool IsSlotTaken(u32) const override { return true; }
  void SpawnVillain(u32, u32) override {}
};

struct FakeProfile : LevelProfile {
  explicit FakeProfile(Log& l) : log(l) {}
  AWARDCOUNTERS* GetAwardCounters() override { return &counters; }
  bool AreTutorialsOn() const override { return tutorials; }
  bool HasFlags(u32 mask) const override { return (flags & mask) == mask; }
  void MarkShown(u32 flag) override {
    flags |= flag;
    Say(log, "profile saved");
  }
  i32 GetVillainsInRow() const override { return villainsInRow; }
  void SetVillainsInRow(i32 n) override { villainsInRow = n; }
  void RecordLevelResult(i32 level, u32 time, LEVELRESULT* out) override {
    out->level = level;
    out->time = time;
    Say(log, "record %d at %u", level, time);
  }
  void LogLevelResult(const LEVELRESULT& r) override { Say(log, "game log %u", r.time); }
  i32 SetEasterEggFound(i32 level) override {
    Say(log, "egg %d found", level);
    return ++eggs;
  }

  Log& log;
  AWARDCOUNTERS counters;
  bool tutorials = false;
  u32 flags = 0;
  i32 villainsInRow = 0;
  i32 eggs = 0;
};

struct FakeHud : LevelWindows, LevelInterface, AwardNotices {
  explicit FakeHud(Log& l) : log(l) {}
  void ShowMessage(u32 id, const wchar* key, u32 flags, const PRODUCT*, i32 duration, MessageAnswer* a) override {
    Say(log, "message %u %s %d%s", id - kMessageWarehouseFull, Narrow(key).c_str(), duration,
        flags == kMessageFlagsWarehouse ? "" : " ?");
    messageAnswer = a;
  }
  void OpenWarehouseWindow(const PRODUCT* p) override { Say(log, "warehouse window %s", p ? Narrow(p->name).c_str() : "-"); }
  void OpenResultWindow(const LEVELRESULT& r) override { Say(log, "result window %u", r.time); }
  void UpdateTaskButtons(i32 index, i32 delta, bool animate) override {
    Say(log, "task %d %d%s", index, delta, animate ? " animated" : "");
  }
  void UpdateBonusButton(u32 slot, const BONUSSLOT&, bool) override { ++bonusRefreshes[slot]; }
  void UpdateTimeBar(bool) override { Say(log, "time bar"); }
  // The empty places' panels: ids stand for the panels.
  WindowSprites* OpenPanel(u32 id, EmptyLevelPoint* place) override;
  void HidePanel(WindowSprites* panel) override {
    Say(log, "hide panel %x", static_cast<u32>(reinterpret_cast<uintptr_t>(panel)));
  }
  void ShowEmptyPanel() override { Say(log, "empty panel"); }
  WindowSprites* ShowPointPanel(u32 kind, LevelPoint* point) override;
  void RefreshPointPanel(LevelPoint* point) override;
  // What only the scene asks.
  void CreatePanel(LevelMap&) override { Say(log, "create panel"); }
  void DeletePanel() override { Say(log, "delete panel"); }
  void CreateBonusButtons() override { Say(log, "bonus buttons"); }
  bool IsTimeBarRunning() const override { return false; }
  void AdvanceTimeBar(u32) override {}
  void StartTimeBar() override { Say(log, "start time bar"); }
  void ShowTimeBar(bool) override {}
  void OpenMenu(bool) override { Say(log, "menu"); }
  void OpenIntro() override { Say(log, "intro"); }
  void DeleteLevelWindows() override {}
  void ExitToMap(u32 comic) override { Say(log, "to map %u", comic); }
  void OfferRestart() override { Say(log, "restart"); }
  void ShowAward(i32 kind, u32 index, i32 tier) override { Say(log, "award %d %u %d", kind, index, tier); }

  Log& log;
  MessageAnswer* messageAnswer = nullptr;
  i32 bonusRefreshes[6] = {};
  i32 selectedAtPanel = -2;  // the level's selected point when a panel last opened
};

inline WindowSprites* FakeHud::ShowPointPanel(u32 kind, LevelPoint* point) {
  Say(log, "point panel %x for %d", kind, point->GetIndex());
  return nullptr;
}
inline void FakeHud::RefreshPointPanel(LevelPoint* point) { Say(log, "refresh point panel %d", point->GetIndex()); }

inline WindowSprites* FakeHud::OpenPanel(u32 id, EmptyLevelPoint* place) {
  Say(log, "panel %x for %d", id, place->GetIndex());
  selectedAtPanel = place->GetMap().GetSelectedPoint();
  return reinterpret_cast<WindowSprites*>(static_cast<uintptr_t>(id));
}

inline PRODUCT MakeProduct(const char16_t* name, i32 price, u32 number, std::vector<INGREDIENT> recipe = {}) {
  PRODUCT p{};
  kis::StrCopy(p.name, kProductNameSize, name);
  p.id = kis::NameId(name);
  p.number = number;
  p.price = price;
  p.awardIndex = -1;
  p.ingredientCount = static_cast<u32>(recipe.size());
  for (size_t i = 0; i < recipe.size(); ++i) p.ingredients[i] = recipe[i];
  return p;
}

// The running level as the head-up display's sprites see it: the rig's
// list, and the rules' money.
class RigHost : public FakeCurrentLevel {
 public:
  bool HasMoney(i32 amount) const override { return rules && *rules && (*rules)->Money().Get() >= amount; }
  const std::unique_ptr<LevelRules>* rules = nullptr;
};

class LevelRig {
 public:
  LevelRig() : scene(log), profile(log), hud(log) {
    host.list = &hudList;
    host.rules = &rules;
    InstallServices();
    WriteAndRead();
    for (const char16_t* name : {u"wheat", u"egg", u"cake"}) {
      Product(name)->icon = MakeIcon(name);
      Product(name)->icon2 = MakeIcon((std::u16string(name) + u"2").c_str());
    }
    MakeIcon(u"small_ico_coin");
    LEVELINFO& l = levels.Get(0);
    for (LEVELREGIME& r : l.regimes) r = LEVELREGIME{180000, 120000, 60000, 0, {}};
    l.startMoney = 300;
    for (float& f : l.baseRates) f = 1.0f;
    l.baseRates[kRateFactories] = 2.0f;
    for (float& f : l.chargeFactors) f = 1.0f;
    hooks = LevelHooks{&scene, &profile, &hudList, &hud, &hud, &hud};
  }
  ~LevelRig() {
    rules.reset();
    hudList.DeleteAll();
    ResetResourceServices();
    ResetContentServices();
    ResetUiServices();
    ResetLevelServices();
  }
  // The rig's tables, the head-up display's host and the window manager as
  // the services' (again after a rig built on this one resets the
  // services).
  void InstallServices() {
    ResourceServices& s = GetResourceServices();
    kinds.Install();
    GetContentServices().products = &products;
    GetContentServices().bonuses = &bonuses;
    GetContentServices().awards = &awards;
    GetContentServices().levels = &levels;
    s.level = &host;
    GetUiServices().windowManager = &windows;
  }
  LevelRig(const LevelRig&) = delete;
  LevelRig& operator=(const LevelRig&) = delete;

  LEVELINFO& Info() { return levels.Get(0); }
  void SetTasks(i32 regime, std::vector<LEVELTASK> tasks) {
    LEVELREGIME& r = Info().regimes[regime];
    r.taskCount = static_cast<u32>(tasks.size());
    for (size_t i = 0; i < tasks.size() && i < kMaxLevelTasks; ++i) r.tasks[i] = tasks[i];
  }
  // A level of level 0 in the regime, built and (unless asked not to) started anew.
  LevelRules& Make(i32 regime = 0, CHOSENBONUSES chosen = {}, bool startNew = true) {
    rules = std::make_unique<LevelRules>(0, regime, &Info(), hooks);
    if (auto* fake = dynamic_cast<FakeScene*>(hooks.scene)) fake->rules = rules.get();
    rules->Build(chosen);
    if (startNew) rules->StartNew();
    return *rules;
  }
  PRODUCT* Product(const char16_t* name) { return products.FindByName(name); }

  // One frame as the scene runs it: the clock, then its ticks (while nothing
  // holds the level), then the time limit. The ticks run.
  u32 Frame(u32 elapsed) {
    GetResourceServices().clock += elapsed;
    const u32 d = rules->Clock().Scale(elapsed);
    if (d == 0) return 0;
    const u32 ticks = rules->AdvanceFrame(d, false);
    for (u32 i = 0; i < ticks; ++i) {
      if (rules->Locks().IsLockedExcept(0)) continue;
      rules->RunWaves(10, noSlots);
      rules->Tick(10);
    }
    rules->CheckTimeLimit();
    return ticks;
  }
  void Run(u32 ms) {
    for (u32 t = 0; t < ms; t += 50) Frame(50);
  }
  // The log from entry `from` on.
  Log Since(size_t from) const { return Log(log.begin() + static_cast<std::ptrdiff_t>(from), log.end()); }
  // The flying labels (DescribeLabel) from label `from` on, oldest first.
  size_t LabelMark() const { return static_cast<size_t>(hudList.Labels().GetCount()); }
  Log LabelsSince(size_t from) const {
    Log out;
    for (i32 i = static_cast<i32>(from); i < hudList.Labels().GetCount(); ++i) out.push_back(DescribeLabel(hudList.Labels()[i]));
    return out;
  }
  // The dialog the window manager shows; null when none.
  BaseDialogWindow* Dialog() const { return windows.GetDialog(); }

  spritetest::SpriteRig art;  // first: it resets the resource services
  Log log;
  FakeScene scene;
  NoSlots noSlots;
  FakeProfile profile;
  FakeHud hud;
  WindowManager windows;   // the dialogs'
  ScreenSpriteList hudList;  // the head-up display
  RigHost host;
  LevelHooks hooks;
  plat::FakeClock clock{100000};
  plat::PlatformServicesScope clockScope{{.clock = &clock}};
  testsupport::KindTables kinds;
  TempFolder folder;
  ProductList products;
  GameBonuses bonuses;
  AwardTable awards;
  LevelTable levels;
  std::unique_ptr<LevelRules> rules;

  // A loaded picture of `frames` 16 x 16 cells in the sprite set, named so.
  Sprite* MakeIcon(const wchar* name, u32 setNumber = kIconSpriteSet, i32 frames = 4) {
    SpriteSet& set = art.Set(setNumber);
    DXLTexture* t = set.GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = spritetest::Picture(16 * static_cast<u32>(frames), 16, setNumber);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    auto* sprite = new Sprite(&set, name, t, SPRITEGRID{frames, 16, 16, 0, 0, {0, 0, 0, 0}}, false, false, 0);
    sprite->Init();
    return sprite;
  }

 private:

  void WriteAndRead() {
    const INGREDIENT twoWheat{kis::NameId(u"wheat"), 2};
    const INGREDIENT oneEgg{kis::NameId(u"egg"), 1};
    std::vector<PRODUCT> v = {MakeProduct(u"wheat", 2, 1), MakeProduct(u"egg", 5, 2),
                              MakeProduct(u"cake", 40, 3, {twoWheat, oneEgg})};
    BONUS b[kBonusCount] = {};
    for (u32 i = 0; i < kBonusCount; ++i) {
      b[i].chargeTime = 10000 * (i + 1);
      b[i].activeTime = 5000;
      b[i].effect = 1.5f + 0.5f * static_cast<float>(i);
    }
    TIEREDAWARD tiered[kTieredAwardCount] = {};
    RECORDAWARD records[kRecordAwardCount] = {};
    for (TIEREDAWARD& a : tiered) a.tiers[0] = 10, a.tiers[1] = 20, a.tiers[2] = 1000;
    for (RECORDAWARD& a : records) a.threshold = 100;
    const std::u16string path = folder.Wide("Data.dat");
    ASSERT_TRUE(WriteDataArchive(path.c_str(), {{kProductSectionId, kProductSectionSubId, ProductSection(v)},
                                                {kBonusSectionId, kBonusSectionSubId, BonusSection(b)},
                                                {kAwardSectionId, kAwardSectionSubId, AwardSection(tiered, records)}}));
    kis::DataFileReaderW* data =
        kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
    ASSERT_NE(data, nullptr);
    SectionCursor c1, c2, c3;
    while (products.ReadSection(data, &c1) == 0) {
    }
    bonuses.ReadSection(data, &c2);
    awards.ReadSection(data, &c3);
    kis::CloseDataFile(data);
    ASSERT_EQ(c1.error + c2.error + c3.error, 0u);
    products.ResolveIngredients();
    LoadKinds({}, {});
  }

 public:
  // A kind the tests allow: a plant (giving the product of its name), or a
  // building of a category (a factory makes wheat), each step for 50; enabled on the level at its
  // limit when available.
  struct KindSpec {
    const char16_t* name;
    i32 maxLevel;
    bool available;
    u32 category = 0;
    bool tree = false;
  };
  // The plant and building tables read afresh with these kinds, and the
  // "warehouse" (capacity 10 x the storage level, levels 1 to 4; not
  // enabled), as a level's loading leaves them.
  void LoadKinds(const std::vector<KindSpec>& plantSpecs, const std::vector<KindSpec>& buildingSpecs) {
    std::vector<PLANT> p;
    for (const KindSpec& k : plantSpecs) {
      p.push_back(testsupport::KindPlant(k.name, 50, k.tree));
      p.back().productId = kis::NameId(k.name);  // the product of its name, when there is one
    }
    std::vector<BUILDING> b;
    b.push_back(testsupport::KindBuilding(u"warehouse", 0, 4));
    for (u32 i = 0; i < 4; ++i) b.back().levels[i].capacity = 10 * (i + 1);
    for (const KindSpec& k : buildingSpecs) {
      b.push_back(testsupport::KindBuilding(k.name, k.category, 4, 50));
      b.back().factory.productCount = 1;
      b.back().factory.products[0] = kis::NameId(u"wheat");
    }
    ASSERT_TRUE(kinds.Load(p, b, {}, pulldownTime));
    for (const KindSpec& k : plantSpecs)
      if (k.available) kinds.plants.UsePlant(kinds.Plant(k.name), k.maxLevel);
    for (const KindSpec& k : buildingSpecs)
      if (k.available) kinds.Building(k.name)->EnableForLevel(k.maxLevel);
  }
  u32 pulldownTime = 0;  // the plant table's, for the next LoadKinds
};

}  // namespace leveltest
