#include "app/Game.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "app/AppServices.h"
#include "app/GameProfiles.h"
#include "app/GameEntry.h"
#include "app/LevelSelectMap.h"
#include "app/LoadingPanel.h"
#include "app/LogoSequence.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "app/ReplayRun.h"
#include "app/Settings.h"
#include "app/ScreenBorders.h"
#include "app/StartupLoader.h"
#include "app/UserFiles.h"
#include "base/datafile/DataFileReader.h"
#include "content/MapSection.h"
#include "engine/DXLApp.h"
#include "engine/DXLKeyboard.h"
#include "engine/DXLLog.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "gametext/GameLanguage.h"
#include "level/objects/LevelVillainCast.h"
#include "level/rules/LevelLocks.h"
#include "level/rules/LevelRules.h"
#include "level/scene/DeveloperOverlay.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "platform/encoding/Utf.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/FileSystem.h"
#include "platform/os/SingleInstance.h"
#include "platform/os/UserName.h"
#include "platform/os/WindowSystem.h"
#include "resources/CursorIds.h"
#include "resources/GEffects.h"
#include "resources/GameDraw.h"
#include "resources/GameEffect.h"
#include "resources/ProgressTracker.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/TutorialHooks.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/ComixBook.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/MessageNotice.h"
#include "windows/WindowServices.h"

namespace {

constexpr u32 kFadeMs = 250;
constexpr u32 kFadeMode = 1;
constexpr u32 kShowHideHooks = 31;
constexpr u32 kLoadingStateBit = 0x80000000u;
constexpr u32 kPauseLostActivation = 1;
constexpr u32 kPauseMinimised = 3;
// The notices' bottom margins over each screen's anchor window.
constexpr i32 kNoticeMarginLevel = 120;
constexpr i32 kNoticeMarginMap = 76;
constexpr i32 kNoticeMarginMainScreen = 16;
constexpr u32 kLogoFadeInMs = 250;  // the start-up loading's fade after the logos (none out)
constexpr const wchar* kFirstProfileName = u"Player";  // until the profile windows ask for a name

// A person's input as replay steps, for a recording.
void RecordStep(ReplayStep::Kind kind, i32 a, i32 b, i32 c) {
  ReplayStep s;
  s.kind = kind;
  s.a = a;
  s.b = b;
  s.c = c;
  if (ReplayRun* recording = GetAppServices().recording) recording->Record(s);
}
i32 ButtonIndex(u32 button) { return button == kMouseRight ? 1 : button == kMouseMiddle ? 2 : 0; }
void RecordKey(u16 key, u32 modifiers) {
  // The modifiers go with the keys they hold, not as keys of their own.
  for (u8 m : {plat::DIK_LSHIFT, plat::DIK_RSHIFT, plat::DIK_LCONTROL, plat::DIK_RCONTROL, plat::DIK_LMENU,
               plat::DIK_RMENU})
    if (key == m) return;
  if (key == 0 || key > 255) return;
  const i32 held = ((modifiers & kModShift) ? ReplayStep::kShift : 0) |
                   ((modifiers & kModControl) ? ReplayStep::kCtrl : 0) | ((modifiers & kModAlt) ? ReplayStep::kAlt : 0);
  RecordStep(ReplayStep::kKey, key, held, 0);
}
void RecordCharacter(u16 character) {
  ReplayStep s;
  s.kind = ReplayStep::kText;
  s.text = plat::Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(character)));
  if (ReplayRun* recording = GetAppServices().recording; recording && !s.text.empty()) recording->Record(s);
}

// --- The frame's callbacks: plain functions onto the running game ---------------------------------

