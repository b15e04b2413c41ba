// The level-selection map's "MAPM" section from "tables/map.txt":
//
//   picture = NAME, W, H     a picture of the map sprite set (12) that items
//                            name, W x H pixels
//   water = X, Y, FRAME_MS   an animated water (its frames "map_water<k>_<f>")
//   emitter = SYSTEM, X, Y, ANGLE    one of the map's 16 emitters
//   look { name = NAME       a node's decorations, shared by nodes:
//     sprite = PICTURE, STATES, X, Y [, SCALE, FRAME_MS, MODE]
//     spot = PICTURE, STATES, X, Y [, SCALE, FRAME_MS, MODE]   (centred)
//     sign = STATES, X, Y
//     particles = STATES, SCALE
//     emitter = SYSTEM, X, Y     (of the particles line before it)
//     characters = STATES        a group of map characters (at most 4 of
//                                them, 4 entries), then its entries:
//     chickens = COUNT           a flock, living in the yard lines after it
//     yard = rect, L, T, R, B    (or ellipse, CX, CY, RX, RY; at most 8)
//     cow = X, Y, DIRECTION      a cow's head at home there
//     sheep = X, Y, DIRECTION }  a sheep's head
//   node = LEVEL, LOOK       level 1 to 41, each once
//
// STATES joins the words hidden, closed, open, finished and attack with
// "_" (closed_open_finished). Item positions are map units from the node; a look holds at most 16
// items, a particles item 89 emitters; systems are those of particles.txt.
#include <cmath>
#include <string>
#include <vector>

#include "ContentSources.h"
#include "DataSetBuild.h"
#include "SourceTree.h"
#include "base/Identifier.h"
#include "resources/SpriteSet.h"

namespace {

struct Look {
  std::string name;
  MAPNODE node;
};

bool ParseStates(const std::string& text, u32* mask) {
  static constexpr std::pair<const char*, u32> kWords[] = {{"hidden", kMapMaskHidden},
                                                          {"closed", kMapMaskClosed},
                                                          {"open", kMapMaskOpen},
                                                          {"finished", kMapMaskFinished},
                                                          {"attack", kMapMaskAttack}};
  *mask = 0;
  size_t at = 0;
  while (at <= text.size()) {
    const size_t end = std::min(text.find('_', at), text.size());
    const std::string word = text.substr(at, end - at);
    bool known = false;
    for (const auto& [w, bit] : kWords)
      if (word == w) {
        *mask |= bit;
        known = true;
      }
    if (!known) return false;
    at = end + 1;
  }
  return *mask != 0;
}

class MapReader {
 public:
  MapReader(DataSetBuild& build, ContentSourceTables& tables, SourceTree& tree)
      : build_(build), tables_(tables), tree_(tree) {}

  void Read();

 private:
  void ReadLook(Look& look);
  bool System(const std::string& name, u32* id);
  MAPNODEITEM* NewItem(Look& look, u32 kind, const std::string& states);

