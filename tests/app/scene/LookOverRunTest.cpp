// Every screen of the game in the running game on the sample data set, at
// 800 x 600 and at 1920 x 1080, written for a person to look at
// (lookover_<size>_<screen>.png; at 800 x 600 the screens other tests
// already write are left to them): the studio's and the game's logos, the
// loading panel, the main screen with the new-profile window, the profiles,
// options and credits windows, comic 0, the map with its interface, the
// awards, level 1's window with four bonuses owned and the bonuses window,
// the level mid-play with its panel, the warehouse window with wheat chosen
// (its picture 32 pixels and more), the task's
// hint, the lose dialog and the result window. At each screen every
// button's caption lies inside its button; at the end the log holds no
// look-up missed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "RunningGame.h"
#include "app/LevelSelectMap.h"
#include "app/LogoSequence.h"
#include "app/MainScreen.h"
#include "app/MapNodes.h"
#include "content/ProductList.h"
#include "engine/DXLMouse.h"
#include "platform/os/WindowSystem.h"
#include "gametext/KGEBaseTextSprite.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelInput.h"
#include "resources/ResourceServices.h"
#include "ui/HintWindow.h"
#include "ui/ImageButton.h"
#include "ui/WindowManager.h"
#include "windows/AwardsWindow.h"
#include "windows/BonusesWindow.h"
#include "windows/ComixBook.h"
#include "windows/CreditsWindow.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/LevelResultWindow.h"
#include "windows/LevelWindow.h"
#include "windows/OptionsWindow.h"
#include "windows/ProfilesWindow.h"
#include "windows/TaskButton.h"
#include "windows/WarehouseWindow.h"

namespace {

class LookOver {
 public:
  LookOver(u32 w, u32 h) : run(w, h, w != 800), w_(w), h_(h) { run.drawEvery = 10; }

