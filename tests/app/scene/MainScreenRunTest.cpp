// The main screen in the running game on the sample data set: a first run
// at 800 x 600 opens the new-profile window with the system's user name
// (main_screen_first_run.png); a name typed over it and Enter make the
// profile, which the menu greets centred on its band (main_screen_800x600.png); at 1920 x 1080
// the scene fills the game area between the screen's borders
// (main_screen_1920x1080.png); a full disk at the first start is told at
// every save, a folder path of 200 characters broken at its "/"
// (notice_long_path_800x600.png); a name of sixteen "W"s stays inside the greeting's band on
// the main screen and the map and whole in the farmers' list
// (long_name_*.png); the girl stands on the
// screen's bottom edge through the scene's sway. The
// pictures are written into the test's working folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "RunningGame.h"
#include "app/Game.h"
#include "app/GameProfiles.h"
#include "app/LevelSelectMap.h"
#include "app/MainScreen.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "engine/DXLApp.h"
#include "engine/DXLLog.h"
#include "engine/DXLMouse.h"
#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "gametext/GameLanguage.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGELayout.h"
#include "gametext/KGETextParams.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/PngFile.h"
#include "platform/headless/Session.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/FileFaults.h"
#include "platform/os/PlatformServices.h"
#include "resources/GameEffect.h"
#include "resources/ResourceServices.h"
#include "testsupport/TempFolder.h"
#include "ui/ImageButton.h"
#include "ui/BaseDialogWindow.h"
#include "ui/HIText.h"
#include "ui/WindowManager.h"
#include "windows/GameWindowManager.h"
#include "windows/MapInterface.h"
#include "windows/MessageNotice.h"
#include "windows/PanelSkins.h"
#include "windows/ProfilesWindow.h"

