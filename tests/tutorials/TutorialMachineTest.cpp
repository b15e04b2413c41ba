// The tutorial framework without a level: the step machine driven frame by
// frame on the game clock (update, then the tutorial's draw and its layers'
// draws, as the game's frame runs them), the timer, the upward-only states
// of layers, arrows and texts (the layers covering a changed screen), the
// targets' clones, the action filter of no tutorial, an ending one and a
// level tutorial, the arrow's swing, the saved record, and the text keys of
// level steps.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/GameWorld.h"
#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "resources/ResourceServices.h"
#include "testsupport/TempFolder.h"
#include "tutorials/GameTutorial.h"
#include "tutorials/LevelTutorial.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "ui/GameWindow.h"
#include "testsupport/PlainButton.h"

namespace {

constexpr u32 kAnyWindow = 0x41424344u;
using Log = std::vector<std::string>;

struct Window : GameWindow {
  explicit Window(u32 id) : GameWindow(id, false) {}
  void Draw() override {}
};

// A step that logs what happens to it; its consent and readiness are the test's.
class Step : public TutorialStep {
 public:
  Step(TutorialId id, u32 code, TutorialId next, Log& log) : TutorialStep(id, code), log_(log) { SetNextStep(next); }
  void Begin() override { log_.push_back("begin " + std::to_string(TutorialStepNumber(GetId()))); }
  void End() override { log_.push_back("end " + std::to_string(TutorialStepNumber(GetId()))); }
  bool CanStart() override { return ready; }
  bool AllowAction(u32, uintptr_t, const void*) override { return allow; }
  bool CatchesPointAt(i32, i32) override { return true; }
  void OnEvent(u32 event, uintptr_t, const void*) override {
    if (event == 7) Finish();
  }
  bool ready = true;
  bool allow = true;

 private:
  Log& log_;
};

// Two steps, the first on a layer, the second on none unless asked.
class Script : public GameTutorial {
 public:
  explicit Script(Log& log, u32 secondCode = 0, u32 number = 7) : GameTutorial(number << 16) {
    first = new Step((number << 16) | 1, kAnyWindow, (number << 16) | 2, log);
    second = new Step((number << 16) | 2, secondCode, 0, log);
    SetFirstStep(first->GetId());
  }
  Step* first;
  Step* second;
};

class Machine : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllServices(); }
  void TearDown() override {
    if (TutorialHooks* t = GetResourceServices().tutorial) t->Discard();
    DeleteFinishedTutorials();
    ResetAllServices();
  }
  // One frame of ms as the game runs it: the clock, the update, the draw.
  void Frame(GameTutorial& t, u32 ms) {
    GetResourceServices().clock += ms;
    t.Update(ms);
    t.Draw();
    for (i32 i = 0; i < t.Layers().GetCount(); ++i) t.Layers().Get(i)->Draw();
  }
  // Frames of 10 ms until the test holds; the ms it took (-1: not in 5 s).
  template <class F>
  i32 Until(GameTutorial& t, F done) {
    for (i32 ms = 0; ms <= 5000; ms += 10) {
      if (done()) return ms;
      Frame(t, 10);
    }
    return -1;
  }
  Log log;
};

