// The level's end in the running game: the sample level with the game's
// own windows around it (the level panel host as the level's windows) and
// the game's profile in a folder of its own. Won, it opens the result
// window with the record the profile made, whose frames draw every icon
// textured (result_window.png: mode 0, no bronze), and Enter leaves for the
// map; the result window's parts apart (mode 0's cover no plate of its own
// beside the medal) and its texts readable at 4.5:1, a
// crossed limit time's at 3:1 through its cross (result_window_hard.png,
// result_window_crossed.png: mode 1 ticked and crossed); a hard-mode day run past bronze asks the game-over question, whose
// "yes" opens the level window's play form; the menu's restart opens its
// restart form; a restart takes the day's windows and notices away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "level/rules/LevelClock.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/LevelWindows.h"
#include "level/scene/GameLevel.h"
#include "platform/gfx/PngFile.h"
#include "testsupport/Contrast.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/TempFolder.h"
#include "ui/BaseDialogWindow.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelMenuHandler.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/LevelResultWindow.h"
#include "windows/LevelWindow.h"
#include "windows/MenuWindow.h"
#include "windows/MessageNotice.h"
#include "windows/WarehouseWindow.h"

namespace windowstest {
namespace {

constexpr u32 kWhite = 0xFFFFFFFFu;

class LevelEnd : public ::testing::Test {
 protected:
  LevelEnd() : h(leveltest::SampleDataFolder(), 800, 600, true) {
    store.LoadProfiles(dir.Wide("profiles"));
    if (store.CreateProfile(u"Ann", &ann) == 0) store.SelectProfile(ann);
  }
  ~LevelEnd() override { h.world.CloseLevel(); }  // before the profile goes

  GameLevel& Play(i32 regime) {
    ann->SetRegime(static_cast<u32>(regime));
    GameLevelHooks hooks;
    hooks.rules.profile = ann;
    LevelSetup setup;
    setup.regime = regime;
    GameLevel& level = *h.world.OpenLevel(0, setup, hooks);
    host = h.world.Panel();
    h.LoadAll();
    h.Enter();
    h.Start();
    return level;
  }
  // A frame of 20 ms: the level, then the windows over it.
  void Frame() {
    h.Step(20);
    h.DrawFrame(true);
  }
  void Key(u16 key) { h.Level()->Input().OnKeyDown(key, 0); }
  // An untextured sprite draws as a square of its colour: no 12 x 12 block
  // of pure white within the rectangle.
  bool HasWhiteSquare(const DXLRECT& r) {
    const std::vector<u32> px = h.Frame();
    std::vector<i32> run(800, 0);  // white pixels above and at each column, in this row
    for (i32 y = std::max(r.top, 0); y < std::min<i32>(r.bottom, 600); ++y) {
      i32 across = 0;
      for (i32 x = std::max(r.left, 0); x < std::min<i32>(r.right, 800); ++x) {
        run[x] = px[static_cast<size_t>(y) * 800 + x] == kWhite ? run[x] + 1 : 0;
        across = run[x] >= 12 ? across + 1 : 0;
        if (across >= 12) return true;
      }
    }
    return false;
  }