void CbCursor(u32* slot) {
  if (Game* game = GetRunningGame()) *slot = game->QueryCursor();
}
void CbUpdate() {
  if (Game* game = GetRunningGame()) game->Update();
}
void CbRender() {
  if (ReplayRun* recording = GetAppServices().recording) {
    std::optional<u32>& last = GetAppServices().lastRecordedFrame;
    const u32 now = DXLGetTimeMs();
    recording->LiveFrame(now - last.value_or(now));
    last = now;
  }
  if (Game* game = GetRunningGame()) game->Render();
}
void CbDown(DXLPOINT p, u32 button, u32 m) {
  RecordStep(ReplayStep::kPress, p.x, p.y, ButtonIndex(button));
  if (Game* game = GetRunningGame()) game->MouseDown(p.x, p.y, button, m);
}
void CbUp(DXLPOINT p, u32 button, u32 m) {
  RecordStep(ReplayStep::kRelease, p.x, p.y, ButtonIndex(button));
  if (Game* game = GetRunningGame()) game->MouseUp(p.x, p.y, button, m);
}
void CbMove(DXLPOINT p, u32 buttons, u32 m) {
  RecordStep(ReplayStep::kMove, p.x, p.y, 0);
  if (Game* game = GetRunningGame()) game->MouseMove(p.x, p.y, buttons, m);
}
void CbDouble(DXLPOINT p, u32 m) {
  if (Game* game = GetRunningGame()) game->DoubleClick(p.x, p.y, m);
}
void CbWheel(DXLPOINT p, i32 delta, u32, u32 m) {
  if (delta != 0) RecordStep(ReplayStep::kWheel, p.x, p.y, std::clamp(delta, -32768, 32767));
  if (Game* game = GetRunningGame()) game->MouseWheel(p.x, p.y, delta, m);
}
void CbKeyDown(u16 key, u32 m) {
  RecordKey(key, m);
  if (Game* game = GetRunningGame()) game->KeyDown(key, m);
}
void CbKeyUp(u16 key, u32 m) {
  if (Game* game = GetRunningGame()) game->KeyUp(key, m);
}
void CbChar(u16 code) {
  RecordCharacter(code);
  if (Game* game = GetRunningGame()) game->Character(code);
}
void CbState(u32 oldState, u32 newState) {
  if (Game* game = GetRunningGame()) game->OnStateChange(oldState, newState);
}
void CbActivation(u32 code) {
  if (Game* game = GetRunningGame()) game->OnActivation(code);
}
// Paused, the game is silent; resumed, it plays again.
void CbPaused() { GetSoundSettings().Mute(); }
void CbResumed() { GetSoundSettings().Unmute(); }

// The bonuses the level loads (those the profile owns in its regime) and
// those it starts with (the regime's selection, owned ones only, in their
// order).
void TakeProfileBonuses(const Profile& profile, LevelSetup* setup) {
  for (i32 b = 0; b < static_cast<i32>(kProfileBonuses); ++b)
    if (profile.HasBonus(b)) setup->ownedBonuses |= 1u << b;
  const BONUSSELECTION& selection = profile.GetBonusSelection(profile.GetRegime());
  for (u32 i = 0; i < std::min(selection.count, kBonusSelectionSlots); ++i) {
    if (!profile.HasBonus(selection.slots[i]) || setup->chosen.count >= kMaxChosenBonuses) continue;
    setup->chosen.slots[setup->chosen.count++] = static_cast<u32>(selection.slots[i]);
  }
}

// The restart's fade has covered the screen: the level played afresh, with
// the bonuses chosen now.
void RestartCovered() {
  Game* game = GetRunningGame();
  if (!game) return;
  GameLevel* level = game->World().Level();
  Profile* profile = game->Profiles() ? game->Profiles()->GetCurrent() : nullptr;
  if (!level) return;
  if (profile) {
    profile->DropSavedLevel(level->GetLevelIndex());
    LevelSetup setup;
    TakeProfileBonuses(*profile, &setup);
    level->SetChosenBonuses(setup.chosen);
  }
  level->Restart();
  level->OnEnter();
}

// The level hands back to the map, whose result animation then plays.
void MapPlaysResult() {
  if (LevelSelectMap* map = GetLevelSelectMap()) map->PlayResult(200);
}

// What the level-selection map asks of the game that made it: the level
// objects.
class GameMapHost : public LevelSelectMapHost {
 public:
  explicit GameMapHost(Game& game) : game_(game) {}
  bool HasKeptLevel(i32 level, u32 regime) const override { return game_.HasKeptLevel(level, regime); }
  void DeleteLevel() override { game_.World().CloseLevel(); }
  bool MakeLevel(i32 level) override { return game_.MakeLevel(level); }

 private:
  Game& game_;
};

u16 VirtualKey(u16 key) {
  const u8* table = DXLKeyboard::GetKeyCodeTable();
  return table && key < 256 ? table[key] : 0;
}

bool PlayClockRuns(u32 state) {
  return state != kGameStateNone && state != kGameStateLogos && state != kAppStateShutdown &&
         state != kGameStateStartLoading;
}

// The game area of the screen as it is now, where everything that draws,
// fits or takes clicks reads it.
void PublishGameArea(const GameScreen& screen) {
  GAMESCREENAREA& s = GetResourceServices().screen;
  s.width = screen.Area().width;
  s.height = screen.Area().height;
  s.rect = screen.Area().rect;
}

}  // namespace

bool GameOptionsHooks::SetFullscreen(bool on) {
  SCREENPARAMS params = screen_.GetParams();
  params.fullscreen = on ? 1 : 0;
  if (!screen_.SetParams(params) || !screen_.Apply()) return false;
  PublishGameArea(screen_);
  return true;
}

void GameOptionsHooks::CloseGameWindow() { ::CloseGameWindow(); }

void GameOptionsHooks::BuildScreenBorders() {
  if (Game* game = GetRunningGame()) game->RebuildScreenBorders();
}

