// GameCharacter - one kind of character (the player, a villain, an animal):
// its name and id, hit rectangle, footprint on the path grid, walking speed,
// its skins (lists of animations, the same entries in each list meaning the
// same action), which entry is the idle and which the walking animation, and
// its shadow. The descriptions are read once at start-up from the "CHQR"
// section (CharacterSection.h) into a CharacterList, which owns them; the
// game's list is the one installed in the content services
// (ContentServices::characters), and its descriptions are shared by every
// character of their kind.
//
// Like sprites they are reference-counted: the first Init initialises the
// animations of every skin and the shadow's picture; the last Release frees
// them. The description with id 4 carries the game's one with id 5 along
// (Init and Release of 4 reach 5 as well). InitStep does the first Init
// one animation a call, so that a loading screen gets its frames between.
#pragma once

#include <memory>

#include "base/List.h"
#include "base/Types.h"
#include "resources/InitObject.h"
#include "resources/ShadowData.h"

class GameAnimation;

constexpr u32 kCharacterNameSize = 32;  // wide characters with the terminator
constexpr u32 kCharacterLinkedId = 4;   // initialises kCharacterLinkedPartner with it
constexpr u32 kCharacterLinkedPartner = 5;

class GameCharacter : public InitObject {
 public:
  // Empty skins, hit rectangle -12,-12,12,12, footprint 0, speed 1.0, no
  // shadow. A null name is empty.
  GameCharacter(const wchar* name, u32 id, u32 gridId);
  ~GameCharacter() override;
  GameCharacter(const GameCharacter&) = delete;
  GameCharacter& operator=(const GameCharacter&) = delete;

  void Init() override;
  void Release(bool force) override;
  // A short part of the first Init per call: one sprite of an animation of
  // a skin (held until the animation is initialised over it), in skin
  // order, then the shadow's picture; the call that takes the last item
  // ends as Init would. True once the description is loaded. An Init or
  // Release between steps takes over what the steps already did.
  bool InitStep();

  void SetSkinCount(i32 n);  // n empty skins (negative: none)
  void AddToSkin(i32 skin, GameAnimation* animation);  // within range only
  // The animation of that name (any case) in a skin; null for an empty name,
  // a skin out of range or no match.
  GameAnimation* FindAnimation(i32 skin, const wchar* name) const;
  GameAnimation* GetCharAnimation(i32 skin) const;  // the skin's idle entry, or null
  GameAnimation* GetWalkAnimationPtr(i32 skin) const;
  const wchar* GetWalkAnimation(i32 skin) const;  // its name; null when out of range
  i32 FindEntry(i32 skin, const GameAnimation* animation) const;  // -1 when absent
  GameAnimation* GetEntry(i32 skin, i32 index) const;
  i32 GetSkinCount() const { return skinCount_; }
  i32 GetSkinSize(i32 skin) const;

  void SetShadow(SHADOWDATA* shadow) { shadow_.reset(shadow); }  // owned
  const SHADOWDATA* GetShadow() const { return shadow_.get(); }

  // The description as stored (the skins and the shadow aside).
  wchar name[kCharacterNameSize] = {};
  u32 id = 0;
  u32 gridId = 0;
  i32 hit[4] = {-12, -12, 12, 12};  // left, top, right, bottom
  i16 foot[4] = {};                 // footprint on the path grid: left, top, right, bottom
  float speed = 1.0f;               // map units per 10-ms tick
  i32 idleIndex = 0;
  i32 walkIndex = 0;

 private:
  void InitOwn();
  void ReleaseOwn();
  i32 ItemCount() const;  // the animations of every skin and the shadow's picture
  GameAnimation* AnimationAt(i32 item) const;  // null for the shadow
  void InitItem(i32 item, bool init);          // Init, or Release(false), of one of them
  void ReleaseWarmed(i32 item);                // the sprites of the item held ahead of its Init
  void ReleaseSteps();                         // what InitStep took before the description was loaded

  std::unique_ptr<SHADOWDATA> shadow_;
  std::unique_ptr<kis::list<GameAnimation*>[]> skins_;  // not owning the animations
  i32 skinCount_ = 0;
  i32 steps_ = 0;   // items InitStep initialised while not loaded
  i32 warmed_ = 0;  // sprites of item steps_ it initialised ahead of the item
};

// Descriptions in the order they were added, owned by the list.
class CharacterList {
 public:
  CharacterList() = default;
  ~CharacterList() { Clear(); }
  CharacterList(const CharacterList&) = delete;
  CharacterList& operator=(const CharacterList&) = delete;

  void Add(GameCharacter* character);  // the list owns it from now on; null is ignored
  void Clear();                        // deletes every description, the last first
  const kis::list<GameCharacter*>& Items() const { return items_; }

 private:
  kis::list<GameCharacter*> items_;
};

// The game's descriptions (the list installed in the content services); an
// empty list when none is installed.
const kis::list<GameCharacter*>& GetCharacters();
// Null for id 0, an empty name or no match (names without regard to case).
GameCharacter* FindCharInfo(const kis::list<GameCharacter*>& list, u32 id);
GameCharacter* FindCharacterByName(const kis::list<GameCharacter*>& list, const wchar* name);