  // `frames` frames, the caption check on every window, then the picture
  // (unless another test writes this screen at this size).
  void Shot(const std::string& screen, u32 frames = 0) {
    for (u32 i = 0; i < frames; ++i) run.Frame();
    CheckCaptions(screen);
    static const std::set<std::string> kShotElsewhere800 = {"new_profile", "main_screen", "comic", "level_window"};
    if (w_ == 800 && kShotElsewhere800.count(screen)) return;
    const std::string name = "lookover_" + std::to_string(w_) + "x" + std::to_string(h_) + "_" + screen + ".png";
    EXPECT_TRUE(run.Shot(name)) << name;
  }
  void Click(i32 x, i32 y) {
    run.game.MouseMove(x, y, 0, 0);
    run.Frame();
    run.game.MouseDown(x, y, kMouseLeft, 0);
    run.game.MouseUp(x, y, kMouseLeft, 0);
    for (int i = 0; i < 5; ++i) run.Frame();
  }
  static kis::IntPoint Centre(const GameButton& control) {
    const DXLRECT& r = control.GetRect();
    return ToWindow(control, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  // Pixels of the control's rectangle in the last frame that `match`.
  template <typename Match>
  i32 CountPixels(const GameButton& control, Match match) {
    const DXLRECT& r = control.GetRect();
    const kis::IntPoint a = ToWindow(control, r.left, r.top), b = ToWindow(control, r.right, r.bottom);
    i32 n = 0;
    for (i32 y = a.y; y < b.y; ++y)
      for (i32 x = a.x; x < b.x; ++x) {
        const u32 c = run.Pixel(x, y);
        n += match(static_cast<i32>(c >> 16 & 0xFF), static_cast<i32>(c >> 8 & 0xFF), static_cast<i32>(c & 0xFF)) ? 1 : 0;
      }
    return n;
  }
  // The running logo's picture, scaled to the game area, ends on its own
  // background: its last column and row show the clear colour beside them
  // (no seam where the scaling reaches the texture's padding).
  void CheckLogoEdges() {
    const LogoSequence* logos = run.game.Logos();
    ASSERT_NE(logos, nullptr);
    const DXLQUAD& q = logos->GetQuad();
    const kis::IntPoint a = FromGameArea(q.v[0].x + 0.5f, q.v[0].y + 0.5f);
    const kis::IntPoint b = FromGameArea(q.v[2].x + 0.5f, q.v[2].y + 0.5f);
    const i32 midX = (a.x + b.x) / 2, midY = (a.y + b.y) / 2;
    EXPECT_EQ(run.Pixel(b.x - 1, midY), run.Pixel(b.x + 2, midY)) << "right edge at " << b.x - 1;
    EXPECT_EQ(run.Pixel(midX, b.y - 1), run.Pixel(midX, b.y + 2)) << "bottom edge at " << b.y - 1;
    EXPECT_EQ(run.Pixel(a.x, midY), run.Pixel(a.x - 3, midY)) << "left edge at " << a.x;
  }
  // A point of the control's window to the game's window.
  static kis::IntPoint ToWindow(const GameButton& control, i32 x, i32 y) {
    kis::IntPoint at;
    control.GetParent()->ClientToScreen(&at, x, y);
    return FromGameArea(static_cast<float>(at.x), static_cast<float>(at.y));
  }
  static kis::IntPoint FromGameArea(float x, float y) {
    // From the game area to the window: the area's place and scale.
    const GAMESCREENAREA& area = GetResourceServices().screen;
    const float scale = area.scaling ? area.scale : 1.0f;
    return kis::IntPoint{static_cast<i32>(x * scale) + area.rect.left, static_cast<i32>(y * scale) + area.rect.top};
  }
  // The system's pointer moved to a point of the game's window (the game's
  // mouse follows it every frame).
  void Point(const kis::IntPoint& at) {
    plat::Point p{at.x, at.y};
    plat::GetWindowSystem().ClientToScreen(DXLGetAppData().window, &p);
    plat::GetWindowSystem().UserPointer(p);
  }
  void Key(u8 key) {
    run.game.KeyDown(key, 0);
    run.game.KeyUp(key, 0);
    run.Frame();
  }

  RunningGame run;

 private:
  // Every caption of a stacked window's image buttons inside its button,
  // and not squeezed below three quarters of its width.
  void CheckCaptions(const std::string& screen) {
    const kis::list<GameWindow*>& stack = GetWindowManager()->GetStack();
    for (i32 w = 0; w < stack.GetCount(); ++w) {
      GameWindow* window = stack.Get(w);
      auto check = [&](const ButtonList& list) {
        for (i32 i = 0; i < list.GetCount(); ++i) {
          auto* button = dynamic_cast<ImageButton*>(list.Get(i));
          KGETextSpriteW* caption = button ? button->GetCaption() : nullptr;
          if (!caption || caption->GetWidth() <= 0) continue;
          const DXLRECT& r = button->GetRect();
          const float scale = button->GetCaptionScale();
          const float width = static_cast<float>(caption->GetWidth()) * scale;
          const std::string what = screen + ": window " + std::to_string(window->GetId()) + " button " +
                                   std::to_string(button->GetId());
          EXPECT_GE(button->GetCaptionX(), 0.0f) << what;
          EXPECT_LE(button->GetCaptionX() + width, static_cast<float>(r.right - r.left) + 0.5f) << what;
          EXPECT_GE(button->GetCaptionY() + 2.0f, 0.0f) << what;
          EXPECT_LE(button->GetCaptionY() + static_cast<float>(caption->GetHeight()),
                    static_cast<float>(r.bottom - r.top) + 2.0f)
              << what;
          EXPECT_GE(scale, 0.75f) << what << " squeezed";
        }
      };
      check(window->Controls());
      for (i32 g = 0; g < window->ControlGroups().GetCount(); ++g) check(*window->ControlGroups().Get(g));
    }
  }

  u32 w_, h_;
};

void LookOverEveryScreen(u32 w, u32 h) {
  LookOver look(w, h);
  RunningGame& run = look.run;
  ASSERT_TRUE(run.ok);
  const i32 midX = static_cast<i32>(w / 2), midY = static_cast<i32>(h / 2);

  // The studio's logo, the game's, the loading panel.
  for (int i = 0; i < 60; ++i) run.Frame();
  ASSERT_EQ(run.game.State(), kGameStateLogos);
  look.Shot("logo_studio");
  look.CheckLogoEdges();
  ASSERT_NE(run.game.Logos(), nullptr);
  for (int i = 0; i < 1000 && run.game.Logos() && run.game.Logos()->GetIndex() < 1; ++i) run.Frame();
  look.Shot("logo_game", 40);
  look.CheckLogoEdges();
  ASSERT_TRUE(run.RunTo(kGameStateStartLoading));
  look.Shot("loading", 10);

  // The main screen: the new-profile window, then the profile named.
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  look.Shot("new_profile", 30);
  for (const char16_t c : std::u16string(u"Marigold")) run.game.Character(c);
  run.game.KeyDown(plat::DIK_RETURN, 0);
  for (int i = 0; i < 30; ++i) run.Frame();
  Profile* profile = run.game.Profiles()->GetCurrent();
  ASSERT_NE(profile, nullptr);
  profile->SetTutorials(false);
  MainScreen* screen = run.game.GetMainScreen();
  ASSERT_NE(screen, nullptr);
  MainScreenMenu* menu = screen->GetMenu();
  look.Shot("main_screen", 10);
  // The credits label stands clear of the girl: none of her skin, shirt or
  // overalls inside its rectangle.
  ASSERT_NE(menu->GetCredits(), nullptr);
  EXPECT_EQ(look.CountPixels(*menu->GetCredits(),
                             [](i32 r, i32 g, i32 b) {
                               const bool skin = r > 225 && g > 180 && g < 225 && b > 140 && b < 190;
                               const bool shirt = r > 170 && g < 110 && b < 100;
                               const bool denim = b > r + 60 && b > g + 20;
                               return skin || shirt || denim;
                             }),
            0);
  // The Hard button's hint while it is locked.
  const kis::IntPoint hard = LookOver::Centre(*menu->GetButton(kMainScreenHard));
  look.Point(hard);
  look.Shot("main_hint", 40);
  look.Point(kis::IntPoint{midX / 4, midY});
  menu->OnCommand(menu->GetGreeting());
  ASSERT_NE(GetWindowManager()->FindWindow(ProfilesWindow::kId), nullptr);
  look.Shot("profiles", 30);
  look.Key(plat::DIK_ESCAPE);
  for (int i = 0; i < 30; ++i) run.Frame();
  ASSERT_EQ(GetWindowManager()->FindWindow(ProfilesWindow::kId), nullptr);
  menu->OnCommand(menu->GetButton(kMainScreenOptions));
  auto* options = static_cast<OptionsWindow*>(GetWindowManager()->GetAnchor(kAnchorOptions));
  ASSERT_NE(options, nullptr);
  look.Shot("options", 30);
  delete options;
  menu->OnCommand(menu->GetCredits());
  look.Shot("credits", 150);
  if (GameWindow* credits = GetWindowManager()->FindWindow(kCreditsWindowId)) delete credits;

  // Comic 0, then the map with its interface and the awards.
  ASSERT_TRUE(StartComix(0, nullptr));
  ASSERT_TRUE(run.RunTo(kGameStateComic));
  look.Key(plat::DIK_ESCAPE);  // every part at once
  look.Shot("comic", 5);
  look.Key(plat::DIK_RETURN);
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  LevelSelectMap* map = run.game.Map();
  ASSERT_NE(map, nullptr);
  look.Shot("map", 100);
  AwardsWindow* awards = OpenAwards(false);
  ASSERT_NE(awards, nullptr);
  look.Shot("awards", 150);
  // The small awards' progress bars stay apart: the gap between two awards
  // shows the panel, not the bars' dark frame.
  for (u32 i = 0; i + 1 < kTieredAwardCount; ++i) {
    const SmallAwardButton* award = awards->GetSmall(i);
    ASSERT_NE(award, nullptr);
    const DXLRECT& r = award->GetRect();
    const kis::IntPoint gap = LookOver::ToWindow(*award, r.right + 3, r.top + 38);
    EXPECT_NE(run.Pixel(gap.x, gap.y) & 0xFFFFFFu, 0x3B2A1Fu) << i;
  }
  delete awards;
  for (int i = 0; i < 10; ++i) run.Frame();

  // Level 1's window with four bonuses owned, and the bonuses window.
  for (i32 bonus = 0; bonus < 4; ++bonus) profile->UnlockBonus(bonus);
  ASSERT_NE(map->GetNode(0), nullptr);
  const DXLPOINT node = map->ToScreen(map->GetNode(0)->GetX(), map->GetNode(0)->GetY());
  look.Click(node.x, node.y);
  LevelWindow* window = FindWindowOf<LevelWindow>();
  ASSERT_NE(window, nullptr);
  look.Shot("level_window", 30);
  // "Today's Work" stands in its strip, clear of the task buttons below.
  ASSERT_FALSE(window->GetTaskButtons().empty());
  const DXLRECT caption = window->GetTasksCaptionRect();
  EXPECT_GT(caption.bottom, caption.top);
  for (const TaskButton* task : window->GetTaskButtons()) EXPECT_LT(caption.bottom, task->GetRect().top);
  ASSERT_NE(window->GetSelectButton(), nullptr);
  window->OnCommand(window->GetSelectButton());
  GameWindow* bonuses = GetWindowManager()->FindWindow(BonusesWindow::kId);
  ASSERT_NE(bonuses, nullptr);
  look.Shot("bonuses", 150);
  delete bonuses;
  const GameButton* play = window->FindControl(kLevelWindowPlay, 0);
  ASSERT_NE(play, nullptr);
  const kis::IntPoint at = LookOver::Centre(*play);
  look.Click(at.x, at.y);
  ASSERT_TRUE(run.RunTo(kGameStateLevel));

  // Mid-play: the panel, the warehouse window, the task's hint.
  GameLevel* level = run.game.World().Level();
  LevelPanelHost* host = run.game.World().Panel();
  ASSERT_TRUE(level && host && host->GetPanel());
  look.Click(midX, midY);  // the day starts
  ASSERT_TRUE(level->IsStarted());
  look.Shot("level", 300);
  // Three sacks of wheat in store, chosen in the window: its name, price and count.
  const PRODUCT* wheat = GetProductList()->FindByName(u"wheat");
  ASSERT_NE(wheat, nullptr);
  ASSERT_EQ(level->Rules().Stock()->Add(wheat, 3, true), 3);
  host->OpenWarehouseWindow(wheat);
  WarehouseWindow* store = FindOpenWarehouse();
  ASSERT_NE(store, nullptr);
  look.Shot("warehouse", 30);
  // The upgrade button is hidden (no upgrade, or short of money): none of
  // its green face is drawn over the plate.
  // The sell buttons end inside the selection plate's right frame (16 wide;
  // the buttons' rectangles hold a few pixels of margin and shadow).
  for (const ImageButton* sell : {store->GetSellOne(), store->GetSellFive()})
    EXPECT_LE(sell->GetRect().right, WarehouseWindow::kWidth - 8 - 12);
  // The chosen wheat's picture shows the icon's normal frame, not the faded
  // one, large enough to tell at a glance: what it draws on the plate (the
  // pixels of a square of 80 round its middle, 290 across and half the
  // plate's 140 down, unlike the plate's own colour of their row) is 32
  // pixels across or high at least.
  ASSERT_NE(store->GetPicture(), nullptr);
  EXPECT_EQ(store->GetPicture()->FrameState().frame, 1);
  {
    const kis::IntPoint from = LookOver::ToWindow(*store->GetSellOne(), 290 - 40, store->GetSelectionTop() + 70 - 40);
    const kis::IntPoint to = LookOver::ToWindow(*store->GetSellOne(), 290 + 40, store->GetSelectionTop() + 70 + 40);
    DXLRECT ink{to.x, to.y, from.x, from.y};
    for (i32 y = from.y; y < to.y; ++y) {
      std::map<u32, i32> counts;
      for (i32 x = from.x; x < to.x; ++x) ++counts[run.Pixel(x, y)];
      const u32 plate = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                          return a.second < b.second;
                        })->first;
      for (i32 x = from.x; x < to.x; ++x) {
        const u32 c = run.Pixel(x, y);
        bool far = false;
        for (u32 shift : {0u, 8u, 16u})
          far = far || std::abs(static_cast<i32>((c >> shift) & 0xFF) - static_cast<i32>((plate >> shift) & 0xFF)) > 24;
        if (far)
          ink = DXLRECT{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                        std::max(ink.bottom, y + 1)};
      }
    }
    const GAMESCREENAREA& area = GetResourceServices().screen;
    const float scale = area.scaling ? area.scale : 1.0f;
    EXPECT_GE(static_cast<float>(std::max(ink.right - ink.left, ink.bottom - ink.top)), 32.0f * scale)
        << "the picture drawn " << ink.right - ink.left << " x " << ink.bottom - ink.top;
  }
  const WarehouseUpgradeButton* upgrade = store->GetUpgradeButton();
  ASSERT_NE(upgrade, nullptr);
  if (!upgrade->IsEnabled()) {
    EXPECT_EQ(look.CountPixels(*upgrade, [](i32 r, i32 g, i32 b) { return g > r + 30 && g > b + 30; }), 0);
  }
  delete store;
  // The task's hint (inside the headless desktop of 1,280 x 1,024 at both sizes).
  auto* task = dynamic_cast<TaskButton*>(host->GetPanel()->GetTaskButton(0));
  ASSERT_NE(task, nullptr);
  look.Point(LookOver::Centre(*task));
  for (int i = 0; i < 40; ++i) run.Frame();
  ASSERT_NE(task->GetHintWindow(), nullptr);
  EXPECT_TRUE(task->GetHintWindow()->IsShown());
  look.Shot("tool_tip");
  look.Point(kis::IntPoint{midX, midY / 2});

