// The levels of "LVLS" from their text-tree sources, one file a level
// ("levels/level_01.txt" is the first; `databuild --levels DIR` takes them
// from DIR instead, as the scenario levels of tools/data/scenarios are; such
// a folder may also hold a "profile.txt" of its own, see ContentSources).
// Every level's map cell and group come from "tables/campaign_map.txt"
// (one line `level = CELL, GROUP` a level, in order, in a block
// "campaign"), the same for every level folder: a level file sets neither.
// A level without a file is written with its cell and group and no task in
// either play mode, which the game reads as a level not loaded (LevelTable.h):
// the map shows its node and never starts it.
// A file holds one block "level":
//
//   money = M                starting money
//   bonus = NAME | none      the bonus the level unlocks
//   music = NAME             its own music ("" or absent: the general tracks)
//   player = X, Y            where the player starts
//   empty_place = NAME       the level's two map sprites (level sprite set);
//   tree_spot = NAME         by default "empty_place" and "tree_spot"
//   rates = R0, ..., R5      base rates (default 1 each)
//   charge = C0, ..., C5     initial charge factors of the bonus slots (default 1)
//   restore_check = N        the value a saved level must match
//   plant = NAME, LIMIT      up to 3; building = NAME, LIMIT up to 12
//   stock = PRODUCT, COUNT   up to 64, the warehouse at the start
//   villain_slot = SX, SY, X, Y, DIR   up to 16
//   wave = SLOT, VILLAIN, DELAY_MS     SLOT -1: a free slot
//   repeat = FIRST, LENGTH   the repeating waves (LENGTH below 1: none)
//   ground = NAME, X, Y, LAYER         a ground tile (a ground of ground.txt)
//   decoration = SPRITE, LAYER, X, Y, KIND, MIRRORED    a map sprite object
//                            (KIND 268435459: the level's easter egg)
//   decoration_emitter = SYSTEM, LAYER, X, Y, SORT_X, SORT_Y, PARAM
//   obstacle = MASK, X, Y, WIDTH, HEIGHT
//   point = KIND, X, Y [, ID, LEVEL, PRICE, WORD1, WORD2, MIRRORED]  up to 13;
//           KIND empty (ID: its garbage, PRICE: the clearing price),
//           warehouse, plant or building (ID: the plant or building)
//   emitter = SYSTEM, X, Y, ANGLE
//   info = BLOCK, ITEM_KIND, ITEM, TEXT_KEY, SPRITE, IMAGE, X, Y, BEFORE, AFTER
//                            a line of the intro window the day opens with
//                            (texts of "info_panel"; an empty field is "")
//   easy { medals = BRONZE, SILVER, GOLD    limits in seconds
//          task = KIND, TARGET [, ITEM, MIN_LEVEL] }   up to 3; KIND money,
//   hard { the same }                       products, plants, buildings, clean
//
// A level that has a file must fill both play modes: medals falling from
// bronze to gold, and at least one task. No task may be met before play
// starts (the game would win the day at once: a money target at or below
// the starting money, a product already stocked, beds, buildings or clean
// places already there), and no point may stand above the level its kind
// may reach on the level (the game would leave it out).
//
// At the end of "level" the blocks "solution_easy" and "solution_hard" hold
// a way to win each mode, as the campaign test plays it (tests/campaign:
// CampaignPlayer.h through the running game; read by
// tests/support/LevelSolution.h, which refuses any other word). This
// writer leaves them out of the records. One action a line, in order; an
// action waits until it can be done; POINT is an index in the order of
// the file's points:
//
//   build = POINT, KIND      an empty place's panel: the category holding
//                            the plant or building KIND, then KIND (done at
//                            once when the place holds KIND already)
//   upgrade = POINT, LEVEL   the point's panel's upgrade until it has LEVEL
//   clear = POINT            a garbage place's panel: its clearing (done
//                            once the place is clean)
//   tend = POINT, ...        from now on: the points' harvest, water, feed,
//                            egg, milk and shear buttons whenever they show
//   produce = POINT, PRODUCT from now on: the factory's PRODUCT button
//                            whenever it has the ingredients and a free slot
//   stop = POINT             ends the point's standing orders
//   sell = PRODUCT, COUNT    the warehouse window: COUNT of PRODUCT sold
//   wait = stock, PRODUCT, N | money, N | level, POINT, N | ms, LEVEL_TIME
//
// Throughout, the player clicks a villain that can be hit and a damaged
// point's repair arrow, and plays with the bonuses the level window puts
// in its slots (a bonus's button is pressed only where a tutorial says);
// while the level's tutorial runs, the tutorial follower leads and the solution starts once it ends. The medal limits
// of "easy" and "hard" are set from the solutions' measured times: gold
// 1.4 times the time in "easy", 1.33 in "hard" (within 1.15 to 1.6, which
// the campaign test checks), silver 2 and 1.7 times, bronze 4 and 3 times
// (past its bronze limit a hard day is lost). The campaign
// test prints every played level's time and action count: run
// `campaign_tests` (TM_CAMPAIGN_LEVELS=3,5 plays only those levels).
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "ContentSources.h"
#include "DataSetBuild.h"
#include "SourceTree.h"
#include "base/Identifier.h"
#include "content/ContentArchive.h"
#include "content/LevelMapDefs.h"
#include "content/LevelRecord.h"

