// The level objects' kinds of "Data.dat" from tables/plants.txt,
// tables/buildings.txt and tables/villains.txt (the formats are in the
// files' headers). Every name a record gives must be a name; a product,
// animation, particle system or character it names must be one the tables
// read before hold; two kinds of one name are refused. The pictures a
// record names are asked of the picture catalogue at their fixed sizes (a
// name asked for at another size or kind is refused), its sounds made
// beside the manifest's.
#include <algorithm>
#include <set>
#include <string>

#include "ContentSources.h"
#include "DataSetBuild.h"
#include "SourceTree.h"
#include "base/Identifier.h"
#include "base/LittleEndian.h"
#include "base/Strings.h"
#include "platform/encoding/Utf.h"

namespace {

constexpr u32 kCropSide = 64;
constexpr u32 kTreeSide = 128;
constexpr u32 kFruitSide = 16;
constexpr u32 kBedWidth = 96, kBedHeight = 64;
constexpr u32 kBuildingSide = 128;
constexpr u32 kSiteWidth = 128, kSiteHeight = 96;
constexpr u32 kTroughWidth = 64, kTroughHeight = 32;
constexpr u32 kJobIconSide = 32;
constexpr u32 kAnimationSide = 48;  // a factory animation's frames

u32 IdOf(const std::string& name) { return kis::NameIdA(name.c_str()); }

// Reads the kinds' sources: the current tree, the build and the tables.
class KindReader {
 public:
  KindReader(DataSetBuild& build, ContentSourceTables& tables, SourceTree& tree)
      : build_(build), tables_(tables), tree_(tree) {}

  // A name line into `out` (a fault when it is no name).
  bool Name(u32 line, std::string* out) {
    wchar text[32] = {};
    if (!tree_.Read(line, u"Z[32]", &text)) return false;
    *out = NarrowName(text);
    if (IdOf(*out) != 0) return true;
    tree_.Fail(tree_.LineName(line) + ": \"" + *out + "\" is not a name");
    return false;
  }
  template <u32 n>
  void Put(wchar (&field)[n], const std::string& text) {
    SetName(field, text);
  }
  // A picture of a record: asked of the catalogue (a name field left empty
  // asks nothing).
  void Picture(u32 set, const std::string& name, PictureKind kind, u32 width, u32 height) {
    if (!name.empty()) RequirePicture(build_, tree_, set, name, kind, width, height);
  }
  // A picture whose size its drawing decides (a frame strip).
  void AnyPicture(u32 set, const std::string& name, PictureKind kind, u32 width, u32 height) {
    if (!name.empty()) build_.Pictures().RequireAnySize(set, name, kind, width, height, "the data's records");
  }
  void Sound(const std::string& name) {
    if (!name.empty()) build_.RequireSound(name);
  }
  u32 Product(const std::string& name) {
    const u32 id = IdOf(name);
    for (const PRODUCT& p : tables_.products)
      if (p.id == id) return id;
    tree_.Fail("\"" + name + "\" is no product");
    return 0;
  }
  void Animation(const std::string& name) {
    const std::u16string wide = plat::Utf8ToUtf16(name);
    const bool known = std::any_of(tables_.animations.begin(), tables_.animations.end(), [&](const ANIMRECORD& a) {
      return kis::StrICompare(a.name, wide.c_str()) == 0;
    });
    if (!known) tree_.Fail("\"" + name + "\" is no animation");
  }
  void ParticleSystem(u32 id, const std::string& name) {
    const bool known = std::any_of(tables_.particleSystems.begin(), tables_.particleSystems.end(),
                                   [id](const GPSSYSTEM& s) { return s.nameId == id; });
    if (!known) tree_.Fail("\"" + name + "\" is no particle system");
  }
  u32 Character(const std::string& name) {
    for (const CHARACTERRECORD& c : tables_.characters)
      if (FoldName(NarrowName(c.name)) == FoldName(name)) return c.id;
    tree_.Fail("\"" + name + "\" is no character");
    return 0;
  }
  // A second kind of the same name is refused.
  void Unique(std::set<u32>& seen, const std::string& name, const char* what) {
    if (!seen.insert(IdOf(name)).second) tree_.Fail(std::string("a second ") + what + " \"" + name + "\"");
  }

