// ResourceServices - the game-wide values of the resources layer, which
// every screen and subsystem above reads: the game clock and the frame's
// elapsed time, the simulation step, the loading-progress hook, the game
// screen area, the interface image, game fonts 5 to 9, the screen-border
// pieces, the game viewer, the frame clock that sprite animations run on,
// the drawing state behind the game's quad drawing (GameDraw.h) and the
// developer switch that tells where clickable things are drawn, the sound
// settings (SoundSettings.h), the running level with its head-up display
// (CurrentLevel.h), the current screen effect (GameEffect.h) and the sprite
// effects' deferred calls (SpriteEffect.h), the particle library
// (ParticleLibrary.h), the running tutorial's hooks, the tutorials' factory
// and the finished tutorials (TutorialHooks.h), the item-description
// mark-up of hint texts and dialog messages, the game state the
// application is in, the profile's play time and the disk's stand-in
// failures. The layers above keep theirs in their own structs
// (content/ContentServices.h, ui/UiServices.h, level/scene/LevelServices.h,
// windows/WindowServices.h).
//
// The application fills it at start-up and once per frame; tests fill what
// they need. Whoever stores a pointer installs it here and takes it out
// again before deleting it; nothing installs itself but the running
// tutorial, which takes over from the one before as it is made
// (GameTutorial.h). ResetResourceServices
// returns every value to its start and frees nothing a pointer names:
// whoever stored a pointer owns its object (the particle library's records
// and the deferred calls waiting, held by value, start empty again). A new game-wide value
// is a new field whose default initialiser is its start value; the reset
// needs no change.
//
// The reset keeps what live objects hold: the registries (ResourceRegistries:
// the animations, the colour gradients and the sprite sets), the particle
// spaces' handles and the count of deferred-call scopes open, as each object
// joins when made and leaves when deleted, whatever was reset in between.
#pragma once

#include <memory>
#include <vector>

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "gametext/KGETextParams.h"
#include "resources/ParticleLibrary.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteBatch.h"
#include "resources/SpriteEffect.h"

namespace plat {
class FileFaults;
}

class CurrentLevel;
class DXLTexture;
class DXLViewer;
class GameAnimation;
class GameEffect;
class Gradient;
class KGEFont;
class ProgressTracker;
class SpriteSet;
class TutorialFactory;
class TutorialHooks;

// The state of a resumable archive-section reader, cleared by the loader
// before the first call for a section. Readers return 1 when finished (the
// error flag tells failure) and 0 to be called again in a later frame.
struct SectionCursor {
  u32 done = 0;
  u32 total = 0;
  u32 error = 0;
};

// A reader's own yield rule where no tracker drives it (tests, tools): told
// the fraction 0..1 of its section, true asks the reader to return and carry
// on in a later frame.
using LoadingProgressHook = bool (*)(float fraction);
// The loading screen's bar: the overall fraction and the tracker's step.
using LoadingScreenHook = void (*)(float fraction, i32 step);
// Milliseconds of the frame clock.
using FrameClockHook = u32 (*)();

// Where the game area lies: its size in game coordinates and its rectangle
// in screen pixels, with the scale between them.
struct GAMESCREENAREA {
  i32 width = 0;
  i32 height = 0;
  DXLRECT rect{0, 0, 0, 0};
  float scale = 1.0f;
  bool scaling = false;  // the scale is in use
};

// The pieces that cover the screen outside the game area (none when the
// display fits it), built by the screen set-up and drawn by DrawScreenBorders.
constexpr u32 kScreenBorderPieces = 4;  // an edge and a fill piece on each of two sides

struct SCREENBORDERS {
  DXLTexture* texture = nullptr;
  const DXLQUAD* quads = nullptr;
  u32 count = 0;
  DXLQUAD pieces[kScreenBorderPieces] = {};  // where BuildScreenBorders puts the pieces it points quads at
};

constexpr u32 kGameFontSlots = 5;  // game fonts 5 to 9

// The game states the application runs (ResourceServices::appState).
constexpr u32 kGameStateNone = 0;
constexpr u32 kGameStateLogos = 1;
constexpr u32 kGameStateLevel = 4;
constexpr u32 kGameStateLevelMap = 5;
constexpr u32 kGameStateMainScreen = 6;
constexpr u32 kGameStateComic = 7;
constexpr u32 kGameStateStartLoading = 0x80000002u;
constexpr u32 kGameStateLevelLoading = 0x80000003u;

constexpr u32 kSpriteSetCount = 17;

