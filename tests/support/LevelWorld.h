// The headless level world: the game's world (app/GameWorld.h) on the
// built sample data set and the game viewer (a software device of the
// screen's size, made by the caller), up to its fonts (the language only when asked)
// (the window manager has no windows but the dialogs the level opens), and
// a GameLevel of one of its levels that the world makes with recording
// fakes of what the level calls out to (the level panel and game windows,
// the saves, and the villains when a test asks for them: by default the
// world's own) with the level's own characters and head-up display.
//
// Make -> LoadAll (the loading stages, one Load a frame) -> Enter ->
// Start (Enter key) -> Step(ms) (game clock, update, and with draw the
// frame on the device) ... ClickMap takes level coordinates, turns them
// into game-screen coordinates through the level's view and presses and
// releases the button there.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DataSet.h"
#include "app/GameWorld.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelInterface.h"
#include "level/rules/LevelProfile.h"
#include "level/rules/LevelRules.h"
#include "level/state/LevelSaves.h"
#include "level/scene/LevelVillains.h"
#include "platform/gfx/GfxDevice.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/PngFile.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteSet.h"
#include "testsupport/ImageFiles.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"

class TutorialFactory;

namespace leveltest {

// Villains that only record: each spawn takes its slot and is recorded; the
// bees free every slot.
class FakeVillains : public LevelVillains {
 public:
  bool SpawnVillain(u32 slot, const VILLAINSLOT&, u32 kind) override {
    if (slot >= 16) return false;
    taken[slot] = true;
    spawns.push_back(std::to_string(slot) + ":" + std::to_string(kind));
    return true;
  }
  bool IsSlotTaken(u32 slot) const override { return slot >= 16 || taken[slot]; }
  void DriveOffAll() override {
    for (bool& t : taken) t = false;
    spawns.push_back("driven off");
  }
  MapObject* FindShotAt(i32, i32) const override { return nullptr; }
  void UpdateShots(u32) override {}
  void DrawShots() override {}
  void DeleteAll() override {
    for (bool& t : taken) t = false;
  }
  bool taken[16] = {};
  std::vector<std::string> spawns;
};

// The level panel and game windows (LevelPanelHost's part) and the saves
// (GameLevelSaves's), recording what they are asked.
class FakeLevelWindows : public LevelInterface, public LevelSaves {
 public:
  void CreatePanel(LevelMap&) override { Say("panel"); }
  void DeletePanel() override { Say("panel gone"); }
  void CreateBonusButtons() override { Say("bonus buttons"); }
  bool IsTimeBarRunning() const override { return timeBarRunning; }
  void AdvanceTimeBar(u32 d) override { timeBar += d; }
  void StartTimeBar() override {
    timeBarRunning = true;
    Say("time bar starts");
  }
  void ShowTimeBar(bool) override {}
  void OpenMenu(bool) override { Say("menu"); }
  void OpenIntro() override { Say("intro"); }
  void DeleteLevelWindows() override {}
  void ExitToMap(u32 comic) override { Say("to map, comic " + std::to_string(comic)); }
  void OfferRestart() override { Say("restart offered"); }
  void SaveState(GameLevel&) override { Say("saved"); }
  bool LoadSavedState(GameLevel&) override {
    Say("no saved state");
    return false;
  }
  void UpdateTaskButtons(i32, i32, bool) override {}
  void UpdateBonusButton(u32, const BONUSSLOT&, bool) override {}
  void UpdateTimeBar(bool animate) override { timeBarUpdates += animate ? 1 : 0; }
  WindowSprites* OpenPanel(u32, EmptyLevelPoint*) override { return nullptr; }  // no child panels
  void HidePanel(WindowSprites*) override {}
  void ShowEmptyPanel() override {}
  WindowSprites* ShowPointPanel(u32, LevelPoint*) override { return nullptr; }
  void RefreshPointPanel(LevelPoint*) override {}

  void Say(const std::string& s) { log.push_back(s); }
  bool Saw(const std::string& s) const {
    for (const std::string& l : log)
      if (l == s) return true;
    return false;
  }

  std::vector<std::string> log;
  bool timeBarRunning = false;
  u32 timeBar = 0;
  u32 timeBarUpdates = 0;  // animated updates of the time bar
};

// The player's profile: tutorials off unless `tutorials`, no award
// counters; records a won level into the windows' log.
class FakeLevelProfile : public LevelProfile {
 public:
  explicit FakeLevelProfile(FakeLevelWindows& w) : windows(w) {}
  AWARDCOUNTERS* GetAwardCounters() override { return nullptr; }
  bool AreTutorialsOn() const override { return tutorials; }
  bool HasFlags(u32 mask) const override { return (flags & mask) == mask; }
  void MarkShown(u32 flag) override { flags |= flag; }
  i32 GetVillainsInRow() const override { return 0; }
  void SetVillainsInRow(i32) override {}
  void RecordLevelResult(i32 level, u32 time, LEVELRESULT* out) override {
    out->level = level;
    out->time = time;
    windows.Say("recorded " + std::to_string(level) + " at " + std::to_string(time));
  }
  void LogLevelResult(const LEVELRESULT&) override {}
  i32 SetEasterEggFound(i32) override { return 1; }
  FakeLevelWindows& windows;
  u32 flags = 0;
  bool tutorials = false;
};

class LevelWorld {
 public:
  // The sample data set in `folder` on a screen of width x height drawn by
  // the viewer (whose device is open at that size): the game's world up to
  // its fonts, the language only when asked, the frame clock on the game
  // clock; the tutorials' factory, when given, handed to the world.
  LevelWorld(const std::string& folder, DXLViewer* viewer, u32 width, u32 height, bool language = false,
             TutorialFactory* tutorials = nullptr)
      : viewer_(viewer), width_(width), height_(height) {
    WorldSetup setup;
    setup.data = folder;
    setup.viewer = viewer;
    setup.width = static_cast<i32>(width);
    setup.height = static_cast<i32>(height);
    setup.seed = 7;
    setup.language = language;
    setup.tutorials = tutorials;
    std::string error;
    loaded = world.Open(std::move(setup), &error);
    if (!loaded) std::fprintf(stderr, "level world: %s\n", error.c_str());
  }
  LevelWorld(const LevelWorld&) = delete;
  LevelWorld& operator=(const LevelWorld&) = delete;