namespace {

constexpr u32 kDecorationSide = 64;  // a decoration's picture when nothing else sizes it

struct Word {
  const char* text;
  u32 value;
};
constexpr Word kTaskKinds[] = {{"money", 0}, {"products", 1}, {"plants", 2}, {"buildings", 3}, {"clean", 4}};
constexpr Word kPointKinds[] = {{"empty", 0}, {"warehouse", 1}, {"plant", 2}, {"building", 3}};

template <size_t n>
bool FindWord(const Word (&words)[n], const std::string& text, u32* out) {
  for (const Word& w : words)
    if (text == w.text) {
      *out = w.value;
      return true;
    }
  return false;
}

u32 LevelIdOf(const std::string& name) { return kis::NameIdA(name.c_str()); }

class LevelReader {
 public:
  LevelReader(DataSetBuild& build, ContentSourceTables& tables, SourceTree& tree)
      : build_(build), tables_(tables), tree_(tree) {}

  void Read(LEVELINFO& level);

 private:
  void ReadLine(LEVELINFO& level, u32 i, const std::string& key);
  void ReadRegime(LEVELREGIME& regime, const char16_t* mode);
  // A name of an earlier table, as its id; 0 (and a fault) when unknown.
  template <class Record>
  u32 Known(const std::string& name, const std::vector<Record>& table, const char* what);
  u32 Product(const std::string& name) { return Known(name, tables_.products, "product"); }
  u32 Ground(const std::string& name) { return Known(name, tables_.grounds, "ground"); }
  u32 Plant(const std::string& name) { return Known(name, tables_.plants, "plant"); }
  u32 Building(const std::string& name) { return Known(name, tables_.buildings, "building"); }
  u32 Villain(const std::string& name) { return Known(name, tables_.villains, "villain"); }
  u32 Garbage(const std::string& name) {
    return name.empty() || name == "none" ? 0 : Known(name, tables_.garbage, "garbage");
  }

