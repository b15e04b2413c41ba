// The world of the level-map tests: the level rules of LevelRig, with a few
// map sprites in its map-sprite set (an empty-place marker with a click
// shape and a footprint, a garbage heap and a 20-frame gate) and the
// points' button pictures, two garbage kinds read through the "LPNT"
// reader into the game's garbage list, a path finder, and recording fakes
// of the point classes, the panels, the point care and the tutorial. Calls
// out are written to LevelRig's log; the points' sprites are the toolkit's,
// on LevelRig's head-up display.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "base/Identifier.h"
#include "base/LittleEndian.h"
#include "base/Strings.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/ContentWriter.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "level/map/DynObject.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPoint.h"
#include "level/map/LevelPointMaker.h"
#include "level/map/PointCare.h"
#include "level/map/PointClasses.h"
#include "level/map/PointJob.h"
#include "pathfinding/PathFinder.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/TutorialHooks.h"
#include "LevelRig.h"
#include "testsupport/SpriteRig.h"

namespace leveltest {

// Counts the clean places of the rig's map.
struct MapScene : FakeScene {
  MapScene(Log& l, const std::unique_ptr<LevelMap>& m) : FakeScene(l), map(m) {}
  i32 CountCleanPlaces() override { return map ? map->CountCleanPlaces() : 0; }
  const std::unique_ptr<LevelMap>& map;
};

struct FakeCare : PointCare {
  explicit FakeCare(Log& l) : log(l) {}
  u32 UpdateDamage(BaseLevelPoint*, u32 ms) override { return ms > 30 ? ms - 30 : 0; }
  u32 GetDamageVillain(const BaseLevelPoint*) const override { return 0; }
  bool SaveDamageRecord(const BaseLevelPoint*, kis::DataCursor*) override { return true; }
  bool LoadDamage(BaseLevelPoint*, u32, kis::DataCursor*) override { return false; }
  void StartClearJob(EmptyLevelPoint* place) override {
    Say(log, "clear job at %d", place->GetIndex());
    place->SetClearJob(job);
  }
  PointJob* CreatePulldownJob(LevelPoint*) override { return nullptr; }
  Log& log;
  PointJob* job = nullptr;
};

struct FakeTutorial : TutorialHooks {
  explicit FakeTutorial(Log& l) : log(l) {}
  bool AllowAction(u32, uintptr_t, const void*) override { return true; }
  // A point's change also gives its state value (its level).
  void Notify(u32 event, uintptr_t parameter, const void* object) override {
    const auto* point = event == kTutorialEventPointChanged
                            ? dynamic_cast<const LevelPoint*>(static_cast<const BaseLevelPoint*>(object))
                            : nullptr;
    if (point)
      Say(log, "tutorial %x %d state %d", event, static_cast<i32>(parameter), point->GetLevel());
    else
      Say(log, "tutorial %x %d", event, static_cast<i32>(parameter));
  }
  Log& log;
};

struct FakeJob : PointJob {
  FakeJob(i32 x, i32 y, bool icon = true) : ax(x), ay(y), hasIcon(icon) {}
  bool Finish() override {
    const bool was = !finished;
    finished = true;
    return was;
  }
  void ClearTarget() override { targetCleared = true; }
  bool GetIconAnchor(i32* x, i32* y) const override {
    *x = ax;
    *y = ay;
    return hasIcon;
  }
  void SetIconOffset(i32 x, i32 y) override {
    dx = x;
    dy = y;
  }
  u16 GetJobId() const override { return id; }
  bool HasEnded() const override { return finished; }
  i32 ax, ay;
  u16 id = 0;
  bool hasIcon;
  i32 dx = 99, dy = 99;
  bool finished = false, targetCleared = false;
};

// A working point of the level objects: it logs its set-up.
struct FakePoint : LevelPoint {
  FakePoint(LevelMap& m, Log& l, PointClass c, bool s) : LevelPoint(m), log(l), pointClass(c), setupWorks(s) {
    kind_ = c == kPointWarehouse ? kPointKindWarehouse : c <= kPointTree ? kPointKindPlant : kPointKindBuilding;
  }
  ~FakePoint() override { Shutdown(false, true, 0); }
  bool SetLevel(i32 level, bool fade, u32 delay) override {
    Say(log, "class %u level %d%s after %u", pointClass, level, fade ? " fading" : "", delay);
    if (setupWorks) level_ = level;
    LevelRules* rules = GetMap().GetRules();
    if (setupWorks && pointClass == kPointWarehouse && rules && rules->Stock()) rules->Stock()->SetLevel(level);
    return setupWorks;
  }
  i32 KindQuery() const override { return 4; }
  void GetWorkOffset(POINTPOS* out) const override { out->x = out->y = 0; }
  bool CanBeDamaged() const override { return level_ > 0; }
  bool OnHover(MapObject* o) override {
    ++hovers;
    return refuseHover ? false : LevelPoint::OnHover(o);
  }
  bool HasProgress() const override { return true; }
  // The saved header's last two words are kept and given back.
  bool Setup(const POINTPARAMS& p, bool fade, u32 delay) override {
    extra[0] = p.extra[0];
    extra[1] = p.extra[1];
    return LevelPoint::Setup(p, fade, delay);
  }
  void GetInfo(POINTPARAMS* out) const override {
    LevelPoint::GetInfo(out);
    out->extra[0] = extra[0];
    out->extra[1] = extra[1];
  }
  Log& log;
  PointClass pointClass;
  u32 extra[2] = {0, 0};
  bool setupWorks;
  bool refuseHover = false;
  i32 hovers = 0;
};

// The point classes' making half; the kinds are the rig's tables
// (LevelRig::LoadKinds).
struct FakeClasses : PointClasses {
  explicit FakeClasses(Log& l) : log(l) {}
  LevelPoint* CreatePoint(LevelMap& map, PointClass c, void* record) override {
    if (make) return make(map, c, record);
    return new FakePoint(map, log, c, setupWorks);
  }
  bool LoadPlayerJob(u32 id, MapPlayer& player, const u8* record, u32 size) override {
    if (loadJob) return loadJob(id, player, record, size);
    Say(log, "load job %u of %u bytes", id, size);
    return loadsJobs;
  }