TEST_F(Machine, StepsShowAfter100msActivate200msLaterAndKeep200msApart) {
  Script& t = *new Script(log);
  EXPECT_EQ(GetCurrentTutorial(), &t);
  t.Start();
  t.StartStep(t.GetFirstStep());
  ASSERT_EQ(t.GetPendingStep(), t.first);
  EXPECT_EQ(Until(t, [&] { return t.first->GetLayer() != nullptr; }), 100) << "shown 100 ms after it can show";
  EXPECT_EQ(t.first->GetLayer()->GetState(), kLayerShowing);
  EXPECT_EQ(Until(t, [&] { return t.GetCurrentStep() == t.first; }), 200) << "active 200 ms later";
  EXPECT_EQ(log, (Log{"begin 1"}));
  t.StartStep(t.first->GetId());  // the current step's own id: nothing
  EXPECT_EQ(t.GetCurrentStep(), t.first);

  TutorialLayer* layer = t.first->GetLayer();
  t.Notify(7, 0, nullptr);  // the first step finishes: the second pends behind the gap
  EXPECT_EQ(log, (Log{"begin 1", "end 1"}));
  EXPECT_EQ(layer->GetState(), kLayerHiding);
  EXPECT_EQ(t.first->GetLayer(), nullptr) << "a hiding layer is no longer its step's";
  EXPECT_EQ(t.GetDelay(), kTutorialStepGap);
  EXPECT_EQ(t.GetPendingStep(), t.second);
  EXPECT_EQ(Until(t, [&] { return t.GetCurrentStep() == t.second; }), 500) << "200 + 100 + 200 ms";
  EXPECT_EQ(t.second->GetLayer(), nullptr) << "layer code 0 shows nothing and still activates";
  EXPECT_EQ(t.Layers().GetCount(), 0) << "the first layer faded and went meanwhile";

  // The last step stops the tutorial; it is finished once its layers are gone.
  t.Notify(7, 0, nullptr);
  EXPECT_EQ(t.GetState(), kTutorialEnding);
  EXPECT_EQ(GetResourceServices().tutorial, &t);
  Frame(t, 10);
  EXPECT_EQ(t.GetState(), kTutorialFinished);
  EXPECT_EQ(GetResourceServices().tutorial, nullptr);
  ASSERT_EQ(GetResourceServices().finishedTutorials.size(), 1u);
  EXPECT_TRUE(TutorialAllowAction(kTutorialActionButton, 0, nullptr)) << "no tutorial: everything";
  DeleteFinishedTutorials();
  EXPECT_TRUE(GetResourceServices().finishedTutorials.empty());
}

TEST_F(Machine, AStepThatCannotStartNeverShowsAndTheLastLayerHoldsTheEnd) {
  Script& t = *new Script(log, kAnyWindow);
  t.first->ready = false;
  t.Start();
  t.StartStep(t.GetFirstStep());
  EXPECT_EQ(Until(t, [&] { return t.first->GetLayer() != nullptr; }), -1) << "asked again every frame, never shown";
  EXPECT_EQ(t.GetCurrentStep(), nullptr);
  t.first->ready = true;  // asked in the next frame: shown 100 ms after it, active 200 ms later
  EXPECT_EQ(Until(t, [&] { return t.GetCurrentStep() == t.first; }), 310);

  // Stopped while the second step is shown but not yet active.
  t.Notify(7, 0, nullptr);
  ASSERT_NE(Until(t, [&] { return t.second->GetLayer() != nullptr; }), -1);
  TutorialLayer* shown = t.second->GetLayer();
  t.Stop();
  EXPECT_EQ(shown->GetState(), kLayerHiding) << "the pending step's layer fades too";
  EXPECT_EQ(log, (Log{"begin 1", "end 1"})) << "a step never active never ends";
  EXPECT_TRUE(t.AllowAction(kTutorialActionButton, 0, nullptr)) << "ending: everything";
  t.StartStep(t.second->GetId());
  EXPECT_EQ(t.GetPendingStep(), nullptr) << "an ending tutorial takes no new step";
  EXPECT_GT(Until(t, [&] { return t.GetState() == kTutorialFinished; }), 0);
}

TEST_F(Machine, ASecondTutorialFinishesTheFirstAndDiscardInsideItsOwnCallWaits) {
  Script& first = *new Script(log);
  first.Start();
  Script& second = *new Script(log, 0, 8);
  EXPECT_EQ(first.GetState(), kTutorialFinished);
  EXPECT_EQ(GetCurrentTutorial(), &second);
  EXPECT_EQ(GetResourceServices().finishedTutorials, (std::vector<TutorialHooks*>{&first}));
  EXPECT_EQ(second.FindStep(0x70001), nullptr) << "steps join the tutorial current as they are made";
  EXPECT_EQ(first.FindStep(0x70001), first.first);

  // A step that makes the level discard its tutorial from inside an event.
  struct Discarding : Step {
    using Step::Step;
    void OnEvent(u32, uintptr_t, const void*) override { GetTutorial()->Discard(); }
  };
  second.Start();
  Discarding* d = new Discarding(0x80003, 0, 0, log);
  second.StartStep(d->GetId());
  ASSERT_EQ(Until(second, [&] { return second.GetCurrentStep() == d; }), 300);
  second.Notify(1, 0, nullptr);
  EXPECT_EQ(second.GetState(), kTutorialFinished) << "finished, not deleted in its own call";
  EXPECT_EQ(GetResourceServices().tutorial, nullptr);
  EXPECT_EQ(GetResourceServices().finishedTutorials.size(), 2u);
}

