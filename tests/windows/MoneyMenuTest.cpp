// The game's parts of the level panel: the money window (centred over any
// screen width, the figure shown at once before the level is entered and
// counted over 300 ms after), the level's menu window (its six rows, Escape,
// a second opening refused while it is open, the commands reaching the
// panel host), and the panel buttons' faces (the style-2 fill, the lowered
// tool face).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "PanelRig.h"
#include "ui/GameButton.h"
#include "ui/ImageButton.h"
#include "windows/GamePanelParts.h"
#include "windows/LevelMenuHandler.h"
#include "windows/MenuWindow.h"
#include "windows/MoneyWindow.h"

namespace windowstest {
namespace {

MoneyWindow& Money(PanelRig& rig) { return *static_cast<MoneyWindow*>(rig.panel->GetMoneyWindow()); }

TEST(MoneyWindow, CentredOverTheScreenAndCountingOnceEntered) {
  PanelRig rig(800, 600);
  rig.MakeLevel({MapRig::Garbage(leveltest::kJunk, 100, 300, 300)});
  MoneyWindow& money = Money(rig);
  EXPECT_EQ(money.GetId(), kMoneyWindowId);
  EXPECT_EQ(money.GetX(), (800 - 570) / 2);
  EXPECT_EQ(money.GetRect().top, 0);
  EXPECT_EQ(money.GetRect().right - money.GetRect().left, 570);
  PanelRig::Screen(1280, 800);
  rig.panel->OnScreenResize();
  EXPECT_EQ(money.GetX(), (1280 - 570) / 2);

  // Before the level is entered a change shows at once.
  LevelRules& rules = *rig.level.rules;
  rules.SetEntered(false);
  spritetest::g_frameNow = 1000;
  rules.Money().Set(400);
  EXPECT_EQ(money.GetShownMoney(), 400);
  EXPECT_EQ(money.GetDigitsValue(), 400);
  // Afterwards the figure counts over 300 ms of the frame clock.
  rules.SetEntered(true);
  rules.Money().Set(1000);
  money.Draw();
  EXPECT_EQ(money.GetDigitsValue(), 400);
  spritetest::g_frameNow = 1150;
  money.Draw();
  EXPECT_GT(money.GetDigitsValue(), 400);
  EXPECT_LT(money.GetDigitsValue(), 1000);
  spritetest::g_frameNow = 1300;
  money.Draw();
  EXPECT_EQ(money.GetDigitsValue(), 1000);
  EXPECT_EQ(money.GetShownMoney(), 1000);
  // The panel's end takes the window off the money's listeners.
  const i32 listeners = rules.Money().GetListenerCount();
  rig.host.DeletePanel();
  EXPECT_EQ(rules.Money().GetListenerCount(), listeners - 2);
}

TEST(MenuWindow, SixRowsEscapeAndOneAtATime) {
  PanelRig rig;
  rig.MakeLevel({MapRig::Garbage(leveltest::kJunk, 100, 300, 300)});
  EXPECT_EQ(GetOpenMenuWindow(), nullptr);
  rig.host.OpenMenu(false);  // no drop-in: a window dropping in takes no keys
  MenuWindow* menu = GetOpenMenuWindow();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->IsModal());
  const u32 order[] = {kMenuClose, kMenuRestart, kMenuAwards, kMenuOptions, kMenuToMap, kMenuQuit};
  ASSERT_EQ(menu->Controls().GetCount(), 6);
  for (i32 i = 0; i < 6; ++i) {
    auto* b = static_cast<ImageButton*>(menu->Controls().Get(i));
    EXPECT_EQ(b->GetId(), order[i]);
    EXPECT_EQ(b->GetX(), 16);
    EXPECT_EQ(b->GetY(), i * 68 + 94);
  }
  // Top row, the body (5 x 68 + 92) and the closing row.
  i32 w = 0, h = 0;
  menu->GetSize(&w, &h);
  EXPECT_EQ(h, 77 + 5 * 68 + 92 + 18);
  // Open and not closing: the menu button and the key are refused.
  rig.host.OpenMenu(false);
  EXPECT_EQ(rig.panel->OnCommand(rig.panel->GetMenuButton()), 2u);
  EXPECT_EQ(GetOpenMenuWindow(), menu);
  EXPECT_EQ(rig.manager->GetStack().IndexOf(menu), rig.manager->GetStack().GetCount() - 1);
  // Escape closes it as "continue" does; a closing menu lets a new one open.
  EXPECT_TRUE(rig.manager->OnKeyDown(27, 0));
  EXPECT_TRUE(menu->IsClosing());
  EXPECT_EQ(GetOpenMenuWindow(), nullptr);
  rig.host.OpenMenu(true);
  MenuWindow* second = GetOpenMenuWindow();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, menu);
  // Only the commands it has captions for; a window with controls before
  // them starts its column lower.
  MenuWindow other(false, nullptr, {0x20000009u, kMenuQuit});
  ASSERT_EQ(other.Controls().GetCount(), 1);
  other.AddMenuButton(kMenuOptions);
  EXPECT_EQ(static_cast<ImageButton*>(other.Controls().Get(1))->GetY(), 68 + 94);
  EXPECT_EQ(other.OnCommand(other.Controls().Get(0)), 0u) << "no handler";
}