// A save refused because the per-user folder was moved or replaced while
// the game ran is told as the profiles' are (ProfileStore).
void GameOptionsHooks::SaveSettings() {
  int error = 0;
  const Game* game = GetRunningGame();
  if (!::SaveSettings(folder_, screen_.GetParams(), &error) && IsFolderMovedError(error) && game &&
      game->Profiles())
    game->Profiles()->TellFolderMoved();
}

Game* GetRunningGame() {
  Game* game = GetAppServices().game;
  return game && game->IsUp() ? game : nullptr;
}

void StoreGamePauseCallbacks() {
  DXLCALLBACKS pause{};
  pause.deactivated = &CbPaused;
  pause.activated = &CbResumed;
  DXLSetCallbacks(kCallbackDeactivated | kCallbackActivated, &pause);
}

void StoreGameStateCallbacks() {
  DXLSetPauseCallback(&CbActivation);
  DXLSetStateCallback(&CbState);
}

Game::Game() = default;
Game::~Game() { ShutdownGame(); }

u32 Game::LoadingTime() const { return loadingTime_; }

// In the set-up's order as far as the game's world allows: the world
// raises its stages in their own order (services, viewer, sound, sprite
// sets, tables, window manager with the comic book, the start-up loader
// with its tracker), opening each archive with the stage that reads it, so
// the archives are open before the game's own objects, and the tracker is
// made before the map, the main screen and the screen borders. What the
// game hands the world its stages install: the language's host and the
// tick, the developer overlay with the "Cheats" switch, the tutorials'
// factory, the profiles' roster and the options' hooks. The border texture
// goes in between the world's stages (it needs the viewer). The profile
// store and its roster are made first: the loader fills the store. The
// loading panel comes with the language (SetGameLanguage).
bool Game::InitGame(GameSetup setup, std::string* error, bool* missing) {
  setup_ = std::move(setup);
  profiles_ = std::make_unique<ProfileStore>();
  if (setup_.seedKeys) profiles_->SeedKeys(setup_.keySeed);
  mapHost_ = std::make_unique<GameMapHost>(*this);
  roster_ = std::make_unique<StoreRoster>(*profiles_, [this] {
    if (state_ == kGameStateLevel && Level()) Level()->Leave();
    DeleteLevel();
  });

  WorldSetup w;
  w.data = setup_.data;
  w.viewer = DXLGetViewer();
  w.width = screen_.Area().width;
  w.height = screen_.Area().height;
  w.sound = std::move(setup_.sound);
  w.stagedLoading = true;
  w.profiles = profiles_.get();
  w.profileFolder = setup_.user;
  w.platform = setup_.platform;
  w.languageHost = this;
  w.pointer = &GetGameMousePos;  // the frame's mouse, which the game's events come from
  w.cheats = setup_.cheats;
  w.places = setup_.places;
  w.tutorials = setup_.tutorials;
  w.profileRoster = roster_.get();
  w.optionsHooks = &options_;
  // The start-up tracker reports to the loading bar (at most every 100 ms).
  w.startupReport = [this](float fraction, i32) {
    if (panel_) panel_->SetProgress(fraction);
  };
  w.observer = [this](WorldStage stage, bool up) {
    if (up && stage == WorldStage::kViewer) LoadBorderTexture();
  };
  if (!world_.Open(std::move(w), error)) {
    if (missing) *missing = world_.FailureStatus() == kWorldDataMissing;
    borderTextures_.reset();
    roster_.reset();
    profiles_.reset();
    mapHost_.reset();
    return false;
  }
  mainScreen_ = std::make_unique<MainScreen>(world_.Tables() ? &world_.Tables()->mainScreen : nullptr, this);
  // The map, filled by the loader's "MAPM" row, hears of every result.
  map_ = std::make_unique<LevelSelectMap>(profiles_.get(), mapHost_.get());
  GetAppServices().levelSelectMap = map_.get();
  map_->SetCheats(setup_.cheats);
  profiles_->SetResultListener(map_.get());
  if (StartupLoader* loader = world_.Loader())
    loader->Plug(90, kMapSectionId, [map = map_.get()](StartupLoader&, kis::DataFileReaderW* archive,
                                                        SectionCursor* cursor) {
      return map->ReadMapSection(archive, cursor);
    });
  PublishGameArea(screen_);
  RebuildScreenBorders();

  // The one handler of typed characters for the whole run: each is recorded,
  // then offered to the screen's windows (an edit box has it from its own).
  DXLSetCharSink(&CbChar);
  profiles_->SetNotices(world_.Notices());  // another profile chosen empties the queues; errors show
  previousTime_ = DXLGetTimeMs();
  up_ = true;
  return true;
}