  leveltest::LevelHarness h;
  TempFolder dir;
  ProfileStore store;
  Profile* ann = nullptr;
  LevelPanelHost* host = nullptr;
};

TEST_F(LevelEnd, AWonLevelShowsTheProfilesRecordAndEnterLeavesForTheMap) {
  ASSERT_TRUE(h.loaded);
  ASSERT_NE(ann, nullptr);
  GameLevel& level = Play(0);
  for (i32 i = 0; i < 50; ++i) Frame();
  level.Rules().Tasks().Win(0);
  LevelResultWindow* window = FindWindowOf<LevelResultWindow>();
  ASSERT_NE(window, nullptr);
  const LEVELRESULT& record = window->GetRecord();
  const LEVELREGIME& easy = h.Levels().Get(0).regimes[0];
  EXPECT_EQ(record.time, level.Rules().Clock().GetTime());
  EXPECT_EQ(record.limits[2], easy.gold);
  EXPECT_EQ(record.grade, 6);     // 1 s: gold
  EXPECT_EQ(record.flags & 1u, 1u);  // the first win: a new record
  EXPECT_EQ(ann->GetBestTime(0, 0), record.time);
  EXPECT_FALSE(window->IsColumnShown(0));  // mode 0: no bronze
  EXPECT_TRUE(window->IsTick(2));
  // Every frame of the reveal and after it: the clocks beside the times,
  // the medals' and the marks all drawn from their sheets. The ticks come
  // after 1000 ms and leave the limit times under them as they were.
  std::vector<u32> times;
  for (i32 i = 0; i < 160; ++i) {
    Frame();
    ASSERT_FALSE(HasWhiteSquare(window->GetRect())) << "frame " << i;
    if (i == 30 || i == 159) {
      const std::vector<u32> px = h.Frame();
      std::vector<u32> now;
      for (i32 column : {1, 2}) {
        const DXLRECT r = window->GetLabelRect(column);
        ASSERT_GT(r.right, r.left);
        kis::IntPoint at;
        window->ClientToScreen(&at, r.left, r.top);
        for (i32 y = at.y; y < at.y + r.bottom - r.top; ++y)
          for (i32 x = at.x; x < at.x + r.right - r.left; ++x) now.push_back(px[static_cast<size_t>(y) * 800 + x]);
      }
      if (i == 30) {
        EXPECT_FALSE(window->IsMarkRevealed(2));
        times = now;
      } else {
        EXPECT_TRUE(window->IsMarkRevealed(1));
        EXPECT_TRUE(times == now) << "a tick covers a limit time";
      }
    }
  }
  EXPECT_FALSE(window->IsShowing());
  EXPECT_TRUE(window->IsNewRecordRowShown());
  EXPECT_TRUE(plat::WritePng("result_window.png", h.Frame(), 800, 600, nullptr));
  EXPECT_FALSE(host->HasExited());
  Key(kKeyEnter);
  EXPECT_TRUE(host->HasExited());  // through GameLevel::ExitToMap
}

// The result window as laid out, drawn over the day: the gauge runs under
// mode 0's cover and under the medal's box (the box's pixels are the same
// with the bar full and empty), and out from under them (it shows beside);
// neither the ticks nor the crosses reach the time rows (the same rows with
// every medal ticked and every one crossed); the limit times, the rows'
// times and captions read at 4.5:1 at least against their backdrop, and
// crossed limit times at 3:1 through their crosses.
TEST_F(LevelEnd, TheResultWindowKeepsItsPartsApartAndItsTextsReadable) {
  ASSERT_TRUE(h.loaded);
  Play(0);
  for (i32 i = 0; i < 20; ++i) Frame();
  // A window for (mode, time, limits) drawn alone, its reveal skipped and
  // its drop-in over: the frame, the window's origin on it, its content
  // top, the places of its rows and limit times.
  struct Shot {
    std::vector<u32> px;
    kis::IntPoint origin;
    i32 top = 0;
    kis::IntPoint row;
    DXLRECT labels[3] = {};
  };
  const auto shoot = [&](i32 mode, u32 time, u32 limit, i32 grade) {
    LEVELRESULT r;
    r.regime = mode;
    for (i32 k = 0; k < 3; ++k) r.limits[k] = static_cast<i32>(limit / static_cast<u32>(k + 1));
    r.time = time;
    r.grade = grade;
    r.previousBest = 100000;
    auto* window = new LevelResultWindow(r);
    window->FinishReveal(true);
    for (i32 i = 0; i < 60; ++i) Frame();
    Shot shot;
    shot.px = h.Frame();
    window->ClientToScreen(&shot.origin, 0, 0);
    shot.row = window->GetYourTimePlace();
    shot.top = shot.row.y - 121;
    for (i32 k = 0; k < 3; ++k) shot.labels[k] = window->GetLabelRect(k);
    delete window;
    return shot;
  };
  // The pixels of a rectangle of the window.
  const auto pixels = [](const Shot& shot, const DXLRECT& r) {
    std::vector<u32> out;
    for (i32 y = shot.origin.y + r.top; y < shot.origin.y + r.bottom; ++y)
      for (i32 x = shot.origin.x + r.left; x < shot.origin.x + r.right; ++x)
        out.push_back(shot.px[static_cast<size_t>(y) * 800 + x]);
    return out;
  };

  for (i32 mode : {0, 1}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    // The bar full and empty, the same medal in the box.
    const Shot full = shoot(mode, 1000, 180000, 6);
    const Shot empty = shoot(mode, 600000, 180000, 6);
    const i32 top = full.top;
    // Inside the cover's and the box's rims (their anti-aliased edges and
    // rounded corners let the bar show through a little).
    const DXLRECT under = mode == 0 ? DXLRECT{16, top + 9, 166, top + 82} : DXLRECT{22, top + 14, 96, top + 88};
    EXPECT_TRUE(pixels(full, under) == pixels(empty, under)) << "the bar shows over what covers it";
    const DXLRECT beside{200, top + 73, 460, top + 87};
    EXPECT_FALSE(pixels(full, beside) == pixels(empty, beside)) << "the bar does not show";
    if (mode == 1) continue;
    // Mode 0's cover is the board: right of the medal's box and above the
    // rule, each row shows what the board shows beyond the cover.
    i32 plate = 0;
    for (i32 y = top + 14; y < top + 44; ++y) {
      const u32 board = pixels(full, DXLRECT{176, y, 177, y + 1})[0];
      const std::vector<u32> row = pixels(full, DXLRECT{104, y, 170, y + 1});
      plate += std::count(row.begin(), row.end(), board) == 66 ? 0 : 1;
    }
    EXPECT_EQ(plate, 0) << "rows of a plate beside the medal";
  }

  // Ticked and crossed (the same time against other limits): the time rows
  // alike. The limit times and the rows read.
  const Shot ticked = shoot(1, 30000, 180000, 6);
  const Shot crossed = shoot(1, 30000, 20000, 3);
  EXPECT_TRUE(plat::WritePng("result_window_hard.png", ticked.px, 800, 600, nullptr));
  EXPECT_TRUE(plat::WritePng("result_window_crossed.png", crossed.px, 800, 600, nullptr));
  const kis::IntPoint row = ticked.row;
  for (i32 y : {row.y, row.y + 45}) {  // "your_time", then "record"
    const DXLRECT r{row.x - 150, y - 12, row.x + 110, y + 12};
    EXPECT_TRUE(pixels(ticked, r) == pixels(crossed, r)) << "a mark reaches the row at " << y;
  }
  const auto luminance = [](u32 c) { return testsupport::RelativeLuminance(c); };
  const auto ratio = [](double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); };
  // The rectangle's commonest colour: the backdrop.
  const auto backdrop = [&](const Shot& shot, const DXLRECT& r) {
    std::map<u32, i32> counts;
    for (u32 c : pixels(shot, r)) ++counts[c | 0xFF000000u];
    return std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
             return a.second < b.second;
           })->first;
  };
  const auto contrast = [&](const DXLRECT& r, u32 fill) {
    const DXLRECT on{ticked.origin.x + r.left, ticked.origin.y + r.top, ticked.origin.x + r.right,
                     ticked.origin.y + r.bottom};
    return testsupport::TextContrast(ticked.px, 800, on, fill);
  };
  for (i32 column = 0; column < 3; ++column) {
    const DXLRECT& r = ticked.labels[column];
    EXPECT_GE(contrast(DXLRECT{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2}, 0xFFFFFF8Bu), 4.5) << column;
  }
  EXPECT_GE(contrast(DXLRECT{row.x + 16, row.y - 12, row.x + 110, row.y + 12}, 0xFFFFFF8Bu), 4.5) << "your time";
  EXPECT_GE(contrast(DXLRECT{row.x - 100, row.y - 12, row.x - 8, row.y + 12}, 0xFFFFFFFFu), 4.5) << "its caption";

  // The crossed limit times against the same times ticked (the ticks leave
  // them clear): every figure reads through its cross, each core pixel of
  // its strokes (the time's colour, ticked) as drawn crossed at 3:1 at least
  // against the middle of the backdrop round the stroke (the pixels about
  // it two or more away from anything drawn, ticked) as drawn crossed; and the cross still
  // shows its solid red above and below the time.
  const Shot clear = shoot(1, 30000, 20000, 6);
  const auto far = [](u32 a, u32 b) {
    for (u32 shift : {0u, 8u, 16u})
      if (std::abs(static_cast<i32>((a >> shift) & 0xFF) - static_cast<i32>((b >> shift) & 0xFF)) > 24) return true;
    return false;
  };
  const auto at = [](const Shot& shot, i32 x, i32 y) {
    return shot.px[static_cast<size_t>(shot.origin.y + y) * 800 + static_cast<size_t>(shot.origin.x + x)] | 0xFF000000u;
  };
  for (i32 column = 0; column < 3; ++column) {
    SCOPED_TRACE("column " + std::to_string(column));
    const DXLRECT& label = crossed.labels[column];
    ASSERT_EQ(label.right - label.left, clear.labels[column].right - clear.labels[column].left);
    const DXLRECT r{label.left - 2, label.top - 2, label.right + 2, label.bottom + 2};
    const u32 back = backdrop(clear, r);
    const auto text = [&](i32 x, i32 y) { return far(at(clear, x, y), back); };
    const auto inked = [&](i32 x) {
      for (i32 y = r.top; y < r.bottom; ++y)
        if (at(clear, x, y) == 0xFFFFFF8Bu) return true;
      return false;
    };
    i32 strokes = 0;  // runs of the columns that hold core pixels
    for (i32 x0 = r.left; x0 < r.right;) {
      if (!inked(x0)) {
        ++x0;
        continue;
      }
      i32 x1 = x0;
      while (x1 < r.right && inked(x1)) ++x1;
      std::vector<double> round;
      for (i32 y = r.top - 2; y < r.bottom + 2; ++y)
        for (i32 x = x0 - 4; x < x1 + 4; ++x) {
          bool clearOfText = true;
          for (i32 dy = -2; dy <= 2 && clearOfText; ++dy)
            for (i32 dx = -2; dx <= 2 && clearOfText; ++dx) clearOfText = !text(x + dx, y + dy);
          if (clearOfText) round.push_back(luminance(at(crossed, x, y)));
        }
      ASSERT_FALSE(round.empty());
      std::nth_element(round.begin(), round.begin() + static_cast<std::ptrdiff_t>(round.size() / 2), round.end());
      const double middle = round[round.size() / 2];
      double least = 100.0;
      for (i32 y = r.top; y < r.bottom; ++y)
        for (i32 x = x0; x < x1; ++x)
          if (at(clear, x, y) == 0xFFFFFF8Bu) least = std::min(least, ratio(luminance(at(crossed, x, y)), middle));
      ++strokes;
      EXPECT_GE(least, 3.0) << "the stroke at " << x0 - label.left;
      x0 = x1;
    }
    EXPECT_GE(strokes, 8);  // "hh:nn:ss"
    i32 red = 0;
    const i32 markX = 96 + 147 * column, markY = crossed.top + 41;
    for (i32 y = markY - 20; y < markY + 20; ++y)
      for (i32 x = markX - 15; x < markX + 15; ++x) {
        const u32 c = at(crossed, x, y);
        red += (c >> 16 & 0xFF) > 180 && (c >> 8 & 0xFF) < 110 && (c & 0xFF) < 100 ? 1 : 0;
      }
    EXPECT_GE(red, 40) << "no cross";
  }
}

