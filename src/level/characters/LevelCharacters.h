// LevelCharacters - the characters of the running level and what they and
// their jobs need of it: the path service, the list of characters and the
// player, the level's money and rates, the award records, whether the level
// has been entered, and the head-up display their jobs' icons and progress
// lines join. The level scene owns one (and
// runs its Update once per tick, after the points). They stand on one level
// map, which knows them while they live (LevelMap::GetCharacters): the
// characters are made with them, and their jobs reach the level through
// their characters.
//
// Rates: a work step of a job with an activity index runs at the level's
// base rate of that index (the level record's own figure), never the
// bonus-raised rate: the speed bonus reaches the player's work through her
// own animation-speed record only, so it counts once.
//
// Destruction deletes the characters still listed (their jobs with them)
// before the path service goes.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "level/characters/LevelPathFinder.h"

class LevelMap;
class LevelMoney;
class LevelRules;
class MapCharacter;
class MapPlayer;
class ScreenSpriteList;

class LevelCharacters {
 public:
  // rules: optional (none: no money, rates 1.0, no awards); hud: optional
  // (none: the jobs show no icons or progress lines).
  LevelCharacters(LevelMap& map, LevelRules* rules, ScreenSpriteList* hud, i32 width, i32 height);
  ~LevelCharacters();
  LevelCharacters(const LevelCharacters&) = delete;
  LevelCharacters& operator=(const LevelCharacters&) = delete;

  // One tick: the queued searches, then every character in order.
  void Update();

  void AddCharacter(MapCharacter* c) { characters_.AddUnique(c); }
  void RemoveCharacter(MapCharacter* c);
  const kis::list<MapCharacter*>& GetCharacters() const { return characters_; }
  void SetPlayer(MapPlayer* player);  // also the map's (its gates watch her)
  MapPlayer* GetPlayer() const { return player_; }
  bool IsPlayer(const MapCharacter* c) const;

  LevelMap& GetMap() const { return map_; }
  LevelPathFinder& Paths() { return paths_; }
  LevelRules* GetRules() const { return rules_; }
  LevelMoney* GetMoney() const;
  ScreenSpriteList* GetHud() const { return hud_; }
  bool IsEntered() const;
  // The level record's base rate of an activity (0..5); 1.0 otherwise.
  float GetActivityFactor(i32 activity) const;
  void RaiseAwardRecord(u32 record, i32 value, bool add, bool notify);
  i32 GetAwardRecord(u32 record) const;  // the profile's counter; 0 without one
  // Why a saved job could not be restored (at most 255 characters kept);
  // empty while nothing failed.
  void SetLoadError(const wchar* text);
  const wchar* GetLoadError() const { return loadError_; }

 private:
  LevelMap& map_;
  LevelRules* rules_;
  ScreenSpriteList* hud_;
  LevelPathFinder paths_;
  kis::list<MapCharacter*> characters_;
  MapPlayer* player_ = nullptr;
  wchar loadError_[256] = {};
};