TEST(MenuWindow, CommandsReachThePanelHost) {
  PanelRig rig;
  rig.MakeLevel({MapRig::Garbage(leveltest::kJunk, 100, 300, 300)});
  const auto press = [&](u32 command) {
    MenuWindow* menu = GetOpenMenuWindow();
    EXPECT_NE(menu, nullptr);
    if (!menu) return 0u;
    return menu->OnCommand(menu->FindControl(command, 0));
  };
  rig.host.OpenMenu(true);
  MenuWindow* menu = GetOpenMenuWindow();
  EXPECT_EQ(press(kMenuOptions), 2u);  // the menu stays under the options
  EXPECT_EQ(rig.host.GetOptionsAsked(), 1);
  EXPECT_EQ(GetOpenMenuWindow(), menu);
  EXPECT_EQ(press(kMenuRestart), 2u);
  EXPECT_TRUE(rig.host.WasRestartOffered());
  EXPECT_EQ(press(kMenuToMap), 2u);
  EXPECT_TRUE(rig.host.HasExited());
  EXPECT_EQ(press(kMenuClose), 0u);
  EXPECT_TRUE(menu->IsClosing());
  rig.host.OpenMenu(true);
  EXPECT_EQ(press(kMenuAwards), 2u);
  EXPECT_EQ(rig.host.GetAwardsAsked(), 1);
  EXPECT_EQ(GetOpenMenuWindow(), nullptr) << "the awards close the menu";
  rig.host.OpenMenu(true);
  EXPECT_EQ(press(kMenuQuit), 2u);
  BaseDialogWindow* quit = rig.manager->GetDialog();
  ASSERT_NE(quit, nullptr);
  EXPECT_FALSE(rig.host.WasQuitAsked());
  quit->Answer(kAnswerYes);
  EXPECT_TRUE(rig.host.WasQuitAsked());
  // The menu goes with the panel (its handler with it).
  rig.host.DeletePanel();
  EXPECT_EQ(GetOpenMenuWindow(), nullptr);
}

// The quads of one state of a button: their top and bottom rows.
struct Rows {
  float top, bottom;
};
Rows RowsOf(const ImageButton& b, i32 state, i32 part) {
  const DXLQUAD& q = b.GetQuads()[state * b.GetPartsPerFrame() + part];
  return {q.v[0].y, q.v[2].y};
}

TEST(LevelPanelButton, FaceQuadsOfTheStyles) {
  PanelRig rig;
  rig.MakeLevel({MapRig::Garbage(leveltest::kJunk, 100, 300, 300)});
  rig.panel->ShowEmptyPanel();
  ChildLevelPanel* child = rig.Shown();
  ButtonRowLayout row;
  SplitRowIntoCells(&row, 300, 3);
  auto* fill = new LevelPanelButton(child, 0xc9000010u, row, 0, 2, nullptr);
  auto* tool = new LevelPanelButton(child, 0xc9000011u, row, 1, 1, nullptr);
  auto* lowered = new LevelPanelButton(child, 0xc9000012u, row, 2, 1 | kButtonIconLow, nullptr);
  EXPECT_EQ(tool->GetPartsPerFrame(), 3);
  EXPECT_EQ(lowered->GetPartsPerFrame(), 7);
  EXPECT_EQ(RowsOf(*lowered, 1, 0).bottom - RowsOf(*lowered, 1, 0).top, 54.0f);  // the face
  EXPECT_EQ(RowsOf(*lowered, 1, 6).bottom - RowsOf(*lowered, 1, 6).top, 26.0f);  // the plate's cap
  ASSERT_EQ(fill->GetPartsPerFrame(), 9);
  // The filled height out of 54: 0 at 0, floor(50 v) + 2 between, 54 at 1;
  // the fill rises from the face's bottom, the greyed rows above it.
  const struct {
    float value;
    i32 height;
  } cases[] = {{0.0f, 0},  {0.001f, 2}, {0.5f, 27},
               {0.999f, 51}, {1.0f, 54}, {7.0f, 54}, {-1.0f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    fill->SetFill(c.value);
    EXPECT_EQ(fill->GetFillHeight(), c.height);
    for (i32 s = 0; s < 4; ++s) {
      const Rows plate = RowsOf(*fill, s, 1), empty = RowsOf(*fill, s, 4), filled = RowsOf(*fill, s, 7);
      EXPECT_EQ(plate.bottom - plate.top, 26.0f);
      EXPECT_EQ(filled.bottom - filled.top, static_cast<float>(c.height));
      EXPECT_EQ(empty.bottom - empty.top, static_cast<float>(54 - c.height));
      if (c.height > 0) {
        EXPECT_EQ(filled.bottom, plate.top);
      }
      if (c.height > 0 && c.height < 54) {
        EXPECT_EQ(empty.bottom, filled.top);
      }
    }
  }
}

}  // namespace
}  // namespace windowstest