// "Loading/screen_border.tga" of the data folder, kept only when it loaded.
void Game::LoadBorderTexture() {
  ResourceServices& s = GetResourceServices();
  const std::u16string data = plat::Utf8ToUtf16(setup_.data);
  borderTextures_ = std::make_unique<DXLTextures>(s.viewer);
  s.borders.texture = DXLLoadTextureFile(borderTextures_.get(), (data + u"/Loading/screen_border.tga").c_str(),
                                         kBlendAlpha, nullptr, true);
  if (s.borders.texture && !s.borders.texture->IsReady()) {
    delete s.borders.texture;
    s.borders.texture = nullptr;
  }
}

void Game::SetGameLanguage(std::unique_ptr<GameLanguage> language) {
  if (language && language.get() == language_.get()) return;
  ::SetGameLanguage(language.get());
  std::swap(language_, language);  // the old one goes here, after the new one is in
}

void Game::SetWindowTitle(const wchar* title) {
  if (title) plat::GetWindowSystem().SetWindowText(DXLGetAppData().window, title);
}
// The first language makes the loading panel (its pictures from the data
// folder).
void Game::ShowLoading(DXLTexture* logo, const wchar* caption) {
  if (!up_) return;
  if (!panel_) panel_ = std::make_unique<LoadingPanel>(plat::Utf8ToUtf16(setup_.data).c_str());
  panel_->SetLogo(logo);
  panel_->SetCaption(GetGameFont(2), caption);
}

void Game::RebuildScreenBorders() {
  const GAMEAREA& area = screen_.Area();
  BuildScreenBorders(area.clientWidth, area.clientHeight);
  if (map_) map_->OnScreenResize();
  GameLevel* level = Level();
  if (state_ == kGameStateLevel && level) {
    level->Screen().UpdateViewport();  // with the level's panels and windows
  } else if (state_ == kGameStateMainScreen && mainScreen_) {
    mainScreen_->FitToScreen();  // with its windows
  } else {
    if (WindowManager* windows = GetWindowManager()) windows->OnScreenResize();
    // A level left for the map keeps its view until it is entered again.
    if (level) level->Screen().UpdateViewport();
  }
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->OnScreenResize();
}
void Game::SetProfileChars(const wchar* chars) {
  if (profiles_) profiles_->SetNameCharacters(chars);
}

// In the shutdown's order, but for what the game's world and its screens
// need: the tutorials; the map and the main screen before the tables (their
// nodes' characters and layers hold the tables' animations and pictures);
// the world down to its sprite sets (the start-up loader, the window
// manager with the comic book, the tables with the level table's records
// and the particle library, the data archive); the language; the loading
// panel; the profile store, which saves and closes the current profile
// without reaching the windows; the border texture; then the rest of the
// world in its reverse order (the sprite sets and their archive before the
// sound and its archive, the viewer with the developer overlay, last the
// services with the language's host, which resets every layer's services).
void Game::ShutdownGame() {
  if (!up_) return;
  up_ = false;
  DXLSetStateCallback(nullptr);
  DXLSetPauseCallback(nullptr);
  DXLSetCharSink(nullptr);
  DeleteLevel();
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->Discard();
  DeleteFinishedTutorials();
  if (profiles_) profiles_->SetNotices(nullptr);  // the store closes after the window manager is gone
  if (profiles_) profiles_->SetResultListener(nullptr);
  map_.reset();  // its interface and nodes before the windows and sprite sets
  GetAppServices().levelSelectMap = nullptr;
  mainScreen_.reset();  // its menu before the window manager
  world_.CloseTo(WorldStage::kSpriteSets);
  ::SetGameLanguage(nullptr);  // no language: its host, in until the services go, is not told
  language_.reset();
  logos_.reset();
  panel_.reset();
  roster_.reset();
  profiles_.reset();
  GetResourceServices().borders = SCREENBORDERS{};
  borderTextures_.reset();
  world_.Close();
}

void Game::DeleteLevel() {
  world_.CloseLevel();
  saves_.reset();
  villains_.reset();  // after the level, which clears them
}

// --- The state machine ------------------------------------------------------------------------------

void Game::RequestState(u32 state) {
  if (GetGameEffect()) return;  // a screen change already under way
  RunGameEffect(new GEffect_Regime(state, kFadeMs, kFadeMs, 0, kFadeMode));
}

void Game::OnStateChange(u32 oldState, u32 newState) {
  GetResourceServices().appState = newState;
  DXLLogValueFormat(0, "Game state", "0x%X -> 0x%X", oldState, newState);
  if (newState == kAppStateShutdown) {
    if (state_ == kGameStateLevel && Level()) Level()->Leave();
    DeleteLevel();
    if (profiles_) profiles_->SaveProfile();
    ShutdownGame();
    return;
  }
  Leave(state_);
  state_ = newState;
  InstallCallbacks(newState);
  Enter(newState);
  AnchorNotices(newState);
}