// The objects of the resources layer alive now, each listed by its own
// constructor and taken out by its destructor: the animations
// (GetAnimations, FreeAnimations), the colour gradients (GetGradients) and
// the sprite sets by number (GetSpriteSet).
struct ResourceRegistries {
  kis::list<GameAnimation*> animations;
  kis::list<Gradient*> gradients;
  SpriteSet* spriteSets[kSpriteSetCount] = {};
};

struct ResourceServices {
  // --- Time ------------------------------------------------------------------
  u32 clock = 0;          // game clock, ms: set once per update
  u32 frameElapsed = 0;   // ms since the previous update
  u32 timeStep = 10;      // the simulation tick, ms
  u32 maxTimeSteps = 20;  // the most ticks carried into one update
  // The frame clock of UpdateAnimFrame; null reads the engine's frame timer
  // (0 while no application frame runs).
  FrameClockHook frameClock = nullptr;

  // --- Loading -----------------------------------------------------------------
  ProgressTracker* progress = nullptr;            // the loading's tracker, published by its owner; null: none
  LoadingProgressHook loadingProgress = nullptr;  // asked besides the tracker; null: none
  LoadingScreenHook loadingScreen = nullptr;      // where a level's tracker reports; null: nowhere

  // --- Screen and drawing --------------------------------------------------------
  DXLViewer* viewer = nullptr;  // set through SetGameViewer
  GAMESCREENAREA screen;
  SCREENBORDERS borders;
  DXLTexture* interfaceImage = nullptr;  // the "interface" image of every skin
  KGEFont* fonts[kGameFontSlots] = {};   // game fonts 5 to 9
  DXLTexture* drawTexture = nullptr;     // current texture of DrawQuad
  const DXLDRAWSTATE* blendState = nullptr;  // current blend-state record, not owned
  SpriteBatch batch;                     // the window highlight batch
  bool tellPlaces = false;  // the developer switch "Places": TellPlace writes (GameDraw.h)

  // --- Sound -------------------------------------------------------------------
  SoundSettings sound;  // its manager is made and freed by SoundSettings::Init and Shutdown

  // --- Level and screen effects --------------------------------------------------
  CurrentLevel* level = nullptr;          // the running level, installed by whoever runs it; null outside levels
  GameEffect* effect = nullptr;           // the one current screen effect
  GameEffect* retiredEffects = nullptr;   // replaced or ended effects still to delete
  u32 effectCalls = 0;                    // frame calls into the effect under way
  DeferredEffectQueue deferredEffectCalls;  // the calls effects made out of their lists, waiting (SpriteEffect.h)

  // --- Particles ----------------------------------------------------------------------
  ParticleLibrary particles;  // the particle library (ParticleLibrary.h)

  // --- Tutorials, texts and application ----------------------------------------------
  TutorialHooks* tutorial = nullptr;       // the running tutorial; null when none runs
  TutorialFactory* tutorialFactory = nullptr;  // makes the game's tutorials; null: none is made
  // Finished tutorials waiting for the end of the frame (DeleteFinishedTutorials).
  std::vector<TutorialHooks*> finishedTutorials;
  // The game windows' item-description mark-up: expands the bracketed names
  // of hint texts and dialog messages (coloured runs, embedded pictures) as
  // the text is built; null leaves the names as they are.
  KGETEXTCALLBACK itemDescription = nullptr;
  u32 appState = kGameStateNone;           // the game state entered last (kGameState...)
  i64 profilePlayTime = -1;  // the current profile's play time, ms; -1 without a profile

  // --- Files ------------------------------------------------------------------------
  // What stands in for the disk's failures when the game's per-user files
  // are saved (plat::FileFaults): null for the real disk; tests install one.
  plat::FileFaults* fileFaults = nullptr;

  // --- Live objects -------------------------------------------------------------------
  // Kept by ResetResourceServices (see the top of this file).
  std::unique_ptr<ResourceRegistries> registries = std::make_unique<ResourceRegistries>();
};

ResourceServices& GetResourceServices();
void ResetResourceServices();

// The game viewer; it is also the viewer the language makes its images on.
void SetGameViewer(DXLViewer* viewer);
DXLViewer* GetGameViewer();

u32 GameClock();
u32 GameTimeStep();
u32 GameFrameTime();  // now of the frame clock
// The current tracker's calls (ProgressTracker.h): a step begun (the one
// before it ended), the current step ended, the current step's progress
// 0..1 set; the last true when the reader must return and carry on in a
// later frame (asked of the reader's own yield rule too). Nothing, and
// false, without a tracker or rule.
void BeginLoadStep(u32 id);
void EndLoadStep();
bool StepLoadingProgress(float fraction);
