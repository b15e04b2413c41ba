// Game - the one game object the program runs: its set-up (InitGame, on the
// game's world, GameWorld.h), its language (the game is the language's
// host), the game-state machine that installs the frame's callbacks for
// each state, the common frame update and the screens' draws, the routing
// of input in game coordinates, the activation callback that pauses a
// running level behind its menu, and the shutdown. The profile store, the
// screens and the level with its collaborators are its members.
//
// States: 1 logos, 0x80000002 start-up loading, 6 main screen, 5 level
// map, 0x80000003 level loading, 4 level; -1 quits. The logos are the
// data's "Logos/Logos.txt" (LogoSequence); both loading states show the
// loading panel (LoadingPanel) with the language's logo and caption; the
// screen borders cover the client area outside the game area. The main
// screen is MainScreen, which the game serves as its host; the level map is
// the level-selection map (LevelSelectMap), which the start-up loader fills
// and which hears of every recorded result; the game makes the level
// objects it asks for.
//
// The frame's callbacks are plain functions: they reach the game through
// the running game, the one its runner installs in the application
// services (AppServices::game; a game is made, set up and shut down once
// a run). The game installs the level-selection map it makes there too;
// the recording and the replay it tells are the runner's.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/GameProfiles.h"
#include "app/GameScreen.h"
#include "app/MainScreen.h"
#include "app/GameWorld.h"
#include "base/Types.h"
#include "gametext/GameLanguageHost.h"
#include "platform/audio/AudioOutput.h"
#include "windows/OptionsWindow.h"

class GameLanguage;
class GameLevelSaves;
class LevelVillainCast;
class LevelSelectMapHost;
class ProfileStore;
class TutorialFactory;
class WindowManager;
class StoreRoster;
class LevelSelectMap;
class LoadingPanel;
class LogoSequence;
class DXLTextures;

struct GameSetup {
  std::string data;         // the data folder (without a trailing "/")
  std::u16string user;      // the per-user folder (with a trailing "/")
  TutorialFactory* tutorials = nullptr;
  std::unique_ptr<plat::audio::Output> sound;  // null: silent
  bool cheats = false;
  bool places = false;  // the developer switch "Places" (TellPlace)
  // The profile keys' seed (a replay's); else they are seeded from the clock.
  bool seedKeys = false;
  u32 keySeed = 0;
  // The run ends when the main screen is entered (a headless run that
  // nobody plays).
  bool endAtMainScreen = false;
  // Installed by the world's services stage (WorldSetup::platform).
  plat::PlatformServices platform;
};

// What the options window asks of the game: the screen's mode switched and
// applied (GameScreen, the new game area handed to the services), the
// borders rebuilt for it and the screens told (Game::RebuildScreenBorders),
// the game's end (CloseGameWindow), the settings file written ("config.dat"
// in the per-user folder).
class GameOptionsHooks : public OptionsHooks {
 public:
  GameOptionsHooks(GameScreen& screen, const std::u16string& folder) : screen_(screen), folder_(folder) {}

  bool IsFullscreen() const override { return screen_.IsFullscreen(); }
  bool SetFullscreen(bool on) override;
  void CloseGameWindow() override;
  void BuildScreenBorders() override;  // the running game's, for the new screen
  void SaveSettings() override;

 private:
  GameScreen& screen_;
  const std::u16string& folder_;
};

class Game : public GameLanguageHost, public MainScreenHost {
 public:
  Game();
  ~Game() override;  // ShutdownGame when still set up
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // The game-wide objects made and installed (the services, sound, sprite
  // sets, tables, window manager, the start-up loader with its tracker,
  // the profile store, the screens, the screen borders, the developer
  // overlay). False with what failed; `*missing` when a file is not there.
  bool InitGame(GameSetup setup, std::string* error, bool* missing);
  // Installs the language (the previous one deleted unless it is the same),
  // which sets the window title, the loading caption and the profile names'
  // characters through the host below.
  void SetGameLanguage(std::unique_ptr<GameLanguage> language);
  // Frees everything in the shutdown's order, the services reset last.
  void ShutdownGame();

  // The frame's callbacks.
  void OnStateChange(u32 oldState, u32 newState);
  void OnActivation(u32 code);