  DataSetBuild& build_;
  ContentSourceTables& tables_;
  SourceTree& tree_;
};

template <class Record>
u32 LevelReader::Known(const std::string& name, const std::vector<Record>& table, const char* what) {
  const u32 id = LevelIdOf(name);
  for (const Record& r : table)
    if (r.id == id) return id;
  tree_.Fail("\"" + name + "\" is no " + what);
  return 0;
}

void LevelReader::ReadRegime(LEVELREGIME& regime, const char16_t* mode) {
  const std::vector<kis::TdrNode*> blocks = tree_.Blocks(mode);
  if (blocks.size() != 1) {
    tree_.Fail("needs one block \"" + NarrowName(mode) + "\"");
    return;
  }
  kis::TdrNode* parent = blocks[0]->parent;
  tree_.Enter(blocks[0]);
  bool medals = false;
  for (u32 i = 0; i < tree_.LineCount(); ++i) {
    const std::string key = tree_.LineName(i);
    if (key == "medals") {
      i32 s[3] = {};
      if (!tree_.Read(i, u"i4,i4,i4", &s[0], &s[1], &s[2])) continue;
      if (!(s[0] >= s[1] && s[1] >= s[2] && s[2] > 0 && s[0] <= 24 * 3600)) {
        tree_.Fail("medals: bronze, silver and gold limits in seconds, falling, above 0");
        continue;
      }
      regime.bronze = s[0] * 1000;
      regime.silver = s[1] * 1000;
      regime.gold = s[2] * 1000;
      medals = true;
    } else if (key == "task") {
      wchar kindName[16] = {}, item[32] = {};
      LEVELTASK t{};
      if (!tree_.Read(i, u"Z[16],i4,{Z[32],i4}", &kindName, &t.target, &item, &t.minLevel)) continue;
      if (!FindWord(kTaskKinds, NarrowName(kindName), &t.kind)) {
        tree_.Fail("task: unknown kind \"" + NarrowName(kindName) + "\"");
        continue;
      }
      const std::string itemName = NarrowName(item);
      if (t.kind == 1) t.item = Product(itemName);
      else if (t.kind == 2) t.item = Plant(itemName);
      else if (t.kind == 3) t.item = Building(itemName);
      if ((t.kind >= 1 && t.kind <= 3 && t.item == 0) || t.target < 1) {
        tree_.Fail("task: needs its item and a target of at least 1");
        continue;
      }
      if (regime.taskCount == kMaxLevelTasks) {
        tree_.Fail("more than three tasks");
        continue;
      }
      regime.tasks[regime.taskCount++] = t;
    } else {
      tree_.Fail("unknown line \"" + key + "\"");
    }
  }
  if (!medals || regime.taskCount == 0) tree_.Fail("needs its medal limits and at least one task");
  tree_.Enter(parent);
}

void LevelReader::Read(LEVELINFO& level) {
  for (float& r : level.baseRates) r = 1.0f;
  for (float& c : level.chargeFactors) c = 1.0f;
  level.bonusId = -1;
  SetName(level.emptyPlaceSprite, "empty_place");
  SetName(level.treeSpotSprite, "tree_spot");
  for (u32 i = 0; i < tree_.LineCount(); ++i) ReadLine(level, i, tree_.LineName(i));
  ReadRegime(level.regimes[0], u"easy");
  ReadRegime(level.regimes[1], u"hard");
  for (const wchar* sprite : {static_cast<const wchar*>(level.emptyPlaceSprite), static_cast<const wchar*>(level.treeSpotSprite)})
    RequirePicture(build_, tree_, kLevelSpriteSet, NarrowName(sprite), PictureKind::kMapSprite, kLevelSpriteWidth,
                   kLevelSpriteHeight);
}

void LevelReader::ReadLine(LEVELINFO& level, u32 i, const std::string& key) {
  wchar name[32] = {};
  if (key == "cell" || key == "group") {
    tree_.Fail(key + ": the map cells and groups are those of tables/campaign_map.txt");
  } else if (key == "money") {
    tree_.Read(i, u"i4", &level.startMoney);
  } else if (key == "bonus") {
    if (!tree_.Read(i, u"Z[32]", &name)) return;
    const std::string bonus = NarrowName(name);
    level.bonusId = -1;
    for (u32 b = 0; b < kBonusCount; ++b)
      if (bonus == NarrowName(tables_.bonuses[b].name)) level.bonusId = static_cast<i32>(b);
    if (level.bonusId < 0 && bonus != "none") tree_.Fail("bonus: \"" + bonus + "\" is no bonus");
  } else if (key == "music") {
    if (tree_.Read(i, u"Z[32]", &level.music) && level.music[0]) build_.RequireMusic(NarrowName(level.music));
  } else if (key == "player") {
    tree_.Read(i, u"i4,i4", &level.playerX, &level.playerY);
  } else if (key == "empty_place") {
    tree_.Read(i, u"Z[34]", &level.emptyPlaceSprite);
  } else if (key == "tree_spot") {
    tree_.Read(i, u"Z[32]", &level.treeSpotSprite);
  } else if (key == "rates" || key == "charge") {
    float* f = key == "rates" ? level.baseRates : level.chargeFactors;
    tree_.Read(i, u"f,f,f,f,f,f", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5]);
  } else if (key == "restore_check") {
    tree_.Read(i, u"u4", &level.restoreCheck);
  } else if (key == "plant" || key == "building") {
    const bool plant = key == "plant";
    KINDPAIR pair{};
    if (!tree_.Read(i, u"Z[32],i4", &name, &pair.value)) return;
    pair.id = plant ? Plant(NarrowName(name)) : Building(NarrowName(name));
    u32& count = plant ? level.plantCount : level.buildingCount;
    if (count == (plant ? kMaxLevelPlants : kMaxLevelBuildings)) return tree_.Fail("too many " + key + " kinds");
    (plant ? level.plants : level.buildings)[count++] = pair;
  } else if (key == "stock") {
    STOCKPAIR pair{};
    if (!tree_.Read(i, u"Z[32],i4", &name, &pair.count)) return;
    pair.product = Product(NarrowName(name));
    if (level.stockCount == kMaxLevelStock) return tree_.Fail("more than 64 stock entries");
    level.stock[level.stockCount++] = pair;
  } else if (key == "villain_slot") {
    VILLAINSLOT s{};
    if (!tree_.Read(i, u"i4,i4,i4,i4,i4", &s.startX, &s.startY, &s.x, &s.y, &s.direction)) return;
    if (level.villainSlotCount == kMaxVillainSlots) return tree_.Fail("more than 16 villain slots");
    level.villainSlots[level.villainSlotCount++] = s;
  } else if (key == "wave") {
    WAVEDEF w{};
    if (tree_.Read(i, u"i4,Z[32],u4", &w.slot, &name, &w.delay)) {
      w.villainKind = Villain(NarrowName(name));
      level.waves.push_back(w);
    }
  } else if (key == "repeat") {
    tree_.Read(i, u"i4,i4", &level.firstRepeatWave, &level.repeatLength);
  } else if (key == "ground") {
    GROUNDPLACEMENT g{};
    u32 layer = 0;
    if (tree_.Read(i, u"Z[32],i4,i4,u4", &name, &g.x, &g.y, &layer)) {
      g.groundId = Ground(NarrowName(name));
      g.layer = static_cast<u8>(std::min<u32>(layer, 255));
      level.ground.push_back(g);
    }
  } else if (key == "decoration") {
    MAPOBJECTDEF d{};
    u32 mirrored = 0;
    if (tree_.Read(i, u"Z[32],u4,i4,i4,u4,u4", &d.name, &d.layer, &d.x, &d.y, &d.kind, &mirrored)) {
      d.mirrored = mirrored ? 1 : 0;
      build_.Pictures().RequireAnySize(kMapSpriteSet, NarrowName(d.name), PictureKind::kMapSprite, kDecorationSide,
                                       kDecorationSide, "a level's decoration");
      level.decorations.push_back(d);
    }
  } else if (key == "decoration_emitter") {
    MAPOBJECTDEF d{};
    d.type = kMapObjectEmitter;
    i32 sortX = 0, sortY = 0;
    if (tree_.Read(i, u"Z[32],u4,i4,i4,i4,i4,u4", &name, &d.layer, &d.x, &d.y, &sortX, &sortY, &d.spaceParam)) {
      d.systemId = LevelIdOf(NarrowName(name));
      d.sortX = static_cast<i16>(sortX);
      d.sortY = static_cast<i16>(sortY);
      level.decorations.push_back(d);
    }
  } else if (key == "obstacle") {
    OBSTACLEDEF o{};
    if (tree_.Read(i, u"u4,i4,i4,i4,i4", &o.mask, &o.x, &o.y, &o.width, &o.height)) level.obstacles.push_back(o);
  } else if (key == "point") {
    wchar kind[16] = {};
    POINTDEF p{};
    u32 mirrored = 0;
    if (!tree_.Read(i, u"Z[16],i4,i4,{Z[32],i4,u4,u4,u4,u4}", &kind, &p.x, &p.y, &name, &p.level, &p.price,
                    &p.extra[0], &p.extra[1], &mirrored))
      return;
    if (!FindWord(kPointKinds, NarrowName(kind), &p.kind)) return tree_.Fail("point: unknown kind \"" + NarrowName(kind) + "\"");
    p.id = p.kind == 0   ? Garbage(NarrowName(name))
           : p.kind == 2 ? Plant(NarrowName(name))
           : p.kind == 3 ? Building(NarrowName(name))
                         : LevelIdOf(NarrowName(name));
    p.mark = mirrored ? 1 : 0;
    level.points.push_back(p);
  } else if (key == "emitter") {
    EMITTERDEF e{};
    if (tree_.Read(i, u"Z[32],i4,i4,f", &name, &e.x, &e.y, &e.angle)) {
      e.systemId = LevelIdOf(NarrowName(name));
      level.emitters.push_back(e);
    }
  } else if (key == "info") {
    INFOENTRY e{};
    if (tree_.Read(i, u"u4,u4,Z[32],Z[32],Z[32],Z[32],i4,i4,i4,i4", &e.blockKind, &e.itemKind, &e.itemName,
                   &e.textKey, &e.spriteName, &e.imageName, &e.imageX, &e.imageY, &e.spaceBefore, &e.spaceAfter))
      level.intro.push_back(e);
  } else {
    tree_.Fail("unknown line \"" + key + "\"");
  }
}

