// The world of the character tests: the level rules of LevelRig, a level
// map, the player's description "girl" (skin 0: idle, walk and a work
// animation of 600 ms, each in eight directions; 2 units a tick; footprint
// 12 x 8 each way), the level's characters with their jobs' sprites on the
// level's head-up display, and the engine log and the path finder's dump in
// the rig's folder.
#pragma once

#include <initializer_list>
#include <memory>
#include <set>
#include <string>

#include "content/ContentServices.h"
#include "content/GameCharacter.h"
#include "engine/DXLLog.h"
#include "level/characters/Job.h"
#include "level/characters/Job_Animation.h"
#include "level/characters/Job_GoTo.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/characters/MapCharacter.h"
#include "level/characters/MapPlayer.h"
#include "pathfinding/PathFinder.h"
#include "resources/GameAnimation.h"
#include "LevelRig.h"
#include "resources/ResourceServices.h"

namespace leveltest {

struct GirlAnimation {
  const wchar* name;
  u32 mode, frameTime, total;
};

// The player's description "girl" added to the list: skin 0 of these
// animations in eight directions (the second is her walk), 2 units a tick,
// a footprint of 12 x 8 each way.
inline GameCharacter* MakeGirl(CharacterList& list, std::initializer_list<GirlAnimation> animations) {
  auto* girl = new GameCharacter(u"girl", 1, 1);
  list.Add(girl);
  girl->speed = 2.0f;
  for (i16& f : girl->foot) f = 12;
  girl->foot[1] = girl->foot[3] = 8;
  girl->SetSkinCount(1);
  for (const GirlAnimation& g : animations) {
    auto* a = new GameAnimation(g.name, 8);
    a->SetTiming(g.mode, g.frameTime, g.total);
    girl->AddToSkin(0, a);
  }
  girl->walkIndex = 1;
  return girl;
}

// Directions of the eight-way animations (angle 270 + 45 i).
constexpr i32 kUp = 0, kRight = 2, kDown = 4, kLeft = 6;

class CharacterRig {
 public:
  CharacterRig() {
    level.Make();
    map = std::make_unique<LevelMap>(level.rules.get(), LevelMapHooks{});
    GetContentServices().characters = &descriptions;
    girl = MakeGirl(descriptions, {{u"girl_idle", kAnimPingPong, 220, 880}, {u"girl_walk", kAnimLoop, 85, 680},
                     {u"girl_build", kAnimOnce, 100, 600}});
    work = girl->FindAnimation(0, u"girl_build");
    characters = std::make_unique<LevelCharacters>(*map, level.rules.get(), &level.hudList, kLevelWidth, kLevelHeight);
    map->SetPathFinder(Finder());
    Finder()->SetDumpFolder(level.folder.Wide());
    DXLCloseLog();  // the viewer's, in its own folder
    DXLOpenLogA(level.folder.File("log.txt").c_str());
  }
  ~CharacterRig() {
    DXLCloseLog();
    characters.reset();
    map.reset();
    GetContentServices().characters = nullptr;
    descriptions.Clear();
    FreeAnimations();
  }
  CharacterRig(const CharacterRig&) = delete;
  CharacterRig& operator=(const CharacterRig&) = delete;

  shpf::PathFinder* Finder() { return characters->Paths().GetPathFinder(); }
  // A character of the description standing at (x, y), facing the direction.
  MapCharacter* Make(float x, float y, i32 direction) {
    return new MapCharacter(*characters, girl, 0, u"girl_idle", direction, x, y, nullptr);
  }
  MapPlayer* MakePlayer(float x, float y, i32 direction) {
    auto* p = new MapPlayer(*characters, x, y);
    p->PlayAction(0, direction);
    return p;
  }
  void Block(i32 l, i32 t, i32 r, i32 b) { Finder()->AddShape(shpf::PackPair(l, t), shpf::PackPair(r, b), 0); }
  void Tick(i32 n = 1) {
    for (i32 i = 0; i < n; ++i) {
      GetResourceServices().clock += 10;
      characters->Update();
    }
  }
  // Ticks until the character's queue is empty; how many it took (-1: not within the limit).
  i32 TicksUntilIdle(MapCharacter* c, i32 limit = 2000) {
    for (i32 n = 1; n <= limit; ++n) {
      Tick();
      if (c->GetJobs().GetCount() == 0) return n;
    }
    return -1;
  }
  std::string EngineLog() const { return level.folder.Read("log.txt"); }

  LevelRig level;
  std::unique_ptr<LevelMap> map;
  std::unique_ptr<LevelCharacters> characters;
  CharacterList descriptions;  // the game's, in the services
  GameCharacter* girl = nullptr;
  GameAnimation* work = nullptr;
};

}  // namespace leveltest
