#include "app/GameWorld.h"

#include "app/DataSet.h"
#include "base/Random.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "engine/text/DigitalFont.h"
#include "engine/text/EngineTextServices.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/TextServices.h"
#include "level/objects/LevelObjectClasses.h"
#include "level/objects/LevelVillainCast.h"
#include "level/scene/DeveloperOverlay.h"
#include "level/scene/LevelServices.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"
#include "resources/GameDraw.h"
#include "resources/GameEffect.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSections.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "ui/GameFontSection.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/ComixBook.h"
#include "windows/GamePanelParts.h"
#include "windows/GameWindowManager.h"
#include "windows/ItemTag.h"
#include "windows/LevelPanelHost.h"
#include "windows/WindowServices.h"

namespace {

constexpr u32 kMaxLoadCalls = 100000;  // a level that is not loaded by then never will be

}  // namespace

void ResetAllServices() {
  ResetResourceServices();
  ResetContentServices();
  ResetUiServices();
  ResetLevelServices();
  ResetWindowServices();
}

const char* WorldStageName(WorldStage stage) {
  static const char* const kNames[kWorldStageCount] = {
      "services", "viewer", "sound", "sprite sets", "tables", "window manager", "loading", "level panel", "level scene"};
  const u32 i = static_cast<u32>(stage);
  return i < kWorldStageCount ? kNames[i] : "?";
}

GameWorld::GameWorld() = default;
GameWorld::~GameWorld() { Close(); }

bool GameWorld::IsUp(WorldStage stage) const {
  for (WorldStage s : up_)
    if (s == stage) return true;
  return false;
}

bool GameWorld::Open(WorldSetup setup, std::string* error) {
  Close();
  setup_ = std::move(setup);
  failureStatus_ = 0;
  languageMissing_ = false;
  for (u32 i = 0; i <= static_cast<u32>(WorldStage::kLoading); ++i)
    if (!Raise(static_cast<WorldStage>(i), error)) return Failed(*error);
  if (setup_.level < 0) return true;
  if (!OpenLevel(setup_.level, setup_.levelSetup, setup_.given) || !LoadLevel())
    return Failed(*error = "the data set's level " + std::to_string(setup_.level) + " does not load");
  level_->Enter();
  return true;
}

// Said in the log (a no-op while it is closed), and taken down.
bool GameWorld::Failed(const std::string& error) {
  DXLReportErrorA(0, "%s", error.c_str());
  failureStatus_ = languageMissing_ ? kWorldDataMissing : kWorldDataDamaged;
  Close();
  return false;
}

void GameWorld::Close() {
  while (!up_.empty()) Lower();
  setup_ = WorldSetup{};
}

void GameWorld::CloseTo(WorldStage stage) {
  while (!up_.empty() && static_cast<u32>(up_.back()) > static_cast<u32>(stage)) Lower();
}

GameLevel* GameWorld::OpenLevel(i32 index, const LevelSetup& setup, const GameLevelHooks& given) {
  CloseLevel();
  if (up_.empty() || up_.back() != WorldStage::kLoading) return nullptr;
  levelIndex_ = index;
  levelSetup_ = setup;
  levelHooks_ = given;
  std::string unused;
  Raise(WorldStage::kLevelPanel, &unused);
  Raise(WorldStage::kLevelScene, &unused);
  return level_.get();
}

bool GameWorld::LoadLevel() {
  if (!level_) return false;
  for (u32 calls = 0; !level_->IsLoaded() && calls < kMaxLoadCalls; ++calls) level_->Load();
  return level_->IsLoaded() && level_->GetInfo();
}

void GameWorld::CloseLevel() {
  while (!up_.empty() && (up_.back() == WorldStage::kLevelScene || up_.back() == WorldStage::kLevelPanel)) Lower();
}

void GameWorld::Frame(u32 ms) {
  ResourceServices& s = GetResourceServices();
  s.clock += ms;
  s.frameElapsed = ms;
  if (windows_) windows_->Update();
  if (level_) level_->Update(ms);
  if (host_) host_->Update(ms);
  if (s.tutorial) s.tutorial->Update(ms);
  DeleteFinishedTutorials();  // never inside a tutorial's own call
}

void GameWorld::Draw() {
  if (level_) level_->Draw();
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->Draw();
  if (DXLViewer* viewer = GetGameViewer()) {
    viewer->ResetWorldTransform();
    LoadGameAreaTransform();  // the windows stand in the game area
  }
  if (windows_) windows_->Draw();
}

bool GameWorld::Raise(WorldStage stage, std::string* error) {
  if (!Up(stage, error)) {
    Down(stage);  // what the stage made before it failed
    return false;
  }
  up_.push_back(stage);
  if (setup_.observer) setup_.observer(stage, true);
  return true;
}

void GameWorld::Lower() {
  const WorldStage stage = up_.back();
  if (setup_.observer) setup_.observer(stage, false);
  up_.pop_back();
  Down(stage);
}

