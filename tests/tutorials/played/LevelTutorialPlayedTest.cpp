// Level tutorials on the sample data set through the level harness: what
// the level asks of the tutorial factory as it builds, restarts and
// restores; a two-step level tutorial on the game's level panel (its hold
// on the level, its close-tutorial button, a click on its layer, the
// selection that ends it), drawn into tutorial_step.png; and its part of
// the level's save, cut and resized, always giving a clean fresh start.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/DataBuffer.h"
#include "base/LittleEndian.h"
#include "base/SavedStateStore.h"
#include "gametext/KGEBaseTextSprite.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/rules/LevelLocks.h"
#include "level/rules/LevelMoney.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "resources/ResourceServices.h"
#include "testsupport/FakeTutorialFactory.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/SavedLevelStore.h"
#include "tutorials/LevelTutorial.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "ui/GameButton.h"
#include "ui/HIText.h"
#include "ui/NarrowButton.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"

namespace tutorialtest {
namespace {

using leveltest::LevelHarness;

constexpr TutorialId kStep1 = 0x80010001u;
constexpr TutorialId kStep2 = 0x80010002u;

// Step 1: an arrow on the panel's warehouse button with the "welcome" text
// beside it and the click line; a click on the layer ends it. The level
// stays locked, the clock runs, the head-up display answers.
class PointAtWarehouse : public LevelTutorialStep {
 public:
  PointAtWarehouse() : LevelTutorialStep(kStep1, kTutorialWindowLevelPanel, 0x2001u, 0x2000u) {
    SetNextStep(kStep2);
  }
  void Build() override {
    TutorialLayer* layer = GetLayer();
    auto* target = new TutTargetButton(kTutorialWindowLevelPanel, kTutorialPanelWarehouse, 0, 270.0f, 4.0f);
    TutorialArrow* arrow = new LevelTutorialArrow(layer, 1, GetLevelTutorial()->GetLevel(), 0);
    SetArrowTarget(arrow, target);
    SetInfoSharedTarget(new TutorialInfoText(layer, GetText(u"welcome"), true, 0, 0), target, false, 84.0f);
    layer->CatchClicks();
  }
};

// Step 2: the "sow" text centred above the panel; selecting a point ends it.
class SelectAPoint : public LevelTutorialStep {
 public:
  SelectAPoint() : LevelTutorialStep(kStep2, kTutorialWindowLevelPanel, 0x010000FFu, 0) {}
  void Build() override {
    auto* info = new TutorialInfoText(GetLayer(), GetText(u"sow"), false, 0, 0);
    SetInfoTarget(info, new TutTargetCustom(LevelScreenCentre, 0, 0.0f, 0.0f, 0), true, 0.0f);
  }
  bool AllowAction(u32, uintptr_t, const void*) override { return true; }
  void OnEvent(u32 event, uintptr_t param, const void*) override {
    if (event == kTutorialEventPointSelected && static_cast<i32>(param) >= 0) Finish();
  }
};

class TwoSteps : public LevelTutorial {
 public:
  explicit TwoSteps(GameLevel* level) : LevelTutorial(0x00010000u, level) {
    new PointAtWarehouse;
    new SelectAPoint;
    SetFirstStep(kStep1);
  }
};

using Store = testsupport::SavedLevelStore;

class Played : public ::testing::Test {
 protected:
  explicit Played(bool language = false) : h(leveltest::SampleDataFolder(), 1024, 768, language, &factory) {
    h.profile.tutorials = true;
  }
  ~Played() override { h.world.CloseLevel(); }