namespace {

// A point of a window (game coordinates) on the frame: the game area's place and scale.
kis::IntPoint OnFrame(const GameWindow& window, i32 x, i32 y) {
  kis::IntPoint at;
  window.ClientToScreen(&at, x, y);
  const GAMESCREENAREA& area = GetResourceServices().screen;
  const float scale = area.scaling ? area.scale : 1.0f;
  return kis::IntPoint{static_cast<i32>(static_cast<float>(at.x) * scale) + area.rect.left,
                       static_cast<i32>(static_cast<float>(at.y) * scale) + area.rect.top};
}

// The box (frame pixels) of what a button draws: the frame redrawn with
// the button moved far off, against the frame as it is; empty when alike.
// The frame is drawn once more with the button back in place.
DXLRECT DrawnBox(RunningGame& run, GameButton& button, const std::function<void(i32)>& moveBy) {
  const plat::gfx::SoftDevice* soft = GetGameViewer()->GetDevice()->GetSoftDevice();
  run.Redraw();
  const std::vector<uint32_t> with = soft->Frame();
  const DXLRECT at = button.GetRect();
  moveBy(-100000);
  run.Redraw();
  const std::vector<uint32_t> without = soft->Frame();
  moveBy(100000);
  button.SetRect(at);
  run.Redraw();  // the last frame drawn has it again
  const i32 w = static_cast<i32>(soft->Width()), h = static_cast<i32>(soft->Height());
  DXLRECT box{w, h, 0, 0};
  for (i32 y = 0; y < h; ++y)
    for (i32 x = 0; x < w; ++x)
      if (with[static_cast<size_t>(y * w + x)] != without[static_cast<size_t>(y * w + x)])
        box = DXLRECT{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                      std::max(box.bottom, y + 1)};
  return box;
}

TEST(MainScreenRun, FirstRunNamesTheFirstProfileAndTheMenuGreetsIt) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  RunningGame run(800, 600);
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  MainScreen* screen = run.game.GetMainScreen();
  ASSERT_NE(screen, nullptr);
  for (int i = 0; i < 30; ++i) run.Frame();  // the window has dropped in
  auto* window = static_cast<NewProfileWindow*>(GetWindowManager()->FindWindow(NewProfileWindow::kId));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(run.Shot("main_screen_first_run.png"));
  // The 256-high title leaves the menu its room inside the screen.
  EXPECT_EQ(screen->GetTitle().title.left, 396 + run.game.Language()->GetLogo().x);
  EXPECT_EQ(screen->GetMenu()->GetX(), 447);
  EXPECT_EQ(screen->GetMenu()->GetY(), 273);
  EXPECT_LE(screen->GetMenu()->GetY() + screen->GetMenu()->GetHeight(), 600);
  EXPECT_FALSE(screen->GetMenu()->GetButton(kMainScreenEasy)->IsEnabled());
  // The proposal is selected: typing replaces it, Enter is OK.
  for (const char16_t c : std::u16string(u"Marigold")) run.game.Character(c);
  run.game.KeyDown(plat::DIK_RETURN, 0);
  for (int i = 0; i < 30; ++i) run.Frame();
  Profile* profile = run.game.Profiles()->GetCurrent();
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(std::u16string(profile->GetName()), u"Marigold");
  EXPECT_EQ(GetWindowManager()->FindWindow(NewProfileWindow::kId), nullptr);
  EXPECT_TRUE(screen->GetMenu()->GetButton(kMainScreenEasy)->IsEnabled());
  EXPECT_TRUE(screen->GetMenu()->IsLocked());
  MainScreenTextButton* greeting = screen->GetMenu()->GetGreeting();
  ASSERT_NE(greeting, nullptr);
  EXPECT_EQ(std::u16string(screen->GetMenu()->GetGreetingKey()), u"welcom");
  // The greeting centred on its band, as the buttons below it are.
  const DXLRECT drawn = DrawnBox(run, *greeting, [&](i32 d) {
    greeting->SetFacePosition(greeting->GetFaceX() + static_cast<float>(d), greeting->GetFaceY());
  });
  const DXLRECT& band = greeting->GetRect();
  const kis::IntPoint from = OnFrame(*screen->GetMenu(), band.left, 0), to = OnFrame(*screen->GetMenu(), band.right, 0);
  EXPECT_NEAR((drawn.left + drawn.right) / 2.0, (from.x + to.x) / 2.0, 1.0) << "off the band's middle";
  run.game.MouseMove(560, 350, 0, 0);  // over the menu: she smiles
  for (int i = 0; i < 10; ++i) run.Frame();
  EXPECT_NE(screen->GetGirl(), nullptr);
  EXPECT_TRUE(run.Shot("main_screen_800x600.png"));
  // The scene's layers: the girl, two light layers, petals.
  u32 lights = 0, particles = 0;
  for (const auto& layer : screen->Layers()) {
    lights += layer->Record()->kind == kMainScreenLight ? 1 : 0;
    particles += layer->Record()->kind == kMainScreenParticles ? 1 : 0;
  }
  EXPECT_EQ(lights, 2u);
  EXPECT_GE(particles, 1u);
}

// A first start that can keep nothing: the disk full ("profiles.dat" and
// then the profile typed in are not saved, and each time the player is
// told so by a notice, kept on every screen, and the log says why; the
// profile is made all the same, never refused as a name), a file system
// whose lock call fails (the game runs without its single-instance lock,
// and says so), a link to nothing where "config.dat" goes (said; nothing is
// made where it points). With room again, the quit saves the profile.
struct FullDisk : plat::FileFaults {
  int Fault(plat::FileStep step, std::string_view) override { return full && step == plat::FileStep::Sync ? ENOSPC : 0; }
  bool full = true;
};