// Entering a screen, the notice queues stand over its anchor window with
// its margin; the messages of other screens go. A comic has no notices.
void Game::AnchorNotices(u32 state) {
  MessageNoticeQueue* messages = GetMessageNotices();
  AwardNoticeQueue* awards = GetAwardNotices();
  if (!messages || !awards) return;
  GameWindow* anchor = nullptr;
  switch (state) {
    case kGameStateLevel: {
      LevelPanelHost* host = world_.Panel();
      anchor = host ? host->GetPanel() : nullptr;
      messages->SetHost(anchor, kNoticeMarginLevel, kMessageLevel);
      awards->SetHost(anchor, kNoticeMarginLevel);
      break;
    }
    case kGameStateLevelMap:
      anchor = GetWindowManager() ? GetWindowManager()->GetAnchor(kAnchorMap) : nullptr;
      messages->SetHost(anchor, kNoticeMarginMap, kMessageLevelMap);
      awards->SetHost(anchor, kNoticeMarginMap);
      break;
    case kGameStateMainScreen:  // over the main menu
      anchor = mainScreen_ ? mainScreen_->GetMenu() : nullptr;
      messages->SetHost(anchor, kNoticeMarginMainScreen, kMessageMainScreen);
      awards->SetHost(anchor, kNoticeMarginMainScreen);
      break;
    case kGameStateComic:
      messages->Clear(0);
      awards->Clear();
      break;
    default: break;
  }
}

void Game::Leave(u32 state) {
  switch (state) {
    case kGameStateLevel:
      if (Level()) Level()->Leave();  // a won level recorded, one in progress saved; the object stays
      break;
    case kGameStateLevelMap:
      if (map_) map_->Leave();
      break;
    case kGameStateLogos: logos_.reset(); break;
    case kGameStateComic:
      if (ComixBook* book = GetComixBook()) book->DeleteComixWindow();
      break;
    case kGameStateMainScreen:
      if (mainScreen_) mainScreen_->Leave();
      break;
    default: break;
  }
}

// Logos take presses, double clicks and keys (each skips a logo); the
// screens every input; the loading states none.
void Game::InstallCallbacks(u32 state) {
  const bool screen = state == kGameStateLevel || state == kGameStateLevelMap || state == kGameStateMainScreen ||
                      state == kGameStateComic;
  const bool logos = state == kGameStateLogos;
  const bool loading = state == kGameStateStartLoading || state == kGameStateLevelLoading;
  DXLCALLBACKS c{};
  c.cursorQuery = &CbCursor;
  if (screen || logos || loading) {
    c.update = &CbUpdate;
    c.render = &CbRender;
  }
  if (screen || logos) {
    c.mouseDown = &CbDown;
    c.doubleClick = &CbDouble;
    c.keyDown = &CbKeyDown;
  }
  if (screen) {  // the comic's too: its window takes every event
    c.mouseUp = &CbUp;
    c.mouseMove = &CbMove;
    c.mouseWheel = &CbWheel;
    c.keyUp = &CbKeyUp;
  }
  DXLSetCallbacks(0x71F31u, &c);  // everything but the pause and resume words
}

void Game::Enter(u32 state) {
  switch (state) {
    case kGameStateLevel:
      if (GameLevel* level = Level()) level->Enter();  // a saved state restored, else a new one; then OnEnter
      break;
    case kGameStateLevelMap:
      if (map_) map_->Enter();
      if (Level() && Level()->HasEnded()) DeleteLevel();  // one left through the menu is kept
      break;
    case kGameStateMainScreen:
      DeleteLevel();
      if (!mainScreenReached_) {
        mainScreenReached_ = true;
        if (StartupLoader* loader = world_.Loader()) loadingTime_ = loader->LoadingTime();
        DXLLogValueFormat(0, "Start-up", "loaded in %u ms; the main screen is asked for", loadingTime_);
        TellStartFiles();
        if (setup_.endAtMainScreen) CloseGameWindow();
      }
      if (mainScreen_) mainScreen_->Enter();
      break;
    case kGameStateLevelLoading:
      if (panel_) panel_->SetProgress(0.0f);
      break;
    case kGameStateComic:
      if (ComixBook* book = GetComixBook()) book->CreateComixWindow();
      if (Level() && Level()->HasEnded()) DeleteLevel();
      break;
    case kGameStateLogos:
      logos_ = std::make_unique<LogoSequence>(plat::Utf8ToUtf16(setup_.data + "/Logos/Logos.txt").c_str());
      break;
    default: break;
  }
}

