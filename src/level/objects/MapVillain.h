// MapVillain - a villain on the level: it walks in from its spot's start,
// sets up its catapult beside the spot, fires gas shots (VillainShot) at
// the level's attackable points, one per shot interval, and walks off after
// the last one. Clicks take its health; at none it is driven off (money,
// the award counter, villains in a row) and runs away at 1.5 x its walk.
//
// States: 0 waiting -> (enter job) 1 attacking -> (last shot) 2 done ->
// (leave job) 4 gone, disposed at its next update; from 0, 1 or 2 a last
// click or the bees' strike gives 3 driven off -> (run-away job) 4. States
// 3 and 4 ignore clicks.
//
// MapCatapult - the villain's catapult, a character of its own beside the
// spot: hidden (0), shown (1), standing (2) or broken (3); its state
// follows the villain's animation (CatapultStateFor).
#pragma once

#include <memory>

#include "base/Types.h"
#include "content/LevelVillainDefs.h"
#include "engine/DXLDrawTypes.h"
#include "level/characters/MapCharacter.h"

class ImageSprite;
class LevelVillainCast;
class MapCatapult;
class MapShapes;
class SSHealthBar;
class SpriteObject;
struct VILLAININFO;

constexpr u32 kVillainCharacterId = 6;
constexpr u32 kCatapultCharacterId = 7;

constexpr i32 kVillainWaiting = 0;
constexpr i32 kVillainAttacking = 1;
constexpr i32 kVillainDone = 2;
constexpr i32 kVillainDrivenOff = 3;
constexpr i32 kVillainGone = 4;

constexpr u32 kVillainAwardCounter = 8;    // villains driven off
constexpr float kVillainRunFactor = 1.5f;  // walk speed once driven off
constexpr u32 kVillainWalkModifier = 0x56494C4Eu;
constexpr float kLastShotDelay = 300.0f;   // ms before the last shot
constexpr u32 kHitFlashTime = 120;         // ms of the red flash of a hit
constexpr u32 kVillainRecordAt = 100;      // the villain's part of the character record
constexpr u32 kCatapultRecordAt = 128;
constexpr u32 kCatapultHideTime = 100;     // ms a hidden catapult fades out

constexpr u32 kStrikeFadeDelay = 120;  // ms before the bees' strike fades in
constexpr u32 kStrikeFadeTime = 200;
constexpr i32 kStrikeLead = 8;  // frames the third strike image runs ahead of the second

// The bees' strike over a villain they drive off: one image of the bonus
// table's first strike sprite ("bees_attack"), played once, 50 units above
// the villain, and two of its second ("bees"), looping 40 units above it,
// the second of them eight frames ahead; all at half size, fading in over
// 200 ms after 120 ms. The frames follow the strike's own clock.
class VillainStrike {
 public:
  static constexpr i32 kImages = 3;
  VillainStrike();  // without the bonus table's sprites no image
  ~VillainStrike();
  VillainStrike(const VillainStrike&) = delete;
  VillainStrike& operator=(const VillainStrike&) = delete;

  void Advance(u32 ms);  // the first image goes after its last frame
  void Draw(float x, float y, const DXLMATRIX& base);

  u32 GetClock() const { return clock_; }
  float GetAlpha() const;
  ImageSprite* GetImage(i32 i) const { return i >= 0 && i < kImages ? images_[i].get() : nullptr; }
  i32 GetFrame(i32 i) const;  // -1 without the image

 private:
  void Free(i32 i);

  std::unique_ptr<ImageSprite> images_[kImages];
  u32 frameTime_[kImages] = {};
  u32 clock_ = 0;
};

// The offsets from the spot's install position by direction (0 to 7).
struct VillainOffset {
  i32 x, y;
};
VillainOffset CatapultOffset(i32 direction);
VillainOffset ShotOriginOffset(i32 direction);

// "villain..." in the skin: skin n > 0 puts "_<n + 1>" after "villain".
// Other names stay as they are. Writes at most kAnimationNameSize
// characters with the terminator.
void VillainAnimationName(u32 skin, const wchar* name, wchar (&out)[kAnimationNameSize]);
// The name without its skin part: every digit after "villain_" and the
// "_" after them go ("villain_12_angry" -> "villain_angry").
void StripVillainSkin(const wchar* name, wchar (&out)[kAnimationNameSize]);
// The catapult's state while the villain plays the animation.
i32 CatapultStateFor(const wchar* animation, bool installed, i32 villainState);

class MapVillain : public MapCharacter {
 public:
  // Standing at the spot's start, waiting (its timer 0: it sets out at its
  // first idle moment); its catapult is made as it is attached.
  MapVillain(LevelVillainCast& villains, GameCharacter* description, GameCharacter* catapult, u32 slot,
             const VILLAINSLOT& spot, const VILLAININFO* info);
  ~MapVillain() override;