TEST(MainScreenRun, WhatTheFirstStartCannotKeepIsToldOnTheMainScreen) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  TempFolder user, outside;
  std::filesystem::create_symlink(outside.File("elsewhere.dat"), user.File("config.dat"));
  FullDisk disk;
  {
    const plat::PlatformServicesScope noLocks({.lockCall = [](int, int) {
      errno = ENOLCK;
      return -1;
    }});
    RunningGame run(800, 600, false, false, &user);
    ASSERT_TRUE(run.ok);
    GetResourceServices().fileFaults = &disk;
    ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
    EXPECT_NE(GetMessageNotices()->Find(kNoticeNotSaved + kIndexNoticeNumber), nullptr);
    EXPECT_NE(GetMessageNotices()->Find(kNoticeNoLock), nullptr);
    EXPECT_NE(GetMessageNotices()->Find(kNoticeSettings), nullptr);
    run.NameFirstProfile(u"Tester");
    Profile* profile = run.game.Profiles()->GetCurrent();
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(std::u16string(profile->GetName()), u"Tester");
    EXPECT_EQ(GetWindowManager()->FindWindow(NewProfileWindow::kId), nullptr);
    EXPECT_EQ(GetWindowManager()->FindWindow(kDialogWindowId), nullptr);  // no "name cannot be used"
    EXPECT_NE(GetMessageNotices()->Find(kNoticeNotSaved + 0), nullptr);
    EXPECT_FALSE(user.Exists("profile0.dat"));
    // A long path in a notice's lines: each break within it after a "/", no
    // line wider than the box, the last folder's name whole.
    std::u16string path = u"/home/";
    for (int i = 10; i < 25; ++i) path += u"orchard-" + plat::Utf8ToUtf16(std::to_string(i)) + u"/";
    path += u"barnyard/Morvalen/Tallowmere/";
    ASSERT_EQ(path.size(), 200u);
    run.game.World().Notices()->ShowFileNotice(kNoticeFolderMoved, u"folder_moved", {path});
    for (int i = 0; i < 20; ++i) run.Frame();
    EXPECT_TRUE(run.Shot("notice_long_path_800x600.png"));
    const HIText* item = nullptr;
    const kis::list<HintItem*>& items = GetMessageNotices()->Find(kNoticeFolderMoved)->Panel().Items();
    for (i32 i = 0; i < items.GetCount() && !item; ++i) item = dynamic_cast<const HIText*>(items[i]);
    ASSERT_NE(item, nullptr);
    const KGECustomText& shown = *item->GetTextObject();
    const std::u16string text = FillNoticeText(SectionText(u"profile_errors", u"folder_moved"), {path});
    KGELayout layout;
    ASSERT_EQ(layout.Layout(shown.GetFont(), &shown.GetParams(), text.c_str(), static_cast<u32>(text.size())), 0);
    std::u16string all;
    bool lastWhole = false;
    for (const KGELINE* line = layout.Lines(); line < layout.Lines() + layout.LineCount(); ++line) {
      std::u16string words;
      for (const KGERUN* r = layout.Runs() + line->firstRun; r < layout.Runs() + line->firstRun + line->runCount; ++r)
        for (u32 g = 0; g < (r->kind == kKGERunGlyphs ? r->count : r->width > 0 ? 1 : 0); ++g)
          words += r->kind == kKGERunGlyphs ? layout.Glyphs()[r->first + g].glyph->code : u' ';
      EXPECT_LE(line->width, shown.GetParams().wrapWidth) << plat::Utf16ToUtf8(words);
      if (line->endKind == kKGELineWrapped && words.back() != u' ') {
        EXPECT_EQ(words.back(), u'/') << plat::Utf16ToUtf8(words);
      }
      lastWhole = lastWhole || words.find(u"Tallowmere/") != std::u16string::npos;
      all += words;
    }
    EXPECT_NE(all.find(path), std::u16string::npos) << plat::Utf16ToUtf8(all);
    EXPECT_TRUE(lastWhole);
    disk.full = false;
  }
  GetResourceServices().fileFaults = nullptr;
  const std::string log = user.Read("log.txt");
  size_t told = 0;
  for (size_t at = 0; (at = log.find("profile0.dat not saved: no space left on the disk", at)) != std::string::npos; ++at)
    ++told;
  EXPECT_GE(told, 2u) << log;  // made, then chosen
  EXPECT_NE(log.find("profiles.dat not saved: no space left on the disk"), std::string::npos);
  EXPECT_EQ(log.find("look-up missed"), std::string::npos) << log;
  EXPECT_TRUE(user.Exists("profile0.dat"));  // the quit's save, with room again
  EXPECT_EQ(outside.Entries(), 0);
}

