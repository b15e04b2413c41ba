// The level's tables of a data set's "Data.dat" read the way the start-up
// loader reads them: particle systems, products, bonuses, awards, ground,
// garbage, animations, characters, the level table
// and the digit fonts (into the window manager); then the bonuses' icons and the pictures the start-up loads for
// good (the particles', the interface's and the icons). For the tools and
// tests that play a level. Header-only; include as "common/LevelData.h".
#pragma once

#include <memory>
#include <vector>

#include "common/SpriteArchive.h"
#include "content/AwardTable.h"
#include "content/CharacterSection.h"
#include "content/ContentArchive.h"
#include "content/GameBonuses.h"
#include "content/GarbageList.h"
#include "content/GroundList.h"
#include "content/LevelTable.h"
#include "content/ProductList.h"
#include "resources/AnimationSection.h"
#include "resources/ParticleLibrary.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

namespace tools {

// The tables the level reads from the data set.
struct LevelTables {
  ProductList& products;
  GameBonuses& bonuses;
  AwardTable& awards;
  GroundList& grounds;
  LevelTable& levels;
  GarbageList& garbage;
};

// False when a section does not read. `sets` are the data set's 17 sprite
// sets; the digit fonts go into `fonts` (none read without one).
inline bool ReadLevelData(kis::BaseDataFileReader* data, const LevelTables& tables,
                          const std::vector<std::unique_ptr<SpriteSet>>& sets, WindowManager* fonts) {
  const LevelTables* t = &tables;
  const bool read =
      ReadWhole([&](SectionCursor* c) { return LoadParticleSystems(data, c); }) &&
      ReadWhole([&](SectionCursor* c) { return t->products.ReadSection(data, c); }) &&
      ReadWhole([&](SectionCursor* c) { return t->bonuses.ReadSection(data, c); }) &&
      ReadWhole([&](SectionCursor* c) { return t->awards.ReadSection(data, c); }) &&
      ReadWhole([&](SectionCursor* c) { return t->grounds.ReadSection(data, c); }) &&
      ReadWhole([&](SectionCursor* c) { return LoadGarbageDefinitions(&t->garbage, data, c); }) &&
      ReadWhole([&](SectionCursor* c) { return LoadAnimations(data, c, 0.0f, 1.0f); }) &&
      ReadWhole([&](SectionCursor* c) { return LoadCharacters(data, c, 0.0f, 1.0f); }) &&
      ReadWhole([&](SectionCursor* c) { return t->levels.ReadChunk(data, c); }) &&
      (!fonts || ReadDigitFonts(data, fonts));
  if (!read) return false;
  t->bonuses.LoadIcons();
  for (u32 set : {kParticleSpriteSet, 1u, kIconSpriteSet}) {
    if (set >= sets.size()) continue;
    const kis::list<Sprite*>& all = sets[set]->GetSprites();
    for (i32 i = 0; i < all.GetCount(); ++i) all.Get(i)->Init();
  }
  return true;
}

}  // namespace tools