TEST_F(Machine, TimerCountsDownWhileTicked) {
  TutorialTimer timer;
  EXPECT_FALSE(timer.Tick(100));
  timer.Start(0);
  EXPECT_EQ(timer.GetState(), TutorialTimer::kFired);
  timer.Start(400);
  EXPECT_FALSE(timer.Tick(399));
  EXPECT_EQ(timer.GetRemaining(), 1u);
  EXPECT_TRUE(timer.Tick(1));
  EXPECT_TRUE(timer.Tick(50)) << "stays fired";
  EXPECT_EQ(timer.GetRemaining(), 0u);
  timer.Reset();
  EXPECT_EQ(timer.GetState(), TutorialTimer::kIdle);
}

TEST_F(Machine, LayersArrowsAndTextsOnlyMoveUp) {
  GAMESCREENAREA& screen = GetResourceServices().screen;
  screen.width = 800;
  screen.height = 600;
  Script& t = *new Script(log);
  t.Start();
  t.StartStep(t.GetFirstStep());
  ASSERT_EQ(Until(t, [&] { return t.first->GetLayer() != nullptr; }), 100);
  TutorialLayer* layer = t.first->GetLayer();
  // A layer covers the game area, and the new one when the screen changes.
  EXPECT_EQ(layer->GetRect().right, 800);
  screen.width = 1102;
  screen.height = 720;
  t.OnScreenResize();
  EXPECT_EQ(layer->GetRect().right, 1102);
  EXPECT_EQ(layer->GetRect().bottom, 720);
  TutorialArrow* arrow = new TutorialArrow(layer, 5);
  TutorialInfo* text = new TutorialInfo(layer);
  layer->ShowArrow(arrow);
  text->SetState(kLayerShowing);
  layer->SetState(kLayerShown);
  EXPECT_EQ(arrow->GetState(), kLayerShown);
  layer->SetState(kLayerShowing);
  EXPECT_EQ(layer->GetState(), kLayerShown) << "a lower state changes nothing";
  text->SetState(kLayerShowing);
  EXPECT_EQ(text->GetState(), kLayerShown);
  EXPECT_EQ(layer->FindArrow(5), arrow);
  layer->CatchClicks();
  EXPECT_EQ(layer->GetClickCount(), 1u);
  // It takes a click only while its arrow or its text stands at a target.
  EXPECT_FALSE(layer->HitTest(400, 300)) << "nothing of it drawn";
  arrow->SetTarget(new TutTargetCustom(&LevelScreenCentre, 0, 0.0f, 0.0f, 0));
  EXPECT_TRUE(layer->HitTest(400, 300)) << "its arrow drawn";
  layer->HideArrow(5);
  EXPECT_EQ(arrow->GetState(), kLayerHiding);
  EXPECT_EQ(layer->FindArrow(5), nullptr) << "a hiding arrow is not found";
  t.Stop();
  EXPECT_EQ(layer->GetClickCount(), 0u) << "a hiding layer lets clicks pass";
  EXPECT_EQ(text->GetState(), kLayerHiding);
  // Both fade out (150 ms), the empty layer goes, the tutorial finishes.
  const i32 ms = Until(t, [&] { return t.GetState() == kTutorialFinished; });
  EXPECT_GE(ms, 150);
  EXPECT_LE(ms, 200);
}

