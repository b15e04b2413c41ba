// GameAnimation - a directional, frame-timed animation: for each direction
// a sprite and a run of its frames, an angle and a draw offset; one play
// mode and frame time for all directions; an optional sound with a start
// delay, a loop flag and a repeat interval. Animations are read once from
// the "ANIM" section (AnimationSection.h) into the global animation list,
// which owns them, and are reference-counted like sprites (Init, Release).
//
// Each user plays an animation through an AnimationState of its own. A
// state belongs to at most one animation at a time (the last one started on
// it); Update and Draw called on another animation are passed to that one.
// A state keeps the channel of the looping sound it started; StopSound, a
// restart without keeping time, or the state's destruction stops it.
#pragma once

#include <memory>

#include "base/List.h"
#include "base/Types.h"
#include "resources/InitObject.h"
#include "resources/SpriteRecords.h"

class GameAnimation;
class Sprite;

constexpr u32 kAnimationNameSize = kSpriteNameSize;  // characters with the terminator

// Play modes.
constexpr u32 kAnimOnce = 0;
constexpr u32 kAnimOnceBack = 1;
constexpr u32 kAnimLoop = 2;
constexpr u32 kAnimLoopBack = 3;
constexpr u32 kAnimPingPong = 4;

constexpr u32 kAnimSoundGroups = 0x41000000u;   // the screen's and the level's sounds
constexpr float kAnimSoundCooldown = 200.0f;    // ms between two plays of one state
constexpr u32 kAnimRepeatTotal = 0xFFFFFFFFu;   // a repeat interval of the total time

struct ANIMDIRECTION {
  wchar sprite[kAnimationNameSize];  // in the animation sprite set
  i32 first;                         // first frame
  i32 count;                         // frames; 0: all the sprite's, filled at Init
  i32 offsetX;                       // draw offset
  i32 offsetY;
  float angle;                       // degrees
  Sprite* spritePtr;                 // found by name when read; never stored
};

// Which frame shows: the state's copy of its direction's run.
struct ANIMFRAMEBLOCK {
  u32 mode;
  i32 first;
  i32 count;
  u32 frameTime;  // ms
  float elapsed;  // ms
  i32 last;       // the frame GetFrame gave last
};

// The sound states of an AnimationState.
constexpr u32 kAnimSoundNone = 0;
constexpr u32 kAnimSoundWaiting = 1;    // for its first play
constexpr u32 kAnimSoundRepeating = 2;
constexpr u32 kAnimSoundLooping = 3;    // a looping sound plays

struct AnimationState {
  AnimationState() = default;
  AnimationState(const AnimationState&) = delete;
  AnimationState& operator=(const AnimationState&) = delete;
  ~AnimationState();  // stops its looping sound

  i32 user1 = 0;                       // the user's own (characters: the skin index)
  GameAnimation* animation = nullptr;  // the one the state belongs to
  i32 direction = 0;
  i32 user2 = 0;                       // the user's own (characters: the activity)
  ANIMFRAMEBLOCK frames{};
  i32 offsetX = 0;
  i32 offsetY = 0;
  float angle = 0.0f;
  u32 color = 0xFFFFFFFFu;
  u32 soundState = kAnimSoundNone;
  float soundDelay = 0.0f;
  float soundCooldown = 0.0f;
  u32 soundChannel = 0;  // of a looping sound
};

class GameAnimation : public InitObject {
 public:
  // Directions with zeroed entries at angles 270 + i x 360 / count
  // (normalised); joins the global list.
  GameAnimation(const wchar* name, i32 directionCount);
  ~GameAnimation() override;  // leaves the global list

  // The first call initialises each distinct sprite once, fills frame counts
  // of 0, raises the total time to the longest direction's run, finds the
  // sound and turns a repeat interval of kAnimRepeatTotal into the total.
  void Init() override;
  // The distinct sprites of the directions, in the order Init loads them;
  // null out of range.
  i32 GetSpriteCount() const;
  Sprite* GetSprite(i32 index) const;
  // At 0 (force: at once) releases each distinct sprite once.
  void Release(bool force) override;

  i32 FindDirection(float angle) const;  // the nearest; -1 without directions
  // Direction -1: the state's (when it belongs here), else the nearest to
  // the state's angle; 0 for an index out of range.
  float GetDirectionAngle(const AnimationState* state, i32 direction) const;
  // Direction -1 as in GetDirectionAngle; keepTime keeps the frame block of
  // a state already playing here.
  void Start(AnimationState* state, i32 direction, bool keepTime);
  void Update(AnimationState* state, float dt);
  static i32 GetFrame(ANIMFRAMEBLOCK* frames);
  // Moves the transform by minus the offsets (with applyOffset), applies it
  // and draws the frame; highlight darkens it to 0x202020.
  void Draw(AnimationState* state, bool applyOffset, bool highlight);
  static void StopSound(AnimationState* state);

  const wchar* GetName() const { return name_; }
  void SetName(const wchar* name);
  u32 GetMode() const { return mode_; }
  u32 GetFrameTime() const { return frameTime_; }
  u32 GetTotalTime() const { return totalTime_; }
  i32 GetDirectionCount() const { return directionCount_; }
  ANIMDIRECTION* GetDirection(i32 i) const { return i >= 0 && i < directionCount_ ? &directions_[i] : nullptr; }
  const wchar* GetSoundName() const { return soundName_; }
  u32 GetSoundDelay() const { return soundDelay_; }
  u32 GetSoundLoop() const { return soundLoop_; }
  u32 GetSoundRepeat() const { return soundRepeat_; }
  u32 GetSoundId() const { return soundId_; }

  // What the section reader and the data builder fill in.
  void SetTiming(u32 mode, u32 frameTime, u32 totalTime) {
    mode_ = mode;
    frameTime_ = frameTime;
    totalTime_ = totalTime;
  }
  void SetSound(const wchar* name, u32 delay, u32 loop, u32 repeat, u32 id);

 private:
  // Calls f(sprite) once for each distinct sprite of the directions.
  template <class F>
  void ForEachSprite(F f) const;

  wchar name_[kAnimationNameSize] = {};
  u32 mode_ = kAnimOnce;
  u32 frameTime_ = 0;
  u32 totalTime_ = 0;
  i32 directionCount_;
  std::unique_ptr<ANIMDIRECTION[]> directions_;
  wchar soundName_[kAnimationNameSize] = {};
  u32 soundDelay_ = 0;
  u32 soundLoop_ = 0;
  u32 soundRepeat_ = 0;
  u32 soundId_ = 0;
};

// Starts the animation in a direction on the state; keeping time keeps the
// elapsed time but always takes the new direction's own run of frames (the
// directions of one animation may be rows of one sprite, which Start alone
// would leave on the old row). Characters of the level and of the map start
// their animations through it.
void StartAnimationIn(GameAnimation* animation, AnimationState* state, i32 direction, bool keepTime);
// One turning step of the state's animation toward a direction, the shorter
// way round (at once with two directions or fewer), keeping time; true once
// it faces the target (or has no animation).
bool TurnAnimationStep(AnimationState* state, i32 target);

// The global animation list, in the order the animations were made.
const kis::list<GameAnimation*>& GetAnimations();
// Deletes every animation (shutdown and tests).
void FreeAnimations();
// The animation of that name (without regard to case); null when absent.
GameAnimation* FindAnimation(const kis::list<GameAnimation*>& list, const wchar* name);
