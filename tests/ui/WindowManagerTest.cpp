#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "UiRig.h"
#include "engine/DXLLog.h"
#include "engine/DXLTextures.h"
#include "gametext/KGETextParams.h"
#include "resources/GameEffect.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "ui/WindowQueues.h"

using uitest::PlainButton;
using uitest::PlainWindow;
using uitest::UiRig;
using Lines = std::vector<std::string>;

namespace {

class WindowStack : public ::testing::Test {
 protected:
  WindowManager& M() { return *rig_.manager; }
  PlainWindow* Make(u32 id, i32 left, i32 top, i32 right, i32 bottom, bool modal = false) {
    return new PlainWindow(id, modal, DXLRECT{left, top, right, bottom}, &log_);
  }
  std::vector<u32> Ids() {
    std::vector<u32> ids;
    for (i32 i = 0; i < M().GetStack().GetCount(); ++i) ids.push_back(M().GetStack().Get(i)->GetId());
    return ids;
  }
  Lines Take() {
    Lines out;
    out.swap(log_);
    return out;
  }

  UiRig rig_{320, 240};
  Lines log_;
};

TEST_F(WindowStack, ThePointerFindsTheTopWindowUnlessOneIsCapturedOrModal) {
  PlainWindow* a = Make(1, 0, 0, 100, 100);
  PlainWindow* b = Make(2, 50, 50, 150, 150);
  Make(3, 200, 0, 300, 100);
  EXPECT_EQ(Ids(), (std::vector<u32>{1, 2, 3}));
  EXPECT_EQ(M().FindWindowAt(60, 60), b);
  EXPECT_EQ(b->State().GetState(), kStateHover);
  EXPECT_EQ(M().FindWindowAt(10, 10), a);
  EXPECT_EQ(b->State().GetState(), kStateNormal);
  EXPECT_EQ(M().FindWindowAt(310, 10), nullptr);
  EXPECT_EQ(a->State().GetState(), kStateNormal);
  u32 cursor = 77;
  EXPECT_FALSE(M().GetCursor(&cursor));
  EXPECT_EQ(cursor, 77u);

  // A left press captures: the window stays the active one off its area
  // until the release, which finds the window under the pointer again.
  EXPECT_TRUE(M().OnMouseDown(10, 10, kMouseLeft, 0));
  EXPECT_EQ(a->State().GetState(), kStatePressed);
  EXPECT_TRUE(M().OnMouseMove(120, 10, 1, 0));
  EXPECT_EQ(M().GetActiveWindow(), a);
  EXPECT_TRUE(M().OnMouseUp(120, 10, kMouseLeft, 0));
  EXPECT_EQ(a->State().GetState(), kStateNormal);
  EXPECT_EQ(M().GetActiveWindow(), nullptr);
  M().OnMouseMove(120, 120, 0, 0);
  EXPECT_TRUE(M().GetCursor(&cursor));
  EXPECT_EQ(cursor, kCursorArrow);
  EXPECT_FALSE(M().OnMouseDown(310, 200, kMouseLeft, 0));  // on no window

  // A modal window takes the pointer anywhere, and every wheel event.
  PlainWindow* m = Make(9, 0, 200, 10, 210, true);
  EXPECT_EQ(M().GetModalCount(), 1);
  EXPECT_EQ(M().FindWindowAt(60, 60), m);
  EXPECT_TRUE(M().OnMouseWheel(250, 50, 120, 0, 0));
  delete m;
  EXPECT_EQ(M().GetModalCount(), 0);
  EXPECT_EQ(M().GetActiveWindow(), nullptr);
  EXPECT_TRUE(M().OnMouseWheel(60, 60, 120, 0, 0));  // over b
  EXPECT_FALSE(M().OnMouseWheel(310, 200, 120, 0, 0));

  // A busy window sees nothing, but the press counts as taken.
  auto* button = new PlainButton(b, &b->Controls(), 7, DXLRECT{60, 60, 90, 90}, &log_);
  (void)button;
  b->SetClosing();
  EXPECT_TRUE(M().OnMouseDown(120, 120, kMouseLeft, 0));
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(M().FindWindow(2), b);
  EXPECT_EQ(M().FindWindow(4), nullptr);
}

TEST_F(WindowStack, InsertAfterAndPlaceAboveMoveWindowsWithinTheStack) {
  PlainWindow* a = Make(1, 0, 0, 1, 1);
  Make(2, 0, 0, 1, 1);
  Make(5, 0, 0, 1, 1);
  Make(5, 0, 0, 1, 1);
  PlainWindow* top = Make(3, 0, 0, 1, 1);
  M().InsertWindowAfter(top, 2, 5);  // above 2 and the 5s that follow it
  EXPECT_EQ(Ids(), (std::vector<u32>{1, 2, 5, 5, 3}));
  M().InsertWindowAfter(top, 1, 0);
  EXPECT_EQ(Ids(), (std::vector<u32>{1, 3, 2, 5, 5}));
  M().InsertWindowAfter(top, 3, 0);  // its own id: nothing
  M().InsertWindowAfter(top, 99, 0);  // no such window: it stays
  EXPECT_EQ(Ids(), (std::vector<u32>{1, 3, 2, 5, 5}));
  M().UnregisterWindow(a);
  M().InsertWindowAfter(a, 99, 0);  // not stacked: at the top
  EXPECT_EQ(Ids(), (std::vector<u32>{3, 2, 5, 5, 1}));
  M().PlaceWindowAbove(a, top);
  EXPECT_EQ(Ids(), (std::vector<u32>{3, 1, 2, 5, 5}));
  M().PlaceWindowAbove(a, a);
  M().PlaceWindowAbove(top, nullptr);  // the top: a stacked window stays
  EXPECT_EQ(Ids(), (std::vector<u32>{3, 1, 2, 5, 5}));
}

TEST_F(WindowStack, KeysGoFromTheTopDownAndModalWindowsTakeTheRest) {
  PlainWindow* a = Make(1, 0, 0, 10, 10);
  PlainWindow* b = Make(2, 0, 0, 10, 10, true);
  PlainWindow* c = Make(3, 0, 0, 10, 10);
  a->takes = 'X';
  c->takes = kKeyEnter;
  EXPECT_TRUE(M().OnKeyDown(kKeyEnter, 0));
  EXPECT_EQ(Take(), (Lines{"key 13 3"}));
  EXPECT_TRUE(M().OnKeyDown('X', 0));  // the modal window takes it unused
  EXPECT_EQ(Take(), (Lines{"key 88 3", "key 88 2"}));
  // Refused by the tutorial: the key is offered to nobody, the modal window still takes it.
  GetResourceServices().tutorial = &rig_.tutorial;
  rig_.tutorial.refused.push_back({kTutorialActionKey, kKeyEscape});
  EXPECT_TRUE(M().OnKeyDown(kKeyEscape, 0));
  EXPECT_TRUE(Take().empty());
  GetResourceServices().tutorial = nullptr;
  // Busy windows: skipped, but a busy modal one takes the key unseen.
  c->SetClosing();
  b->SetClosing();
  EXPECT_TRUE(M().OnKeyUp('X', 0));
  EXPECT_TRUE(M().OnChar('x', 0));
  EXPECT_TRUE(Take().empty());
  delete b;
  EXPECT_TRUE(M().OnKeyUp('X', 0));
  EXPECT_EQ(Take(), (Lines{"up 88 1"}));
  EXPECT_FALSE(M().OnChar('y', 0));
  EXPECT_EQ(Take(), (Lines{"char 121 1"}));
  EXPECT_FALSE(M().OnKeyDown('y', 0));
}

// Windows made or deleted while the stack is walked: the walk passes over
// the deleted ones without touching them and leaves the new ones for the
// next walk; a modal window ends the update walk.
TEST_F(WindowStack, WindowsComeAndGoWhileTheStackIsWalked) {
  PlainWindow* a = Make(1, 0, 0, 10, 10);
  PlainWindow* b = Make(2, 0, 0, 10, 10);
  PlainWindow* c = Make(3, 0, 0, 10, 10);
  PlainWindow* d = nullptr;
  c->onUpdate = [&] {
    delete b;
    d = Make(4, 0, 0, 10, 10);
    c->onUpdate = [&] {
      delete c;  // itself
      return false;
    };
    return false;
  };
  M().Update();
  EXPECT_EQ(Ids(), (std::vector<u32>{1, 3, 4}));
  EXPECT_EQ(a->updates, 1);
  EXPECT_EQ(d->updates, 0);
  M().Update();
  EXPECT_EQ(Ids(), (std::vector<u32>{1, 4}));
  EXPECT_EQ(a->updates, 2);
  EXPECT_EQ(d->updates, 1);
  // A modal window: the windows below it wait.
  PlainWindow* m = Make(5, 0, 0, 10, 10, true);
  M().Update();
  EXPECT_EQ(m->updates, 1);
  EXPECT_EQ(d->updates, 1);
  delete m;

  // Drawing deletes closed windows without effects and draws the one above
  // in the same pass; a window may delete another one while it is drawn.
  PlainWindow* e = Make(6, 0, 0, 10, 10);
  PlainWindow* f = Make(7, 0, 0, 10, 10);
  a->SetClosing();
  e->onDraw = [&] { delete f; };
  rig_.Frame();
  EXPECT_EQ(Ids(), (std::vector<u32>{4, 6}));
  EXPECT_EQ(d->draws, 1);
  EXPECT_EQ(e->draws, 1);
}

// A button whose click deletes its window: the release is taken, nothing of
// the window is touched afterwards (the sanitizers watch), and the manager
// forgets both.
TEST_F(WindowStack, AWindowDeletedByItsOwnButtonDuringARelease) {
  PlainWindow* w = Make(1, 0, 0, 100, 100);
  new PlainButton(w, &w->Controls(), 11, DXLRECT{60, 0, 100, 50}, &log_);  // below: would see the release
  auto* first = new PlainButton(w, &w->Controls(), 10, DXLRECT{0, 0, 50, 50}, &log_);
  first->onClick = [&] { delete w; };
  EXPECT_TRUE(M().OnMouseMove(10, 10, 0, 0));
  EXPECT_EQ(M().GetHoverControl(), first);
  EXPECT_TRUE(M().OnMouseDown(10, 10, kMouseLeft, 0));
  EXPECT_TRUE(M().OnMouseUp(10, 10, kMouseLeft, 0));
  EXPECT_EQ(Take(), (Lines{"down 10", "up 10", "click 10", "command 10"}));
  EXPECT_EQ(M().GetStack().GetCount(), 0);
  EXPECT_EQ(M().GetHoverControl(), nullptr);
  EXPECT_EQ(M().GetEventControl(), nullptr);
  EXPECT_EQ(M().GetActiveWindow(), nullptr);
}

TEST_F(WindowStack, HoverFadesBackAndOnlyARealMoveRestartsTheHintDelay) {
  PlainWindow* w = Make(1, 0, 0, 100, 100);
  auto* b = new PlainButton(w, &w->Controls(), 10, DXLRECT{10, 10, 30, 30});
  auto* off = new PlainButton(w, &w->Controls(), 11, DXLRECT{60, 60, 80, 80});
  off->Show(false, true, 0);
  M().OnMouseMove(15, 15, 0, 0);
  EXPECT_EQ(M().GetHoverControl(), b);
  u32 cursor = 0;
  EXPECT_TRUE(M().GetCursor(&cursor));
  EXPECT_EQ(cursor, kCursorHand);
  M().OnMouseMove(65, 65, 0, 0);  // onto the disabled button
  EXPECT_EQ(M().GetHoverControl(), off);
  EXPECT_EQ(b->State().GetState(), kStateNormal);
  EXPECT_EQ(b->State().GetFade(), GameButton::kFadeOut);
  M().GetCursor(&cursor);
  EXPECT_EQ(cursor, kCursorArrow);
  M().OnMouseDown(65, 65, 2, 0);  // a right press leaves the hover alone
  EXPECT_EQ(M().GetHoverControl(), off);
  M().OnMouseDown(95, 95, kMouseLeft, 0);
  EXPECT_EQ(M().GetHoverControl(), nullptr);

  M().OnMouseMove(95, 95, 0, 0);
  M().SetHintOwner(b, kHintDelay, 1000);
  rig_.SetClock(1300);
  M().OnMouseMove(96, 95, 0, 0);  // jitter
  EXPECT_EQ(M().GetHintDelayStart(), 1000u);
  M().OnMouseMove(96, 97, 0, 0);
  EXPECT_EQ(M().GetHintDelayStart(), 1300u);
  b->SetRefreshMask(kHintRefreshLevel);
  HintRefreshOnLevelChange();
  HintRefreshOnGlobalChange(0);
  EXPECT_EQ(b->GetPendingRefresh(), kHintRefreshLevel);
  delete b;  // the owner goes: the manager forgets it
  EXPECT_EQ(M().GetHintOwner(), nullptr);
}

class CountingQueue : public MessageWindowQueue {
 public:
  CountingQueue(Lines* log, const char* name) : log_(log), name_(name) {}
  ~CountingQueue() override { log_->push_back(std::string(name_) + " gone"); }
  void UpdateOrigin() override { log_->push_back(std::string(name_) + " origin"); }
  void UpdatePositions() override { log_->push_back(std::string(name_) + " positions"); }