// The action filter: no tutorial, an ending one, and a level tutorial with
// no flags, with every flag, and with every flag but a step that says no.
TEST_F(Machine, ActionFilterTable) {
  Window panelWindow(kTutorialWindowLevelPanel);
  uitest::PlainButton close(&panelWindow, &panelWindow.Controls(), kTutorialPanelClose, DXLRECT{0, 0, 10, 10});
  uitest::PlainButton menu(&panelWindow, &panelWindow.Controls(), kTutorialPanelMenu, DXLRECT{0, 0, 10, 10});
  uitest::PlainButton task(&panelWindow, &panelWindow.Controls(), kTutorialPanelTask, DXLRECT{0, 0, 10, 10});
  uitest::PlainButton other(&panelWindow, &panelWindow.Controls(), 0x4C500002u, DXLRECT{0, 0, 10, 10});
  Window warehouse(kTutorialWindowWarehouse);
  struct Row {
    u32 code;
    uintptr_t param;
    const void* object;
    const char* expect;  // none, ending, level: flags 0, all flags, all flags with the step refusing
  };
  const Row rows[] = {
      {1, kAnyWindow, nullptr, "YYYYY"},
      {1, kTutorialWindowWarehouse, nullptr, "YYNYN"},
      {2, kAnyWindow, nullptr, "YYYYY"},
      {2, kTutorialWindowLevelPanel, &close, "YYYYY"},
      {2, kTutorialWindowLevelPanel, &menu, "YYYYY"},
      {2, kTutorialWindowLevelPanel, &task, "YYYYY"},
      {2, kTutorialWindowLevelPanel, &other, "YYNYN"},
      {2, kTutorialWindowWarehouse, &other, "YYNYN"},
      {3, kKeyEnter, &warehouse, "YYNNN"},
      {3, kKeyEnter, &panelWindow, "YYYYY"},
      {3, kKeyEscape, &warehouse, "YYYYY"},
      {4, 0, nullptr, "YYNYN"},
      {100, 0, nullptr, "YYNYN"},
      {101, 0, nullptr, "YYNYN"},
      {102, 0, nullptr, "YYNYN"},
      {103, 0, nullptr, "YYNYN"},
      {104, 0, nullptr, "YYNYN"},
      {105, 0, nullptr, "YYNYY"},
      {110, 0, nullptr, "YYNYN"},
      {120, 0, nullptr, "YYNYN"},
      {130, 0x20000110u, nullptr, "YYNYY"},
      {199, 0, nullptr, "YYNYN"},
      {200, 0, nullptr, "YYYYN"},
  };
  LevelTutorial* level = new LevelTutorial(0x00010000, nullptr);
  Step* step = new Step(0x80010001u, 0, 0, log);
  level->Start();
  level->StartStep(step->GetId());
  ASSERT_EQ(Until(*level, [&] { return level->GetCurrentStep() == step; }), 800) << "500 ms, then 100 + 200";
  for (const Row& row : rows) {
    std::string got;
    GetResourceServices().tutorial = nullptr;
    got += TutorialAllowAction(row.code, row.param, row.object) ? 'Y' : 'N';
    Log unused;
    Script* ending = new Script(unused, 0, 9);
    ending->Start();
    ending->Stop();
    got += TutorialAllowAction(row.code, row.param, row.object) ? 'Y' : 'N';
    ending->Discard();
    GetResourceServices().tutorial = level;
    step->allow = true;
    level->SetFlags(0);
    got += TutorialAllowAction(row.code, row.param, row.object) ? 'Y' : 'N';
    level->SetFlags(0x030001FFu);
    got += TutorialAllowAction(row.code, row.param, row.object) ? 'Y' : 'N';
    step->allow = false;
    got += TutorialAllowAction(row.code, row.param, row.object) ? 'Y' : 'N';
    EXPECT_EQ(got, row.expect) << "code " << row.code << " param " << std::hex << row.param;
  }
}

TEST_F(Machine, TheArrowSwingsAndFades) {
  const SEffect_Arrow swing(kArrowAmplitude, kArrowSquashX, kArrowSquashY, kArrowPeriod);
  float offset = 0, sx = 0, sy = 0;
  swing.At(0, &offset, &sx, &sy);
  EXPECT_FLOAT_EQ(offset, 16.0f);
  EXPECT_FLOAT_EQ(sx, 1.0f);
  swing.At(300, &offset, &sx, &sy);
  EXPECT_NEAR(offset, 4.5714f, 1e-3f);
  swing.At(600, &offset, &sx, &sy);
  EXPECT_NEAR(offset, 0.0f, 1e-6f);
  EXPECT_NEAR(sx, 0.7f, 1e-5f);
  EXPECT_NEAR(sy, 1.3f, 1e-5f);
  swing.At(1200, &offset, &sx, &sy);
  EXPECT_FLOAT_EQ(offset, 16.0f) << "one swing a period";
  EXPECT_EQ(SEffect_Arrow(16, 1, 1, 0).GetPeriod(), 1u) << "a period below 2 is 1";
  EXPECT_EQ(SEffect_Arrow(16, 1, 1, 1).GetPeriod(), 1u);
  EXPECT_EQ(SEffect_Arrow(16, 1, 1, 2).GetPeriod(), 2u);
  SEffect_Arrow(16, 1, 1, 1).At(12345, &offset, &sx, &sy);  // no division by zero

  // Shown: 200 ms delay and 200 ms fade; hidden at once: 150 ms and gone.
  TutorialArrow arrow(nullptr, 1);
  arrow.SetState(kLayerShowing);
  u32 ms = 0;
  while (arrow.GetState() == kLayerShowing && ms < 1000) {
    GetResourceServices().clock += 10;
    ms += 10;
    arrow.Draw();
  }
  EXPECT_GE(ms, 400u);
  EXPECT_LE(ms, 420u);
  arrow.SetState(kLayerHiding);
  ms = 0;
  while (arrow.GetState() == kLayerHiding && ms < 1000) {
    GetResourceServices().clock += 10;
    ms += 10;
    arrow.Draw();
  }
  EXPECT_EQ(arrow.GetState(), kLayerGone) << "gone even without a target";
  EXPECT_LE(ms, 170u);
}