  Log& log;
  bool setupWorks = true;
  bool loadsJobs = false;
  // When set, the level objects' real classes stand in for the fakes.
  std::function<LevelPoint*(LevelMap&, PointClass, void*)> make;
  std::function<bool(u32, MapPlayer&, const u8*, u32)> loadJob;
};

constexpr u32 kJunk = 7;    // garbage kinds: a heap with a picture,
constexpr u32 kStones = 8;  // and one of nothing but its footprint

class MapRig {
 public:
  MapRig() : scene(level.log, map), care(level.log), tutorial(level.log), classes(level.log) {
    level.hooks.scene = &scene;
    GetResourceServices().tutorial = &tutorial;
    GetContentServices().garbage = &garbage;
    for (const wchar* name : {u"small_ico_clear", u"icon_btn_toxic", u"toxic_arrow"}) level.MakeIcon(name, kIconSpriteSet, 1);
    level.MakeIcon(u"particle", kEffectSpriteSet, 1);
    place = MakeMapSprite(u"place", 64, 32, 1, true);
    junk = MakeMapSprite(u"junk", 48, 48, 1, false);
    gate = MakeMapSprite(u"gate", 200, 10, 20, false);
    ReadGarbage();
    level.Info().emptyPlace = place;
    finder = std::make_unique<shpf::PathFinder>(kLevelWidth, kLevelHeight, 64, 64);
  }
  ~MapRig() {
    map.reset();
    GetContentServices().garbage = nullptr;
    GetResourceServices().tutorial = nullptr;
  }
  MapRig(const MapRig&) = delete;
  MapRig& operator=(const MapRig&) = delete;

  // A level with these point definitions, built and started, its points made.
  LevelMap& Make(std::vector<POINTDEF> points, bool makeLevel = true) {
    MakeMap(std::move(points), makeLevel);
    MakeDefinedPoints();
    return *map;
  }
  // The same without the points.
  LevelMap& MakeMap(std::vector<POINTDEF> points, bool makeLevel = true) {
    level.Info().points = std::move(points);
    if (makeLevel) level.Make();
    map = std::make_unique<LevelMap>(
        level.rules.get(),
        LevelMapHooks{&classes, &level.hudList, panelsHook ? panelsHook : &level.hud, careHook ? careHook : &care});
    map->SetPathFinder(pathFinder ? pathFinder : finder.get());
    return *map;
  }
  // The map's points as the level defines them.
  void MakeDefinedPoints() {
    map->SetPointCount(static_cast<i32>(level.Info().points.size()));
    for (size_t i = 0; i < level.Info().points.size(); ++i) {
      const POINTDEF& d = level.Info().points[i];
      POINTPARAMS p;
      p.kind = d.kind;
      p.level = d.level;
      p.id = d.id;
      p.price = d.price;
      p.extra[0] = d.extra[0];
      p.extra[1] = d.extra[1];
      map->Points().MakePoint(static_cast<i32>(i), p, false);
    }
  }
  static POINTDEF Garbage(u32 id, u32 price, i32 x, i32 y) { return POINTDEF{0, 0, id, price, {0, 0}, x, y, 0}; }

