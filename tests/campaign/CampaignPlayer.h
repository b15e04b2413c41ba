// CampaignPlayer - plays the campaign in the running game (RunningGame.h),
// headless on its fixed 20 ms frames, through the input a player gives:
// pointer moves and clicks at the screen places of map nodes, window
// buttons, level points and their sprites, and keys.
//
// PlayLevel opens a level from the map (its node hovered, then clicked;
// the level window's "play"), starts the day with Enter, lets the
// TutorialFollower lead while the level's tutorial runs, then plays the
// level's solution (LevelSolution.h) to the win, clicks the result window
// away and comes back to the map. Back on the map it clicks through what
// stands in the way: a comic (Escape), a map tutorial (its layer or its
// arrow's target), the villains' attack.
//
// A solution's actions run one after the other; each waits until it can
// be done ("build" waits for the money, "wait" for its condition), so a
// solution plays the same whether or not a tutorial built things first:
// "build" of a kind that stands there already and "upgrade" to a level
// reached are done. "tend" and "produce" are standing orders kept to the
// end: a tended point's harvest, water, feed, egg, milk and shear buttons
// are clicked whenever they show; a producing factory's product button
// whenever it is enabled with a slot free.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "../app/scene/RunningGame.h"
#include "app/LevelSelectMap.h"
#include "app/MainScreen.h"
#include "app/AppServices.h"
#include "app/ReplayRun.h"
#include "app/MapNodes.h"
#include "content/BuildingTable.h"
#include "content/LevelTable.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "engine/DXLKeyboard.h"
#include "engine/DXLMouse.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelPoint.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/LevelVillainCast.h"
#include "level/objects/MapVillain.h"
#include "level/objects/PointCowshed.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointHenhouse.h"
#include "level/objects/PointPetshouse.h"
#include "level/objects/PointSheepRack.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelView.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"
#include "testsupport/LevelSolution.h"
#include "testsupport/TutorialFollower.h"
#include "level/objects/VillainShot.h"
#include "tutorials/GameTutorial.h"
#include "tutorials/LevelTutorial_6.h"
#include "tutorials/LevelTutorial_Hints.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "hud/ASSProductionButton.h"
#include "ui/GameButton.h"
#include "ui/GameWindow.h"
#include "ui/WindowManager.h"
#include "windows/AwardsWindow.h"
#include "windows/BonusesWindow.h"
#include "windows/ComixBook.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/LevelResultWindow.h"
#include "windows/LevelWindow.h"
#include "windows/MapInterface.h"
#include "windows/MessageNotice.h"
#include "windows/PointPanels.h"
#include "windows/WarehouseButton.h"
#include "windows/WarehouseWindow.h"

namespace campaign {

// What a level's play came to.
struct LevelPlay {
  bool won = false;
  u32 ms = 0;          // of level time at the win
  i32 medal = 0;       // the grade of that time (3 gold)
  size_t actions = 0;  // of the solution
  std::string failure;
};

class CampaignPlayer : public testsupport::FollowerHost {
 public:
  static constexpr u32 kFrameMs = 20;
  static constexpr u32 kLevelLimitMs = 900000;  // of level time, past every bronze limit
  static constexpr u32 kRestMs = 300;            // between two clicks of a player
  // A frame a second of game time rasterised: the play reads no pixel (a
  // screenshot rasterises its own frame), and the pixels took nine tenths
  // of its time; every frame still updates and draws the game.
  static constexpr u32 kDrawEvery = 50;

  CampaignPlayer(RunningGame& run, std::string levelsDir) : run_(run), levelsDir_(std::move(levelsDir)) {
    run_.drawEvery = kDrawEvery;
  }

  // --- FollowerHost ------------------------------------------------------------------------------
  GameLevel* Level() override { return run_.game.World().Level(); }
  void Frame() override {
    if (throughWindows)
      while (plat::GetWindowSystem().QueuedMessages() > 0) DXLRunPass();
    run_.Frame();
    if (heldRecording_) GetAppServices().recording = std::exchange(heldRecording_, nullptr);
  }
  // A window point on the screen, where the window system reads the pointer.
  static plat::Point OnScreen(i32 x, i32 y) {
    plat::Point p{x, y};
    plat::GetWindowSystem().ClientToScreen(DXLGetAppData().window, &p);
    return p;
  }
  void Draw() override {}  // the game draws every frame (kDrawEvery)
  void Move(i32 x, i32 y) override {
    if (throughWindows) plat::GetWindowSystem().UserPointer(OnScreen(x, y));
    else run_.game.MouseMove(x, y, 0, 0);
  }
  void Click(i32 x, i32 y) override { ClickWith(x, y, 0); }