// The record: at least 16 bytes, the pending step as the resume step, the
// current step's own id; read back it refuses anything shorter.
TEST_F(Machine, SavedRecordRoundTripsAndRefusesShortRecords) {
  auto save = [&](GameTutorial& t) {
    kis::DataCursor w;
    kis::LevelSaveInfo info{};
    EXPECT_TRUE(w.Begin(info));
    EXPECT_TRUE(t.Save(&w));
    const kis::DataBuffer* b = w.GetBuffer();
    return std::vector<u8>(b->Data(), b->Data() + w.GetDataPosition());
  };
  auto load = [&](GameTutorial& t, const std::vector<u8>& bytes) {
    kis::DataBuffer buffer;
    EXPECT_TRUE(buffer.GrowData(bytes.size() + 1));
    std::copy(bytes.begin(), bytes.end(), buffer.Data());
    buffer.dataSize = static_cast<u32>(bytes.size());
    kis::DataCursor r;
    EXPECT_TRUE(r.BeginRead(&buffer));
    return t.Load(&r);
  };
  Script& t = *new Script(log);
  EXPECT_EQ(save(t), (std::vector<u8>{0, 0, 0, 0})) << "not running: its state alone";
  t.SetDefaultFlags(0x3000);
  t.Start();
  t.StartStep(t.GetFirstStep());
  std::vector<u8> bytes = save(t);
  ASSERT_EQ(bytes.size(), 20u);
  EXPECT_EQ(kis::GetU32LE(&bytes[0]), kTutorialRunning);
  EXPECT_EQ(kis::GetU32LE(&bytes[4]), 16u);
  EXPECT_EQ(kis::GetU32LE(&bytes[8]), 0x3000u);
  EXPECT_EQ(kis::GetU32LE(&bytes[12]), t.first->GetId()) << "the pending step resumes";
  EXPECT_EQ(kis::GetU32LE(&bytes[16]), 0u);
  ASSERT_EQ(Until(t, [&] { return t.GetCurrentStep() == t.first; }), 300);
  t.Notify(7, 0, nullptr);
  ASSERT_EQ(Until(t, [&] { return t.GetCurrentStep() == t.second; }), 500);
  bytes = save(t);
  EXPECT_EQ(kis::GetU32LE(&bytes[12]), t.second->GetId()) << "the current step resumes at itself";

  Script& back = *new Script(log, 0, 9);
  ASSERT_TRUE(load(back, bytes));
  EXPECT_EQ(back.GetFirstStep(), t.second->GetId());
  EXPECT_EQ(back.GetDefaultFlags(), 0x3000u);
  EXPECT_EQ(back.GetState(), kTutorialCreated) << "loading does not start it";
  // Sizes below 16 are refused; a marker naming no step fails; 32 is fine.
  for (u32 size : {4u, 8u, 12u, 15u}) {
    std::vector<u8> shortRecord = {2, 0, 0, 0};
    shortRecord.resize(4 + size);
    kis::PutU32LE(&shortRecord[4], size);
    EXPECT_FALSE(load(*new Script(log, 0, 10 + size), shortRecord)) << size;
  }
  std::vector<u8> marked = bytes;
  kis::PutU32LE(&marked[16], 0x12345u);
  EXPECT_FALSE(load(*new Script(log, 0, 40), marked));
  std::vector<u8> longer = {2, 0, 0, 0};
  longer.resize(4 + 32);
  kis::PutU32LE(&longer[4], 32);
  kis::PutU32LE(&longer[12], 0x290002u);
  Script& third = *new Script(log, 0, 41);
  ASSERT_TRUE(load(third, longer));
  EXPECT_EQ(third.GetFirstStep(), 0x290002u);
  // Ended: Load stops it.
  Script& ended = *new Script(log, 0, 42);
  EXPECT_TRUE(load(ended, {3, 0, 0, 0}));
  EXPECT_EQ(ended.GetState(), kTutorialEnding);
}