std::string LevelFileName(u32 level) {
  char name[32];
  std::snprintf(name, sizeof name, "level_%02u.txt", level + 1);
  return name;
}

// Level NN of a name "level_NN.txt" (01 to 41); 0 for any other name.
u32 LevelFileNumber(const std::string& name) {
  if (name.size() != 12 || name.compare(0, 6, "level_") != 0 || name.compare(8, 4, ".txt") != 0) return 0;
  if (name[6] < '0' || name[6] > '9' || name[7] < '0' || name[7] > '9') return 0;
  const u32 n = static_cast<u32>((name[6] - '0') * 10 + (name[7] - '0'));
  return n <= kLevelCount ? n : 0;
}

// The level folder holds level files and nothing else (hidden files
// aside), at least one: a misnamed file would be left out unseen.
bool CheckLevelFolder(const std::string& dir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    std::fprintf(stderr, "databuild: %s: the level folder is no folder\n", dir.c_str());
    return false;
  }
  bool ok = true, any = false;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    if (LevelFileNumber(name) != 0 && it->is_regular_file()) {
      any = true;
      continue;
    }
    if (name == "profile.txt" && it->is_regular_file()) continue;  // the folder's new-profile progress
    std::fprintf(stderr, "databuild: %s/%s: not a level file (level_01.txt to level_41.txt)\n", dir.c_str(),
                 name.c_str());
    ok = false;
  }
  if (ec) {
    std::fprintf(stderr, "databuild: %s: cannot list the level folder: %s\n", dir.c_str(), ec.message().c_str());
    return false;
  }
  if (!any) std::fprintf(stderr, "databuild: %s: the level folder holds no level file\n", dir.c_str());
  return ok && any;
}

