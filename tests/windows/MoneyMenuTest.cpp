// The game's parts of the level panel: the money window (drawing nothing
// while hidden), the level's menu window with the panel host behind it,
// and the panel buttons' faces.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <utility>

#include "PanelRig.h"
#include "ui/ImageButton.h"
#include "ui/WindowManager.h"
#include "windows/AwardsWindow.h"
#include "windows/LevelMenuHandler.h"
#include "windows/MenuWindow.h"
#include "windows/MoneyWindow.h"
#include "testsupport/WindowDoor.h"

namespace windowstest {
namespace {

TEST(MoneyWindow, CentredOverTheScreenAndCountingOnceEntered) {
  PanelRig rig(800, 600);
  GetResourceServices().interfaceImage = rig.AddPicture(1, u"interface", 1024, 1024)->GetTexture();  // its frame's
  rig.MakeLevel({MapRig::Garbage(leveltest::kJunk, 100, 300, 300)});
  auto& money = *static_cast<MoneyWindow*>(rig.panel->GetMoneyWindow());
  EXPECT_EQ(money.GetRect().left, (800 - 570) / 2);
  EXPECT_EQ(money.GetRect().top, 0);
  PanelRig::Screen(1280, 800);
  rig.panel->OnScreenResize();
  EXPECT_EQ(money.GetX(), (1280 - 570) / 2);
  // Before the level is entered a change shows at once; after, it counts
  // over 300 ms of the frame clock.
  LevelRules& rules = *rig.level.rules;
  rules.SetEntered(false);
  spritetest::g_frameNow = 1000;
  rules.Money().Set(400);
  EXPECT_EQ(money.GetDigitsValue(), 400);
  rules.SetEntered(true);
  rules.Money().Set(1000);
  using Step = std::tuple<u32, i32, i32>;  // the frame clock, the figure's least and most
  for (const auto& [now, low, high] : {Step{1000, 400, 400}, Step{1150, 401, 999}, Step{1300, 1000, 1000}}) {
    spritetest::g_frameNow = now;
    money.Draw();
    EXPECT_GE(money.GetDigitsValue(), low) << now;
    EXPECT_LE(money.GetDigitsValue(), high) << now;
  }
  // Hidden, it draws nothing, yet it counts on; shown again, it draws.
  const auto drawn = [&] {
    rig.art.calls.Clear();
    rig.Shot(0.0f, 0.0f, [&] { money.Draw(); });
    return rig.art.calls.Primitives().size();
  };
  const size_t shown = drawn();
  EXPECT_GT(shown, 0u);
  money.State().SetState(kStateHidden, true, 0);
  rules.Money().Set(1500);
  spritetest::g_frameNow = 1400;
  EXPECT_EQ(drawn(), 0u);
  spritetest::g_frameNow = 1700;
  EXPECT_EQ(drawn(), 0u);
  EXPECT_EQ(money.GetDigitsValue(), 1500);
  money.State().SetState(kStateNormal, true, 0);
  EXPECT_EQ(drawn(), shown);
  const i32 listeners = rules.Money().GetListenerCount();
  rig.host.DeletePanel();
  EXPECT_EQ(rules.Money().GetListenerCount(), listeners - 2) << "the panel's and the window's";
  GetResourceServices().interfaceImage = nullptr;
}

// Its rows at index x 68 + 94; refused while open, not while closing;
// Escape closes it; the commands reach the host, and the menu goes with the
// panel.
TEST(MenuWindow, RowsOpeningAndCommands) {
  PanelRig rig;
  testsupport::InterfacePicture picture;
  rig.MakeLevel({MapRig::Garbage(leveltest::kJunk, 100, 300, 300)});
  rig.host.OpenMenu(false);  // no drop-in: a window dropping in takes no keys
  MenuWindow* menu = GetOpenMenuWindow();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->IsModal());
  const u32 order[] = {kMenuClose, kMenuRestart, kMenuAwards, kMenuOptions, kMenuToMap, kMenuQuit};
  ASSERT_EQ(menu->Controls().GetCount(), 6);
  for (i32 i = 0; i < 6; ++i) {
    auto* b = static_cast<ImageButton*>(menu->Controls().Get(i));
    EXPECT_EQ(b->GetId(), order[i]);
    EXPECT_TRUE(b->GetX() == 16 && b->GetY() == i * 68 + 94) << i;
  }
  i32 w = 0, h = 0;
  menu->GetSize(&w, &h);
  EXPECT_EQ(h, 77 + 5 * 68 + 92 + 18);  // top row, body, closing row
  rig.host.OpenMenu(true);
  EXPECT_EQ(rig.panel->OnCommand(rig.panel->GetMenuButton()), 2u);
  EXPECT_EQ(GetOpenMenuWindow(), menu);
  EXPECT_EQ(rig.manager->GetStack().Get(rig.manager->GetStack().GetCount() - 1), menu);
  EXPECT_TRUE(rig.manager->OnKeyDown(27, 0));
  EXPECT_TRUE(menu->IsClosing());
  EXPECT_EQ(GetOpenMenuWindow(), nullptr);