  DataSetBuild& build_;
  ContentSourceTables& tables_;
  SourceTree& tree_;
};

// stage { crops = N; crop = X, Y (n of them); button, work, progress, stars = X, Y }
void ReadStage(SourceTree& tree, BEDSTAGE& s) {
  u32 crops = 0;
  for (u32 i = 0; i < tree.LineCount(); ++i) {
    const std::string key = tree.LineName(i);
    i32* pair = key == "button" ? s.buttonAnchor : key == "work" ? s.workSpot : key == "progress" ? s.progressAnchor
                : key == "stars"                                                                    ? s.starsAnchor
                                                                                                    : nullptr;
    if (key == "crop") {
      if (crops == kMaxBedCrops) {
        tree.Fail("crop: at most four");
        continue;
      }
      tree.Read(i, u"i4,i4", &s.crops[crops][0], &s.crops[crops][1]);
      ++crops;
    } else if (pair) {
      tree.Read(i, u"i4,i4", &pair[0], &pair[1]);
    } else {
      tree.Fail("unknown line \"" + key + "\"");
    }
  }
  s.cropCount = crops;
}

}  // namespace

bool ReadPlants(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/plants.txt")) return false;
  KindReader r(build, tables, tree);
  const std::vector<kis::TdrNode*> stages = tree.Blocks(u"stage");
  if (stages.size() != kBedStageCount) tree.Fail("there must be four stages, bed levels 1 to 4");
  for (size_t k = 0; k < stages.size() && k < kBedStageCount; ++k) {
    tree.Enter(stages[k]);
    ReadStage(tree, tables.bedStages[k]);
  }
  tree.Enter(nullptr);
  const std::vector<kis::TdrNode*> timing = tree.Blocks(u"timing");
  if (timing.size() != 1) tree.Fail("needs one block \"timing\"");
  if (!timing.empty()) {
    tree.Enter(timing[0]);
    const std::pair<const char*, u32> words[] = {{"bed_water_ms", kTimingBedWater},
                                                 {"tree_water_ms", kTimingTreeWater},
                                                 {"harvest_ms", kTimingHarvest},
                                                 {"pulldown_ms", kTimingPulldown}};
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      const auto* w = std::find_if(std::begin(words), std::end(words), [&](const auto& e) { return key == e.first; });
      if (w == std::end(words))
        tree.Fail("unknown line \"" + key + "\"");
      else
        tree.Read(i, u"u4", &tables.plantTiming[w->second]);
    }
  }
  tree.Enter(nullptr);
  for (kis::TdrNode* block : tree.Blocks(u"beds")) {
    tree.Enter(block);
    GAMEBEDS beds{};
    u32 n = 0;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      std::string ground;
      if (tree.LineName(i) != "ground" || n == kBedStageCount) {
        tree.Fail("a look is four lines \"ground\"");
      } else if (r.Name(i, &ground)) {
        SetName(beds.groundNames[n++].text, ground);
        r.Picture(kMapSpriteSet, ground, PictureKind::kMapSprite, kBedWidth, kBedHeight);
      }
    }
    if (n != kBedStageCount) tree.Fail("a look is four lines \"ground\"");
    tables.bedLooks.push_back(beds);
  }
  tree.Enter(nullptr);
  std::set<u32> seen;
  for (kis::TdrNode* block : tree.Blocks(u"plant")) {
    tree.Enter(block);
    PLANT p = MakePlant(u"", 0);
    std::string name, kind = "crop", product, harvest, picture, icon, crop, treeName, fruit;
    u32 fruitCount = 0;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      u32 effect = 0;
      if (key == "name") {
        r.Name(i, &name);
      } else if (key == "kind") {
        r.Name(i, &kind);
        if (kind != "crop" && kind != "tree") tree.Fail("kind: crop or tree");
      } else if (key == "prices") {
        tree.Read(i, u"i4,i4,i4,i4", &p.prices[0], &p.prices[1], &p.prices[2], &p.prices[3]);
      } else if (key == "dig_ms") {
        tree.Read(i, u"u4,u4,u4,u4", &p.digTimes[0], &p.digTimes[1], &p.digTimes[2], &p.digTimes[3]);
      } else if (key == "product") {
        if (r.Name(i, &product)) p.productId = r.Product(product);
      } else if (key == "growth_ms") {
        if (tree.Read(i, u"u4", &p.growthTime) && p.growthTime == 0) tree.Fail("growth_ms: above 0");
      } else if (key == "water") {
        if (tree.Read(i, u"u4,u4", &p.waterMin, &p.waterMax) && (p.waterMin < 1 || p.waterMax < p.waterMin))
          tree.Fail("water: MIN at least 1, MAX at least MIN");
      } else if (key == "harvest") {
        r.Name(i, &harvest);  // checked once the animations are read (CheckPlantAnimations)
      } else if (key == "effect") {
        if (tree.Read(i, u"u4", &effect)) p.cropEffect = static_cast<u8>(std::min(effect, 255u));
      } else if (key == "picture") {
        r.Name(i, &picture);
      } else if (key == "icon") {
        r.Name(i, &icon);
      } else if (key == "crop") {
        r.Name(i, &crop);
      } else if (key == "tree") {
        r.Name(i, &treeName);
      } else if (key == "fruit_sprite") {
        r.Name(i, &fruit);
      } else if (key == "fruit_counts") {
        tree.Read(i, u"u4,u4,u4,u4", &p.fruitCounts[0], &p.fruitCounts[1], &p.fruitCounts[2], &p.fruitCounts[3]);
      } else if (key == "fruit") {
        if (fruitCount == kMaxTreeFruits) {
          tree.Fail("fruit: at most 24");
          continue;
        }
        TREEFRUIT& f = p.fruits[fruitCount++];
        tree.Read(i, u"i4,i4,x4", &f.x, &f.y, &f.colour);
      } else if (key == "fruit_scale") {
        tree.Read(i, u"f,f", &p.fruitScale[0], &p.fruitScale[1]);
      } else if (key == "fruit_rotation") {
        tree.Read(i, u"f,f", &p.fruitRotation[0], &p.fruitRotation[1]);
      } else if (key == "tree_button" || key == "tree_work" || key == "tree_progress" || key == "tree_stars") {
        i32* pair = key == "tree_button" ? p.treeButtonAnchor : key == "tree_work" ? p.treeWorkSpot
                    : key == "tree_progress"                                     ? p.treeProgressAnchor
                                                                                 : p.treeStarsAnchor;
        tree.Read(i, u"i4,i4", &pair[0], &pair[1]);
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    if (name.empty()) {
      tree.Fail("a plant needs a name");
      continue;
    }
    r.Unique(seen, name, "plant");
    if (p.productId == 0) tree.Fail("a plant needs its product");
    p.kind = kind == "tree" ? kPlantTree : 0;
    p.id = IdOf(name);
    if (picture.empty()) picture = "pic_" + name;
    if (icon.empty()) icon = "job_" + name;
    if (crop.empty()) crop = name + "_crop";
    SetName(p.name, name);
    SetName(p.pictureName, picture);
    SetName(p.iconName, icon);
    SetName(p.cropName, crop);
    SetName(p.harvestAnimation, harvest);
    r.Picture(kIconSpriteSet, picture, PictureKind::kSprite, kIconSide, kIconSide);
    r.Picture(kIconSpriteSet, icon, PictureKind::kSprite, kJobIconSide, kJobIconSide);
    // A tree's crop is its crown, laid over the tree at the tree's size.
    const u32 cropSide = p.kind == kPlantTree ? kTreeSide : kCropSide;
    r.Picture(kMapSpriteSet, crop, PictureKind::kMapSprite, cropSide, cropSide);
    if (p.kind == kPlantTree) {
      if (treeName.empty()) treeName = name + "_tree";
      if (fruit.empty()) fruit = name + "_fruit";
      SetName(p.treeName, treeName);
      SetName(p.fruitName, fruit);
      r.Picture(kMapSpriteSet, treeName, PictureKind::kMapSprite, kTreeSide, kTreeSide);
      r.Picture(kMapSpriteSet, fruit, PictureKind::kMapSprite, kFruitSide, kFruitSide);
      for (u32 c : p.fruitCounts)
        if (c > p.fruitCounts[3] || c > fruitCount) tree.Fail("fruit_counts: none above the fourth, nor the fruits");
    } else if (!treeName.empty() || !fruit.empty() || fruitCount > 0) {
      tree.Fail("only a tree has a tree, fruit and fruit positions");
    }
    tables.plants.push_back(p);
  }
  return tree.Ok();
}

