// PlayerCast - the level's characters as the scene drives them (LevelCast)
// over the characters' own service (LevelCharacters): the player made from
// the description "girl", her walks (Job_GoTo, the boots at the target),
// the right click's cancel of her queued job whose icon is nearest, and
// the bonuses' rates on her. Its characters stand on the level's map; its
// path service holds the level's path finder.
#pragma once

#include <memory>

#include "level/scene/LevelCast.h"

class LevelCharacters;
class LevelMap;
class LevelRules;
class MapPlayer;
class ScreenSpriteList;

namespace shpf {
class PathFinder;
}

class PlayerCast : public LevelCast {
 public:
  static constexpr u32 kPlayerDescription = 1;
  static constexpr u32 kVillainDescription = 6;

  // hud: the head-up display the jobs' icons and progress lines join; optional.
  PlayerCast(LevelMap& map, LevelRules* rules, ScreenSpriteList* hud, i32 width, i32 height);
  ~PlayerCast() override;

  shpf::PathFinder* GetPathFinder() const;
  LevelCharacters& Characters() { return *characters_; }
  MapPlayer* Player() const;

  bool LoadDescriptions() override;
  DynObject* CreatePlayer(i32 x, i32 y) override;
  DynObject* GetPlayer() const override;
  void DeleteAll() override;
  void UpdatePaths() override {}  // the characters' update serves the searches first
  void UpdateCharacters(u32 ms) override;
  bool WalkPlayerTo(i32 x, i32 y) override;
  bool CancelJobNear(i32 x, i32 y) override;
  void NotifyLevelEnd() override {}
  void SetPlayerWalkModifier(u32 id, float value) override;
  void SetPlayerSpeedModifier(u32 id, float value) override;
  void SetPlayerRunning(bool running) override;

 private:
  std::unique_ptr<LevelCharacters> characters_;
};