  // The sample level with the game's own panel; the factory makes the
  // two-step tutorial.
  GameLevel& MakeWithPanel(LevelSaves* saves = nullptr) {
    factory.make = [this](i32) { new TwoSteps(h.Level()); };
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    hooks.villains = &h.villains;
    hooks.saves = saves;
    GameLevel* level = h.world.OpenLevel(0, LevelSetup{}, hooks);
    h.LoadAll();
    h.Enter();
    return *level;
  }
  // The game's frames: the world's update (the tutorial's with it, the
  // finished ones deleted), then its draw on the device.
  void Frames(u32 ms) {
    for (; ms > 0; ms -= 20) {
      h.world.Frame(20);
      ASSERT_EQ(h.rig.viewer->BeginFrame(), 0);
      h.rig.viewer->Clear(0xFF000000u);
      h.world.Draw();
      ASSERT_EQ(h.rig.viewer->Present(), 0);
    }
  }
  TwoSteps* Tutorial() const { return dynamic_cast<TwoSteps*>(GetCurrentTutorial()); }
  i32 TutorialLocks() const { return h.Level()->Rules().Locks().GetCounter(4); }
  bool ClockHeld() const { return (h.Level()->Rules().Tasks().GetResultFlags() & kResultFlagTutorial) != 0; }

  FakeTutorialFactory factory;  // before the world, which is handed it
  LevelHarness h;
};

TEST_F(Played, TheLevelAsksForItsTutorialAsItBuildsRestartsAndRestores) {
  ASSERT_TRUE(h.loaded);
  for (i32 index : {0, 1, 2, 3, 4, 5, 6, 7, 13, 14, 28}) {
    h.Make(index);
    h.Level()->BuildLevel();
  }
  EXPECT_EQ(factory.asked,
            (std::vector<std::string>{"level 0", "level 1", "level 2", "level 3", "level 4", "level 5", "level 7",
                                      "level 14", "level 28"}));
  factory.asked.clear();
  h.profile.tutorials = false;
  h.Play(0);
  EXPECT_TRUE(factory.asked.empty()) << "tutorials off: none";

  h.profile.tutorials = true;
  Store store;
  GameLevelSaves saves(&store, &store, nullptr);
  h.saves = &saves;
  GameLevel& level = h.Play(0);
  h.Level()->Restart();
  h.Start();
  level.Leave();
  ASSERT_NE(store.slots[0][0], nullptr);
  h.Enter();
  EXPECT_EQ(factory.asked, (std::vector<std::string>{"level 0", "level 0", "level 0"}))
      << "a new start, a restart and a restore";
}

TEST_F(Played, TheTutorialHoldsTheLevelUntilItsStepsLetGo) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = MakeWithPanel();
  TwoSteps* t = Tutorial();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetState(), kTutorialCreated);
  EXPECT_EQ(t->GetPendingStep(), t->FindStep(kStep1)) << "the new level starts its first step";
  EXPECT_EQ(TutorialLocks(), 0);
  h.Start();
  EXPECT_EQ(t->GetState(), kTutorialRunning) << "the level's start starts it";
  EXPECT_EQ(TutorialLocks(), 1);
  EXPECT_TRUE(ClockHeld());
  EXPECT_TRUE(level.Rules().Locks().IsLockedExcept(0));
  // Flags turning the lock and the clock hold over take and give one count.
  t->SetFlags(0x2000);
  t->SetFlags(0x2001);
  EXPECT_EQ(TutorialLocks(), 1);
  EXPECT_FALSE(ClockHeld());
  t->SetFlags(0x1000);
  EXPECT_EQ(TutorialLocks(), 0);
  EXPECT_TRUE(ClockHeld());
  t->SetFlags(0x3000);
  EXPECT_EQ(TutorialLocks(), 1);

  // While the level is held by a window, the tutorial stands still.
  level.Rules().Locks().Lock(kLockWindow);
  Frames(1000);
  EXPECT_EQ(t->FindStep(kStep1)->GetLayer(), nullptr);
  level.Rules().Locks().Unlock(kLockWindow);
  LevelPanel* panel = h.world.Panel()->GetPanel();
  ASSERT_NE(panel, nullptr);
  Frames(600);
  EXPECT_NE(t->FindStep(kStep1)->GetLayer(), nullptr) << "500 ms, then shown 100 ms later";
  EXPECT_EQ(panel->GetTutorialButton(), nullptr);
  Frames(200);
  ASSERT_EQ(t->GetCurrentStep(), t->FindStep(kStep1));
  EXPECT_NE(panel->GetTutorialButton(), nullptr) << "the close-tutorial button comes with the first active step";
  EXPECT_EQ(t->GetFlags(), 0x2001u);
  EXPECT_FALSE(ClockHeld());
  EXPECT_FALSE(TutorialAllowAction(kTutorialActionObject, 0, nullptr)) << "level objects need flag 0x2";
  EXPECT_FALSE(TutorialAllowAction(kTutorialActionPlayerJob, 0, nullptr)) << "her next job needs flag 0x100";
  EXPECT_TRUE(TutorialAllowAction(kTutorialActionTitle, 0x41414141u, nullptr)) << "other windows' titles pass";

