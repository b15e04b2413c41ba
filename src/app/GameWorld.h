// GameWorld - the game put together from a built data set, in one place:
// the program's game object, the level player, the engine demo, the
// benchmarks and the test harness stand on it and hand in what they bring
// (WorldSetup); none of them installs a game-wide collaborator beside it.
// Open sets the stages up in this order, and Close (or the destructor)
// takes them down in exactly the reverse order, each stage putting back
// what it installed:
//
//   services      the platform services the program hands in installed
//                 (WorldSetup::platform); the resource, the level and the
//                 text layers' services reset, the random generator
//                 seeded, the frame clock reading the game clock, the
//                 level's tick and the most ticks an update carries
//                 (WorldSetup::timeStep, maxTimeSteps) and the particles'
//                 step on it, the language's host (WorldSetup::
//                 languageHost, told of every language set), the game's
//                 pointer the level's hover reads (WorldSetup::pointer,
//                 into the level services); down: the
//                 screen effects cleared, then those services reset (the
//                 host out) and the platform's put back
//   viewer        the caller's viewer (its device open at the screen's
//                 size) as the game viewer, and the game screen's area;
//                 with the developer's "Cheats" switch (WorldSetup::cheats)
//                 the game's developer overlay, owned by the level
//                 services, its fonts made on that viewer (InitDebugOverlay);
//                 down: the overlay released before the viewer goes
//   sound         with an output: the sound manager on it, "Sounds.dat"
//                 opened (a sound that does not start leaves the game
//                 silent, saying why, not unopened)
//   sprite sets   "Sprites.dat" opened and the 17 sets made; it stays open:
//                 the pictures load from it as they are needed
//   tables        the content services reset, "Data.dat" opened and the
//                 content tables (DataSet.h) made and installed there;
//                 down: taken out and the content services reset
//   window manager  the ui and window services reset, the manager made
//                 with its message and award queues (CreateGameWindowManager)
//                 and installed in the ui services, with the item
//                 descriptions of the texts (ExpandItemTag), the comic
//                 book, and what the windows open tutorials, the profiles
//                 and the options windows with: the tutorials' factory
//                 (WorldSetup::tutorials; the map, the level window and the
//                 level scene ask it), the profiles' roster and the options'
//                 hooks (WorldSetup::profileRoster, optionsHooks); down:
//                 the running tutorial discarded, the factory taken out and
//                 both services reset again
//   loading       the language from "language.dat" (when asked for: a
//                 language that is missing or does not read whole stops
//                 the world), then the start-up loader's table
//                 (StartupLoader.h) read to its step 95: the sounds, the
//                 sprite sets, the fonts, the tables, the textures and
//                 the character descriptions, as the program reads them;
//                 no profile is read and no state is asked for; or,
//                 staged (the program), the loader only readied for its
//                 caller to run a step a frame
//   level panel   the game windows round a level (LevelPanelHost, which
//                 makes the level panel when the scene asks for it), unless
//                 the scene's game windows are handed in; the award queue
//                 as the level's award notices unless others are handed in
//   level scene   a GameLevel with its collaborators: those handed in, the
//                 real ones for the rest (the level objects' point classes,
//                 LevelObjectClasses, and its villains, LevelVillainCast,
//                 unless others are handed in); the running level in the
//                 resource services and the developer overlay's; with
//                 WorldSetup::levelState the game state is the level's
//                 (ResourceServices::appState) while it is up, as the level
//                 player runs it (the game's state machine sets its own);
//                 down: the state put back before the level goes
//
// The window manager comes before the loading because the digit fonts are
// read into it; the panel's host before the scene because the scene is
// made with it. The two level stages run when a level is opened: by Open
// when the set-up names one (the level then loaded and entered), or by
// OpenLevel, which a test harness calls with its fakes.
//
// A failed Open is said in the engine log (when it is open) as well as in
// its error; a sound stage left silent by a "Sounds.dat" that does not
// read is said there too; a section that does not read stops the world
// with the loader's failure. One world at a time: the stages fill the
// game-wide services.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/GameProfiles.h"
#include "app/StartupLoader.h"
#include "base/Types.h"
#include "engine/DXLMouse.h"
#include "level/scene/GameLevel.h"
#include "platform/audio/AudioOutput.h"
#include "platform/os/PlatformServices.h"