  DataSetBuild& build_;
  ContentSourceTables& tables_;
  SourceTree& tree_;
  std::vector<Look> looks_;
};

bool MapReader::System(const std::string& name, u32* id) {
  *id = kis::NameIdA(name.c_str());
  for (const GPSSYSTEM& s : tables_.particleSystems)
    if (s.nameId == *id) return true;
  tree_.Fail("\"" + name + "\" is no particle system");
  return false;
}

MAPNODEITEM* MapReader::NewItem(Look& look, u32 kind, const std::string& states) {
  u32 mask = 0;
  if (!ParseStates(states, &mask)) {
    tree_.Fail("states: \"" + states + "\" (hidden, closed, open, finished, attack joined by _)");
    return nullptr;
  }
  if (look.node.itemCount == kMapNodeItemSlots) {
    tree_.Fail("more than 16 items");
    return nullptr;
  }
  MAPNODEITEM& item = look.node.items[look.node.itemCount++];
  item.kind = kind;
  item.stateMask = mask;
  return &item;
}

void MapReader::ReadLook(Look& look) {
  MAPNODEITEM* particles = nullptr;
  MAPNODEITEM* characters = nullptr;
  std::vector<MAPCHARENTRY> entries;
  const auto entry = [&](u32 kind) -> MAPCHARENTRY* {
    if (!characters || entries.size() == kMapCharEntries) {
      tree_.Fail("needs a characters line before it (at most 4 entries)");
      return nullptr;
    }
    entries.push_back(MAPCHARENTRY{});
    entries.back().kind = kind;
    return &entries.back();
  };
  const auto store = [&] {
    if (characters) PutMapCharEntries(characters, entries.data(), static_cast<u32>(entries.size()));
  };
  for (u32 i = 0; i < tree_.LineCount(); ++i) {
    const std::string key = tree_.LineName(i);
    wchar name[32] = {}, states[64] = {};
    if (key == "name") {
      if (tree_.Read(i, u"Z[32]", &name)) look.name = NarrowName(name);
    } else if (key == "sprite" || key == "spot") {
      i32 x = 0, y = 0;
      float scale = 1.0f;
      u32 frameTime = 0, mode = 0;
      if (!tree_.Read(i, u"Z[32],Z[64],i4,i4,{f,u4,u4}", &name, &states, &x, &y, &scale, &frameTime, &mode)) continue;
      if (!(scale > 0.0f) || !std::isfinite(scale)) {
        tree_.Fail(key + ": the scale must be above 0");
        continue;
      }
      const std::string picture = NarrowName(name);
      if (!build_.Pictures().Find(kSelectionMapSpriteSet, picture)) {
        tree_.Fail("\"" + picture + "\" is no picture of this file");
        continue;
      }
      MAPNODEITEM* item = NewItem(look, key == "sprite" ? kMapItemSprite : kMapItemSpot, NarrowName(states));
      if (!item) continue;
      SetName(item->sprite, picture);
      item->x = x;
      item->y = y;
      item->scale = scale;
      item->frameTime = frameTime;
      item->frameMode = mode;
    } else if (key == "sign") {
      i32 x = 0, y = 0;
      if (!tree_.Read(i, u"Z[64],i4,i4", &states, &x, &y)) continue;
      if (MAPNODEITEM* item = NewItem(look, kMapItemSign, NarrowName(states))) {
        item->x = x;
        item->y = y;
      }
    } else if (key == "particles") {
      float scale = 1.0f;
      particles = nullptr;
      if (!tree_.Read(i, u"Z[64],f", &states, &scale)) continue;
      if (!(scale > 0.0f)) {
        tree_.Fail("particles: the scale must be above 0");
        continue;
      }
      particles = NewItem(look, kMapItemParticles, NarrowName(states));
      if (particles) particles->emitterScale = scale;
    } else if (key == "emitter") {
      MAPNODEEMITTER e{};
      if (!tree_.Read(i, u"Z[32],i4,i4", &name, &e.x, &e.y) || !System(NarrowName(name), &e.systemId)) continue;
      if (!particles || particles->emitterCount == kMapNodeEmitterMax) {
        tree_.Fail("emitter: needs a particles line before it (at most 89 emitters)");
        continue;
      }
      particles->emitters[particles->emitterCount++] = e;
    } else if (key == "characters") {
      entries.clear();
      characters = tree_.Read(i, u"Z[64]", &states) ? NewItem(look, kMapItemCharacters, NarrowName(states)) : nullptr;
      store();
    } else if (key == "chickens") {
      u32 count = 0;
      if (!tree_.Read(i, u"u4", &count)) continue;
      if (MAPCHARENTRY* e = entry(kMapCharChicken)) e->count = count;
      store();
    } else if (key == "cow" || key == "sheep") {
      i32 x = 0, y = 0, direction = 0;
      if (!tree_.Read(i, u"i4,i4,i4", &x, &y, &direction)) continue;
      if (MAPCHARENTRY* e = entry(key == "cow" ? kMapCharCow : kMapCharSheep)) {
        e->x = x;
        e->y = y;
        e->direction = direction;
      }
      store();
    } else if (key == "yard") {
      i32 v[4] = {};
      if (!tree_.Read(i, u"Z[32],i4,i4,i4,i4", &name, &v[0], &v[1], &v[2], &v[3])) continue;
      const std::string kind = NarrowName(name);
      MAPCHARENTRY* flock = entries.empty() ? nullptr : &entries.back();
      if (!flock || flock->kind != kMapCharChicken || flock->shapeCount == kMapCharShapes ||
          (kind != "rect" && kind != "ellipse")) {
        tree_.Fail("yard: rect or ellipse after a chickens line (at most 8)");
        continue;
      }
      MAPCHARSHAPE& shape = flock->shapes[flock->shapeCount++];
      shape.kind = kind == "rect" ? 0u : 2u;  // the path finder's rectangle and ellipse
      for (u32 k = 0; k < 4; ++k) shape.words[k] = static_cast<u32>(v[k]);
      store();
    } else {
      tree_.Fail("unknown line \"" + key + "\"");
    }
  }
  if (look.name.empty()) tree_.Fail("a look needs its name");
}

void MapReader::Read() {
  // The pictures first: the looks name them.
  for (u32 i = 0; i < tree_.LineCount(); ++i) {
    if (tree_.LineName(i) != "picture") continue;
    wchar name[32] = {};
    u32 w = 0, h = 0;
    if (tree_.Read(i, u"Z[32],u4,u4", &name, &w, &h))
      RequirePicture(build_, tree_, kSelectionMapSpriteSet, NarrowName(name), PictureKind::kSprite, w, h);
  }
  for (kis::TdrNode* block : tree_.Blocks(u"look")) {
    kis::TdrNode* parent = block->parent;
    tree_.Enter(block);
    looks_.push_back(Look{});
    ReadLook(looks_.back());
    tree_.Enter(parent);
  }
  MapSectionData& map = tables_.map;
  bool placed[kLevelCount] = {};
  u32 emitters = 0;
  for (u32 i = 0; i < tree_.LineCount(); ++i) {
    const std::string key = tree_.LineName(i);
    wchar name[32] = {};
    if (key == "picture") continue;
    if (key == "water") {
      MAPWATERINFO w{};
      if (tree_.Read(i, u"i4,i4,u4", &w.x, &w.y, &w.frameTime)) map.waters.push_back(w);
    } else if (key == "emitter") {
      MAPPARTICLE p{};
      if (!tree_.Read(i, u"Z[32],i4,i4,f", &name, &p.x, &p.y, &p.angle) || !System(NarrowName(name), &p.systemId))
        continue;
      if (emitters == kMapParticleCount) {
        tree_.Fail("more than 16 emitters");
        continue;
      }
      map.particles[emitters++] = p;
    } else if (key == "node") {
      u32 level = 0;
      if (!tree_.Read(i, u"u4,Z[32]", &level, &name)) continue;
      const std::string look = NarrowName(name);
      if (level < 1 || level > kLevelCount || placed[level - 1]) {
        tree_.Fail("node: level " + std::to_string(level) + " is not 1 to 41 or has a node already");
        continue;
      }
      const Look* found = nullptr;
      for (const Look& l : looks_)
        if (l.name == look) found = &l;
      if (!found) {
        tree_.Fail("node: \"" + look + "\" is no look");
        continue;
      }
      placed[level - 1] = true;
      map.nodes[level - 1] = found->node;
    } else {
      tree_.Fail("unknown line \"" + key + "\"");
    }
  }
  for (u32 n = 0; n < kLevelCount; ++n)
    if (!placed[n]) tree_.Fail("level " + std::to_string(n + 1) + " has no node");
}

}  // namespace

bool ReadMapNodes(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/map.txt")) return false;
  tables.map = MapSectionData{};
  MapReader(build, tables, tree).Read();
  return tree.Ok();
}