  // --- MapObject / MapCharacter -----------------------------------------------------------------
  void Release() override;  // unregistered, the catapult goes
  void OnAdded() override;
  void OnRemoved() override;
  i32 GetPointIndex() const override;  // the hover: lit with the catapult, the bar when due; -1
  MapObject* OnClick() override;       // the hit
  bool MoveTo(float x, float y) override;
  void Draw() override;
  void DrawFrame() override;
  void OnIdle() override;
  void SaveState(u8* record) const override;
  bool LoadJob(const u8* record, u32 size) override;
  void PlayAnimation(i32 skin, const wchar* name, i32 direction, bool keepTime, i32 activity) override;
  void Update() override;

  // The villain's part of the loaded record applied (after Load): false
  // for a slot other than `slot`, a state of 3 or more, counts outside the
  // kind's, another direction or a timer that is not finite.
  bool RestoreVillain(u32 slot);

  // --- Rules ------------------------------------------------------------------------------------
  void SetState(i32 state, bool animate);
  void Shoot();
  void Hit();
  void DriveOff();
  void OnBonusStrike();
  void Unregister();
  void ShowArrivalMarker();
  void SetArrivalSoundPending(bool pending) { arrivalSoundPending_ = pending; }
  // What a job does at its end.
  void SetInstalled() { installed_ = true; }
  void MakeClickable();
  void FireShot(i32 target);  // one shot used, the shot flies, villains in a row 0

  // The name in the villain's skin.
  const wchar* Anim(const wchar* name);
  // The shot origin, the catapult's place.
  VillainOffset GetShotOrigin() const;
  VillainOffset GetCatapultPlace() const;

  LevelVillainCast& GetVillains() const { return villains_; }
  const VILLAINSLOT& GetSpot() const { return spot_; }
  const VILLAININFO* GetInfo() const { return info_; }
  i32 GetSlot() const { return slot_; }
  i32 GetState() const { return villainState_; }
  float GetTimer() const { return timer_; }
  void SetTimer(float ms) { timer_ = ms; }
  i32 GetShotsLeft() const { return shotsLeft_; }
  i32 GetHealth() const { return health_; }
  bool IsInstalled() const { return installed_; }
  bool IsClickable() const { return shapes_ != nullptr; }
  bool IsFlashing() const { return flashLeft_ > 0; }
  u32 GetFlashColor() const;  // 0 when no flash runs
  bool IsStruck() const { return struck_; }
  VillainStrike* GetStrike() const { return strike_.get(); }
  MapCatapult* GetCatapult() const { return catapult_; }
  SSHealthBar* GetHealthBar() const { return bar_; }
  SpriteObject* GetArrivalMarker() const { return marker_; }
  Job* GetMoveJob() const { return moveJob_; }
  Job* GetShotJob() const { return shotJob_; }
  void SetMoveJob(Job* job);  // finishes the previous one
  void SetShotJob(Job* job) { shotJob_ = job; }
  void ForgetJob(const Job* job) {
    if (moveJob_ == job) moveJob_ = nullptr;
    if (shotJob_ == job) shotJob_ = nullptr;
  }
  void ForgetCatapult() { catapult_ = nullptr; }
  void ForgetMarker() { marker_ = nullptr; }

 private:
  void MakeCatapult();
  void DeleteCatapult();
  void PlaceShapes();
  void RemoveShapes();
  void UpdateBar(bool hovered);
  void RemoveMarker(bool fade);

  LevelVillainCast& villains_;
  GameCharacter* catapultDescription_;
  VILLAINSLOT spot_;
  const VILLAININFO* info_;
  i32 slot_;
  i32 villainState_ = kVillainWaiting;
  float timer_ = 0.0f;
  i32 shotsLeft_;
  i32 health_;
  i32 direction_;
  bool installed_ = false;
  Job* moveJob_ = nullptr;
  Job* shotJob_ = nullptr;
  MapShapes* shapes_ = nullptr;
  bool arrivalSoundPending_ = false;
  MapCatapult* catapult_ = nullptr;
  u32 flashLeft_ = 0;
  SSHealthBar* bar_ = nullptr;
  bool barShown_ = false;
  SpriteObject* marker_ = nullptr;
  bool struck_ = false;
  std::unique_ptr<VillainStrike> strike_;
  wchar anim_[kAnimationNameSize] = {};
};

class MapCatapult : public MapCharacter {
 public:
  MapCatapult(MapVillain& villain, GameCharacter* description);
  ~MapCatapult() override;  // the villain forgets it

  void Release() override;  // the villain forgets it
  void DrawFrame() override;
  void Update() override;  // a hiding catapult leaves the level once faded
  void UpdateAnimation() override;

  // Nothing when unchanged or above 3 (see the header comment). Hidden
  // with animate from a shown state, it fades out on its last frame over
  // kCatapultHideTime before it leaves the level.
  void SetState(i32 state, bool animate);
  i32 GetState() const { return catapultState_; }
  u32 GetHideLeft() const { return hideLeft_; }
  MapVillain* GetVillain() const { return villain_; }
  void ForgetVillain() { villain_ = nullptr; }

 private:
  MapVillain* villain_;
  i32 facing_;
  i32 catapultState_ = 0;
  u32 hideLeft_ = 0;  // ms of the fade before it leaves the level
};
