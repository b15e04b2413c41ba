// The game object brought up as the program does, on the headless frame
// with the sample data set and a screen of the size asked for: its window, screen, input and services, the
// game set up with its language, the logos' state started. Frames are
// 20 ms of the fake clock; Shot writes the last frame drawn as a PNG (the
// current one drawn for it when the frames rasterise sparsely: `drawEvery`).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/AppServices.h"
#include "app/Game.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "engine/DXLApp.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "gametext/GameLanguage.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/gfx/PngFile.h"
#include "platform/headless/Session.h"
#include "platform/input/KeyCodes.h"
#include "resources/GameEffect.h"
#include "resources/ResourceServices.h"
#include "testsupport/AdapterSettings.h"
#include "testsupport/TempFolder.h"

inline std::string SampleDataFolder() {
#ifdef TM_SAMPLE_DATA_DIR
  return TM_SAMPLE_DATA_DIR;
#else
  return {};
#endif
}

class RunningGame {
 public:
  // `ownDesktop`: the fake desktop is w x h and offers that mode (else
  // the default desktop of 1,280 x 1,024); `cheats`: the "Cheats" switch;
  // `user`: the per-user folder (and the log's) when it must outlive this
  // run, as a second start of the game finds the first one's files (else a
  // folder of its own); `tutorials`: the game's tutorial factory (none: no
  // tutorial is made).
  explicit RunningGame(u32 w = 800, u32 h = 600, bool ownDesktop = false, bool cheats = false,
                       const TempFolder* user = nullptr, TutorialFactory* tutorials = nullptr)
      : home_(user ? *user : folder_) {
    if (ownDesktop) {
      plat::gfx::SystemSettings& system = adapter_.settings;
      system.desktop.width = w;
      system.desktop.height = h;
      for (u32 hz : {60u, 75u}) system.modes.push_back(plat::gfx::DisplayMode{w, h, hz, system.desktop.format});
    }
    DXLSetInstanceFolder(home_.Path().c_str());
    DXLOpenLog(home_.Wide().c_str());
    EXPECT_EQ(DXLInitApp(7 | kAppKeepDirectory), 0);
    StoreGamePauseCallbacks();
    EXPECT_EQ(DXLCreateWindow(0, plat::GetModuleHandle(), u"TallowGameRun", u"", DXLGameWindowProc, 107,
                              &GameModeFilter),
              0);
    SCREENPARAMS p;
    p.screenWidth = w;
    p.screenHeight = h;
    EXPECT_TRUE(game.Screen().Init(p));
    EXPECT_EQ(DXLInitInput(true), 0);
    EXPECT_EQ(DXLInitServices(0x102), 0);
    StoreGameStateCallbacks();
    GetAppServices().game = &game;  // as the program's runner does
    GameSetup setup;
    setup.data = SampleDataFolder();
    setup.user = home_.Wide() + u"/";
    setup.seedKeys = true;
    setup.keySeed = 7;
    setup.cheats = cheats;
    setup.tutorials = tutorials;
    std::string error;
    ok = game.InitGame(std::move(setup), &error, nullptr);
    EXPECT_TRUE(ok) << error;
    if (!ok) return;
    game.SetGameLanguage(std::make_unique<GameLanguage>(plat::Utf8ToUtf16(SampleDataFolder() + "/language.dat").c_str()));
    DXLSetAppState(kGameStateLogos, true);
    DXLStartLoop();
  }
  ~RunningGame() {
    DXLShutdown();  // the quit state frees the game
    GetAppServices().game = nullptr;
    DXLSetInstanceFolder(nullptr);
  }
  RunningGame(const RunningGame&) = delete;
  RunningGame& operator=(const RunningGame&) = delete;

  // Frames of 20 ms until the game is in `state` (false after `frames`).
  bool RunTo(u32 state, u32 frames = 3000) {
    for (u32 i = 0; i < frames; ++i) {
      if (game.State() == state && !GetGameEffect()) return true;
      Frame();
    }
    return false;
  }
  // Every frame runs whole (the game's update and its drawing calls);
  // the software device rasterises every `drawEvery` frames (1: each). A
  // long play that reads no pixel between its screenshots rasterises
  // sparsely: the drawing calls keep the game's own state as they do.
  void Frame() {
    plat::gfx::SoftDevice* soft = drawEvery > 1 ? Soft() : nullptr;
    const bool skip = soft && ++frames_ % drawEvery != 0;
    if (skip) soft->SetRasterising(false);
    DXLRunPass();
    if (skip) soft->SetRasterising(true);
    drawn_ = !skip;
    session_.Clock().Advance(20);
  }
  u32 drawEvery = 1;
  // On the first run's main screen: the first profile named in the
  // new-profile window (typed over the proposal, then Enter), which closes.
  void NameFirstProfile(const char16_t* name) {
    for (int i = 0; i < 30; ++i) Frame();
    for (const char16_t* c = name; *c; ++c) game.Character(*c);
    game.KeyDown(plat::DIK_RETURN, 0);
    for (int i = 0; i < 30; ++i) Frame();
  }
  // The last frame drawn, as a PNG (false when it cannot be written).
  bool Shot(const std::string& path) {
    if (!drawn_) Draw();
    plat::gfx::SoftDevice* soft = Soft();
    std::string why;
    return soft && plat::WritePng(path, soft->Frame(), soft->Width(), soft->Height(), &why);
  }
  // A pixel of the last frame drawn (0xAARRGGBB; 0 outside the frame).
  u32 Pixel(i32 x, i32 y) {
    if (!drawn_) Draw();
    plat::gfx::SoftDevice* soft = Soft();
    if (!soft || x < 0 || y < 0 || static_cast<u32>(x) >= soft->Width() || static_cast<u32>(y) >= soft->Height())
      return 0;
    return soft->Frame()[static_cast<size_t>(y) * soft->Width() + static_cast<size_t>(x)];
  }
  // The current state drawn again (no update), rasterised.
  void Redraw() { Draw(); }
  u32 PlayTime() const {
    const Profile* p = game.Profiles() ? game.Profiles()->GetCurrent() : nullptr;
    return p ? p->GetProgress().playTime : 0;
  }
  const TempFolder& Folder() const { return home_; }

  Game game;
  bool ok = false;

 private:
  static plat::gfx::SoftDevice* Soft() {
    DXLViewer* viewer = GetGameViewer();
    return viewer && viewer->GetDevice() ? viewer->GetDevice()->GetSoftDevice() : nullptr;
  }
  // The current state drawn as its frame was (no update), rasterised.
  void Draw() {
    DXLCALLBACKS own{};
    DXLGetCallbacks(0x20, &own);  // the render callback
    if (!own.render || DXLBeginFrame() != 0) return;
    own.render();
    DXLPresent();
    drawn_ = true;
  }

  TempFolder folder_;
  const TempFolder& home_;
  plat::headless::Session session_;
  plat::PlatformServicesScope installed_{session_.Services()};
  AdapterSettings adapter_;
  u32 frames_ = 0;
  bool drawn_ = false;
};