// One level record of a building: level { price, build_ms, capacity,
// sprite, icon, build_icon, extra, animation, emitter, trough, and for an animal house
// feed (units a feeding takes), trough_at, feed_spot = X, Y, facing =
// UNMIRRORED, MIRRORED, eat_facing = UNMIRRORED, MIRRORED and eat_spot = X, Y
// (the chickens', up to four) }.
namespace {

constexpr u32 kHouseSpots = 4;

void ReadHouseLevelLine(SourceTree& tree, const BUILDING& b, u32 i, const std::string& key, HOUSELEVEL& h,
                        u32* eatFacings, u32* eatSpots) {
  if (b.kind != kBuildingAnimalHouse) {
    tree.Fail(key + ": only an animal house (give its kind first)");
  } else if (key == "feed") {
    tree.Read(i, u"u4", &h.feedAmount);
  } else if (key == "trough_at") {
    tree.Read(i, u"i4,i4", &h.troughOffset[0], &h.troughOffset[1]);
  } else if (key == "feed_spot") {
    tree.Read(i, u"i4,i4", &h.feedSpot[0], &h.feedSpot[1]);
  } else if (key == "facing") {
    if (tree.Read(i, u"u4,u4", &h.facing, &h.facingMirrored) && (h.facing > 7 || h.facingMirrored > 7))
      tree.Fail("facing: directions 0 to 7");
  } else if (*(key == "eat_facing" ? eatFacings : eatSpots) == kHouseSpots) {
    tree.Fail(key + ": at most four");
  } else if (key == "eat_facing") {
    u32* pair = h.eatingFacings + 2 * (*eatFacings)++;
    if (tree.Read(i, u"u4,u4", &pair[0], &pair[1]) && (pair[0] > 7 || pair[1] > 7))
      tree.Fail("eat_facing: directions 0 to 7");
  } else {
    i32* pair = h.spots + 2 * (*eatSpots)++;
    tree.Read(i, u"i4,i4", &pair[0], &pair[1]);
  }
}

void ReadBuildingLevel(KindReader& r, SourceTree& tree, const BUILDING& b, u32 index, BUILDINGLEVEL& l) {
  const std::string name = NarrowName(b.name);
  const std::string n = std::to_string(index + 1);
  std::string sprite = name + "_" + n, icon = "pic_" + name + "_" + n, buildIcon = index == 0 ? "job_" + name : "";
  std::string trough = b.kind == kBuildingAnimalHouse ? name + "_trough" : "";
  u32 eatFacings = 0, eatSpots = 0;
  for (u32 i = 0; i < tree.LineCount(); ++i) {
    const std::string key = tree.LineName(i);
    std::string text;
    if (key == "price") {
      tree.Read(i, u"i4", &l.price);
    } else if (key == "build_ms") {
      tree.Read(i, u"u4", &l.buildTime);
    } else if (key == "capacity") {
      if (b.kind == kBuildingFactory || b.kind == kBuildingAnimalHouse)
        tree.Fail("capacity: only a plain building (the warehouse) has one");
      else
        tree.Read(i, u"u4", &l.capacity);
    } else if (key == "sprite") {
      r.Name(i, &sprite);
    } else if (key == "icon") {
      r.Name(i, &icon);
    } else if (key == "build_icon") {
      r.Name(i, &buildIcon);
    } else if (key == "trough") {
      r.Name(i, &trough);
    } else if (key == "feed" || key == "trough_at" || key == "feed_spot" || key == "facing" || key == "eat_facing" ||
               key == "eat_spot") {
      ReadHouseLevelLine(tree, b, i, key, l.house, &eatFacings, &eatSpots);
    } else if (key == "extra") {
      if (l.extraCount == kMaxBuildingExtras) {
        tree.Fail("extra: at most two");
      } else if (r.Name(i, &text)) {
        SetName(l.extras[l.extraCount++].text, text);
        r.Picture(kMapSpriteSet, text, PictureKind::kMapSprite, kBuildingSide, kBuildingSide);
      }
    } else if (key == "animation") {
      wchar image[32] = {};
      FACTORYANIM a{};
      if (b.kind != kBuildingFactory) {
        tree.Fail("animation: only a factory has them");
      } else if (l.factory.animationCount == kMaxFactoryAnimations) {
        tree.Fail("animation: at most four");
      } else if (tree.Read(i, u"Z[32],i4,i4,i4,i4", &image, &a.x, &a.y, &a.frameTime, &a.frameCount)) {
        if (a.frameCount > static_cast<i32>(kMaxFactoryFrames) || a.frameTime <= 0) {
          tree.Fail("animation: at most 32 frames (negative: the image's own), a frame time above 0");
        } else {
          for (i32 k = 0; k < a.frameCount; ++k) a.sequence[k] = static_cast<u32>(k);
          SetName(a.imageName, NarrowName(image));
          r.AnyPicture(kMapSpriteSet, NarrowName(image), PictureKind::kMapSprite, kAnimationSide, kAnimationSide);
          l.factory.animations[l.factory.animationCount++] = a;
        }
      }
    } else if (key == "emitter") {
      wchar system[32] = {};
      BUILDINGEMITTER e{};
      if (l.emitterCount == kMaxBuildingEmitters) {
        tree.Fail("emitter: at most sixteen");
      } else if (b.kind != kBuildingFactory) {
        tree.Fail("emitter: only a factory has them");
      } else if (tree.Read(i, u"Z[32],i4,i4", &system, &e.x, &e.y)) {
        e.systemId = IdOf(NarrowName(system));
        r.ParticleSystem(e.systemId, NarrowName(system));
        l.emitters[l.emitterCount++] = e;
      }
    } else {
      tree.Fail("unknown line \"" + key + "\"");
    }
  }
  SetName(l.mapSpriteName, sprite);
  SetName(l.iconName, icon);
  SetName(l.buildIconName, buildIcon);
  r.Picture(kMapSpriteSet, sprite, PictureKind::kMapSprite, kBuildingSide, kBuildingSide);
  r.Picture(kIconSpriteSet, icon, PictureKind::kSprite, kIconSide, kIconSide);
  r.Picture(kIconSpriteSet, buildIcon, PictureKind::kSprite, kJobIconSide, kJobIconSide);
  if (b.kind == kBuildingAnimalHouse) {
    SetName(l.house.troughName, trough);
    r.Picture(kMapSpriteSet, trough, PictureKind::kMapSprite, kTroughWidth, kTroughHeight);
  }
}

}  // namespace