// What the player must hear of from the start, on the first main screen (the
// profiles chosen by then, which empties the notice queues): a start
// without the single-instance lock, whose call fails where the per-user
// folder lives (the game runs all the same, and nothing keeps a second copy
// off the files); a settings file that cannot be read because something
// other than a file stands in its place (the defaults are used, and no
// change is kept while it stays, as saves never write through it).
void Game::TellStartFiles() {
  ProfileNotices* notices = world_.Notices();
  const plat::SingleInstance* lock = DXLGetAppData().mutex;
  if (notices && lock && lock->Unguarded())
    notices->ShowFileNotice(kNoticeNoLock, u"no_lock",
                            {plat::Utf8ToUtf16(lock->LockPath()), plat::Utf8ToUtf16(std::strerror(lock->LockError()))});
  const std::string kind = plat::NonFileKind(UserFilePath(setup_.user, u"config.dat"));
  if (notices && !kind.empty())
    notices->ShowFileNotice(kNoticeSettings, u"settings_unreadable", {u"config.dat", plat::Utf8ToUtf16(kind)});
}

void Game::OnActivation(u32 code) {
  if (code != kPauseLostActivation && code != kPauseMinimised) return;
  GameLevel* level = Level();
  if (state_ == kGameStateLevel && level && level->IsStarted() && !(level->Rules().Locks().GetMask() & kLockExit))
    level->OpenMenu(false);
}

// --- Per frame ------------------------------------------------------------------------------------------

u32 Game::UpdateGameClock() {
  const u32 now = DXLGetTimeMs();
  const u32 ms = now - previousTime_;
  previousTime_ = now;
  ResourceServices& s = GetResourceServices();
  s.clock += ms;
  s.frameElapsed = ms;
  Profile* profile = profiles_ ? profiles_->GetCurrent() : nullptr;
  if (PlayClockRuns(state_) && profile) profile->AddPlayTime(ms);
  s.profilePlayTime = profile ? static_cast<i64>(profile->GetProgress().playTime) : -1;
  return ms;
}

void Game::Update() {
  GetSoundSettings().Update();
  const u32 ms = UpdateGameClock();
  switch (state_) {
    case kGameStateLogos:
      // The logos move on in their draw; once they are over, the start-up
      // loading fades in.
      if ((!logos_ || logos_->IsFinished()) && !GetGameEffect()) {
        logos_.reset();
        RunGameEffect(new GEffect_Regime(kGameStateStartLoading, 0, kLogoFadeInMs, 0, kFadeMode));
      }
      return;
    case kGameStateStartLoading: {
      StartupLoader* loader = world_.Loader();
      if (GetGameEffect() || !loader || mainScreenReached_) return;
      // The bar moves only when the loader's tracker reports to it.
      const StartupLoader::Result r = loader->Load();
      if (r == StartupLoader::kFailed) FatalDataError(loader->GetFailure().text.c_str(), loader->GetFailure().what);
      return;
    }
    case kGameStateLevelLoading: {
      GameLevel* level = Level();
      if (GetGameEffect() || !level) return;
      level->Load();
      if (const ProgressTracker* tracker = level->GetLoadProgress(); tracker && panel_) panel_->SetProgress(tracker->GetFraction());
      if (level->IsLoaded()) RequestState(kGameStateLevel);
      return;
    }
    default: break;
  }
  if (WindowManager* windows = GetUiServices().windowManager) windows->Update();
  if (state_ == kGameStateLevelMap && map_) map_->Update(ms);
  if (state_ == kGameStateMainScreen && mainScreen_) mainScreen_->Update(ms);
  if (state_ == kGameStateLevel) {
    if (GameLevel* level = Level()) {
      level->Update(ms);
      ReplayRun* replay = GetAppServices().replay;
      if (replay && level->Rules().Tasks().GetResultShown() == kResultWon) replay->LevelWon();
    }
    if (LevelPanelHost* host = world_.Panel()) host->Update(ms);
  }
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->Update(ms);
  DeleteFinishedTutorials();  // never inside a tutorial's own call
}

void Game::Render() {
  if (state_ == kGameStateLogos) {
    if (!DrawLogoFrame(logos_.get())) BeginGameFrame();  // the logos are over: the frame left clear
    DrawDebugOverlay();
    DrawScreenBorders();
    return;
  }
  // The main screen clears only the rows its opaque layers leave uncovered.
  BeginGameFrame(state_ != kGameStateMainScreen || !mainScreen_);
  switch (state_) {
    case kGameStateLevel: world_.Draw(); break;
    case kGameStateLevelMap:
      if (map_) map_->Draw();
      break;
    case kGameStateMainScreen:
      if (mainScreen_) mainScreen_->Draw();
      break;
    case kGameStateComic:
      if (WindowManager* windows = GetUiServices().windowManager) windows->Draw();
      break;
    case kGameStateStartLoading:
    case kGameStateLevelLoading:
      if (panel_) panel_->Draw();
      break;
    default: break;
  }
  DrawDebugOverlay();
  DrawScreenBorders();
}