 private:
  Lines* log_;
  const char* name_;
};

class CountingAwards : public AwardWindowQueue {
 public:
  explicit CountingAwards(Lines* log) : log_(log) {}
  ~CountingAwards() override { log_->push_back("awards gone"); }
  void UpdateOrigin() override { log_->push_back("awards origin"); }
  void UpdatePositions() override { log_->push_back("awards positions"); }

 private:
  Lines* log_;
};

TEST_F(WindowStack, QueuesAreSteppedAndPlacedAndLoseTheirHostWindow) {
  Lines queues;
  auto* messages = new CountingQueue(&queues, "messages");
  auto* awards = new CountingAwards(&queues);
  M().SetQueues(messages, awards);
  PlainWindow* panel = Make(1, 0, 0, 10, 10);
  messages->SetHost(panel);
  awards->SetHost(panel);
  M().Update();
  M().OnScreenResize();
  EXPECT_EQ(queues, (Lines{"messages origin", "awards origin", "messages positions", "awards positions"}));
  delete panel;
  EXPECT_EQ(messages->GetHost(), nullptr);
  EXPECT_EQ(awards->GetHost(), nullptr);
  queues.clear();
  M().SetQueues(nullptr, nullptr);
  EXPECT_EQ(queues, (Lines{"messages gone", "awards gone"}));
}

// The developer switch "Places" tells a robot where a click lands: a
// button sliding in (locked) and everything under a fade that holds the
// mouse stay untold until they take a click.
TEST_F(WindowStack, PlacesAreToldOnlyWhereAClickLands) {
  const std::string path = (std::filesystem::path(::testing::TempDir()) / "places_log.txt").string();
  DXLCloseLog();
  ASSERT_TRUE(DXLOpenLogA(path.c_str()));
  GetResourceServices().tellPlaces = true;
  const auto told = [&path] {
    Lines lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind("Placed ", 0) == 0) lines.push_back(line);
    }
    return lines;
  };
  PlainWindow* w = Make(0x41424344, 10, 20, 110, 120);
  auto* b = new PlainButton(w, &w->Controls(), 0x77, DXLRECT{5, 6, 25, 16});
  b->SetLocked(true);
  M().Draw();
  EXPECT_EQ(told(), (Lines{"Placed window ABCD 10 20 100 100"}));
  b->SetLocked(false);
  M().Draw();
  M().Draw();  // nothing changed: nothing told again
  const Lines both{"Placed window ABCD 10 20 100 100", "Placed window ABCD 10 20 100 100",
                   "Placed button ABCD 00000077 0 15 26 20 10"};
  EXPECT_EQ(told(), both);
  {
    GameEffect fade(1, 1000, kHookMouse | kHookRender);
    RunGameEffect(&fade);
    new PlainButton(w, &w->Controls(), 0x78, DXLRECT{5, 30, 25, 40});
    M().Draw();
    EXPECT_EQ(told(), both);
    fade.End();
    M().Draw();
  }
  EXPECT_EQ(told().back(), "Placed button ABCD 00000078 0 15 50 20 10");
  GetResourceServices().tellPlaces = false;
  DXLCloseLog();
}