namespace {

// A line of an animal house's own part of the header.
void ReadHouseLine(KindReader& r, SourceTree& tree, u32 i, const std::string& key, BUILDING& b, u32* doors) {
  HOUSEPART& h = b.house;
  std::string text;
  if (b.kind != kBuildingAnimalHouse) {
    tree.Fail(key + ": only an animal house (give its kind first)");
  } else if (key == "feed_icon" || key == "job_icon") {
    if (r.Name(i, &text)) {
      SetName(key == "feed_icon" ? h.feedIconName : h.feedJobIconName, text);
      r.Picture(kIconSpriteSet, text, PictureKind::kSprite, key == "feed_icon" ? kIconSide : kJobIconSide,
                key == "feed_icon" ? kIconSide : kJobIconSide);
    }
  } else if (key == "feed_animation") {
    if (r.Name(i, &text)) {
      SetName(h.feedAnimation, text);
      r.Animation(text);
    }
  } else if (key == "feed_ms" || key == "mark_working") {
    if (tree.Read(i, u"u4", key == "feed_ms" ? &h.feedTime : &h.markWorking) && h.markWorking > 1)
      tree.Fail("mark_working: 0 or 1");
  } else if (key == "door") {
    i32 x = 0, y = 0;
    if (*doors == kHouseSpots) {
      tree.Fail("door: at most four");
    } else if (tree.Read(i, u"i4,i4", &x, &y)) {
      kis::PutI32LE(h.houseBytes + 8 * *doors, x);
      kis::PutI32LE(h.houseBytes + 8 * *doors + 4, y);
      ++*doors;
    }
  } else if (key == "progress") {
    tree.Read(i, u"i4,i4", &h.progressAnchor[0], &h.progressAnchor[1]);
  } else {
    // The house's timings: the cycle at 0, the eating at 2, the collecting at 3.
    tree.Read(i, u"u4", &h.timings[key == "cycle_ms" ? 0 : key == "eat_ms" ? 2 : 3]);
  }
}

}  // namespace