  // Lost: the dialog; its yes and the lost window's play restart the day;
  // won: the result window.
  LevelTasks& tasks = level->Rules().Tasks();
  tasks.Lose(0);
  ASSERT_NE(tasks.GetLoseDialog(), nullptr);
  look.Shot("lose_dialog", 30);
  level->Input().OnKeyDown(kKeyEnter, 0);
  for (int i = 0; i < 20; ++i) run.Frame();
  level->Input().OnKeyDown(kKeyEnter, 0);
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  for (int i = 0; i < 20; ++i) run.Frame();
  look.Click(midX, midY);
  tasks.Win(0);
  for (int i = 0; i < 60 && !FindWindowOf<LevelResultWindow>(); ++i) run.Frame();
  ASSERT_NE(FindWindowOf<LevelResultWindow>(), nullptr);
  look.Shot("result", 150);
  // "Your Time" and its clock keep a gap: the two columns left of the
  // clock's frame show the plate alone across the row.
  const LevelResultWindow* result = FindWindowOf<LevelResultWindow>();
  const kis::IntPoint row = result->GetYourTimePlace();
  kis::IntPoint plate;
  result->ClientToScreen(&plate, row.x - 6, row.y + 23);  // between the rows
  plate = LookOver::FromGameArea(static_cast<float>(plate.x), static_cast<float>(plate.y));
  for (i32 dx = -6; dx <= -5; ++dx)
    for (i32 dy = -8; dy <= 8; ++dy) {
      kis::IntPoint p;
      result->ClientToScreen(&p, row.x + dx, row.y + dy);
      p = LookOver::FromGameArea(static_cast<float>(p.x), static_cast<float>(p.y));
      EXPECT_EQ(run.Pixel(p.x, p.y), run.Pixel(plate.x, plate.y)) << dx << "," << dy;
    }

  std::ifstream log(run.Folder().File("log.txt"));
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_EQ(text.str().find("look-up missed:"), std::string::npos) << text.str();
}

TEST(LookOverRun, EveryScreenAt800x600) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  LookOverEveryScreen(800, 600);
}

TEST(LookOverRun, EveryScreenAt1920x1080) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  LookOverEveryScreen(1920, 1080);
}

}  // namespace