// A level step's text: the key "level_NN_S" of its tutorial's number and
// its step, looked up in the "tutorial" table; a key of its own as it is.
TEST_F(Machine, LevelStepTextsAreKeyedByLevelAndStep) {
  TempFolder dir;
  dir.Put("lang.txt",
          "Language {\n\tIdent = t\n\ttutorial {\n\t\tlevel_01_1 = A\n\t\tlevel_15_12 = B\n\t\tlevel_42_3 = C\n"
          "\t\tlevel_1_1 = wrong\n\t\town = D\n\t}\n}\n");
  GameLanguage language(dir.Wide("lang.txt").c_str());
  SetGameLanguage(&language);
  const struct {
    u32 number, step;
    const char16_t* text;
  } rows[] = {{1, 1, u"A"}, {15, 12, u"B"}, {42, 3, u"C"}, {2, 1, u""}};
  for (const auto& row : rows) {
    new LevelTutorial(row.number << 16, nullptr);
    LevelTutorialStep* step = new LevelTutorialStep(kTutorialLevelBit | row.number << 16 | row.step, 0, 0, 0);
    EXPECT_EQ(std::u16string(step->GetText(nullptr)), row.text) << row.number << " " << row.step;
    EXPECT_EQ(std::u16string(step->GetText(u"own")), u"D");
  }
  if (TutorialHooks* t = GetResourceServices().tutorial) t->Discard();
  DeleteFinishedTutorials();
  SetGameLanguage(nullptr);
}

// A clone keeps the kind and its fields at its own distance, and has no
// point until it is worked out; the original keeps its own.
TEST_F(Machine, AClonedTargetIsItsKindAtItsOwnDistanceUnresolvedUntilUpdated) {
  const TutorialPointFunction at = [](kis::FloatPoint* out, float, float, u32 argument, u32 extra) {
    out->x = static_cast<float>(argument);
    out->y = static_cast<float>(extra);
    return argument != 0;
  };
  TutTargetCustom original(at, 100, 0.0f, 5.0f, 40);
  original.UpdatePosition();
  ASSERT_TRUE(original.IsValid());
  EXPECT_EQ(original.GetX(), 105);
  std::unique_ptr<TutorialTarget> copy(original.Clone(20.0f));
  EXPECT_EQ(copy->GetKind(), kTargetCustom);
  EXPECT_EQ(copy->GetDistance(), 20.0f);
  EXPECT_FALSE(copy->IsValid());
  EXPECT_EQ(copy->GetX(), 0);
  EXPECT_EQ(copy->GetFloatY(), 0.0f);
  copy->UpdatePosition();
  ASSERT_TRUE(copy->IsValid());
  EXPECT_EQ(copy->GetX(), 120);
  EXPECT_EQ(copy->GetY(), 40);
  EXPECT_EQ(original.GetX(), 105);
  EXPECT_EQ(original.GetDistance(), 5.0f);
  std::unique_ptr<TutorialTarget> none(TutTargetCustom(at, 0, 0.0f, 0.0f, 1).Clone(3.0f));
  none->UpdatePosition();
  EXPECT_FALSE(none->IsValid()) << "the function's answer, not the original's";
  // A button in no window: a button, at its angle, never valid.
  std::unique_ptr<TutorialTarget> button(TutTargetButton(kAnyWindow, 3, 0, 90.0f, 1.0f).Clone(2.0f));
  EXPECT_EQ(button->GetKind(), kTargetButton);
  EXPECT_EQ(button->GetAngle(), 90.0f);
  button->UpdatePosition();
  EXPECT_FALSE(button->IsValid());
}

}  // namespace