// The plants come before the animations in the archive: their harvesting
// animations are checked when the buildings are read.
namespace {

bool CheckPlantAnimations(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/plants.txt")) return false;
  KindReader r(build, tables, tree);
  for (const PLANT& p : tables.plants)
    if (p.harvestAnimation[0]) r.Animation(NarrowName(p.harvestAnimation));
  return tree.Ok();
}

}  // namespace

// building { name, kind = plain | factory | animal, site, offset, work,
// stars, scale, mirror = A, B, product (factories, up to five), feeds,
// gives, character, sound, and for an animal house feed_icon, job_icon,
// feed_animation (the player's; an animation), feed_ms, mark_working (0 or
// 1), door = X, Y (a chicken's door, up to four), cycle_ms, eat_ms,
// collect_ms and progress = X, Y; level { ... } (up to four) }.
bool ReadBuildings(DataSetBuild& build, ContentSourceTables& tables) {
  if (!CheckPlantAnimations(build, tables)) return false;
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/buildings.txt")) return false;
  KindReader r(build, tables, tree);
  std::set<u32> seen;
  for (kis::TdrNode* block : tree.Blocks(u"building")) {
    tree.Enter(block);
    BUILDING b = MakeBuilding(u"", 0);
    std::string name, kind = "plain", site, sound, text;
    u32 doors = 0;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      u32 mirror[2] = {};
      if (key == "name") {
        r.Name(i, &name);
      } else if (key == "kind") {
        r.Name(i, &kind);
        if (kind != "plain" && kind != "factory" && kind != "animal") tree.Fail("kind: plain, factory or animal");
        b.kind = kind == "factory" ? kBuildingFactory : kind == "animal" ? kBuildingAnimalHouse : 0;
      } else if (key == "site") {
        r.Name(i, &site);
      } else if (key == "offset" || key == "work" || key == "stars") {
        i32* pair = key == "offset" ? b.objectOffset : key == "work" ? b.workSpot : b.starsOffset;
        tree.Read(i, u"i4,i4", &pair[0], &pair[1]);
      } else if (key == "scale") {
        if (tree.Read(i, u"f", &b.scale) && !(b.scale > 0.0f && b.scale < 16.0f)) tree.Fail("scale: above 0, below 16");
      } else if (key == "mirror") {
        if (tree.Read(i, u"u4,u4", &mirror[0], &mirror[1]))
          for (u32 k = 0; k < 2; ++k) b.mirrorRule[k] = mirror[k] ? 1 : 0;
      } else if (key == "product") {
        if (b.kind != kBuildingFactory) {
          tree.Fail("product: only a factory makes them (give its kind first)");
        } else if (b.factory.productCount == kMaxFactoryProducts) {
          tree.Fail("product: at most five");
        } else if (r.Name(i, &text)) {
          b.factory.products[b.factory.productCount++] = r.Product(text);
        }
      } else if (key == "buttons" || key == "slots") {
        if (b.kind != kBuildingFactory) {
          tree.Fail(key + ": only a factory has them (give its kind first)");
        } else {
          i32* pair = key == "buttons" ? b.factory.buttonOrigin : b.factory.slotOrigin;
          tree.Read(i, u"i4,i4", &pair[0], &pair[1]);
        }
      } else if (key == "feeds" || key == "gives") {
        if (b.kind != kBuildingAnimalHouse) {
          tree.Fail(key + ": only an animal house (give its kind first)");
        } else if (r.Name(i, &text)) {
          (key == "feeds" ? b.house.feedProduct : b.house.producedProduct) = r.Product(text);
        }
      } else if (key == "character") {
        if (r.Name(i, &text)) b.house.characterId = r.Character(text);
      } else if (key == "feed_icon" || key == "job_icon" || key == "feed_animation" || key == "feed_ms" ||
                 key == "mark_working" || key == "door" || key == "cycle_ms" || key == "eat_ms" ||
                 key == "collect_ms" || key == "progress") {
        ReadHouseLine(r, tree, i, key, b, &doors);
      } else if (key == "sound") {
        r.Name(i, &sound);
      } else if (key == "level") {
        tree.Fail("a level is a block \"level { ... }\"");
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    if (name.empty()) {
      tree.Fail("a building needs a name");
      continue;
    }
    r.Unique(seen, name, "building");
    SetName(b.name, name);
    b.id = IdOf(name);
    if (site.empty()) site = name + "_site";
    SetName(b.siteName, site);
    r.Picture(kMapSpriteSet, site, PictureKind::kMapSprite, kSiteWidth, kSiteHeight);
    r.Sound(sound);
    if (b.kind == kBuildingFactory) SetName(b.factory.soundName, sound);
    if (b.kind == kBuildingAnimalHouse) SetName(b.house.soundName, sound);
    if (b.kind == kBuildingFactory && b.factory.productCount == 0) tree.Fail("a factory makes at least one product");
    if (b.kind == kBuildingAnimalHouse && b.house.producedProduct == 0) tree.Fail("an animal house gives a product");
    const std::vector<kis::TdrNode*> levels = tree.Blocks(u"level");
    if (levels.empty() || levels.size() > kMaxBuildingLevels) tree.Fail("a building has one to four levels");
    b.levelCount = static_cast<i32>(std::min<size_t>(levels.size(), kMaxBuildingLevels));
    for (i32 k = 0; k < b.levelCount; ++k) {
      tree.Enter(levels[static_cast<size_t>(k)]);
      ReadBuildingLevel(r, tree, b, static_cast<u32>(k), b.levels[k]);
    }
    tables.buildings.push_back(b);
  }
  tree.Enter(nullptr);
  // The buildings the game's code names (the manifest's "building" entries).
  for (const ManifestEntry& e : build.GetManifest().Entries()) {
    if (e.kind != NameKind::kBuilding) continue;
    const u32 id = IdOf(e.name);
    if (std::none_of(tables.buildings.begin(), tables.buildings.end(), [id](const BUILDING& b) { return b.id == id; }))
      tree.Fail("names.txt:" + std::to_string(e.line) + ": the game names the building \"" + e.name +
                "\", which is not here");
  }
  return tree.Ok();
}

// villain { name, skin, enter_ms, shot_ms, shots, health, damage,
// damage_ms, money, shot_money, sound, shot_speed, flight_ms }.
bool ReadVillains(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/villains.txt")) return false;
  KindReader r(build, tables, tree);
  std::set<u32> seen;
  for (kis::TdrNode* block : tree.Blocks(u"villain")) {
    tree.Enter(block);
    VILLAININFO v = MakeVillain(u"");
    std::string name, sound;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      const std::pair<const char*, u32*> words[] = {
          {"skin", &v.skin},         {"enter_ms", &v.enterInterval},
          {"shot_ms", &v.shotInterval}, {"damage_ms", &v.damageTime},
          {"flight_ms", &v.flightTime}};
      const std::pair<const char*, i32*> counts[] = {{"shots", &v.shots},   {"health", &v.health},
                                                     {"damage", &v.damage}, {"money", &v.money},
                                                     {"shot_money", &v.shotMoney}};
      const auto* w = std::find_if(std::begin(words), std::end(words), [&](const auto& e) { return key == e.first; });
      const auto* c = std::find_if(std::begin(counts), std::end(counts), [&](const auto& e) { return key == e.first; });
      if (key == "name") {
        r.Name(i, &name);
      } else if (key == "sound") {
        r.Name(i, &sound);
      } else if (key == "shot_speed") {
        if (tree.Read(i, u"f", &v.shotSpeed) && !(v.shotSpeed > 0.0f && v.shotSpeed < 1000.0f))
          tree.Fail("shot_speed: above 0, below 1000");
      } else if (w != std::end(words)) {
        tree.Read(i, u"u4", w->second);
      } else if (c != std::end(counts)) {
        tree.Read(i, u"i4", c->second);
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    if (name.empty()) {
      tree.Fail("a villain needs a name");
      continue;
    }
    r.Unique(seen, name, "villain");
    if (v.shots < 1 || v.health < 1) tree.Fail("shots and health: at least 1");
    SetName(v.name, name);
    v.id = IdOf(name);
    SetName(v.soundName, sound);
    r.Sound(sound);
    tables.villains.push_back(v);
  }
  return tree.Ok();
}