  // A click on the layer (over the map, not the panel) ends step 1.
  Frames(400);
  h.world.Windows()->OnMouseDown(300, 200, kMouseLeft, 0);
  h.world.Windows()->OnMouseUp(300, 200, kMouseLeft, 0);
  EXPECT_EQ(t->GetCurrentStep(), nullptr);
  EXPECT_EQ(t->GetFlags(), 0x2000u) << "its flags after";
  Frames(500);
  ASSERT_EQ(t->GetCurrentStep(), t->FindStep(kStep2));
  EXPECT_EQ(TutorialLocks(), 0);
  // Selecting a point ends step 2 and with it the tutorial: all let go.
  level.Map().Points().SelectPoint(0, false);
  EXPECT_EQ(t->GetState(), kTutorialEnding);
  EXPECT_EQ(t->GetFlags(), 0u);
  EXPECT_TRUE(panel->GetTutorialButton()->IsHiding());
  Frames(400);
  EXPECT_EQ(GetResourceServices().tutorial, nullptr);
  EXPECT_TRUE(GetResourceServices().finishedTutorials.empty()) << "deleted at the end of the frame";
}

TEST_F(Played, TheCloseTutorialButtonStopsIt) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = MakeWithPanel();
  h.Start();
  Frames(800);
  TwoSteps* t = Tutorial();
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->GetCurrentStep(), t->FindStep(kStep1));
  LevelPanel* panel = h.world.Panel()->GetPanel();
  ASSERT_NE(panel->GetTutorialButton(), nullptr);
  EXPECT_TRUE(TutorialAllowAction(kTutorialActionButton, kTutorialWindowLevelPanel, panel->GetTutorialButton()))
      << "the close-tutorial button always works";
  level.StopTutorial();  // what the button's question answered yes does
  EXPECT_EQ(t->GetState(), kTutorialEnding);
  EXPECT_EQ(t->GetFlags(), 0u);
  EXPECT_EQ(TutorialLocks(), 0);
  EXPECT_FALSE(ClockHeld());
  EXPECT_FALSE(level.Rules().Locks().IsLockedExcept(0));
  Frames(400);
  EXPECT_EQ(GetResourceServices().tutorial, nullptr);
}