TEST_F(LevelEnd, AHardLossAsksThenOffersThePlayFormAndTheMenuTheRestartForm) {
  ASSERT_TRUE(h.loaded);
  ASSERT_NE(ann, nullptr);
  GameLevel& level = Play(1);
  const u32 bronze = static_cast<u32>(h.Levels().Get(0).regimes[1].bronze);  // ms
  LevelTasks& tasks = level.Rules().Tasks();
  for (u32 t = 0; t < bronze + 10000 && !tasks.GetLoseDialog(); t += 100) h.Step(100, 100);
  ASSERT_EQ(tasks.GetResultShown(), kResultLost);
  BaseDialogWindow* question = tasks.GetLoseDialog();
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->GetMessageKey(), u"game_over_c");
  for (i32 i = 0; i < 20; ++i) Frame();
  Key(kKeyEnter);  // "yes"
  LevelWindow* window = FindWindowOf<LevelWindow>();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetKind(), kLevelWindowLost);
  EXPECT_EQ(window->GetLevel(), 0);
  EXPECT_EQ(window->GetButtonIds(), (std::vector<u32>{kLevelWindowCancel, kLevelWindowPlay}));  // "to_map", "play"
  for (i32 i = 0; i < 20; ++i) Frame();
  Key(kKeyEnter);  // play again
  EXPECT_EQ(tasks.GetResultShown(), kResultNone);
  EXPECT_FALSE(host->HasExited());
  for (i32 i = 0; i < 20; ++i) Frame();
  EXPECT_EQ(FindWindowOf<LevelWindow>(), nullptr);

  // The menu's restart, by a click on its button.
  h.Start();
  host->OpenMenu(false);
  MenuWindow* menu = GetOpenMenuWindow();
  ASSERT_NE(menu, nullptr);
  for (i32 i = 0; i < 20; ++i) Frame();
  const GameButton* restart = menu->FindControl(kMenuRestart, 0);
  ASSERT_NE(restart, nullptr);
  const DXLRECT& r = restart->GetRect();
  kis::IntPoint at;
  menu->ClientToScreen(&at, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  h.Level()->Input().OnMouseMove(at.x, at.y, 0, 0);
  h.Level()->Input().OnMouseDown(at.x, at.y, kMouseLeft, 0);
  h.Level()->Input().OnMouseUp(at.x, at.y, kMouseLeft, 0);
  window = FindWindowOf<LevelWindow>();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetKind(), kLevelWindowRestartForm);
  for (i32 i = 0; i < 20; ++i) Frame();
  Key(kKeyEscape);  // cancel: only closes
  for (i32 i = 0; i < 20; ++i) Frame();
  EXPECT_EQ(FindWindowOf<LevelWindow>(), nullptr);
  EXPECT_FALSE(host->HasExited());
  EXPECT_TRUE(level.Rules().IsStarted());
}