// Rows the scene's front layers fill with opaque pixels are left out of the
// layers behind them: through the sway and the zoom, at the window's size
// and at 1024 x 768, each frame has the pixels of the whole scene drawn,
// and the frame needs no clear before it: nothing of the last one shows.
TEST(MainScreenRun, RowsLeftOutBehindOpaqueLayersKeepThePixels) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  for (const u32 w : {800u, 1024u}) {
    RunningGame run(w, w * 3 / 4);
    ASSERT_TRUE(run.ok);
    ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
    run.NameFirstProfile(u"Ann");
    run.drawEvery = 1000;  // only the frames compared are rasterised
    MainScreen* screen = run.game.GetMainScreen();
    const plat::gfx::SoftDevice* soft = GetGameViewer()->GetDevice()->GetSoftDevice();
    u32 leftOut = 0;
    for (int sample = 0; sample < 16; ++sample) {
      for (int i = 0; i < 47; ++i) run.Frame();  // ~15 s in all: a whole sway and zoom
      // The frame is not cleared first: what it left undrawn would show
      // the colours put there before, different in the two frames.
      screen->SetLeaveCoveredRows(true);
      ASSERT_EQ(GetGameViewer()->Clear(0xFFFF00FFu), 0);
      run.Redraw();
      const std::vector<uint32_t> cut = soft->Frame();
      leftOut += screen->GetRowsLeftOut();
      screen->SetLeaveCoveredRows(false);
      ASSERT_EQ(GetGameViewer()->Clear(0xFF00FF00u), 0);
      run.Redraw();
      EXPECT_EQ(screen->GetRowsLeftOut(), 0u);
      ASSERT_TRUE(cut == soft->Frame()) << w << " wide, sample " << sample;
    }
    screen->SetLeaveCoveredRows(true);
    EXPECT_GT(leftOut, 16u * w / 4) << w;  // a fair part of the sky at least
  }
}

TEST(MainScreenRun, WideScreenFillsWithTheScene) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  RunningGame run(1920, 1080, true);
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  Profile* made = nullptr;
  ASSERT_EQ(run.game.Profiles()->CreateProfile(u"Hazel", &made), 0);
  ASSERT_EQ(run.game.Profiles()->SelectProfile(made), 0);
  if (GameWindow* w = GetWindowManager()->FindWindow(NewProfileWindow::kId)) delete w;
  MainScreen* screen = run.game.GetMainScreen();
  screen->RefreshMenu();
  for (int i = 0; i < 30; ++i) run.Frame();
  // The game area keeps at most 1.6 : 1 (1,728 x 1,080, borders at the sides): the scene at 1.35.
  const GAMESCREENAREA& area = GetResourceServices().screen;
  EXPECT_EQ(area.height, 1080);
  EXPECT_FLOAT_EQ(screen->GetFit().scale, MainScreen::FitScreen(area.width, area.height).scale);
  EXPECT_GE(screen->GetFit().scale, 1.35f);
  EXPECT_TRUE(run.Shot("main_screen_1920x1080.png"));
}