// The limit a level sets on a plant or building kind; -1 when it allows none.
i32 KindLimit(const KINDPAIR* pairs, u32 count, u32 id) {
  for (u32 i = 0; i < count; ++i)
    if (pairs[i].id == id) return pairs[i].value;
  return -1;
}

// What the level's points and stock make of a task when the level is built
// (the game's counts: stored units, beds and buildings of the kind at the
// least level, places without garbage).
i32 StartingProgress(const LEVELINFO& level, const LEVELTASK& task) {
  i32 value = 0;
  switch (task.kind) {
    case 0:
      return level.startMoney;
    case 1:
      for (u32 i = 0; i < level.stockCount; ++i)
        if (level.stock[i].product == task.item) value += level.stock[i].count;
      return value;
    case 2:
    case 3:
      for (const POINTDEF& p : level.points)
        if (p.kind == task.kind && p.id == task.item && p.level >= task.minLevel) ++value;
      return value;
    case 4:
      for (const POINTDEF& p : level.points)
        if (!(p.kind == 0 && p.id != 0)) ++value;
      return value;
    default:
      return 0;
  }
}

// A level the game could not play as written: a task met before play
// starts (the game would win the day at once), a place whose centre lies
// outside the play rectangle (the farmer cannot reach it, a small screen
// cuts it), a bed or building above the level its kind may reach here (the
// game leaves such a point out).
void CheckPlayable(const LEVELINFO& level, SourceTree& tree) {
  static const char* const kModes[kLevelRegimes] = {"easy", "hard"};
  static const char* const kKinds[] = {"money", "products", "plants", "buildings", "clean"};
  for (u32 r = 0; r < kLevelRegimes; ++r)
    for (u32 t = 0; t < level.regimes[r].taskCount; ++t) {
      const LEVELTASK& task = level.regimes[r].tasks[t];
      const i32 start = StartingProgress(level, task);
      if (task.kind < 5 && start >= task.target)
        tree.Fail(std::string(kModes[r]) + ": task " + std::to_string(t + 1) + " (" + kKinds[task.kind] + ", " +
                  std::to_string(task.target) + ") is met before play starts (" + std::to_string(start) + ")");
    }
  for (size_t i = 0; i < level.points.size(); ++i) {
    const POINTDEF& p = level.points[i];
    if (p.x < kPlayLeft || p.x >= kPlayRight || p.y < kPlayTop || p.y >= kPlayBottom)
      tree.Fail("point " + std::to_string(i) + " at " + std::to_string(p.x) + ", " + std::to_string(p.y) +
                ": its centre lies outside the play rectangle (" + std::to_string(kPlayLeft) + ", " +
                std::to_string(kPlayTop) + ", " + std::to_string(kPlayRight) + ", " + std::to_string(kPlayBottom) +
                ")");
    i32 limit = 0;
    if (p.kind == 2) limit = KindLimit(level.plants, level.plantCount, p.id);
    else if (p.kind == 1 || p.kind == 3) limit = KindLimit(level.buildings, level.buildingCount, p.id);
    else continue;
    if (p.level > limit)
      tree.Fail("point " + std::to_string(i) + ": level " + std::to_string(p.level) +
                (limit < 0 ? std::string(", a kind the level does not allow") : ", above the level's limit of its kind (" + std::to_string(limit) + ")"));
  }
}