  // With `throughWindows` the input goes to the window system as a replay
  // gives it, its messages taken at once, and a recording the game runs
  // writes it: a click as a replay's click line (with its Shift), which the
  // game itself would write as a press and a release without the Shift.
  void ClickWith(i32 x, i32 y, u32 modifiers) {
    if (!throughWindows) {
      run_.game.MouseDown(x, y, kMouseLeft, modifiers);
      run_.game.MouseUp(x, y, kMouseLeft, modifiers);
      return;
    }
    plat::WindowSystem& w = plat::GetWindowSystem();
    const bool shift = (modifiers & kModShift) != 0;
    ReplayStep click;
    click.kind = ReplayStep::kClick;
    click.a = x;
    click.b = y;
    click.c = shift ? ReplayStep::kShift : 0;
    if (ReplayRun* recording = GetAppServices().recording) recording->Record(click);
    // The game hears it in the next frame, recording nothing of it.
    if (!heldRecording_) heldRecording_ = std::exchange(GetAppServices().recording, nullptr);
    if (shift) w.UserKey(plat::DIK_LSHIFT, true);
    w.UserPointer(OnScreen(x, y + 1));
    w.UserPointer(OnScreen(x, y));
    w.UserButton(0, true);
    w.UserButton(0, false);
    if (shift) w.UserKey(plat::DIK_LSHIFT, false);
  }
  void Frames(u32 n) {
    for (u32 i = 0; i < n; ++i) Frame();
  }
  void Key(u16 key) {
    if (!throughWindows) {
      run_.game.KeyDown(key, 0);
      return;
    }
    plat::GetWindowSystem().UserKey(static_cast<u8>(key), true);
    plat::GetWindowSystem().UserKey(static_cast<u8>(key), false);
  }
  bool throughWindows = false;
  ReplayRun* heldRecording_ = nullptr;  // while a click goes to the game
  // Moved over, a frame, then clicked.
  void Press(i32 x, i32 y, u32 modifiers = 0) {
    Move(x, y);
    Frames(2);
    ClickWith(x, y, modifiers);
    Frames(kRestMs / kFrameMs);
  }
  // `anyState`: pressed whatever its state says (a button whose state
  // bits hold its look, as the regime switch's).
  bool PressControl(GameWindow* window, GameButton* button, bool anyState = false) {
    if (!window || !button || (!anyState && !button->IsEnabled())) return false;
    const DXLRECT& r = button->GetRect();
    kis::IntPoint p{};
    window->ClientToScreen(&p, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Press(p.x, p.y);
    return true;
  }

  // --- Outside the levels ------------------------------------------------------------------------
  // The main screen's "easy" (or "hard") button.
  bool ChooseOnMainScreen(bool hard) {
    MainScreen* screen = run_.game.GetMainScreen();
    MainScreenMenu* menu = screen ? screen->GetMenu() : nullptr;
    return menu && PressControl(menu, menu->GetButton(hard ? kMainScreenHard : kMainScreenEasy));
  }

  // Frames until the map is quiet: comics closed by Escape, map tutorials
  // followed, the result window's OK pressed. False after `limit` frames.
  bool ToQuietMap(u32 limit = 6000) {
    u32 quiet = 0;
    for (u32 i = 0; i < limit; ++i) {
      const u32 state = run_.game.State();
      if (state != kGameStateComic) inComic_ = false;
      if (state == kGameStateComic) {
        if (i % 25 == 0) Key(plat::DIK_ESCAPE);
        if (ComixBook* book = GetComixBook(); book && !inComic_) comics_.push_back(book->GetCurrent());
        inComic_ = true;
        quiet = 0;
      } else if (FindWindowOf<LevelResultWindow>()) {
        if (i % 25 == 0) Key(plat::DIK_RETURN);
        quiet = 0;
      } else if (state == kGameStateLevelMap && !GetGameEffect()) {
        if (FollowMapTutorial(i)) quiet = 0;
        else if (++quiet > 60) return true;  // the result animation played out
      } else {
        quiet = 0;
      }
      Frame();
    }
    GameTutorial* t = GetCurrentTutorial();
    std::fprintf(stderr, "the map not quiet: state %x, effect %d, tutorial %s, step %x\n", run_.game.State(),
                 GetGameEffect() != nullptr, t ? typeid(*t).name() : "none",
                 t && t->GetCurrentStep() ? t->GetCurrentStep()->GetId() : 0u);
    return false;
  }

  // The regime wanted chosen by the map's regime button.
  bool MapRegime(u32 regime) {
    Profile* profile = run_.game.Profiles()->GetCurrent();
    MapInterface* ui = run_.game.Map() ? run_.game.Map()->GetInterface() : nullptr;
    for (int tries = 0; profile && ui && profile->GetRegime() != regime && tries < 3; ++tries) {
      PressControl(ui, ui->GetRegimeButton(), true);
      if (!ToQuietMap()) return false;
    }
    return profile && profile->GetRegime() == regime;
  }

  // The developers' result by the Shift-click on the node (cheats on).
  // A map tutorial that keeps the pointer to its own node (the first
  // visit's) ends when that node is chosen: its level window is opened and
  // closed first.
  bool CheatFinish(i32 index) {
    const DXLPOINT p = NodeOnScreen(index);
    Move(p.x, p.y);
    Frames(3);
    if (run_.game.Map()->GetHovered() != index && GetCurrentTutorial()) {
      Press(p.x, p.y);
      if (FindWindowOf<LevelWindow>()) Key(plat::DIK_ESCAPE);
      if (!ToQuietMap()) return false;
      Move(p.x, p.y);
      Frames(3);
    }
    Profile* profile = run_.game.Profiles()->GetCurrent();
    const u32 before = profile->CountFinished(profile->GetRegime());
    Press(p.x, p.y, 0x2);
    return ToQuietMap() && profile->CountFinished(profile->GetRegime()) > before;
  }

  // --- A level -----------------------------------------------------------------------------------
  // Level `index` (from 0) of the current regime, from the map to its win
  // and back to the quiet map.
  LevelPlay PlayLevel(i32 index, std::function<void(CampaignPlayer&)> midPlay = nullptr) {
    LevelPlay play;
    Profile* profile = run_.game.Profiles()->GetCurrent();
    const u32 regime = profile ? profile->GetRegime() : 0;
    testsupport::LevelSolution solution;
    char name[32];
    std::snprintf(name, sizeof name, "/level_%02d.txt", index + 1);
    if (!testsupport::ReadLevelSolution(levelsDir_ + name, static_cast<int>(regime), &solution, &play.failure))
      return play;
    play.actions = solution.actions.size();
    if (!ToQuietMap()) return Fail(play, "the map never came quiet");
    const DXLPOINT node = NodeOnScreen(index);
    Move(node.x, node.y);
    Frames(3);
    Press(node.x, node.y);
    LevelWindow* window = FindWindowOf<LevelWindow>();
    if (!window) return Fail(play, "no level window for the node");
    // The new bonus's tutorial over the window followed; the bonuses'
    // window it opens closed as it stands.
    for (u32 i = 0; i < 3000; ++i) {
      WindowManager* windows = GetWindowManager();
      if (windows && windows->FindWindow(BonusesWindow::kId)) {
        if (i % 25 == 0) Key(plat::DIK_ESCAPE);
      } else if (GetCurrentTutorial()) {
        FollowMapTutorial(i);
      } else {
        break;
      }
      Frame();
    }
    window = FindWindowOf<LevelWindow>();
    if (!window || !PressControl(window, window->FindControl(kLevelWindowPlay, 0))) return Fail(play, "no play button");
    for (u32 i = 0; i < 6000 && !(run_.game.State() == kGameStateLevel && !GetGameEffect() && Level() &&
                                  Level()->IsLoaded());
         ++i)
      Frame();
    GameLevel* level = Level();
    if (!level || level->GetLevelIndex() != index) return Fail(play, "the level did not open");
    for (u32 i = 0; i < 500 && !level->IsStarted(); ++i) {
      if (i % 25 == 0) Key(plat::DIK_RETURN);
      Frame();
    }
    if (!level->IsStarted()) return Fail(play, "the day did not start");
    midPlay_ = std::move(midPlay);
    tended_.clear();
    producing_.clear();
    clicked_.clear();
    sold_ = 0;
    closing_ = false;
    if (GetCurrentTutorial()) {
      // The day's intro read first (Enter), as a player does before the lesson.
      for (u32 i = 0; i < 500 && GetWindowManager()->GetInfoWindow(); ++i) {
        if (i % 25 == 0) Key(plat::DIK_RETURN);
        Frame();
      }
      testsupport::TutorialFollower f(*this, 1u << 30);
      TutorialOverrides(f);
      f.everyFrame = [this](testsupport::TutorialFollower&) { MidPlay(); };
      if (!f.Run(kLevelLimitMs)) return Fail(play, "its tutorial did not end");
    }
    Solve(solution, play);
    if (!play.failure.empty()) return play;
    LevelTasks& tasks = level->Rules().Tasks();
    play.won = tasks.GetResult() == kResultWon;
    play.ms = level->Rules().Clock().GetTime();
    play.medal = GetLevelTable()->GetMedal(static_cast<i32>(regime), index, play.ms);
    for (u32 i = 0; i < 1000 && !FindWindowOf<LevelResultWindow>(); ++i) {
      if (FindOpenWarehouse() && i % 25 == 0) Key(plat::DIK_RETURN);  // the last sale won the day
      Frame();
    }
    if (!FindWindowOf<LevelResultWindow>()) return Fail(play, "no result window");
    if (!ToQuietMap()) return Fail(play, "not back on a quiet map");
    return play;
  }

  RunningGame& Run() { return run_; }
  // The comics clicked through on the way to a quiet map, by number, in order.
  const std::vector<u32>& ComicsShown() const { return comics_; }

 private:
  LevelPlay& Fail(LevelPlay& play, const std::string& why) {
    play.failure = why + " (" + Describe() + ")";
    return play;
  }
  // What the game shows now, for a failure's message.
  std::string Describe() {
    run_.Shot("campaign_failure.png");  // beside the messages: what the player saw
    GameTutorial* t = GetCurrentTutorial();
    WindowManager* windows = GetWindowManager();
    char text[256];
    std::snprintf(text, sizeof text, "state %x, effect %d, level window %d, tutorial %s step %x, level %d, top window %x",
                  run_.game.State(), GetGameEffect() != nullptr, FindWindowOf<LevelWindow>() != nullptr,
                  t ? typeid(*t).name() : "none", t && t->GetCurrentStep() ? t->GetCurrentStep()->GetId() : 0u,
                  Level() ? Level()->GetLevelIndex() : -1,
                  windows && windows->GetActiveWindow() ? windows->GetActiveWindow()->GetId() : 0u);
    std::string all = text;
    if (GameLevel* level = Level(); level && level->IsLoaded()) {
      all += "; money " + std::to_string(level->Rules().Money().Get()) + ", points";
      for (i32 i = 0; i < level->Map().GetPointCount(); ++i) {
        BaseLevelPoint* p = Point(i);
        auto* lp = dynamic_cast<LevelPoint*>(p);
        all += " " + std::to_string(i) + ":" + (p ? std::to_string(p->GetKind()) : "-") + "/" +
               (lp ? std::to_string(lp->GetLevel()) : "-");
      }
      all += ", stock";
      if (WarehouseStock* stock = level->Rules().Stock())
        for (i32 i = 0; i < stock->GetEntryCount(); ++i) {
          const STOCKENTRY& e = stock->GetEntry(i);
          if (e.product && e.count) all += " " + plat::Utf16ToUtf8(e.product->name) + "=" + std::to_string(e.count);
        }
    }
    return all;
  }
  void MidPlay() {
    if (midPlay_) midPlay_(*this);
  }

  DXLPOINT NodeOnScreen(i32 index) const {
    LevelSelectMap* map = run_.game.Map();
    MapLevelSprite* node = map ? map->GetNode(index) : nullptr;
    return node ? map->ToScreen(static_cast<i32>(node->GetX()), static_cast<i32>(node->GetY())) : DXLPOINT{-1, -1};
  }

  // A map tutorial's step that catches clicks is clicked where it does (on
  // the button its arrow shows first, else about the screen), once shown; a
  // step pointing at a button presses it. True while one waits so (a step
  // pointing at a node waits for the player's own choice: the map counts
  // as quiet).
  bool FollowMapTutorial(u32 frame) {
    GameTutorial* t = GetCurrentTutorial();
    TutorialStep* step = t ? t->GetCurrentStep() : nullptr;
    TutorialLayer* layer = step ? step->GetLayer() : nullptr;
    if (!layer) return false;
    GameWindow* window = nullptr;
    GameButton* button = nullptr;
    for (i32 i = 0; i < layer->Arrows().GetCount() && !button; ++i)
      if (auto* target = dynamic_cast<TutTargetButton*>(layer->Arrows().Get(i)->GetTarget()))
        button = target->FindControl(&window);
    if (!button && layer->GetClickCount() == 0) return false;
    if (frame % 30 != 0 || layer->GetState() < kLayerShowing || layer->GetState() >= kLayerHiding) return true;
    const GAMESCREENAREA& screen = GetResourceServices().screen;
    std::vector<kis::IntPoint> spots;
    if (button) {
      const DXLRECT& r = button->GetRect();
      kis::IntPoint p{};
      window->ClientToScreen(&p, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
      spots.push_back(p);
    }
    for (kis::IntPoint p : {kis::IntPoint{screen.width / 2, screen.height / 3}, kis::IntPoint{screen.width / 4, screen.height / 2},
                            kis::IntPoint{screen.width * 3 / 4, screen.height / 2}, kis::IntPoint{screen.width / 2, 40}})
      spots.push_back(p);
    WindowManager* windows = GetWindowManager();
    for (const kis::IntPoint& p : spots)
      if (windows && windows->FindWindowAt(p.x, p.y) == layer) {
        Move(p.x, p.y);
        Frame();
        ClickWith(p.x, p.y, 0);
        return true;
      }
    if (button) PressControl(window, button);
    return true;
  }

  // Steps where a player does more than the hint says, or clicks what
  // the hint shows on the level (no control of its own).
  void TutorialOverrides(testsupport::TutorialFollower& f) {
    const auto clickLevelAt = [this](testsupport::TutorialFollower& follower, float x, float y) {
      i32 sx = static_cast<i32>(x), sy = static_cast<i32>(y);
      Level()->Rules().View().MapToScreen(&sx, &sy);
      follower.ClickAt(sx, sy);
      return true;
    };
    // The first full warehouse: its notice clicked once the arrow points at it.
    f.Override(0x802B0001u, [](testsupport::TutorialFollower& follower) {
      auto* t = dynamic_cast<LevelTutorial_FullWarehouse*>(GetCurrentTutorial());
      auto* q = dynamic_cast<MessageNoticeQueue*>(GetWindowManager()->GetMessageQueue());
      MessageWindow* m = t && q ? q->Find(t->GetMessageId()) : nullptr;
      TutorialLayer* layer = t && t->GetCurrentStep() ? t->GetCurrentStep()->GetLayer() : nullptr;
      if (!m || !layer || layer->Arrows().GetCount() < 1 || layer->Arrows().Get(0)->GetState() != kLayerShown)
        return false;
      const DXLRECT& r = m->GetRect();
      follower.ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
      return true;
    });
    // Level 6: the gas cloud clicked, then the villain (30 above its feet).
    f.Override(0x80060002u, [clickLevelAt](testsupport::TutorialFollower& follower) {
      auto* t = dynamic_cast<LevelTutorial_6*>(GetCurrentTutorial());
      VillainShot* shot = t ? t->GetFirstShot() : nullptr;
      return shot && clickLevelAt(follower, shot->GetX(), shot->GetY());
    });
    f.Override(0x80060003u, [clickLevelAt](testsupport::TutorialFollower& follower) {
      auto* t = dynamic_cast<LevelTutorial_6*>(GetCurrentTutorial());
      MapVillain* v = t ? t->GetVillain() : nullptr;
      return v && clickLevelAt(follower, v->GetX(), v->GetY() - 30.0f);
    });
    // Level 1's step 27 also waters a dry bed (its arrows only point at harvests).
    f.Override(0x8001001Bu, [this](testsupport::TutorialFollower& follower) {
      for (i32 i : {1, 2}) {
        auto* bed = dynamic_cast<BasePointPlant*>(Level()->Map().GetPoint(i));
        if (bed && bed->GetWaterButton() && follower.ClickSprite(bed->GetWaterButton())) return true;
      }
      return follower.Follow(GetCurrentTutorial()->GetCurrentStep());
    });
  }

  // --- The solution ------------------------------------------------------------------------------
  void Solve(const testsupport::LevelSolution& solution, LevelPlay& play) {
    GameLevel* level = Level();
    testsupport::TutorialFollower clicker(*this, 1u << 30);
    size_t next = 0;
    u32 rest = 0, waited = 0;
    for (u32 t = 0; t < kLevelLimitMs; t += kFrameMs) {
      LevelTasks& tasks = level->Rules().Tasks();
      if (tasks.GetResult() == kResultWon) return;
      if (tasks.GetResult() != kResultNone) {
        play.failure = "lost at " + std::to_string(level->Rules().Clock().GetTime()) + " (" + Describe() + ")";
        return;
      }
      MidPlay();
      // A tutorial that starts in the day (the first full warehouse) is followed to its end.
      if (GetCurrentTutorial()) {
        testsupport::TutorialFollower f(*this, 1u << 30);
        TutorialOverrides(f);
        if (!f.Run(60000)) {
          play.failure = "a tutorial in the day did not end (" + Describe() + ")";
          return;
        }
        continue;
      }
      // The awards window an award notice opens when a click meets it, and
      // the warehouse window outside a sale (the full warehouse's notice
      // opens it): closed.
      const testsupport::SolutionAction* coming = next < solution.actions.size() ? &solution.actions[next] : nullptr;
      const BaseLevelPoint* upgraded = coming && coming->word == "upgrade" ? Point(coming->Int(0)) : nullptr;
      const bool inWindow = coming && (coming->word == "sell" || (upgraded && upgraded->GetKind() == kPointKindWarehouse));
      if (FindOpenWarehouse() && !inWindow && rest == 0 && !closing_) {
        Key(plat::DIK_RETURN);
        rest = kRestMs;
      }
      if (FindWindowOf<AwardsWindow>()) {
        if (rest == 0) {
          Key(plat::DIK_ESCAPE);
          rest = kRestMs;
        }
      }
      if (rest > 0) {
        rest = rest > kFrameMs ? rest - kFrameMs : 0;
        Frame();
        continue;
      }
      bool acted = Standing(clicker);
      if (!acted && next < solution.actions.size()) {
        const testsupport::SolutionAction& a = solution.actions[next];
        std::string error;
        const Step s = Do(a, clicker, &error);
        if (!error.empty()) {
          play.failure = "line " + std::to_string(a.line) + ": " + error;
          return;
        }
        acted = s.acted;
        if (s.done) {
          if (trace_)
            std::printf("  %.2f s: line %d \"%s\" done\n", level->Rules().Clock().GetTime() / 1000.0, a.line,
                        a.word.c_str());
          ++next;
          waited = 0;
        } else if ((waited += kFrameMs) > 300000) {
          play.failure = "line " + std::to_string(a.line) + ": \"" + a.word + "\" waited 300 s (" + Describe() + ")";
          return;
        }
      }
      if (acted) rest = kRestMs;
      Frame();
    }
    play.failure = "not won in " + std::to_string(kLevelLimitMs / 1000) + " s (" + Describe() + ")";
  }

  struct Step {
    bool acted = false;  // clicked something
    bool done = false;   // the action is over
  };

  BaseLevelPoint* Point(i32 i) { return Level()->Map().GetPoint(i); }
  i32 Stock(const std::string& product) {
    const PRODUCT* p = GetProductList()->FindByName(std::u16string(product.begin(), product.end()).c_str());
    return p ? Level()->Rules().Stock()->GetCount(p) : -1;
  }
  bool HasRoom(const PRODUCT* p) { return !p || Level()->Rules().Stock()->GetFree(p, 1) > 0; }
  bool HasRoom(u32 productId) { return HasRoom(GetProductList()->FindById(productId)); }
  bool HasRoom(const char* product) { return HasRoom(GetProductList()->FindByName(Wide(product).c_str())); }
  static std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }
  LevelPanel* Panel() {
    LevelPanelHost* host = run_.game.World().Panel();
    return host ? host->GetPanel() : nullptr;
  }
  bool PressPanel(LevelPanelButton* b) {
    LevelPanel* panel = Panel();
    return b && panel && PressControl(panel, b);
  }

  // Clicks a standing order wants now (one a call). What any player does
  // comes first: a villain clicked while it can be hit (at its middle, 18
  // pixels west of its feet and 30 up: the slots face west), a damaged
  // point's repair arrow.
  bool Standing(testsupport::TutorialFollower& clicker) {
    if (auto* cast = dynamic_cast<LevelVillainCast*>(Level()->Hooks().villains))
      for (MapVillain* v : cast->GetVillains())
        if (v && v->IsClickable() && v->GetState() <= kVillainAttacking && v->GetHealth() > 0) {
          i32 x = static_cast<i32>(v->GetX()) - 18, y = static_cast<i32>(v->GetY()) - 30;
          Level()->Rules().View().MapToScreen(&x, &y);
          clicker.ClickAt(x, y);
          return true;
        }
    for (i32 i = 0; i < Level()->Map().GetPointCount(); ++i)
      if (BaseLevelPoint* p = Point(i); p && p->GetRepairArrow() && clicker.ClickSprite(p->GetRepairArrow()))
        return true;
    for (i32 i : tended_) {
      BaseLevelPoint* p = Point(i);
      ScreenSprite* buttons[6] = {};
      // A harvest or collection whose product has no room in the warehouse waits.
      if (auto* bed = dynamic_cast<BasePointPlant*>(p)) {
        if (HasRoom(bed->GetPlant() ? bed->GetPlant()->productId : 0)) buttons[0] = bed->GetHarvestButton();
        buttons[1] = bed->GetWaterButton();
      }
      if (auto* house = dynamic_cast<PointPetshouse*>(p); house && house->HasFeed()) buttons[2] = house->GetFeedButton();
      if (auto* hens = dynamic_cast<PointHenhouse*>(p); hens && HasRoom("egg")) buttons[3] = hens->GetTakeEggsButton();
      if (auto* cows = dynamic_cast<PointCowshed*>(p); cows && HasRoom("milk")) buttons[4] = cows->GetMilkButton();
      if (auto* sheep = dynamic_cast<PointSheepRack*>(p); sheep && HasRoom("wool")) buttons[5] = sheep->GetShearButton();
      for (u32 slot = 0; slot < 6; ++slot)
        if (buttons[slot] && Fresh(i, slot) && clicker.ClickSprite(buttons[slot])) return true;
    }
    for (const auto& [i, product] : producing_) {
      auto* f = dynamic_cast<PointFactory*>(Point(i));
      if (!f || f->GetLevel() < 1 || f->GetBusyCount() >= f->GetSlotCount()) continue;
      for (i32 r = 0; r < f->GetRecipeCount(); ++r) {
        const PointFactory::Recipe& recipe = f->GetRecipe(r);
        if (recipe.button && recipe.product && recipe.product->name == Wide(product) && recipe.hasIngredients &&
            Fresh(i, 6 + static_cast<u32>(r)) && clicker.ClickSprite(recipe.button))
          return true;
      }
    }
    return false;
  }

  // A point's button (its slot: a tending button or a recipe) not clicked
  // in the last 1.5 s of level time (noted now): a click that did not take
  // is not repeated at once over everything else. Keyed by point and slot,
  // not by the sprite's address: a button made anew where a freed one stood
  // would be taken for it, and the play would hang on where the heap put it.
  bool Fresh(i32 point, u32 slot) {
    const u32 now = Level()->Rules().Clock().GetTime();
    auto [it, added] = clicked_.emplace(std::pair(point, slot), now);
    if (!added && now - it->second < 1500) return false;
    it->second = now;
    return true;
  }

  Step Do(const testsupport::SolutionAction& a, testsupport::TutorialFollower& clicker, std::string* error) {
    Step s;
    if (a.word == "tend") {
      for (const std::string& v : a.values) tended_.insert(std::atoi(v.c_str()));
      s.done = true;
    } else if (a.word == "produce") {
      producing_.emplace(a.Int(0), a.Text(1));
      s.done = true;
    } else if (a.word == "stop") {
      tended_.erase(a.Int(0));
      producing_.erase(a.Int(0));
      s.done = true;
    } else if (a.word == "wait") {
      s.done = Waited(a, error);
    } else if (a.word == "build") {
      s = Build(a.Int(0), a.Text(1), clicker, error);
    } else if (a.word == "upgrade") {
      auto* point = dynamic_cast<LevelPoint*>(Point(a.Int(0)));
      if (!point) *error = "no point " + a.Text(0) + " to upgrade";
      else if (point->GetKind() == kPointKindWarehouse) s = UpgradeWarehouse(point, a.Int(1));
      else if (point->GetLevel() >= a.Int(1)) s.done = true;
      else s = Upgrade(a.Int(0), clicker);
    } else if (a.word == "clear") {
      s = Clear(a.Int(0), clicker, error);
    } else if (a.word == "sell") {
      s = Sell(a.Text(0), a.Int(1), error);
    } else {
      *error = "\"" + a.word + "\" is not played yet";
    }
    return s;
  }

  bool Waited(const testsupport::SolutionAction& a, std::string* error) {
    const std::string& kind = a.Text(0);
    if (kind == "ms") return Level()->Rules().Clock().GetTime() >= static_cast<u32>(a.Int(1));
    if (kind == "stock") {
      const i32 n = Stock(a.Text(1));
      if (n < 0) *error = "no product \"" + a.Text(1) + "\"";
      return n >= a.Int(2);
    }
    if (kind == "money") return Level()->Rules().Money().Get() >= a.Int(1);
    if (kind == "level") {
      auto* point = dynamic_cast<LevelPoint*>(Point(a.Int(1)));
      return point && point->GetLevel() >= a.Int(2);
    }
    *error = "unknown wait";
    return false;
  }

  // The place's panel, the category holding the kind, the kind.
  Step Build(i32 index, const std::string& kind, testsupport::TutorialFollower& clicker, std::string* error) {
    Step s;
    const std::u16string wide = Wide(kind);
    const PLANT* plant = FindPlantByName(wide.c_str());
    const BUILDING* building = plant ? nullptr : FindBuildingByName(wide.c_str());
    if (!plant && !building) {
      *error = "\"" + kind + "\" is no plant and no building";
      return s;
    }
    BaseLevelPoint* point = Point(index);
    if (!point) {
      *error = "no point " + std::to_string(index);
      return s;
    }
    const u32 want = plant ? plant->id : building->id;
    if (point->GetKind() != kPointKindEmpty) {
      auto* held = dynamic_cast<LevelPoint*>(point);
      s.done = held && held->GetRecordId() == want;
      if (!s.done) *error = "point " + std::to_string(index) + " holds something else";
      return s;
    }
    LevelPanel* panel = Panel();
    if (!panel) return s;
    auto* categories = dynamic_cast<EmptyPointPanel*>(panel->GetCurrentChild());
    auto* kinds = dynamic_cast<BuildPanel*>(panel->GetCurrentChild());
    const void* record = plant ? static_cast<const void*>(plant) : static_cast<const void*>(building);
    if (kinds && static_cast<BaseLevelPoint*>(kinds->GetPlace()) == point) {
      for (LevelPanelButton* b : kinds->RowButtons())
        if (b && b->GetRecord() == record) {
          if (!b->IsEnabled()) return s;  // the money is not there yet
          s.acted = PressPanel(b);
          tried_.clear();  // the next build (on this level or the next) starts from the first category
          return s;
        }
      tried_.insert(lastCategory_);  // not there: back to the categories
      for (i32 list : {0, 1})
        for (LevelPanelButton* b : kinds->Buttons(list))
          if (b && b->GetId() == kPanelBack) {
            s.acted = PressPanel(b);
            return s;
          }
      *error = "the kinds' panel has no way back";
      return s;
    }
    if (categories && static_cast<BaseLevelPoint*>(categories->GetPlace()) == point) {
      for (LevelPanelButton* b : categories->RowButtons())
        if (b && b->IsEnabled() && !tried_.count(b->GetId()) &&
            (plant ? b->GetId() == kPanelOpenPlants
                   : b->GetId() == kPanelOpenFactories || b->GetId() == kPanelOpenPets)) {
          lastCategory_ = b->GetId();
          s.acted = PressPanel(b);
          return s;
        }
      *error = "no category of the panel offers \"" + kind + "\"";
      return s;
    }
    tried_.clear();
    s.acted = clicker.ClickPoint(index);
    return s;
  }

  // The garbage place's panel, its clear button; done once it is clean.
  Step Clear(i32 index, testsupport::TutorialFollower& clicker, std::string* error) {
    Step s;
    BaseLevelPoint* point = Point(index);
    if (!point) {
      *error = "no point " + std::to_string(index);
      return s;
    }
    POINTPARAMS info;
    point->GetInfo(&info);
    if (info.kind != kPointKindEmpty || info.id == 0) {
      s.done = true;
      return s;
    }
    LevelPanel* panel = Panel();
    auto* garbage = panel ? dynamic_cast<GarbagePanel*>(panel->GetCurrentChild()) : nullptr;
    if (garbage && static_cast<BaseLevelPoint*>(garbage->GetPlace()) == point) {
      LevelPanelButton* b = garbage->GetClearButton();
      if (b && b->IsEnabled()) s.acted = PressPanel(b);
      return s;  // ordered (its job runs) or waiting for the money
    }
    s.acted = clicker.ClickPoint(index);
    return s;
  }

  Step Upgrade(i32 index, testsupport::TutorialFollower& clicker) {
    Step s;
    LevelPanel* panel = Panel();
    auto* own = panel ? dynamic_cast<PointPanel*>(panel->GetCurrentChild()) : nullptr;
    if (own && own->GetPoint() == Point(index)) {
      LevelPanelButton* b = own->GetUpgradeButton();
      if (b && b->IsEnabled()) s.acted = PressPanel(b);
      return s;
    }
    s.acted = clicker.ClickPoint(index);
    return s;
  }

  // The warehouse's upgrade: its window opened by the panel's button, the
  // window's upgrade button pressed once the money is there, the window
  // closed by Enter; done when the warehouse stands at the level.
  Step UpgradeWarehouse(LevelPoint* point, i32 level) {
    Step s;
    WarehouseWindow* w = FindOpenWarehouse();
    if (!w) {
      closing_ = false;
      if (point->GetLevel() >= level) {
        upgraded_ = false;
        s.done = true;
      } else if (!upgraded_) {
        LevelPanel* panel = Panel();
        s.acted = panel && PressControl(panel, panel->GetWarehouseButton());
      }
      return s;  // opened, or the ordered upgrade still building
    }
    if (upgraded_ || point->GetLevel() >= level) {
      if (!closing_) {
        Key(plat::DIK_RETURN);
        closing_ = s.acted = true;
      }
      return s;
    }
    const i32 price = w->GetUpgradePrice();
    if (price >= 0 && Level()->Rules().Money().Get() >= price && PressControl(w, w->GetUpgradeButton(), true))
      upgraded_ = s.acted = true;
    return s;
  }

  // The warehouse window opened by the panel's button, the product chosen,
  // sold five and one at a time, closed by Enter.
  Step Sell(const std::string& product, i32 count, std::string* error) {
    Step s;
    const PRODUCT* p = GetProductList()->FindByName(Wide(product).c_str());
    if (!p) {
      *error = "no product \"" + product + "\"";
      return s;
    }
    WarehouseWindow* w = FindOpenWarehouse();
    if (sold_ >= count) {
      if (w && !closing_) {  // Enter closes it (Escape goes on to the level's menu)
        Key(plat::DIK_RETURN);
        closing_ = s.acted = true;
        return s;
      }
      if (w) return s;  // still closing
      sold_ = 0;
      closing_ = false;
      s.done = true;
      return s;
    }
    if (!w) {
      LevelPanel* panel = Panel();
      s.acted = panel && PressControl(panel, panel->GetWarehouseButton());
      return s;
    }
    if (!w->GetSelected() || w->GetSelected()->GetProduct() != p) {
      for (WarehouseWindowButton* b : w->Buttons())
        if (b && b->GetProduct() == p) s.acted = PressControl(w, b);
      return s;  // none: waits for the product
    }
    ImageButton* sell = count - sold_ >= 5 && w->GetSelected()->GetAmount() >= 5 ? w->GetSellFive() : w->GetSellOne();
    const i32 before = Stock(product);
    if (PressControl(w, sell)) {
      sold_ += std::max(0, before - Stock(product));
      s.acted = true;
    }
    return s;
  }

  RunningGame& run_;
  std::string levelsDir_;
  bool trace_ = std::getenv("TM_CAMPAIGN_TRACE") != nullptr;  // each action's time printed
  std::function<void(CampaignPlayer&)> midPlay_;
  std::set<i32> tended_;
  std::map<std::pair<i32, u32>, u32> clicked_;  // level time of each point's button's last click
  std::map<i32, std::string> producing_;
  std::set<u32> tried_;
  u32 lastCategory_ = 0;  // the build category opened last
  i32 sold_ = 0;          // of the current sale
  bool closing_ = false;  // the warehouse window told to close
  bool inComic_ = false;  // a comic counted, its state not left yet
  std::vector<u32> comics_;
  bool upgraded_ = false;  // the warehouse's upgrade ordered, not yet done
};

}  // namespace campaign