u32 Game::QueryCursor() const {
  if (state_ & kLoadingStateBit) return kCursorGrayArrow;
  u32 cursor = kCursorNone;
  if (state_ == kGameStateLevelMap) return map_ && map_->GetCursor(&cursor) ? cursor : kCursorNone;
  if (WindowManager* windows = GetUiServices().windowManager; windows && windows->GetCursor(&cursor)) return cursor;
  if (state_ == kGameStateLevel && Level() && Level()->Input().GetCursorKind(&cursor)) return cursor;
  return kCursorNone;
}

// --- Input: window positions in game coordinates; presses outside the game area never reach a screen ----

void Game::MouseDown(i32 x, i32 y, u32 button, u32 modifiers) {
  if (!screen_.InGameArea(x, y)) return;  // the borders take nothing, not even a logo's skip
  if (state_ == kGameStateLogos) {
    SkipLogo(logos_.get());
    return;
  }
  const DXLPOINT p = WindowToGame(x, y);
  switch (state_) {
    case kGameStateLevel:
      if (Level()) Level()->Input().OnMouseDown(p.x, p.y, button, modifiers);
      break;
    case kGameStateLevelMap:
      if (map_) map_->OnMouseDown(p.x, p.y, button, modifiers);
      break;
    case kGameStateComic:
      if (WindowManager* windows = GetWindowManager()) windows->OnMouseDown(p.x, p.y, button, modifiers);
      break;
    case kGameStateMainScreen:
      if (mainScreen_) mainScreen_->OnMouseDown(p.x, p.y, button, modifiers);
      break;
    default: break;
  }
}

void Game::MouseUp(i32 x, i32 y, u32 button, u32 modifiers) {
  const DXLPOINT p = WindowToGame(x, y);
  if (WindowManager* windows = GetWindowManager(); windows && state_ == kGameStateComic)
    windows->OnMouseUp(p.x, p.y, button, modifiers);
  if (state_ == kGameStateMainScreen && mainScreen_) mainScreen_->OnMouseUp(p.x, p.y, button, modifiers);
  if (state_ == kGameStateLevel && Level()) Level()->Input().OnMouseUp(p.x, p.y, button, modifiers);
  if (state_ == kGameStateLevelMap && map_) map_->OnMouseUp(p.x, p.y, button, modifiers);
}

void Game::MouseMove(i32 x, i32 y, u32 buttons, u32 modifiers) {
  const DXLPOINT p = WindowToGame(x, y);
  if (WindowManager* windows = GetWindowManager(); windows && state_ == kGameStateComic)
    windows->OnMouseMove(p.x, p.y, buttons, modifiers);
  if (state_ == kGameStateMainScreen && mainScreen_) mainScreen_->OnMouseMove(p.x, p.y, buttons, modifiers);
  if (state_ == kGameStateLevel && Level()) Level()->Input().OnMouseMove(p.x, p.y, buttons, modifiers);
  if (state_ == kGameStateLevelMap && map_) map_->OnMouseMove(p.x, p.y, buttons, modifiers);
}

void Game::DoubleClick(i32 x, i32 y, u32 modifiers) {
  if (!screen_.InGameArea(x, y)) return;
  if (state_ == kGameStateLogos) {
    SkipLogo(logos_.get());
    return;
  }
  const DXLPOINT p = WindowToGame(x, y);
  if (WindowManager* windows = GetWindowManager(); windows && state_ == kGameStateComic)
    windows->OnDoubleClick(p.x, p.y, kMouseLeft);
  if (state_ == kGameStateMainScreen && mainScreen_) mainScreen_->OnDoubleClick(p.x, p.y, kMouseLeft);
  if (state_ == kGameStateLevel && Level()) Level()->Input().OnDoubleClick(p.x, p.y, modifiers);
  if (state_ == kGameStateLevelMap && map_) map_->OnDoubleClick(p.x, p.y, modifiers);
}

void Game::MouseWheel(i32 x, i32 y, i32 delta, u32 modifiers) {
  const DXLPOINT p = WindowToGame(x, y);
  if (WindowManager* windows = GetWindowManager(); windows && state_ == kGameStateComic)
    windows->OnMouseWheel(p.x, p.y, delta, 0, 0);
  if (state_ == kGameStateMainScreen && mainScreen_) mainScreen_->OnMouseWheel(p.x, p.y, delta);
  if (state_ == kGameStateLevel && Level()) Level()->Input().OnMouseWheel(p.x, p.y, delta);
  // The map's zoom modes are the modifiers' codes: 1 Control (fine), 2 Shift.
  if (state_ == kGameStateLevelMap && map_)
    map_->OnMouseWheel(p.x, p.y, delta, 0, static_cast<i32>(modifiers & (kModControl | kModShift)));
}