// The campaign's cells and groups into every record and the grid: 41
// levels, each on its own cell of the grid, groups from 0 never falling.
bool ReadCampaignMap(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/campaign_map.txt")) return false;
  const std::vector<kis::TdrNode*> blocks = tree.Blocks(u"campaign");
  if (blocks.size() != 1) {
    tree.Fail("needs one block \"campaign\"");
    return false;
  }
  tree.Enter(blocks[0]);
  u32 n = 0;
  for (u32 i = 0; i < tree.LineCount(); ++i) {
    i32 cell = -1, group = -1;
    if (tree.LineName(i) != "level") {
      tree.Fail("unknown line \"" + tree.LineName(i) + "\"");
      continue;
    }
    if (!tree.Read(i, u"i4,i4", &cell, &group)) continue;
    if (n == kLevelCount) {
      tree.Fail("more than 41 levels");
      break;
    }
    const i32 previous = n == 0 ? 0 : tables.levels[n - 1].mapGroup;
    if (cell < 0 || cell >= static_cast<i32>(kMapGridCells) || tables.grid[cell] >= 0)
      tree.Fail("level " + std::to_string(n + 1) + ": its cell is off the grid or another level's");
    else if (group < previous || (n == 0 && group != 0))
      tree.Fail("level " + std::to_string(n + 1) + ": the groups start at 0 and never fall");
    else
      tables.grid[cell] = static_cast<i32>(n);
    tables.levels[n].mapCell = cell;
    tables.levels[n].mapGroup = group;
    ++n;
  }
  if (n != kLevelCount) tree.Fail("needs a line for each of the 41 levels");
  return tree.Ok();
}

}  // namespace

bool ReadLevels(DataSetBuild& build, ContentSourceTables& tables) {
  tables.levels.assign(kLevelCount, LEVELINFO{});
  for (LEVELINFO& level : tables.levels) level.bonusId = -1;
  const std::string dir = build.LevelsDir();
  if (!ReadCampaignMap(build, tables) || !CheckLevelFolder(dir)) return false;
  // Messages name a level of the sources as "levels/level_01.txt", one of
  // another folder by its path.
  const std::string shownDir = build.Options().levelsDir.empty() ? "levels" : dir;
  bool ok = true;
  for (u32 n = 0; n < kLevelCount; ++n) {
    const std::string path = dir + "/" + LevelFileName(n);
    if (!std::filesystem::exists(path)) continue;
    SourceTree tree;
    if (!tree.Load(path, shownDir + "/" + LevelFileName(n))) {
      ok = false;
      continue;
    }
    const std::vector<kis::TdrNode*> blocks = tree.Blocks(u"level");
    if (blocks.size() != 1) {
      tree.Fail("needs one block \"level\"");
      ok = false;
      continue;
    }
    tree.Enter(blocks[0]);
    LEVELINFO& level = tables.levels[n];
    LevelReader(build, tables, tree).Read(level);
    LEVELCOUNTS counts{};
    counts.of[kLevelGround] = static_cast<u32>(level.ground.size());
    counts.of[kLevelDecorations] = static_cast<u32>(level.decorations.size());
    counts.of[kLevelObstacles] = static_cast<u32>(level.obstacles.size());
    counts.of[kLevelPoints] = static_cast<u32>(level.points.size());
    counts.of[kLevelWaves] = static_cast<u32>(level.waves.size());
    counts.of[kLevelEmitters] = static_cast<u32>(level.emitters.size());
    counts.of[kLevelIntro] = static_cast<u32>(level.intro.size());
    CheckPlayable(level, tree);
    if (tree.Ok() && (!CheckLevelCounts(level, counts) || !ValidateLevelInfo(level)))
      tree.Fail("the record does not pass the game's checks (counts, waves, rates)");
    ok = tree.Ok() && ok;
  }
  return ok;
}