// The level saved while step 1 is active keeps a 20-byte record; entered
// again the tutorial resumes at step 1. Cut at any byte of its part, or
// with any record size but 20, the saved level is refused and the level
// starts anew with a tutorial of its own.
TEST_F(Played, ItsPartOfTheSaveRoundTripsAndEveryCutStartsAnew) {
  ASSERT_TRUE(h.loaded);
  Store store;
  GameLevelSaves saves(&store, &store, nullptr);
  GameLevel& level = MakeWithPanel(&saves);
  h.Start();
  Frames(800);
  ASSERT_EQ(Tutorial()->GetCurrentStep(), Tutorial()->FindStep(kStep1));
  level.Map().Points().SelectPoint(1, false);
  level.Leave();
  ASSERT_NE(store.slots[0][0], nullptr);
  const kis::DataBuffer& kept = *store.slots[0][0];
  const std::vector<u8> good(kept.Data(), kept.Data() + kept.dataSize);
  const std::vector<u8> records(kept.Records(), kept.Records() + kept.recordSize);
  const u32 playMode = kept.playMode, levelIndex = kept.levelIndex, levelTime = kept.levelTime;
  u8 block[sizeof kept.levelBlock];
  std::memcpy(block, kept.levelBlock, sizeof block);
  ASSERT_GE(good.size(), 28u);
  const size_t flag = good.size() - 28;  // the flag, the state, the record
  EXPECT_EQ(kis::GetU32LE(&good[flag]), 1u);
  EXPECT_EQ(kis::GetU32LE(&good[flag + 4]), kTutorialRunning);
  EXPECT_EQ(kis::GetU32LE(&good[flag + 8]), 20u);
  EXPECT_EQ(kis::GetU32LE(&good[flag + 12]), 0x3000u);
  EXPECT_EQ(kis::GetU32LE(&good[flag + 16]), kStep1);
  EXPECT_EQ(kis::GetU32LE(&good[flag + 24]), 1u) << "the selected point";

  auto enterWith = [&](const std::vector<u8>& bytes) {
    kis::DataBuffer* b = new kis::DataBuffer;
    b->headerSize = kis::kDataBufferHeaderSize;
    b->playMode = playMode;
    b->levelIndex = levelIndex;
    b->levelTime = levelTime;
    std::memcpy(b->levelBlock, block, sizeof b->levelBlock);
    b->GrowData(bytes.size() + 16);
    b->GrowRecords(records.size() + 16);
    if (!bytes.empty()) std::memcpy(b->Data(), bytes.data(), bytes.size());
    if (!records.empty()) std::memcpy(b->Records(), records.data(), records.size());
    b->dataSize = static_cast<u32>(bytes.size());
    b->recordSize = static_cast<u32>(records.size());
    level.Leave();
    delete store.slots[0][0];
    store.slots[0][0] = b;
    h.Enter();
  };
  const std::vector<u8> copy = good;
  enterWith(copy);
  EXPECT_NE(store.slots[0][0], nullptr) << "restored";
  ASSERT_NE(Tutorial(), nullptr);
  EXPECT_EQ(Tutorial()->GetPendingStep(), Tutorial()->FindStep(kStep1)) << "resumed at step 1";
  EXPECT_EQ(Tutorial()->GetDefaultFlags(), 0x3000u);
  EXPECT_EQ(level.Map().GetSelectedPoint(), 1) << "its record selects the saved point again";

  auto freshStart = [&](const std::string& what) {
    EXPECT_EQ(store.slots[0][0], nullptr) << what;
    TwoSteps* t = Tutorial();
    ASSERT_NE(t, nullptr) << what;
    EXPECT_EQ(t->GetState(), kTutorialCreated) << what;
    EXPECT_EQ(t->GetPendingStep(), t->FindStep(kStep1)) << what;
    EXPECT_EQ(TutorialLocks(), 0) << what;
    EXPECT_EQ(level.Map().GetSelectedPoint(), -1) << what;
  };
  for (size_t n = flag + 4; n < good.size(); ++n) {
    enterWith(std::vector<u8>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
    freshStart("cut at " + std::to_string(n - flag));
  }
  for (u32 size = 0; size <= 40; ++size) {
    if (size == 20) continue;
    std::vector<u8> bytes = good;
    kis::PutU32LE(&bytes[flag + 8], size);
    enterWith(bytes);
    freshStart("record size " + std::to_string(size));
  }
  std::vector<u8> badPoint = good;
  kis::PutU32LE(&badPoint[flag + 24], 99);
  enterWith(badPoint);
  freshStart("a point that cannot be selected");
}

// Step 1 drawn on the game's panel: its arrow above the warehouse button,
// its text above the arrow, inside the screen.
class Drawn : public Played {
 protected:
  Drawn() : Played(true) {}
};

TEST_F(Drawn, AStepsArrowAndTextOnTheLevelPanel) {
  ASSERT_TRUE(h.loaded);
  MakeWithPanel();
  h.Start();
  Frames(1400);
  TwoSteps* t = Tutorial();
  ASSERT_NE(t, nullptr);
  TutorialLayer* layer = t->FindStep(kStep1)->GetLayer();
  ASSERT_NE(layer, nullptr);
  ASSERT_EQ(layer->Arrows().GetCount(), 1);
  ASSERT_EQ(layer->Texts().GetCount(), 1);
  TutorialArrow* arrow = layer->Arrows().Get(0);
  TutorialInfo* text = layer->Texts().Get(0);
  EXPECT_EQ(arrow->GetState(), kLayerShown);
  EXPECT_EQ(text->GetState(), kLayerShown);
  ASSERT_TRUE(arrow->GetTarget()->IsValid());
  ASSERT_NE(arrow->GetImage(), nullptr) << "the data's tutorial_arrow";
  EXPECT_EQ(h.world.Windows()->FindWindow(kTutorialWindowLayer), layer);

  // The arrow's tip stands 4 pixels above the warehouse button's top middle.
  LevelPanel* panel = h.world.Panel()->GetPanel();
  const GameButton* button = panel->FindControl(kTutorialPanelWarehouse, 0);
  ASSERT_NE(button, nullptr);
  const DXLRECT& r = button->GetRect();
  const i32 tipX = panel->GetRect().left + (r.left + r.right) / 2;
  const i32 tipY = panel->GetRect().top + r.top - 4;
  EXPECT_NEAR(arrow->GetTarget()->GetX(), tipX, 1);
  EXPECT_NEAR(arrow->GetTarget()->GetY(), tipY, 1);
  // The text: within the screen, above the arrow.
  i32 w = 0, hgt = 0;
  text->GetSize(&w, &hgt);
  const i32 left = static_cast<i32>(text->GetPosX() + text->GetPivotX());
  const i32 top = static_cast<i32>(text->GetPosY() + text->GetPivotY());
  EXPECT_GT(w, 40);
  EXPECT_GE(left, 0);
  EXPECT_LE(left + w, 1024);
  EXPECT_LT(top + hgt, tipY);
  ASSERT_TRUE(h.WritePng("tutorial_step.png"));

  // Orange arrow pixels between the tip and 64 pixels above it; the note's
  // parchment in the text's middle.
  i32 orange = 0;
  for (i32 y = tipY - 70; y < tipY; ++y)
    for (i32 x = tipX - 20; x <= tipX + 20; ++x) {
      const u32 p = h.Pixel(static_cast<u32>(x), static_cast<u32>(y));
      const u32 red = p >> 16 & 0xFF, green = p >> 8 & 0xFF, blue = p & 0xFF;
      orange += red > 200 && green > 100 && green < 210 && blue < 110;
    }
  EXPECT_GT(orange, 200) << "the arrow over its button";
  const u32 paper = h.Pixel(static_cast<u32>(left + 6), static_cast<u32>(top + hgt / 2));
  EXPECT_GT(paper >> 16 & 0xFF, 200u) << std::hex << paper;
  EXPECT_GT(paper >> 8 & 0xFF, 190u) << std::hex << paper;

  // Its words: at most 400 x 400 with a light drop shadow one pixel right
  // and down and no outline (the text sprite keeps a shadow only when it
  // can draw it).
  auto* words = dynamic_cast<TutorialInfoText*>(text);
  ASSERT_NE(words, nullptr);
  const auto* sprite = dynamic_cast<const KGEBaseTextSprite*>(words->GetMainText()->GetTextObject());
  ASSERT_NE(sprite, nullptr);
  const KGESPRITEPARAMS& box = sprite->GetSpriteParams();
  EXPECT_EQ(box.flags, 0x21u);
  EXPECT_EQ(box.maxWidth, 400);
  EXPECT_EQ(box.maxHeight, 400);
  EXPECT_EQ(std::vector<u32>({box.shadow.mode, static_cast<u32>(box.shadow.x), static_cast<u32>(box.shadow.y),
                              box.shadow.color}),
            std::vector<u32>({1, 1, 1, 0x80FFF7DDu}));
  EXPECT_EQ(box.outline.mode, 0u);
}

}  // namespace
}  // namespace tutorialtest