struct ContentTables;
class DXLViewer;
class GameLanguage;
class LevelPanelHost;
class LevelVillainCast;
class SpriteSet;
class WindowManager;
class ComixBook;
class GameLanguageHost;
class OptionsHooks;
class ProfileRoster;
class TutorialFactory;

enum class WorldStage : u32 {
  kServices,
  kViewer,
  kSound,
  kSpriteSets,
  kTables,
  kWindowManager,
  kLoading,
  kLevelPanel,
  kLevelScene,
};
constexpr u32 kWorldStageCount = 9;
// The exit status a program gives when the world does not open: the data
// set lacks "language.dat", or something else is missing or damaged.
constexpr int kWorldDataMissing = 3;
constexpr int kWorldDataDamaged = 1;
const char* WorldStageName(WorldStage stage);  // "services", "viewer", ... "level scene"
// The game-wide services of the resources, content, toolkit, level and
// windows layers back to their start, the resources' first: what the
// world's stages reset one by one, all at once (the text layers' are
// ResetTextServices and ResetEngineTextServices; AppServices is put back by
// whoever installs into it, RunGame and the game).
void ResetAllServices();

struct WorldSetup {
  std::string data;             // the data set's folder
  DXLViewer* viewer = nullptr;  // required; its device open at width x height
  i32 width = 800;
  i32 height = 600;
  u32 seed = 1;                                // the game's random generator starts here (1: as at start-up)
  std::unique_ptr<plat::audio::Output> sound;  // null: no sound
  bool language = false;                       // read "language.dat" and make it the game's
  // A level to open, load and enter (its index in the level table); -1 none.
  i32 level = -1;
  LevelSetup levelSetup;
  GameLevelHooks given;  // the level's collaborators handed in (OpenLevel)
  // The program's loading: the loading stage only readies the start-up
  // loader (Loader), which the caller runs a step a frame to its finish:
  // the archives but the sprites' closed, the profiles loaded into
  // `profiles` from `profileFolder`, the fade to the main screen run.
  bool stagedLoading = false;
  class ProfileStore* profiles = nullptr;
  std::u16string profileFolder;
  // Told by the start-up loader's tracker, at most once per report
  // interval, the overall fraction and the step (the loading bar).
  std::function<void(float fraction, i32 step)> startupReport;
  // Called after each stage is set up (true) and before it is taken down
  // (false).
  std::function<void(WorldStage stage, bool up)> observer;
  // The program's platform collaborators (its window's message box, the
  // present sink that shows frames in it): the non-null fields are
  // installed while the services stage is up.
  plat::PlatformServices platform;
  // The game's collaborators, none owned, each installed by its stage
  // (above) and put back with it; null leaves the services' own (none).
  GameLanguageHost* languageHost = nullptr;  // services: the game's window and screens the language tells
  u32 timeStep = 10;                         // services: the level's tick, ms
  u32 maxTimeSteps = 20;                     // services: the most ticks one update carries
  DXLPOINT (*pointer)() = nullptr;           // services: the game's mouse the level's hover reads (the game's)
  bool places = false;                       // services: where clickable things are drawn, in the log (TellPlace)
  bool cheats = false;                       // viewer: the developer's keys and overlay
  TutorialFactory* tutorials = nullptr;      // window manager: makes the game's tutorials
  ProfileRoster* profileRoster = nullptr;    // window manager: the profiles windows' roster
  OptionsHooks* optionsHooks = nullptr;      // window manager: what the options window asks of the game
  bool levelState = false;                   // level scene: the game state the level's while it is up
};

class GameWorld {
 public:
  GameWorld();
  ~GameWorld();  // Close
  GameWorld(const GameWorld&) = delete;
  GameWorld& operator=(const GameWorld&) = delete;