// Each stage stands on those before it; a failed one leaves what it made
// for Down, which takes down a stage that is half up as well.
bool GameWorld::Up(WorldStage stage, std::string* error) {
  ResourceServices& s = GetResourceServices();
  const std::string& folder = setup_.data;
  switch (stage) {
    case WorldStage::kServices:
      platform_.emplace(setup_.platform);
      ResetResourceServices();
      ResetLevelServices();  // the developer's overlay and switch outlive the level stages
      GetLevelServices().pointer = setup_.pointer;
      s.tellPlaces = setup_.places;
      ResetTextServices();
      ResetEngineTextServices();
      kis::srand(setup_.seed);
      s.frameClock = &GameClock;  // sprite animations run on the game clock
      s.timeStep = setup_.timeStep;
      s.maxTimeSteps = setup_.maxTimeSteps;
      SetParticleMaxStep(static_cast<float>(GameTimeStep()));
      GetTextServices().languageHost = setup_.languageHost;
      return true;
    case WorldStage::kViewer:
      if (!setup_.viewer) return (*error = "no viewer to draw on", false);
      SetGameViewer(setup_.viewer);
      s.screen.width = setup_.width;
      s.screen.height = setup_.height;
      s.screen.rect = DXLRECT{0, 0, setup_.width, setup_.height};
      if (setup_.cheats) InitDebugOverlay(true);  // its fonts on the game viewer
      return true;
    case WorldStage::kSound: {
      if (!setup_.sound) return true;
      SoundSettings& sound = GetSoundSettings();
      if (!sound.Init(std::make_unique<plat::audio::SoftBackend>(std::move(setup_.sound)))) {
        soundProblem_ = "no sound device";
      } else {
        soundManager_ = true;
        archives_.sound = OpenDataSetFile(folder, "Sounds.dat", kSoundArchiveSignature1, kSoundArchiveSignature2,
                                          kSoundArchiveVersion);
        if (!archives_.sound) soundProblem_ = DataSetFileFault(folder, "Sounds.dat");
      }
      if (!soundProblem_.empty()) DXLReportErrorA(0, "%s; the game goes on without sound", soundProblem_.c_str());
      return true;
    }
    case WorldStage::kSpriteSets:
      archives_.sprites = OpenDataSetFile(folder, "Sprites.dat", kSpriteArchiveSignature1, kSpriteArchiveSignature2,
                                          kSpriteArchiveVersion);
      if (!archives_.sprites) return (*error = DataSetFileFault(folder, "Sprites.dat"), false);
      for (u32 i = 0; i < kSpriteSetCount; ++i) sets_.push_back(std::make_unique<SpriteSet>(i));
      return true;
    case WorldStage::kTables:
      archives_.data =
          OpenDataSetFile(folder, "Data.dat", kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
      if (!archives_.data) return (*error = DataSetFileFault(folder, "Data.dat"), false);
      ResetContentServices();
      tables_ = std::make_unique<ContentTables>();
      tables_->Install();
      return true;
    case WorldStage::kWindowManager:
      ResetUiServices();
      ResetWindowServices();
      windows_ = CreateGameWindowManager();
      GetUiServices().windowManager = windows_;
      s.itemDescription = &ExpandItemTag;  // the item descriptions of the game's texts
      comixBook_ = std::make_unique<ComixBook>();
      GetWindowServices().comixBook = comixBook_.get();
      GetWindowServices().profileRoster = setup_.profileRoster;
      GetWindowServices().optionsHooks = setup_.optionsHooks;
      s.tutorialFactory = setup_.tutorials;
      return true;
    case WorldStage::kLoading: {
      // A game without its texts is not played: a missing or damaged
      // language stops the world.
      if (setup_.language) {
        const std::u16string cache = plat::Utf8ToUtf16(folder + "/language.dat");
        if (plat::GetFileAttributes(cache) != plat::kInvalidAttributes) {
          language_ = std::make_unique<GameLanguage>(cache.c_str());
          SetGameLanguage(language_.get());
        }
        if (!language_ || !language_->IsWhole())
          return (*error = DataSetFileFault(folder, "language.dat", &languageMissing_), false);
      }
      StartupTargets targets;
      targets.archives = &archives_;
      targets.sets = &sets_;
      targets.tables = tables_.get();
      targets.windows = windows_;
      if (setup_.stagedLoading) {
        targets.profiles = setup_.profiles;
        targets.profileFolder = setup_.profileFolder;
        loader_ = std::make_unique<StartupLoader>(std::move(targets), setup_.startupReport);
        return true;
      }
      StartupLoader loader(std::move(targets));
      loader.SetLastStep(StartupLoader::kDescriptionsStep);
      loader.SetSoundOptional(true);
      StartupLoader::Result result = StartupLoader::kGoingOn;
      for (u32 calls = 0; result == StartupLoader::kGoingOn && calls < kMaxLoadCalls; ++calls) result = loader.Load();
      if (result != StartupLoader::kFinished)
        return (*error = folder + "/" + (result == StartupLoader::kFailed ? loader.GetFailure().what : "the loading never ends"), false);
      if (!loader.SoundFailure().empty()) {
        soundProblem_ = folder + "/Sounds.dat does not read whole";
        DXLReportErrorA(0, "%s; the game goes on without sound", soundProblem_.c_str());
      }
      sound_ = soundManager_ && archives_.sound && soundProblem_.empty();
      // Every window's skin is cut from the "interface" image, which the
      // manager keeps loaded (looked up once the sprite sets are read).
      if (!s.interfaceImage)
        if (Sprite* image = windows_->GetInterfaceSprite(u"interface")) s.interfaceImage = image->GetTexture();
      return true;
    }
    case WorldStage::kLevelPanel:
      if (!levelHooks_.iface) {
        host_ = std::make_unique<LevelPanelHost>();
        levelHooks_.iface = host_.get();
        if (!levelHooks_.rules.windows) levelHooks_.rules.windows = host_.get();
      }
      if (!levelHooks_.rules.awards) levelHooks_.rules.awards = GetAwardNotices();
      if (AwardNoticeQueue* awards = GetAwardNotices())
        awards->SetOpenAwards([this] {
          if (host_) host_->OpenAwards();
        });
      return true;
    case WorldStage::kLevelScene:
      if (!levelHooks_.map.classes) {
        classes_ = std::make_unique<LevelObjectClasses>();
        levelHooks_.map.classes = classes_.get();
      }
      if (!levelHooks_.villains) {
        villains_ = std::make_unique<LevelVillainCast>();
        levelHooks_.villains = villains_.get();
        if (!levelHooks_.damage) levelHooks_.damage = villains_.get();
      }
      level_ = std::make_unique<GameLevel>(levelIndex_, levelSetup_, levelHooks_);
      if (host_) host_->SetLevelActions([this] { level_->ExitToMap(); }, [this] { level_->Restart(); });
      if (villains_) villains_->Bind(&level_->Map());
      s.level = &level_->Screen();  // the running level
      if (DeveloperOverlay* developer = GetDeveloperOverlay()) developer->SetLevel(level_.get());
      stateBefore_ = s.appState;
      if (setup_.levelState) s.appState = kGameStateLevel;
      return true;
  }
  return false;
}

void GameWorld::Down(WorldStage stage) {
  ResourceServices& s = GetResourceServices();
  switch (stage) {
    case WorldStage::kServices:
      ClearGameEffects();  // an effect still running would reach into the services
      ResetLevelServices();
      ResetResourceServices();
      ResetTextServices();
      ResetEngineTextServices();
      platform_.reset();
      return;
    case WorldStage::kViewer:
      ReleaseDebugOverlay();  // its fonts before the viewer goes
      SetGameViewer(nullptr);
      s.screen = GAMESCREENAREA{};
      return;
    case WorldStage::kSound:
      if (soundManager_) GetSoundSettings().Shutdown();
      soundManager_ = false;
      kis::CloseDataFile(archives_.sound);
      archives_.sound = nullptr;
      sound_ = false;
      soundProblem_.clear();
      return;
    case WorldStage::kSpriteSets:
      UnbindDrawTexture();
      sets_.clear();
      kis::CloseDataFile(archives_.sprites);
      archives_.sprites = nullptr;
      return;
    case WorldStage::kTables:
      if (tables_) {
        FreeContentData(tables_.get());
        tables_->Uninstall();
        tables_.reset();
      }
      ResetContentServices();
      kis::CloseDataFile(archives_.data);
      archives_.data = nullptr;
      return;
    case WorldStage::kWindowManager:
      // The tutorials' layers are windows: they go before the manager.
      if (s.tutorial) s.tutorial->Discard();
      DeleteFinishedTutorials();
      if (s.tutorialFactory == setup_.tutorials) s.tutorialFactory = nullptr;
      ResetWindowServices();  // the comic book, the profiles' roster and the options' hooks out
      comixBook_.reset();     // its window goes before the manager
      ResetUiServices();
      if (s.itemDescription == &ExpandItemTag) s.itemDescription = nullptr;
      s.interfaceImage = nullptr;
      delete windows_;
      windows_ = nullptr;
      return;
    case WorldStage::kLoading:
      loader_.reset();
      if (windows_) windows_->Fonts().DeleteAll();
      FreeGameFonts();
      s.interfaceImage = nullptr;
      sound_ = false;
      if (language_) {
        SetGameLanguage(nullptr);
        language_.reset();
      }
      return;
    case WorldStage::kLevelPanel:
      if (AwardNoticeQueue* awards = GetAwardNotices()) awards->SetOpenAwards(nullptr);
      host_.reset();
      levelHooks_ = GameLevelHooks{};
      return;
    case WorldStage::kLevelScene:
      // The level's windows close with it outside the level's state.
      if (setup_.levelState) s.appState = stateBefore_;
      if (DeveloperOverlay* developer = GetDeveloperOverlay(); developer && developer->GetLevel() == level_.get())
        developer->SetLevel(nullptr);
      level_.reset();
      s.level = nullptr;  // out once the level is gone
      if (levelHooks_.map.classes == classes_.get()) levelHooks_.map.classes = nullptr;
      classes_.reset();
      if (villains_ && levelHooks_.villains == villains_.get()) levelHooks_.villains = nullptr;
      if (villains_ && levelHooks_.damage == villains_.get()) levelHooks_.damage = nullptr;
      villains_.reset();
      return;
  }
}