// The keys and characters give back what the screen's handler answered
// (true: taken). The engine's keyboard words carry no answer back, so the
// frame's plain callbacks drop it; the game's own callers read it.
bool Game::KeyDown(u16 key, u32 modifiers) {
  if (DebugKeyDown(key, modifiers)) return true;
  const u16 vk = VirtualKey(key);
  WindowManager* windows = GetWindowManager();
  switch (state_) {
    case kGameStateLogos: SkipLogo(logos_.get()); return true;
    case kGameStateLevel: return Level() && Level()->Input().OnKeyDown(vk, modifiers);
    case kGameStateLevelMap: return map_ && map_->OnKeyDown(vk, modifiers);
    case kGameStateMainScreen: return mainScreen_ && mainScreen_->OnKeyDown(vk, modifiers);
    case kGameStateComic: return windows && windows->OnKeyDown(vk, modifiers);
    default: return false;
  }
}

bool Game::KeyUp(u16 key, u32 modifiers) {
  const u16 vk = VirtualKey(key);
  WindowManager* windows = GetWindowManager();
  switch (state_) {
    case kGameStateLevel: return Level() && Level()->Input().OnKeyUp(vk, modifiers);
    case kGameStateLevelMap: return map_ && map_->OnKeyUp(vk, modifiers);
    case kGameStateMainScreen: return mainScreen_ && mainScreen_->OnKeyUp(vk, modifiers);
    case kGameStateComic: return windows && windows->OnKeyUp(vk, modifiers);
    default: return false;
  }
}

bool Game::Character(u16 code) {
  WindowManager* windows = GetWindowManager();
  switch (state_) {
    case kGameStateLevel: return Level() && Level()->Input().OnChar(code, 0);
    case kGameStateLevelMap: return map_ && map_->OnChar(code);
    case kGameStateMainScreen: return mainScreen_ && mainScreen_->OnChar(code);
    case kGameStateComic: return windows && windows->OnChar(code, 0);
    default: return false;
  }
}

// --- What the screens ask --------------------------------------------------------------------------

Profile* Game::GetCurrentProfile() const { return profiles_ ? profiles_->GetCurrent() : nullptr; }
u32 Game::GetProfileCount() const { return profiles_ ? profiles_->GetCount() : 0; }
void Game::SelectProfile(MapProfile* profile) {
  if (roster_ && profile) roster_->SelectProfile(profile);
}
bool Game::StartOpeningComic() {
  ComixBook* book = GetWindowServices().comixBook;
  return book && book->StartComix(0, nullptr);
}
void Game::CloseGame() { CloseGameWindow(); }
std::u16string Game::GetUserName() { return plat::GetUserName(); }

void Game::ChooseRegime() {
  if (!profiles_) return;
  if (!profiles_->GetCurrent()) {
    Profile* made = nullptr;
    if (profiles_->CreateProfile(kFirstProfileName, &made) != kProfileOk && !made) return;
    profiles_->SelectProfile(made);
  }
  RequestState(kGameStateLevelMap);
}

bool Game::HasKeptLevel(i32 index, u32 regime) const {
  const GameLevel* kept = Level();
  return kept && kept->GetLevelIndex() == index && levelRegime_ == static_cast<i32>(regime) && !kept->HasEnded();
}

bool Game::MakeLevel(i32 index) {
  Profile* profile = profiles_ ? profiles_->GetCurrent() : nullptr;
  if (!profile) return false;
  const i32 regime = static_cast<i32>(profile->GetRegime());
  DeleteLevel();
  villains_ = std::make_unique<LevelVillainCast>();
  saves_ = std::make_unique<GameLevelSaves>(profile, profile, villains_.get());
  GameLevelHooks given;
  given.rules.profile = profile;
  given.villains = villains_.get();
  given.damage = villains_.get();
  given.saves = saves_.get();
  LevelSetup setup;
  setup.regime = regime;
  setup.easterEggFound = profile->IsEasterEggFound(index);
  TakeProfileBonuses(*profile, &setup);
  GameLevel* level = world_.OpenLevel(index, setup, given);
  if (!level) {
    DeleteLevel();
    return false;
  }
  levelRegime_ = regime;
  villains_->Bind(&level->Map());
  if (LevelPanelHost* host = world_.Panel()) {
    host->SetOptionsHooks(&options_);
    host->SetGameExits(
        [](u32 comic) {
          // Back to the map (a comic first when the level names one), which
          // then plays what the result changed.
          ComixBook* book = GetComixBook();
          if (comic && book && book->StartComix(comic, &MapPlaysResult)) return;
          RequestState(kGameStateLevelMap);
          auto* fade = dynamic_cast<GEffect_Regime*>(GetGameEffect());
          if (fade && fade->GetTarget() == kGameStateLevelMap) fade->SetCompletion(&MapPlaysResult);
        },
        [] { CloseGameWindow(); });
    host->SetLevelActions([level] { level->ExitToMap(); },
                          [] {
                            RunGameEffect(new GEffect_ShowHide(&RestartCovered, kFadeMs, kFadeMs, 0, kFadeMode,
                                                               kShowHideHooks));
                          });
  }
  return true;
}