TEST_F(WindowStack, CaptionOutlineAndMedalPictures) {
  DXLOUTLINE outline{};
  ASSERT_TRUE(GetCaptionOutline(0, &outline));
  EXPECT_EQ(outline.colour, 0xFF442200u);
  EXPECT_FLOAT_EQ(outline.radius, 1.0f);
  EXPECT_FALSE(GetCaptionOutline(1, &outline));
  KGESPRITEPARAMS params{};
  SetBox(&params, 0);
  EXPECT_EQ(params.flags & kKGESpriteOutline, kKGESpriteOutline);
  EXPECT_EQ(params.outline.strength, 32);
  SetBox(&params, 3);
  EXPECT_EQ(params.flags & kKGESpriteOutline, 0u);

  SpriteSet& set = *rig_.sets[1];
  DXLTexture* picture = set.GetTextures()->NewTexture();
  picture->Create(84, 108, plat::gfx::D3DFMT_A8R8G8B8, true);
  for (const wchar* name : {u"gold_medal", u"level_uncompl"})
    new Sprite(&set, name, picture, SPRITEGRID{1, 0, 0, 0, 0, {0, 0, 0, 0}}, false, false, 0);
  float x = 100, y = 200;
  std::unique_ptr<ImageSprite> gold(GetMedalSprite(6, &x, &y));
  ASSERT_NE(gold, nullptr);
  EXPECT_EQ(gold->GetSprite()->GetName(), std::u16string(u"gold_medal"));
  EXPECT_FLOAT_EQ(gold->GetScaleX(), 0.5f);
  EXPECT_FLOAT_EQ(gold->GetScaleY(), 0.5f);
  EXPECT_FLOAT_EQ(x, 146);
  EXPECT_FLOAT_EQ(y, 249);
  x = y = 0;
  std::unique_ptr<ImageSprite> open(GetMedalSprite(2, &x, &y));
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->GetSprite()->GetName(), std::u16string(u"level_uncompl"));
  EXPECT_FLOAT_EQ(x, 43);
  EXPECT_FLOAT_EQ(y, 42);
  EXPECT_EQ(GetMedalSprite(5, &x, &y), nullptr);  // no silver picture
}

}  // namespace