  // A new level scene of the index (0: the sample level) with the fakes,
  // its own characters and head-up display.
  GameLevel& Make(i32 index, const LevelSetup& setup = {}) {
    GameLevelHooks hooks;
    hooks.rules.profile = &profile;
    hooks.villains = fakeVillains ? &villains : nullptr;
    hooks.saves = saves ? saves : &windows;
    hooks.iface = &windows;
    return *world.OpenLevel(index, setup, hooks);
  }
  GameLevel* Level() const { return world.Level(); }
  // Load once a frame until loaded; the number of calls. `between` runs after each.
  u32 LoadAll(const std::function<void()>& between = {}) {
    u32 calls = 0;
    while (!Level()->IsLoaded() && calls < 100000) {
      Level()->Load();
      ++calls;
      if (between) between();
    }
    return calls;
  }
  void Enter() { Level()->Enter(); }
  void Start() { Level()->Input().OnKeyDown(kLevelKeyEnter, 0); }
  // Loaded, entered and started.
  GameLevel& Play(i32 index, const LevelSetup& setup = {}) {
    Make(index, setup);
    LoadAll();
    Enter();
    Start();
    return *Level();
  }

  // ms of game time in frames of at most `frame` ms: the game clock, the
  // level's update and, with draw, a frame on the device.
  void Step(u32 ms, u32 frame = 20, bool draw = false) {
    while (ms > 0) {
      const u32 d = ms < frame ? ms : frame;
      ms -= d;
      GetResourceServices().clock += d;
      GetResourceServices().frameElapsed = d;
      Level()->Update(d);
      if (draw) DrawFrame();
    }
  }
  // The level, and with `withWindows` the window manager's windows over it;
  // false when the device would not draw or present.
  bool DrawFrame(bool withWindows = false) {
    if (viewer_->BeginFrame() != 0) return false;
    viewer_->Clear(0xFF000000u);
    Level()->Draw();
    viewer_->LoadIdentity(nullptr);
    viewer_->ResetWorldTransform();
    if (withWindows && GetUiServices().windowManager) GetUiServices().windowManager->Draw();
    return viewer_->Present() == 0;
  }
  u32 Pixel(u32 x, u32 y) { return viewer_->GetDevice()->GetSoftDevice()->FramePixel(x, y) | 0xFF000000u; }
  std::vector<u32> Frame() {
    std::vector<u32> px(width_ * height_);
    for (u32 y = 0; y < height_; ++y)
      for (u32 x = 0; x < width_; ++x) px[y * width_ + x] = Pixel(x, y);
    return px;
  }
  bool WritePng(const std::string& path) { return plat::WritePng(path, Frame(), width_, height_, nullptr); }

  // A level point shown on the screen.
  void MapToScreen(i32* x, i32* y) const { Level()->Rules().View().MapToScreen(x, y); }
  // Moves there, presses and releases the button.
  void ClickMap(i32 x, i32 y, u32 button = kMouseLeft) {
    MapToScreen(&x, &y);
    Level()->Input().OnMouseMove(x, y, 0, 0);
    Level()->Input().OnMouseDown(x, y, button, 0);
    Level()->Input().OnMouseUp(x, y, button, 0);
  }

  // An opaque square texture of one colour, on sprite set 0's list.
  DXLTexture* SolidTexture(u32 argb) {
    DXLTexture* t = world.SpriteSets()[0]->GetTextures()->NewTexture();
    const std::vector<u8> file = imagefiles::Targa32(16, 16, std::vector<u32>(256, argb));
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    return t;
  }

  // The world's tables and sprite sets (while loaded).
  LevelTable& Levels() { return world.Tables()->levels; }
  GroundList& Grounds() { return world.Tables()->grounds; }
  SpriteSet* Set(u32 set) { return world.SpriteSets()[set].get(); }

  // The fakes are made before the world and go after it.
  FakeVillains villains;
  bool fakeVillains = false;  // the level made with `villains` in place of the world's own
  FakeLevelWindows windows;
  LevelSaves* saves = nullptr;  // the saved levels in place of the fake windows' when set
  FakeLevelProfile profile{windows};
  GameWorld world;
  bool loaded = false;

 private:
  DXLViewer* viewer_;
  u32 width_;
  u32 height_;
};

// The sample data set the data tests build (their fixture), or empty.
inline std::string SampleDataFolder() {
#ifdef TM_SAMPLE_DATA_DIR
  return TM_SAMPLE_DATA_DIR;
#else
  return {};
#endif
}

// The scenario data set the data tests build beside it, or empty.
inline std::string ScenarioDataFolder() {
#ifdef TM_SCENARIO_DATA_DIR
  return TM_SCENARIO_DATA_DIR;
#else
  return {};
#endif
}

}  // namespace leveltest