// A name of sixteen "W"s (the widest letter of the greeting's font) in
// the greeting: on the main screen it stays inside the greeting's
// rectangle on the board, centred, above the "easy" button, and reads; in
// the farmers' list it is drawn whole inside its box; on the map inside
// the plate between "back" and "options" and inside the top band, at 800
// x 600 and 1920 x 1080.
TEST(MainScreenRun, ALongNameStaysInsideTheGreetingsPanels) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  for (const auto& [w, h] : {std::pair{800u, 600u}, {1920u, 1080u}}) {
    SCOPED_TRACE(w);
    RunningGame run(w, h, w != 800);
    ASSERT_TRUE(run.ok);
    ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
    run.NameFirstProfile(u"WWWWWWWWWWWWWWWW");
    ASSERT_EQ(std::u16string(run.game.Profiles()->GetCurrent()->GetName()), u"WWWWWWWWWWWWWWWW");
    run.drawEvery = 1000;
    MainScreenMenu* menu = run.game.GetMainScreen()->GetMenu();
    MainScreenTextButton* greeting = menu->GetGreeting();
    ASSERT_NE(greeting, nullptr);
    const DXLRECT drawn = DrawnBox(run, *greeting, [&](i32 d) {
      greeting->SetFacePosition(greeting->GetFaceX() + static_cast<float>(d), greeting->GetFaceY());
    });
    ASSERT_LT(drawn.left, drawn.right) << "no greeting drawn";
    // Its rectangle is the board's band, 12 pixels in from the frame's left
    // edge and 16 from its right one; the text, smaller (about its line's
    // middle), stands on it centred both ways, the board's dark wood free
    // for 4 pixels and more on either side (inside the band's shaded edge
    // pixel), 11 pixels high and more.
    const DXLRECT& at = greeting->GetRect();
    EXPECT_EQ(at.left, 12);
    EXPECT_EQ(menu->GetWidth() - at.right, 16);
    const kis::IntPoint from = OnFrame(*menu, at.left, at.top), to = OnFrame(*menu, at.right, at.bottom);
    EXPECT_GE(drawn.left, from.x + 5);
    EXPECT_LE(drawn.right, to.x - 5);
    EXPECT_GE(drawn.top, from.y);
    EXPECT_LE(drawn.bottom, to.y);
    EXPECT_NEAR((drawn.left + drawn.right) / 2.0, (from.x + to.x) / 2.0, 1.0) << "off the band's middle";
    EXPECT_NEAR((drawn.top + drawn.bottom) / 2.0, (from.y + to.y) / 2.0, 1.5) << "not shrunk about its line's middle";
    EXPECT_GE(drawn.bottom - drawn.top, 11) << "drawn too small to read";
    EXPECT_LE(drawn.bottom, OnFrame(*menu, 0, menu->GetButton(kMainScreenEasy)->GetRect().top).y);
    EXPECT_TRUE(run.Shot("long_name_main_" + std::to_string(w) + ".png"));

    // The farmers' list, opened by a click on the greeting: the name drawn
    // whole, smaller, inside its 278-pixel box at 80 in its row and ending 4
    // pixels and more before the box's end (a name cut at the box runs to
    // its edge).
    const kis::IntPoint click = OnFrame(*menu, (at.left + at.right) / 2, (at.top + at.bottom) / 2);
    run.game.MouseMove(click.x, click.y, 0, 0);
    run.Frame();
    run.game.MouseDown(click.x, click.y, kMouseLeft, 0);
    run.game.MouseUp(click.x, click.y, kMouseLeft, 0);
    for (int i = 0; i < 30; ++i) run.Frame();
    auto* farmers = static_cast<ProfilesWindow*>(GetWindowManager()->FindWindow(ProfilesWindow::kId));
    ASSERT_NE(farmers, nullptr);
    ProfilePanel* row = farmers->GetRow(0);
    ASSERT_NE(row, nullptr);
    KGETextSpriteW* name = row->GetNameText();
    ASSERT_NE(name, nullptr);
    const DXLRECT listed = DrawnBox(run, *row, [&](i32 d) {
      name->SetText(d < 0 ? u"" : u"WWWWWWWWWWWWWWWW", kKGEWholeText, nullptr);
    });
    ASSERT_LT(listed.left, listed.right) << "no name drawn in the list";
    const DXLRECT& place = row->GetRect();
    EXPECT_GE(listed.left, OnFrame(*farmers, place.left + 80, 0).x);
    EXPECT_LE(listed.right, OnFrame(*farmers, place.left + 80 + 278 - 4, 0).x) << "the name cut at its box";
    EXPECT_GE(listed.top, OnFrame(*farmers, 0, place.top).y);
    EXPECT_LE(listed.bottom, OnFrame(*farmers, 0, place.bottom).y);
    EXPECT_TRUE(run.Shot("long_name_farmers_" + std::to_string(w) + ".png"));
    run.game.KeyDown(plat::DIK_ESCAPE, 0);
    run.game.KeyUp(plat::DIK_ESCAPE, 0);
    for (int i = 0; i < 30; ++i) run.Frame();
    ASSERT_EQ(GetWindowManager()->FindWindow(ProfilesWindow::kId), nullptr);

    // The map, through "easy" and the opening comic.
    menu->OnCommand(menu->GetButton(kMainScreenEasy));
    ASSERT_TRUE(run.RunTo(kGameStateComic));
    for (const u8 key : {plat::DIK_ESCAPE, plat::DIK_RETURN}) {
      run.game.KeyDown(key, 0);
      run.game.KeyUp(key, 0);
      run.Frame();
    }
    ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
    for (int i = 0; i < 30; ++i) run.Frame();
    MapInterface* ui = run.game.Map()->GetInterface();
    ASSERT_NE(ui, nullptr);
    ProfileButton* named = ui->GetProfileButton();
    ASSERT_NE(named, nullptr);
    const DXLRECT on = DrawnBox(run, *named, [&](i32 d) {
      DXLRECT r = named->GetRect();
      named->SetRect(DXLRECT{r.left + d, r.top, r.right + d, r.bottom});
    });
    ASSERT_LT(on.left, on.right) << "no greeting drawn on the map";
    EXPECT_GE(on.left, OnFrame(*ui, ui->GetButton(kMapBackCommand)->GetRect().right, 0).x);
    EXPECT_LE(on.right, OnFrame(*ui, ui->GetButton(kMapOptionsCommand)->GetRect().left, 0).x);
    EXPECT_GE(on.top, OnFrame(*ui, 0, 0).y);
    EXPECT_LE(on.bottom, OnFrame(*ui, 0, MapInterface::kGreetingBand).y);
    EXPECT_TRUE(run.Shot("long_name_map_" + std::to_string(w) + ".png"));
  }
}