  // A row clicked through the window manager, the menu away from the
  // screen's corner once dropped in.
  const auto press = [&](u32 command) {
    MenuWindow* open = GetOpenMenuWindow();
    if (!open) return;
    testsupport::PlaceWindow(*open);
    testsupport::Settle(*open);
    testsupport::Click(*rig.manager, *open->FindControl(command, 0));
  };
  rig.host.OpenMenu(true);
  MenuWindow* second = GetOpenMenuWindow();
  ASSERT_TRUE(second && second != menu);
  press(kMenuOptions);
  EXPECT_TRUE(rig.host.GetOptionsAsked() == 1 && GetOpenMenuWindow() == second) << "open under the options";
  GameWindow* options = rig.manager->GetAnchor(kAnchorOptions);
  ASSERT_NE(options, nullptr);  // the options window, modal over the menu
  delete options;
  press(kMenuAwards);
  EXPECT_TRUE(rig.host.GetAwardsAsked() == 1 && second->IsClosing());
  ASSERT_NE(FindWindowOf<AwardsWindow>(), nullptr);  // the awards window opened over the level
  delete FindWindowOf<AwardsWindow>();
  rig.host.OpenMenu(true);
  press(kMenuToMap);
  EXPECT_TRUE(rig.host.HasExited());
  rig.host.DeletePanel();
  EXPECT_EQ(GetOpenMenuWindow(), nullptr);
  MenuWindow other(false, nullptr, {0x20000009u, kMenuQuit});  // no button for an unknown command
  EXPECT_EQ(other.Controls().GetCount(), 1);
  other.GetSize(&w, &h);
  EXPECT_EQ(h, 77 + 68 + 92 + 18) << "the body counts every command given";
}

// A state's rows [top, bottom) of a button's part (quads stand half a
// pixel up and left, on the texel centres).
std::pair<float, float> RowsOf(const ImageButton& b, i32 state, i32 part) {
  const DXLQUAD& q = b.GetQuads()[state * b.GetPartsPerFrame() + part];
  return {q.v[0].y + 0.5f, q.v[2].y + 0.5f};
}

// Style 1 lowered in 7 quads (the face over the plate); style 2 in 9:
// the plate, the greyed rows, and the fill rising from the face's bottom
// over 0, floor(50 v) + 2 or all 54 rows.
TEST(LevelPanelButton, FaceQuadsOfTheStyles) {
  PanelRig rig;
  rig.MakeLevel({MapRig::Garbage(leveltest::kJunk, 100, 300, 300)});
  rig.panel->ShowEmptyPanel();
  ButtonRowLayout row;
  SplitRowIntoCells(&row, 300, 3);
  auto* fill = new LevelPanelButton(rig.Shown(), 0xc9000010u, row, 0, 2, nullptr);
  auto* lowered = new LevelPanelButton(rig.Shown(), 0xc9000012u, row, 2, 1 | kButtonIconLow, nullptr);
  ASSERT_EQ(lowered->GetPartsPerFrame(), 7);
  EXPECT_EQ(RowsOf(*lowered, 1, 0), std::make_pair(-1.0f, 53.0f));
  EXPECT_EQ(RowsOf(*lowered, 1, 6), std::make_pair(53.0f, 79.0f));
  ASSERT_EQ(fill->GetPartsPerFrame(), 9);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  using Fill = std::pair<float, i32>;
  for (const auto& [value, height] : {Fill{0.0f, 0}, Fill{0.001f, 2}, Fill{0.5f, 27}, Fill{0.999f, 51},
                                      Fill{1.0f, 54}, Fill{7.0f, 54}, Fill{-1.0f, 0}, Fill{nan, 0}}) {
    fill->SetFill(value);
    EXPECT_EQ(fill->GetFillHeight(), height) << value;
    for (i32 s = 0; s < 4; ++s) {
      const auto plate = RowsOf(*fill, s, 1), empty = RowsOf(*fill, s, 4), filled = RowsOf(*fill, s, 7);
      EXPECT_EQ(plate, std::make_pair(53.0f, 79.0f));
      EXPECT_EQ(empty.second - empty.first, static_cast<float>(54 - height)) << value;
      EXPECT_EQ(filled.second - filled.first, static_cast<float>(height)) << value;
      EXPECT_TRUE(height == 0 || filled.second == 53.0f) << value;
    }
  }
}

}  // namespace
}  // namespace windowstest