// A restart (the developer's R) after a win takes the result window away
// with the day it showed: the new day runs, and Enter does not leave it.
TEST_F(LevelEnd, ARestartClosesTheResultWindow) {
  ASSERT_TRUE(h.loaded);
  ASSERT_NE(ann, nullptr);
  GameLevel& level = Play(0);
  for (i32 i = 0; i < 10; ++i) Frame();
  level.Rules().Tasks().Win(0);
  ASSERT_NE(FindWindowOf<LevelResultWindow>(), nullptr);
  for (i32 i = 0; i < 20; ++i) Frame();
  level.Restart();
  level.OnEnter();
  EXPECT_EQ(FindWindowOf<LevelResultWindow>(), nullptr);
  h.Start();
  for (i32 i = 0; i < 20; ++i) Frame();
  EXPECT_TRUE(level.Rules().IsStarted());
  EXPECT_FALSE(level.Rules().Locks().IsLockedExcept(0));
  Key(kKeyEnter);
  EXPECT_FALSE(host->HasExited());
}

// A restart takes the day's windows and notices with it: the warehouse
// window and the menu, the level's message and the award notices; the
// next day opens without them.
TEST_F(LevelEnd, ARestartTakesTheDaysWindowsAndNoticesAway) {
  ASSERT_TRUE(h.loaded);
  ASSERT_NE(ann, nullptr);
  GameLevel& level = Play(0);
  MessageNoticeQueue* messages = GetMessageNotices();
  AwardNoticeQueue* awards = GetAwardNotices();
  ASSERT_TRUE(messages && awards);
  messages->SetHost(host->GetPanel(), 120, kMessageLevel);
  awards->SetHost(host->GetPanel(), 120);
  host->OpenMenu(false);
  ASSERT_NE(GetOpenMenuWindow(), nullptr);
  host->OpenWarehouseWindow(nullptr);
  ASSERT_NE(FindOpenWarehouse(), nullptr);
  host->ShowMessage(kMessageWarehouseFull + 1, u"warehouse_full", kMessageFlagsWarehouse, nullptr, -1, nullptr);
  awards->ShowAward(1, 0, 1);
  for (i32 i = 0; i < 10; ++i) Frame();
  ASSERT_EQ(messages->GetCount(), 1);
  ASSERT_EQ(awards->GetCount(), 1);
  level.Restart();
  EXPECT_EQ(GetOpenMenuWindow(), nullptr);
  EXPECT_EQ(FindOpenWarehouse(), nullptr);
  EXPECT_EQ(messages->GetCount(), 0);
  EXPECT_EQ(awards->GetCount(), 0);
  level.OnEnter();
  h.Start();
  for (i32 i = 0; i < 10; ++i) Frame();
  EXPECT_TRUE(level.Rules().IsStarted());
  EXPECT_FALSE(level.Rules().Locks().IsLockedExcept(0));
}

// A restart (the developer's R) while the game-over question is open takes
// the question away with the level it asked about.
TEST_F(LevelEnd, ARestartClosesTheOpenLoseDialog) {
  ASSERT_TRUE(h.loaded);
  ASSERT_NE(ann, nullptr);
  GameLevel& level = Play(1);
  const u32 bronze = static_cast<u32>(h.Levels().Get(0).regimes[1].bronze);
  LevelTasks& tasks = level.Rules().Tasks();
  for (u32 t = 0; t < bronze + 10000 && !tasks.GetLoseDialog(); t += 100) h.Step(100, 100);
  ASSERT_NE(tasks.GetLoseDialog(), nullptr);
  level.Restart();
  level.OnEnter();
  EXPECT_EQ(tasks.GetLoseDialog(), nullptr);
  EXPECT_EQ(tasks.GetResultShown(), kResultNone);
  for (i32 i = 0; i < 20; ++i) Frame();
  Key(kKeyEnter);  // nobody answers "yes" for the new day
  EXPECT_EQ(FindWindowOf<LevelWindow>(), nullptr);
  EXPECT_FALSE(host->HasExited());
}

}  // namespace
}  // namespace windowstest