  GameScreen& Screen() { return screen_; }
  GameWorld& World() { return world_; }
  OptionsHooks& Options() { return options_; }
  ProfileStore* Profiles() const { return profiles_.get(); }
  GameLanguage* Language() const { return language_.get(); }
  u32 State() const { return state_; }
  bool IsUp() const { return up_; }  // set up and not shut down yet
  bool MainScreenReached() const { return mainScreenReached_; }
  u32 LoadingTime() const;  // ms of the start-up loading, once it is done
  LoadingPanel* Panel() const { return panel_.get(); }
  LogoSequence* Logos() const { return logos_.get(); }
  // The screen borders rebuilt for the client area's size (at the start and
  // whenever the screen changes), then the change passed on: the level map
  // refits; in a level its view follows, on the main screen its scene and
  // menu are fitted again, in the other states the window manager re-places
  // its windows; a level kept for later follows too; the running tutorial
  // last.
  void RebuildScreenBorders();

  // GameLanguageHost
  void SetWindowTitle(const wchar* title) override;
  void ShowLoading(DXLTexture* logo, const wchar* caption) override;
  void SetProfileChars(const wchar* chars) override;

  // MainScreenHost
  Profile* GetCurrentProfile() const override;
  u32 GetProfileCount() const override;
  ProfileRoster* GetRoster() override { return roster_.get(); }
  OptionsHooks* GetOptionsHooks() override { return &options_; }
  void SelectProfile(MapProfile* profile) override;
  bool StartOpeningComic() override;
  void ChangeScreen(u32 state) override { RequestState(state); }
  void CloseGame() override;
  std::u16string GetUserName() override;
  MainScreen* GetMainScreen() const { return mainScreen_.get(); }

  // --- What the screens ask of the game -------------------------------------------------
  // A screen change through the fade (GEffect_Regime, 250, 250, 0, mode 1).
  static void RequestState(u32 state);
  // A level object of `index` for `regime` is kept and has not ended.
  bool HasKeptLevel(i32 index, u32 regime) const;
  // A new level object for level `index` of the current profile's regime,
  // its exits wired (the one before deleted); false when none is made.
  bool MakeLevel(i32 index);
  LevelSelectMap* Map() const { return map_.get(); }
  // Straight to the level map past the main screen's menu (tests): a
  // profile made when there is none.
  void ChooseRegime();

  // Per-state frame callbacks (public for the frame's plain functions).
  void Update();
  void Render();
  void MouseDown(i32 x, i32 y, u32 button, u32 modifiers);
  void MouseUp(i32 x, i32 y, u32 button, u32 modifiers);
  void MouseMove(i32 x, i32 y, u32 buttons, u32 modifiers);
  void DoubleClick(i32 x, i32 y, u32 modifiers);
  void MouseWheel(i32 x, i32 y, i32 delta, u32 modifiers);
  // The keys and characters answer whether the screen's handler took them.
  bool KeyDown(u16 key, u32 modifiers);
  bool KeyUp(u16 key, u32 modifiers);
  bool Character(u16 code);
  u32 QueryCursor() const;

 private:
  void Leave(u32 state);
  void Enter(u32 state);
  void InstallCallbacks(u32 state);
  void AnchorNotices(u32 state);
  void TellStartFiles();
  u32 UpdateGameClock();
  void DeleteLevel();
  void LoadBorderTexture();
  GameLevel* Level() const { return world_.Level(); }

  GameScreen screen_;
  GameWorld world_;
  std::unique_ptr<ProfileStore> profiles_;
  std::unique_ptr<StoreRoster> roster_;  // the profile windows' view of the store
  std::unique_ptr<GameLanguage> language_;
  std::unique_ptr<LevelSelectMapHost> mapHost_;
  std::unique_ptr<LevelSelectMap> map_;
  std::unique_ptr<MainScreen> mainScreen_;
  std::unique_ptr<DXLTextures> borderTextures_;  // "Loading/screen_border.tga"
  std::unique_ptr<LoadingPanel> panel_;
  std::unique_ptr<LogoSequence> logos_;  // while the logo state runs
  std::unique_ptr<LevelVillainCast> villains_;
  std::unique_ptr<GameLevelSaves> saves_;
  GameSetup setup_;
  GameOptionsHooks options_{screen_, setup_.user};
  u32 state_ = 0;
  i32 levelRegime_ = 0;  // the regime the level object was made for
  u32 previousTime_ = 0;
  bool up_ = false;
  bool mainScreenReached_ = false;
  u32 loadingTime_ = 0;
};

// The game installed in the application services while it is set up (null
// before its InitGame and after its ShutdownGame).
Game* GetRunningGame();
// The frame's pause and resume words: paused, every sound is muted;
// resumed, unmuted. Stored before the window is made.
void StoreGamePauseCallbacks();
// The frame's activation (pause code) and state-change callbacks, onto the
// running game (nothing without one). Stored once input is made, before
// InitGame.
void StoreGameStateCallbacks();
