#include "ContentSources.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "DataSetBuild.h"
#include "SourceTree.h"
#include "base/Identifier.h"
#include "content/ContentArchive.h"

namespace {

u32 NameIdOf(const std::string& name) { return kis::NameIdA(name.c_str()); }

// A name line: a valid name (letters, digits, "_") into `out`.
bool ReadName(SourceTree& tree, u32 line, std::string* out) {
  wchar name[32] = {};
  if (!tree.Read(line, u"Z[32]", &name)) return false;
  *out = NarrowName(name);
  if (kis::NameIdA(out->c_str()) != 0) return true;
  tree.Fail(tree.LineName(line) + ": \"" + *out + "\" is not a name");
  return false;
}

}  // namespace

bool OpenSource(DataSetBuild& build, SourceTree& tree, const std::string& relative) {
  return tree.Load(build.SourcePath(relative), relative);
}

bool RequirePicture(DataSetBuild& build, SourceTree& tree, u32 set, const std::string& name, PictureKind kind,
                    u32 width, u32 height) {
  std::string error;
  if (build.Pictures().Require(set, name, kind, width, height, "the data's records", &error)) return true;
  tree.Fail(error);
  return false;
}

// product { name, price, time_ms, number, ingredient = NAME, AMOUNT (up to
// four), icon, icon2, map_sprite }. Ingredients are looked up once every
// product is read.
bool ReadProducts(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/products.txt")) return false;
  std::vector<std::vector<std::pair<std::string, i32>>> recipes;
  for (kis::TdrNode* block : tree.Blocks(u"product")) {
    tree.Enter(block);
    PRODUCT p{};
    p.awardIndex = -1;
    p.number = static_cast<u32>(tables.products.size() + 1);
    std::string name, icon, icon2, map;
    std::vector<std::pair<std::string, i32>> recipe;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      if (key == "name") {
        ReadName(tree, i, &name);
      } else if (key == "price") {
        tree.Read(i, u"i4", &p.price);
      } else if (key == "time_ms") {
        tree.Read(i, u"u4", &p.productionTime);
      } else if (key == "number") {
        tree.Read(i, u"u4", &p.number);
      } else if (key == "ingredient") {
        wchar what[32] = {};
        i32 amount = 0;
        if (tree.Read(i, u"Z[32],i4", &what, &amount)) recipe.emplace_back(NarrowName(what), amount);
      } else if (key == "icon") {
        ReadName(tree, i, &icon);
      } else if (key == "icon2") {
        ReadName(tree, i, &icon2);
      } else if (key == "map_sprite") {
        ReadName(tree, i, &map);
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    if (name.empty()) tree.Fail("a product needs a name");
    if (recipe.size() > kMaxIngredients) tree.Fail("more than four ingredients");
    if (icon.empty()) icon = "ico_" + name;
    if (icon2.empty()) icon2 = "ico2_" + name;
    if (map.empty()) map = name + "_map";
    SetName(p.name, name);
    SetName(p.iconName, icon);
    SetName(p.icon2Name, icon2);
    SetName(p.mapSpriteName, map);
    p.id = NameIdOf(name);
    RequirePicture(build, tree, kIconSpriteSet, icon, PictureKind::kSprite, kIconSide, kIconSide);
    RequirePicture(build, tree, kIconSpriteSet, icon2, PictureKind::kSprite, kSmallIconSide, kSmallIconSide);
    RequirePicture(build, tree, kMapSpriteSet, map, PictureKind::kMapSprite, kProductMapSide, kProductMapSide);
    tables.products.push_back(p);
    recipes.push_back(std::move(recipe));
  }
  tree.Enter(nullptr);
  for (size_t i = 0; i < tables.products.size(); ++i) {
    PRODUCT& p = tables.products[i];
    for (const auto& [what, amount] : recipes[i]) {
      const u32 id = NameIdOf(what);
      const bool known = std::any_of(tables.products.begin(), tables.products.end(),
                                     [id](const PRODUCT& q) { return q.id == id; });
      if (!known || amount < 1) {
        tree.Fail(NarrowName(p.name) + ": ingredient \"" + what + "\" is no product or has no amount");
        continue;
      }
      if (p.ingredientCount < kMaxIngredients) p.ingredients[p.ingredientCount++] = INGREDIENT{id, amount};
    }
  }
  return tree.Ok();
}

// bonus { name, name_key, desc_key, charge_ms, active_ms, effect }, six of
// them in bonus order (bees, rain, speed, instant harvest, factories,
// animal houses).
bool ReadBonuses(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/bonuses.txt")) return false;
  const std::vector<kis::TdrNode*> blocks = tree.Blocks(u"bonus");
  if (blocks.size() != kBonusCount) tree.Fail("there must be exactly six bonuses");
  for (size_t n = 0; n < blocks.size() && n < kBonusCount; ++n) {
    tree.Enter(blocks[n]);
    BONUS& b = tables.bonuses[n];
    std::string name, nameKey, descKey;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      if (key == "name") {
        ReadName(tree, i, &name);
      } else if (key == "name_key") {
        ReadName(tree, i, &nameKey);
      } else if (key == "desc_key") {
        ReadName(tree, i, &descKey);
      } else if (key == "charge_ms") {
        tree.Read(i, u"u4", &b.chargeTime);
      } else if (key == "active_ms") {
        tree.Read(i, u"u4", &b.activeTime);
      } else if (key == "effect") {
        tree.Read(i, u"f", &b.effect);
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    if (name.empty()) tree.Fail("a bonus needs a name");
    SetName(b.name, name);
    SetName(b.nameKey, nameKey.empty() ? name : nameKey);
    SetName(b.descKey, descKey.empty() ? name + "_desc" : descKey);
    b.id = NameIdOf(name);
    RequirePicture(build, tree, kIconSpriteSet, name, PictureKind::kSprite, kIconSide, kIconSide);
    RequirePicture(build, tree, kIconSpriteSet, "big_" + name, PictureKind::kSprite, kBigIconSide, kBigIconSide);
  }
  return tree.Ok();
}

// tiered { name, icon, start, tiers = T1, T2, T3 } nine times, then
// record { name, icon, threshold } eight times.
bool ReadAwards(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/awards.txt")) return false;
  const std::vector<kis::TdrNode*> tiered = tree.Blocks(u"tiered");
  const std::vector<kis::TdrNode*> records = tree.Blocks(u"record");
  if (tiered.size() != kTieredAwardCount || records.size() != kRecordAwardCount)
    tree.Fail("there must be nine tiered and eight record awards");
  // The award's name and icon.
  auto read = [&](kis::TdrNode* block, i32* start, i32* tiers, i32* threshold) {
    tree.Enter(block);
    std::string name, icon;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      if (key == "name") {
        ReadName(tree, i, &name);
      } else if (key == "icon") {
        ReadName(tree, i, &icon);
      } else if (key == "start" && start) {
        tree.Read(i, u"i4", start);
      } else if (key == "tiers" && tiers) {
        tree.Read(i, u"i4,i4,i4", &tiers[0], &tiers[1], &tiers[2]);
      } else if (key == "threshold" && threshold) {
        tree.Read(i, u"i4", threshold);
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    if (name.empty()) tree.Fail("an award needs a name");
    if (icon.empty()) icon = "aw_" + name;
    RequirePicture(build, tree, kAwardSpriteSet, icon, PictureKind::kSprite, kAwardIconSide, kAwardIconSide);
    return std::make_pair(name, icon);
  };
  for (size_t n = 0; n < tiered.size() && n < kTieredAwardCount; ++n) {
    TIEREDAWARD& a = tables.tiered[n];
    const auto [name, icon] = read(tiered[n], &a.startValue, a.tiers, nullptr);
    SetName(a.name, name);
    SetName(a.iconName, icon);
  }
  for (size_t n = 0; n < records.size() && n < kRecordAwardCount; ++n) {
    RECORDAWARD& a = tables.records[n];
    const auto [name, icon] = read(records[n], nullptr, nullptr, &a.threshold);
    SetName(a.name, name);
    SetName(a.iconName, icon);
  }
  return tree.Ok();
}

// profile { tutorials, open_easy, open_hard }, once. A level folder of its
// own may bring its own "profile.txt" (the scenario levels, whose first
// level is not the farm the first tutorial teaches on, switch them off).
bool ReadNewProfile(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  const std::string own = build.LevelsDir() + "/profile.txt";
  std::error_code error;
  if (build.LevelsDir() != build.SourcePath("levels") && std::filesystem::is_regular_file(own, error)) {
    if (!tree.Load(own, "profile.txt")) return false;
  } else if (!OpenSource(build, tree, "tables/profile.txt")) {
    return false;
  }
  const std::vector<kis::TdrNode*> blocks = tree.Blocks(u"profile");
  if (blocks.size() != 1) {
    tree.Fail("there must be exactly one profile");
    return false;
  }
  tree.Enter(blocks[0]);
  PROFILEPROGRESS& p = tables.newProfile;
  p = EmptyProfileProgress();
  u32 open[kProfileRegimes] = {};
  for (u32 i = 0; i < tree.LineCount(); ++i) {
    const std::string key = tree.LineName(i);
    if (key == "tutorials") {
      tree.Read(i, u"u4", &p.tutorialsOn);
    } else if (key == "open_easy" || key == "open_hard") {
      u32& n = open[key == "open_hard"];
      if (tree.Read(i, u"u4", &n) && n > kLevelCount) tree.Fail(key + " beyond the last level");
    } else {
      tree.Fail("unknown line \"" + key + "\"");
    }
  }
  if (p.tutorialsOn > 1) tree.Fail("tutorials is 0 or 1");
  for (u32 r = 0; r < kProfileRegimes; ++r)
    for (u32 l = 0; l < open[r] && l < kLevelCount; ++l) p.regimes[r].levels[l].state = kLevelOpen;
  return tree.Ok();
}

// ground { name, sprite, turn, rect = LEFT, TOP, RIGHT, BOTTOM }.
bool ReadGround(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/ground.txt")) return false;
  std::vector<std::pair<std::string, DXLRECT>> sprites;
  for (kis::TdrNode* block : tree.Blocks(u"ground")) {
    tree.Enter(block);
    GROUND g{};
    std::string name, sprite;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      if (key == "name") {
        ReadName(tree, i, &name);
      } else if (key == "sprite") {
        ReadName(tree, i, &sprite);
      } else if (key == "turn") {
        tree.Read(i, u"u4", &g.drawParam);
      } else if (key == "rect") {
        tree.Read(i, u"i4,i4,i4,i4", &g.rect.left, &g.rect.top, &g.rect.right, &g.rect.bottom);
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    if (name.empty() || sprite.empty()) tree.Fail("a ground needs a name and a sprite");
    if (g.rect.left < 0 || g.rect.top < 0 || g.rect.right <= g.rect.left || g.rect.bottom <= g.rect.top ||
        g.rect.right > 4096 || g.rect.bottom > 4096)
      tree.Fail("rect must be a rectangle inside 4096 x 4096");
    g.id = NameIdOf(name);
    SetName(g.spriteName, sprite);
    tables.grounds.push_back(g);
    sprites.emplace_back(sprite, g.rect);
  }
  tree.Enter(nullptr);
  // Each sprite as large as every rectangle that shows it needs, and the
  // margin beyond them where the art repeats the tiles' edges.
  std::sort(sprites.begin(), sprites.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < sprites.size();) {
    i32 w = 1, h = 1;
    size_t j = i;
    for (; j < sprites.size() && sprites[j].first == sprites[i].first; ++j) {
      w = std::max(w, sprites[j].second.right);
      h = std::max(h, sprites[j].second.bottom);
    }
    RequirePicture(build, tree, kGroundSpriteSet, sprites[i].first, PictureKind::kSprite,
                   static_cast<u32>(w) + kGroundMargin, static_cast<u32>(h) + kGroundMargin);
    i = j;
  }
  return tree.Ok();
}

// garbage { name, time_ms, sprite = NAME, LAYER, X, Y (up to two),
// particles = SYSTEM, LAYER, X, Y, SORT_X, SORT_Y, PARAM (up to four) }.
bool ReadGarbage(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/garbage.txt")) return false;
  for (kis::TdrNode* block : tree.Blocks(u"garbage")) {
    tree.Enter(block);
    GARBAGEINFO g{};
    std::string name;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      if (key == "name") {
        ReadName(tree, i, &name);
      } else if (key == "time_ms") {
        tree.Read(i, u"u4", &g.clearTime);
      } else if (key == "sprite") {
        GARBAGESPRITE s{};
        if (!tree.Read(i, u"Z[32],u4,i4,i4", &s.name, &s.layer, &s.x, &s.y)) continue;
        if (g.spriteCount == kGarbageSpriteSlots) {
          tree.Fail("more than two sprites");
          continue;
        }
        RequirePicture(build, tree, kMapSpriteSet, NarrowName(s.name), PictureKind::kMapSprite, kGarbageWidth,
                       kGarbageHeight);
        g.sprites[g.spriteCount++] = s;
      } else if (key == "particles") {
        wchar system[32] = {};
        GARBAGEPARTICLE e{};
        if (!tree.Read(i, u"Z[32],u4,i4,i4,i4,i4,u4", &system, &e.layer, &e.x, &e.y, &e.sortX, &e.sortY,
                       &e.spaceParam))
          continue;
        e.systemId = NameIdOf(NarrowName(system));
        const bool known = std::any_of(tables.particleSystems.begin(), tables.particleSystems.end(),
                                       [&](const GPSSYSTEM& s) { return s.nameId == e.systemId; });
        if (!known) {
          std::string what = NarrowName(system);
          what.insert(0, "particles: ").append(" is no particle system");
          tree.Fail(what);
        } else if (g.particleCount == kGarbageParticleSlots) {
          tree.Fail("more than four particle emitters");
        } else {
          g.particles[g.particleCount++] = e;
        }
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    if (name.empty()) tree.Fail("a garbage kind needs a name");
    g.id = NameIdOf(name);
    tables.garbage.push_back(g);
  }
  return tree.Ok();
}