// Through a whole sway and breathing of the scene, at 800 x 600, 1024 x 768
// and 1920 x 1080, the girl's overalls reach the screen's bottom row: she
// stands on its edge, never above it.
TEST(MainScreenRun, TheGirlStandsOnTheBottomEdgeThroughTheSway) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  for (const auto& [w, h] : {std::pair{800u, 600u}, {1024u, 768u}, {1920u, 1080u}}) {
    SCOPED_TRACE(w);
    RunningGame run(w, h, w == 1920);
    ASSERT_TRUE(run.ok);
    ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
    run.NameFirstProfile(u"Ann");
    run.drawEvery = 1000;
    MainScreen* screen = run.game.GetMainScreen();
    const GAMESCREENAREA& area = GetResourceServices().screen;
    float lowest = 1.0f;
    for (int sample = 0; sample < 32; ++sample) {
      for (int i = 0; i < 25; ++i) run.Frame();  // 16 s in all: more than a breath of the zoom
      run.Redraw();
      lowest = std::min(lowest, screen->GetZoomSway());
      i32 denim = 0;
      for (i32 x = area.rect.left; x < area.rect.right; ++x) {
        const u32 c = run.Pixel(x, area.rect.bottom - 1);
        const i32 r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
        denim += b > r + 60 && b > g + 20 ? 1 : 0;
      }
      EXPECT_GE(denim, 10) << "sample " << sample << ", zoom sway " << screen->GetZoomSway();
    }
    EXPECT_LT(lowest, -0.06f);  // the zoom went near its smallest
  }
}

}  // namespace