  // Sets every stage up in order; false with what failed in `error`, every
  // stage set up so far taken down again. A world already open is closed
  // first.
  bool Open(WorldSetup setup, std::string* error);
  // Takes every stage that is up down, the last first; nothing when closed.
  void Close();
  // Takes down every stage above `stage`, the last first (`stage` stays).
  void CloseTo(WorldStage stage);
  bool IsOpen() const { return !up_.empty(); }
  // After a failed Open: kWorldDataMissing or kWorldDataDamaged; else 0.
  int FailureStatus() const { return failureStatus_; }
  bool IsUp(WorldStage stage) const;

  // The level stages for level `index` (a level already open is closed
  // first): the panel's host unless `given` names the scene's game windows,
  // then the scene, made with `given` and the host for what it lacks. Not
  // loaded yet; null (nothing made) before the loading is done.
  GameLevel* OpenLevel(i32 index, const LevelSetup& setup, const GameLevelHooks& given);
  // The scene's staged loading run to its end; false when the scene does
  // not load or has no level record.
  bool LoadLevel();
  // The scene, then the panel's host; nothing when no level is open.
  void CloseLevel();

  // One frame of the game: the game clock moves by ms, the window manager
  // updates, then the level, its panel's clock and the running tutorial;
  // last the finished tutorials are deleted.
  void Frame(u32 ms);
  // The level, the running tutorial's arrows and texts placed, then the
  // windows over it.
  void Draw();

  GameLevel* Level() const { return level_.get(); }
  LevelPanelHost* Panel() const { return host_.get(); }  // null when handed in
  WindowManager* Windows() const { return windows_; }
  ContentTables* Tables() const { return tables_.get(); }
  const std::vector<std::unique_ptr<SpriteSet>>& SpriteSets() const { return sets_; }
  bool HasSound() const { return sound_; }  // the sound manager runs with the data set's sounds
  // Why a sound stage given an output left the game silent ("no sound
  // device", why "<folder>/Sounds.dat" does not open (DataSetFileFault) or
  // "... does not read whole");
  // empty when it plays or no output was given.
  const std::string& SoundProblem() const { return soundProblem_; }
  DXLViewer* Viewer() const { return setup_.viewer; }
  // What the profile store tells the game (ProfileStore::SetNotices): its
  // queues cleared over this world's window manager, its errors shown.
  ProfileNotices* Notices() { return &notices_; }
  // The staged start-up loader (WorldSetup::stagedLoading); null otherwise.
  StartupLoader* Loader() const { return loader_.get(); }

 private:
  bool Up(WorldStage stage, std::string* error);
  void Down(WorldStage stage);
  bool Raise(WorldStage stage, std::string* error);  // Up, recorded and told
  void Lower();                                      // the last stage up, told and taken down
  bool Failed(const std::string& error);             // logged, the status set, closed; false

  WorldSetup setup_;
  std::vector<WorldStage> up_;  // in the order set up
  GameLevelHooks levelHooks_;
  i32 levelIndex_ = -1;
  LevelSetup levelSetup_;
  int failureStatus_ = 0;
  bool languageMissing_ = false;
  u32 stateBefore_ = 0;  // the game state the level scene's put back

  std::optional<plat::PlatformServicesScope> platform_;  // setup_.platform installed
  GameArchives archives_;
  GameProfileNotices notices_;
  bool soundManager_ = false;  // made by the sound stage
  bool sound_ = false;         // and the sounds read
  std::string soundProblem_;
  std::vector<std::unique_ptr<SpriteSet>> sets_;
  std::unique_ptr<ContentTables> tables_;
  WindowManager* windows_ = nullptr;
  std::unique_ptr<ComixBook> comixBook_;  // the comics' book, made with the window manager
  std::unique_ptr<GameLanguage> language_;
  std::unique_ptr<StartupLoader> loader_;
  std::unique_ptr<LevelPanelHost> host_;
  std::unique_ptr<PointClasses> classes_;
  std::unique_ptr<LevelVillainCast> villains_;  // goes after the level, which clears them
  std::unique_ptr<GameLevel> level_;
};