  size_t Mark() const { return level.log.size(); }
  Log Since(size_t from) const { return level.Since(from); }
  // Shape count over every tile cell.
  i32 TileShapes() const {
    i32 n = 0;
    for (i32 r = 0; r < kTileRows; ++r)
      for (i32 c = 0; c < kTileColumns; ++c) n += map->GetTileShapes(c, r)->GetCount();
    return n;
  }
  i32 FinderShapes() const { return finder->GetShapes().GetCount(); }

  LevelRig level;
  spritetest::SpriteRig& art = level.art;
  GarbageList garbage;  // the game's garbage kinds
  std::unique_ptr<LevelMap> map;
  MapScene scene;
  LevelInterface* panelsHook = nullptr;  // the panels the map calls when set (else LevelRig's fake)
  FakeCare care;
  FakeTutorial tutorial;
  FakeClasses classes;
  MapSprite* place = nullptr;
  MapSprite* junk = nullptr;
  MapSprite* gate = nullptr;
  std::unique_ptr<shpf::PathFinder> finder;
  PointCare* careHook = nullptr;            // in place of the fake care when set
  shpf::PathFinder* pathFinder = nullptr;   // in place of the rig's finder when set

 protected:
  // A loaded map sprite of `frames` frames side by side; with shapes, one
  // click rectangle (-30, -15)..(30, 15) and one footprint 40 x 16 about the
  // position.
  MapSprite* MakeMapSprite(const wchar* name, u32 w, u32 h, i32 frames, bool shapes) {
    SpriteSet& set = art.Set(kMapSpriteSet);
    DXLTexture* t = set.GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = spritetest::Picture(w, h, 3);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    auto* sprite = new Sprite(&set, name, t, SPRITEGRID{frames, static_cast<i32>(w) / frames, static_cast<i32>(h), 0, 0, {0, 0, 0, 0}},
                              false, false, 0);
    auto* m = new MapSprite(&set, name, sprite, static_cast<i32>(w / frames / 2), static_cast<i32>(h / 2));
    if (shapes) {
      std::vector<u8> a(kMapSpriteARecordSize), b(kMapSpriteBRecordSize);
      const i32 obstacle[5] = {0x20000000, -20, -8, 40, 16};
      for (u32 i = 0; i < 5; ++i) kis::PutU32LE(a.data() + 4 * i, static_cast<u32>(obstacle[i]));
      const i32 rect[5] = {0, -30, -15, 30, 15};
      for (u32 i = 0; i < 5; ++i) kis::PutU32LE(b.data() + 4 * i, static_cast<u32>(rect[i]));
      m->SetArrays(a, b);
    }
    m->Init();
    return m;
  }
  void ReadGarbage() {
    std::vector<GARBAGEINFO> kinds(2);
    kinds[0].id = kJunk;
    kinds[0].clearTime = 3000;
    kinds[0].spriteCount = 1;
    kis::StrCopy(kinds[0].sprites[0].name, 32, u"junk");
    kinds[0].sprites[0].layer = 1;
    kinds[0].sprites[0].y = -10;
    kinds[1].id = kStones;
    const std::u16string path = level.folder.Wide("Garbage.dat");
    ASSERT_TRUE(WriteDataArchive(path.c_str(), {{kGarbageSectionId, kGarbageSectionSubId, GarbageSection(kinds)}}));
    kis::DataFileReaderW* data =
        kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
    ASSERT_NE(data, nullptr);
    SectionCursor cursor;
    LoadGarbageDefinitions(&garbage, data, &cursor);
    kis::CloseDataFile(data);
    ASSERT_EQ(cursor.error, 0u);
  }
};

}  // namespace leveltest
