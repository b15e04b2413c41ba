// The map's tutorials: driven frame by frame as the game runs them (the
// tutorial's update and draw, then the finished ones deleted). Without the
// map: the show delays, the action and key filters, the text keys, the
// new-bonus steps chained or alone, the villains' click delay counted only
// while no modal window is open. On a real map (profile store, window
// manager, the game's tutorial maker): the villains' scene after the
// opening comic, then the first tutorial's arrow on level 1's node, the
// choice of level 1 ending it and the next pending tutorial
// served once it has finished, and the villains' scene bringing the nodes
// back when no villain is left.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "../app/MapCharacterRig.h"
#include "../app/ProfileRig.h"
#include "app/AppServices.h"
#include "app/GameWorld.h"
#include "app/LevelSelectMap.h"
#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "content/ContentServices.h"
#include "content/GameBonuses.h"
#include "engine/DXLMouse.h"
#include "engine/DXLTexture.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "resources/GEffects.h"
#include "resources/GameEffect.h"
#include "resources/ResourceServices.h"
#include "testsupport/PlainButton.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WindowDoor.h"
#include "tutorials/MapTutorials.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialMaker.h"
#include "tutorials/TutorialTargets.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelWindow.h"
#include "windows/MapInterface.h"
#include "windows/MapMedalsPanel.h"
#include "windows/WindowServices.h"

namespace {

struct MapTutWindow : GameWindow {
  MapTutWindow(u32 id, bool modal) : GameWindow(id, modal) {}
  void Draw() override {}
};

// One game frame of ms for whichever tutorial is current.
void MapTutFrame(u32 ms) {
  GetResourceServices().clock += ms;
  if (GameTutorial* t = GetCurrentTutorial()) {
    t->Update(ms);
    t->Draw();
    for (i32 i = 0; i < t->Layers().GetCount(); ++i) t->Layers().Get(i)->Draw();
  }
  DeleteFinishedTutorials();
}

// Frames of 10 ms until the test holds; the ms it took (-1: not in 5 s).
template <class F>
i32 MapTutUntil(F done) {
  for (i32 ms = 0; ms <= 5000; ms += 10) {
    if (done()) return ms;
    MapTutFrame(10);
  }
  return -1;
}

class MapTutorials : public ::testing::Test {
 protected:
  MapTutorials() {
    ResetAllServices();
    GetResourceServices().screen = GAMESCREENAREA{};
    GetResourceServices().screen.width = 800;
    GetResourceServices().screen.height = 600;
    manager = CreateGameWindowManager();
    GetUiServices().windowManager = manager;
    dir.Put("lang.txt",
            "Language {\n\tIdent = t\n\ttutorial {\n\t\tmap_first_1 = F1\n\t\tmap_hard_regime_1 = H1\n"
            "\t\tmap_first_1x = F1x\n\t\tmap_regime = R\n\t}\n}\n");
    language = std::make_unique<GameLanguage>(dir.Wide("lang.txt").c_str());
    SetGameLanguage(language.get());
  }
  ~MapTutorials() override {
    if (TutorialHooks* t = GetResourceServices().tutorial) t->Discard();
    DeleteFinishedTutorials();
    SetGameLanguage(nullptr);
    delete manager;
    ResetAllServices();
  }
  bool Allow(u32 code, uintptr_t param, const void* object = nullptr) {
    return TutorialAllowAction(code, param, object);
  }
  // Code 2 for a control of a window with the id.
  bool Control(u32 windowId, u32 control) {
    MapTutWindow window(windowId, false);
    uitest::PlainButton button(&window, &window.Controls(), control, DXLRECT{0, 0, 10, 10});
    return Allow(kTutorialActionButton, windowId, &button);
  }
  bool Key(u32 windowId, u16 key) {
    MapTutWindow window(windowId, false);
    return Allow(kTutorialActionKey, key, &window);
  }
  void Click(u32 windowId, u32 control) {
    MapTutWindow window(windowId, false);
    uitest::PlainButton button(&window, &window.Controls(), control, DXLRECT{0, 0, 10, 10});
    TutorialNotify(kTutorialEventClick, windowId, &button);
  }

  TempFolder dir;
  WindowManager* manager = nullptr;
  std::unique_ptr<GameLanguage> language;
};

TEST_F(MapTutorials, FirstShowsAfter600msFiltersActionsAndKeysAndEndsOnLevelOne) {
  auto* t = new MapTutorial_First();
  ASSERT_EQ(GetCurrentTutorial(), t);
  EXPECT_EQ(t->GetState(), kTutorialRunning);
  TutorialStep* step = t->FindStep(kMapTutorialFirstId | 1);
  ASSERT_NE(step, nullptr);
  // Before its step: the interface's options, greeting and back work at
  // once, its other controls and the level window's do not, nor any node.
  EXPECT_TRUE(Control(kMapInterfaceId, kMapOptionsCommand));
  EXPECT_TRUE(Control(kMapInterfaceId, kMapGreetingCommand));
  EXPECT_TRUE(Control(kMapInterfaceId, kMapBackCommand));
  EXPECT_FALSE(Control(kMapInterfaceId, kMapRegimeCommand));
  EXPECT_FALSE(Control(kMapInterfaceId, kMapAwardsCommand));
  EXPECT_FALSE(Control(kTutorialWindowLevelStart, kLevelWindowPlay));
  EXPECT_TRUE(Control(0x4F707473u, 7)) << "any other window's controls pass";
  EXPECT_FALSE(Allow(kTutorialActionMapLevel, 0));

  EXPECT_EQ(MapTutUntil([&] { return step->GetLayer() != nullptr; }), 600) << "500 ms delay, then 100";
  EXPECT_EQ(MapTutUntil([&] { return t->GetCurrentStep() == step; }), 200);
  EXPECT_EQ(t->GetFlags(), kMapFlagNodes);
  EXPECT_TRUE(Allow(kTutorialActionMapLevel, 0));
  EXPECT_FALSE(Allow(kTutorialActionMapLevel, 1)) << "only level 1's node";
  EXPECT_FALSE(Control(kMapInterfaceId, kMapRegimeCommand)) << "needs flag bit 24";
  EXPECT_FALSE(Allow(kTutorialActionTitle, kMapInterfaceId));
  // Escape and Enter do nothing in the level and bonuses windows only.
  EXPECT_FALSE(Key(kTutorialWindowLevelStart, kKeyEscape));
  EXPECT_FALSE(Key(kTutorialWindowLevelStart, kKeyEnter));
  EXPECT_FALSE(Key(kTutorialWindowBonuses, kKeyEscape));
  EXPECT_TRUE(Key(kTutorialWindowLevelStart, 'A'));
  EXPECT_TRUE(Key(kMapInterfaceId, kKeyEscape));
  // Never saved; its text key formed from name, step and suffix.
  EXPECT_FALSE(t->IsSaved());
  kis::DataCursor writer;
  kis::LevelSaveInfo info{};
  ASSERT_TRUE(writer.Begin(info));
  EXPECT_FALSE(t->Save(&writer));
  EXPECT_EQ(std::u16string(step->GetText(nullptr)), u"F1");
  EXPECT_EQ(std::u16string(step->GetText(u"x")), u"F1x");
  ASSERT_EQ(step->GetLayer()->Arrows().GetCount(), 1);
  EXPECT_EQ(step->GetLayer()->Arrows().Get(0)->GetTarget()->GetKind(), kTargetMapLevel);
  EXPECT_FALSE(step->GetLayer()->Arrows().Get(0)->GetTarget()->IsValid()) << "no map: nothing drawn";

  TutorialNotify(kTutorialEventMapLevel, 1, nullptr);
  EXPECT_EQ(t->GetState(), kTutorialRunning);
  TutorialNotify(kTutorialEventMapLevel, 0, nullptr);
  EXPECT_EQ(t->GetState(), kTutorialEnding);
  EXPECT_TRUE(Allow(kTutorialActionMapLevel, 5)) << "an ending tutorial lets everything pass";
  EXPECT_TRUE(t->WillServeNext());
  EXPECT_GT(MapTutUntil([] { return GetResourceServices().tutorial == nullptr; }), 0);

  // Hard: its own key, a centred text and no arrow; Regime takes its key as it stands.
  auto* hard = new MapTutorial_Hard();
  TutorialStep* h = hard->FindStep(kMapTutorialHardId | 1);
  EXPECT_EQ(std::u16string(h->GetText(nullptr)), u"H1");
  EXPECT_EQ(MapTutUntil([&] { return hard->GetCurrentStep() == h; }), 800);
  EXPECT_EQ(h->GetLayer()->Arrows().GetCount(), 0);
  ASSERT_EQ(h->GetLayer()->Texts().GetCount(), 1);
  EXPECT_TRUE(h->GetLayer()->Texts().Get(0)->GetTarget()->IsValid());
  EXPECT_EQ(h->GetLayer()->Texts().Get(0)->GetTarget()->GetY(), 300 - 80);
  EXPECT_GT(h->GetLayer()->GetClickCount(), 0u);
  auto* regime = new MapTutorial_Regime();
  EXPECT_EQ(hard->GetState(), kTutorialFinished) << "replaced: finished, deleted at the frame's end";
  EXPECT_NE(regime->FindStep(kMapTutorialRegimeId | 2), nullptr);
  EXPECT_EQ(std::u16string(regime->FindStep(kMapTutorialRegimeId | 2)->GetText(nullptr)), u"")
      << "no map_regime_2: Regime's text is looked up by its own key";
}

TEST_F(MapTutorials, NewBonusAloneOrChainedAndTheVillainsClickDelay) {
  GameBonuses bonuses;
  GetContentServices().bonuses = &bonuses;
  // No bonus: Bonus_2 alone, even without the chain.
  auto* alone = new MapTutorial_NewBonus(-1, 0);
  EXPECT_EQ(alone->FindStep(kMapTutorialNewBonusId | 1), nullptr);
  EXPECT_EQ(alone->GetFirstStep(), kMapTutorialNewBonusId | 2);
  // A bonus without the chain: Bonus_1 is the last step.
  auto* single = new MapTutorial_NewBonus(2, 0);
  EXPECT_EQ(alone->GetState(), kTutorialFinished);
  TutorialStep* b1 = single->FindStep(kMapTutorialNewBonusId | 1);
  ASSERT_NE(b1, nullptr);
  EXPECT_EQ(single->FindStep(kMapTutorialNewBonusId | 2), nullptr);
  EXPECT_EQ(MapTutUntil([&] { return single->GetCurrentStep() == b1; }), 800);
  // No level window: the arrow waits, not drawn, and the step goes on.
  ASSERT_EQ(b1->GetLayer()->Arrows().GetCount(), 1);
  EXPECT_FALSE(b1->GetLayer()->Arrows().Get(0)->GetTarget()->IsValid());
  for (int i = 0; i < 50; ++i) MapTutFrame(10);
  EXPECT_EQ(single->GetCurrentStep(), b1);
  EXPECT_GT(b1->GetLayer()->GetClickCount(), 0u) << "Bonus_1 waits for a click";
  {
    // The level window opens: the arrow stands over the button of this
    // bonus, not over another bonus's button.
    MapTutWindow level(kTutorialWindowLevelStart, false);
    uitest::PlainButton mine(&level, &level.Controls(), kLevelWindowBonus, DXLRECT{100, 100, 140, 140});
    uitest::PlainButton other(&level, &level.Controls(), kLevelWindowBonus, DXLRECT{300, 100, 340, 140});
    mine.SetData(reinterpret_cast<uintptr_t>(&bonuses.Get(2)));
    other.SetData(reinterpret_cast<uintptr_t>(&bonuses.Get(0)));
    MapTutFrame(10);
    const TutorialTarget* target = b1->GetLayer()->Arrows().Get(0)->GetTarget();
    ASSERT_TRUE(target->IsValid());
    EXPECT_GE(target->GetX(), 100);
    EXPECT_LE(target->GetX(), 140);
  }
  EXPECT_FALSE(Control(kTutorialWindowLevelStart, kLevelWindowBonus)) << "base filter: refused";
  b1->OnLayerClicked();
  EXPECT_EQ(single->GetState(), kTutorialEnding);

  // Chained: Bonus_1, then Bonus_2, which lets the two bonus controls
  // through and ends on the "select bonuses" button.
  auto* chained = new MapTutorial_NewBonus(1, 1);
  TutorialStep* c1 = chained->FindStep(kMapTutorialNewBonusId | 1);
  TutorialStep* c2 = chained->FindStep(kMapTutorialNewBonusId | 2);
  ASSERT_TRUE(c1 && c2);
  EXPECT_EQ(MapTutUntil([&] { return chained->GetCurrentStep() == c1; }), 800);
  c1->OnLayerClicked();
  EXPECT_EQ(chained->GetState(), kTutorialRunning);
  EXPECT_EQ(MapTutUntil([&] { return chained->GetCurrentStep() == c2; }), 500) << "200 gap, 100, 200";
  EXPECT_EQ(chained->GetFlags(), kTutorialFlagWindows);
  EXPECT_TRUE(Control(kTutorialWindowLevelStart, kLevelWindowBonus));
  EXPECT_TRUE(Control(kTutorialWindowLevelStart, kLevelWindowSelectBonuses));
  EXPECT_FALSE(Control(kTutorialWindowLevelStart, kLevelWindowCancel));
  EXPECT_FALSE(Key(kTutorialWindowLevelStart, kKeyEscape));
  EXPECT_EQ(c2->GetLayer()->GetClickCount(), 0u) << "no click line";
  Click(kTutorialWindowLevelStart, kLevelWindowBonus);
  EXPECT_EQ(chained->GetState(), kTutorialRunning);
  Click(kTutorialWindowLevelStart, kLevelWindowSelectBonuses);
  EXPECT_EQ(chained->GetState(), kTutorialEnding);
  EXPECT_EQ(chained->GetFlags(), 0u);
  MapTutUntil([] { return GetResourceServices().tutorial == nullptr; });

  // The villains' scene: shown at once (delay 0); clicks caught only after
  // 400 ms counted while no modal window is open.
  auto* villains = new MapTutorial_VillainsAttack();
  TutorialStep* v = villains->FindStep(kMapTutorialVillainsId | 1);
  EXPECT_EQ(MapTutUntil([&] { return v->GetLayer() != nullptr; }), 100);
  EXPECT_EQ(MapTutUntil([&] { return villains->GetCurrentStep() == v; }), 200);
  EXPECT_EQ(v->GetLayer()->Arrows().GetCount() + v->GetLayer()->Texts().GetCount(), 0);
  auto* dialog = new MapTutWindow(0x446C6F67u, true);
  const TutorialTimer& timer = static_cast<MapTutorialStep_VillainsAttack*>(v)->GetTimer();
  const u32 left = timer.GetRemaining();  // its first frame counted
  EXPECT_GE(left, 390u);
  for (int i = 0; i < 50; ++i) MapTutFrame(10);
  EXPECT_EQ(v->GetLayer()->GetClickCount(), 0u);
  EXPECT_EQ(timer.GetRemaining(), left) << "held while the modal window is open";
  delete dialog;
  EXPECT_EQ(MapTutUntil([&] { return v->GetLayer()->GetClickCount() > 0; }), static_cast<i32>(left));
  v->OnLayerClicked();
  EXPECT_EQ(villains->GetState(), kTutorialEnding);
  EXPECT_TRUE(Allow(kTutorialActionMapLevel, 3));
}

// The first tutorial on a real map, ended by choosing level 1; the map's
// next pending tutorial once it has faded; the villains' scene bringing the
// nodes back at the first frame without villains.
TEST_F(MapTutorials, OnTheMapFirstThenTheNextPendingAndTheVillainsScene) {
  using namespace profiletest;
  TempFolder profiles;
  Store rig(profiles);
  GameLevels levels;
  for (u32 i = 0; i < kLevelCount; ++i) {
    levels.table.Get(i).bonusId = -1;
    levels.table.SetGridCell(i, static_cast<i32>(i));
  }
  TutorialMaker maker;
  GetResourceServices().tutorialFactory = &maker;
  std::unique_ptr<mapchartest::MapCharacterRig> characters;  // the villains' descriptions, once wanted
  DXLTexture skin;  // the interface's image (never built): its buttons take their sizes from it
  GetResourceServices().interfaceImage = &skin;
  struct Host : LevelSelectMapHost {
    bool HasKeptLevel(i32, u32) const override { return false; }
    void DeleteLevel() override {}
    bool MakeLevel(i32) override { return true; }
  } host;
  auto map = std::make_unique<LevelSelectMap>(&rig.store, &host);
  // Installed as the game installs the map it makes, until the map goes.
  struct InstalledMap {
    explicit InstalledMap(LevelSelectMap* m) { GetAppServices().levelSelectMap = m; }
    ~InstalledMap() { GetAppServices().levelSelectMap = nullptr; }
  } installed(map.get());
  map->Load(MapSectionData{});
  Profile* profile = rig.Create(u"Ann");
  rig.store.SelectProfile(profile);
  profile->SetTutorials(true);
  // After the opening comic: the villains' scene first; with no villain on
  // the map it ends at once, and the first tutorial follows.
  map->AddTutorialFlags(kMapVillainsAttack);
  map->Enter();
  ASSERT_NE(dynamic_cast<MapTutorial_VillainsAttack*>(GetCurrentTutorial()), nullptr);
  MapTutorial_First* first = nullptr;
  EXPECT_GT(MapTutUntil([&] { return (first = dynamic_cast<MapTutorial_First*>(GetCurrentTutorial())) != nullptr; }),
            0);
  ASSERT_NE(first, nullptr);
  TutorialStep* step = first->FindStep(kMapTutorialFirstId | 1);
  EXPECT_EQ(MapTutUntil([&] { return first->GetCurrentStep() == step; }), 800);
  // The arrow 64 map units from level 1's node, up and to the left.
  const TutorialTarget* target = step->GetLayer()->Arrows().Get(0)->GetTarget();
  ASSERT_TRUE(target->IsValid());
  const DXLPOINT node = map->ToScreen(map->GetNode(0)->GetX(), map->GetNode(0)->GetY());
  EXPECT_LT(target->GetX(), node.x);
  EXPECT_LT(target->GetY(), node.y);
  EXPECT_NEAR(std::hypot(target->GetX() - node.x, target->GetY() - node.y), 64.0 * map->GetScale(), 2.0);
  // The interface's own buttons stay in reach of the pointer.
  const MapInterface* face = map->GetInterface();
  ASSERT_NE(face, nullptr);
  const GameButton* options = face->FindControl(kMapOptionsCommand, 0);
  ASSERT_NE(options, nullptr);
  kis::IntPoint onOptions{};
  face->ClientToScreen(&onOptions, (options->GetRect().left + options->GetRect().right) / 2,
                       (options->GetRect().top + options->GetRect().bottom) / 2);
  EXPECT_FALSE(step->CatchesPointAt(onOptions.x, onOptions.y));
  // The hover: level 1 only.
  map->UpdateHover(node.x, node.y);
  EXPECT_EQ(map->GetHovered(), 0);
  const DXLPOINT other = map->ToScreen(map->GetNode(8)->GetX(), map->GetNode(8)->GetY());
  map->UpdateHover(other.x, other.y);
  EXPECT_EQ(map->GetHovered(), -1);
  EXPECT_TRUE(step->CatchesPointAt(node.x, node.y));

  // Level 1 chosen: the tutorial ends; once it has faded the map serves
  // its next pending tutorial (here the regime's).
  map->AddTutorialFlags(kMapTutorialRegime);
  map->OnMouseDown(node.x, node.y, kMouseLeft, 0);
  ASSERT_NE(FindWindowOf<LevelWindow>(), nullptr);
  EXPECT_EQ(first->GetState(), kTutorialEnding);
  EXPECT_EQ(GetCurrentTutorial(), first) << "nothing new inside its own Stop";
  EXPECT_GT(MapTutUntil([] { return GetCurrentTutorial() && GetCurrentTutorial()->GetId() == kMapTutorialRegimeId; }),
            0);
  EXPECT_EQ(map->GetTutorialFlags() & kMapTutorialRegime, 0u);

  delete FindWindowOf<LevelWindow>();  // a modal window would hold the scene's clock

  // The villains' scene: the nodes hidden; with no villain left the first
  // active frame brings them back (animated) and ends the scene.
  for (u32 i = 0; i < kLevelCount; ++i) map->GetNode(static_cast<i32>(i))->SetState(0, false, 0);
  auto* villains = new MapTutorial_VillainsAttack();
  EXPECT_GT(MapTutUntil([&] { return villains->GetState() >= kTutorialEnding; }), 0);
  EXPECT_EQ(map->GetNode(0)->GetState(), 2u);
  MapTutUntil([] { return GetResourceServices().tutorial == nullptr; });
  // With villains on the map the scene waits for a click, which sends them
  // away at once with the nodes back.
  characters = std::make_unique<mapchartest::MapCharacterRig>();
  map->StartVillainsAttack();
  ASSERT_TRUE(map->HasVillains());
  villains = dynamic_cast<MapTutorial_VillainsAttack*>(GetCurrentTutorial());
  ASSERT_NE(villains, nullptr);
  TutorialStep* attack = villains->FindStep(kMapTutorialVillainsId | 1);
  EXPECT_GT(MapTutUntil([&] { return attack->GetLayer() && attack->GetLayer()->GetClickCount() > 0; }), 0);
  EXPECT_TRUE(map->HasVillains());
  // The layer away from the screen's corner takes the click through the
  // manager. The point is 40 into the layer, left of the layer's own left
  // edge on the screen: a handler that took it for a screen point would miss.
  testsupport::PlaceWindow(*attack->GetLayer());
  const kis::IntPoint onLayer{testsupport::kAwayX + 40, 391};
  manager->OnMouseDown(onLayer.x, onLayer.y, kMouseLeft, 0);
  EXPECT_TRUE(map->HasVillains()) << "the release finishes the step";
  manager->OnMouseUp(onLayer.x, onLayer.y, kMouseLeft, 0);
  EXPECT_FALSE(map->HasVillains());
  EXPECT_EQ(map->GetNode(0)->GetState(), 2u);
  MapTutUntil([] { return GetResourceServices().tutorial == nullptr; });
  // The eighth level's first finish (the developers' Shift-click): once the
  // result has played, the regime tutorial points at the regime button.
  rig.store.SetResultListener(map.get());
  map->SetCheats(true);
  const DXLPOINT eighth = map->ToScreen(map->GetNode(7)->GetX(), map->GetNode(7)->GetY());
  const MapMedalsPanel* medals = map->GetInterface() ? map->GetInterface()->GetMedalsPanel() : nullptr;
  ASSERT_NE(medals, nullptr);
  GetWindowServices().mapProfile = profile;  // the counter counts the game's current profile
  const u32 bronzeBefore = medals->GetCount(0);
  map->OnMouseDown(eighth.x, eighth.y, kMouseLeft, 0x2);
  EXPECT_EQ(map->GetTutorialFlags() & kMapTutorialRegime, kMapTutorialRegime);
  EXPECT_EQ(medals->GetCount(0), bronzeBefore + 1) << "the counter shows the cheat's bronze at once";
  GetWindowServices().mapProfile = nullptr;
  ClearGameEffects();
  map->StartTutorials();  // as the result's skip effect ends
  auto* regime = dynamic_cast<MapTutorial_Regime*>(GetCurrentTutorial());
  ASSERT_NE(regime, nullptr);
  TutorialStep* r2 = regime->FindStep(kMapTutorialRegimeId | 2);
  EXPECT_EQ(MapTutUntil([&] { return regime->GetCurrentStep() == r2; }), 800);
  EXPECT_TRUE(r2->GetLayer()->Arrows().Get(0)->GetTarget()->IsValid()) << "on the regime button";
  EXPECT_GT(r2->GetLayer()->GetClickCount(), 0u);
  r2->OnLayerClicked();
  MapTutUntil([] { return GetResourceServices().tutorial == nullptr; });

  // The hard regime's first visit: Hard, once.
  profile->SetRegime(1);
  map->OnRegimeSwitched();
  EXPECT_NE(dynamic_cast<MapTutorial_Hard*>(GetCurrentTutorial()), nullptr);
  map->OnRegimeSwitched();
  EXPECT_EQ(GetCurrentTutorial(), nullptr) << "shown once; the refresh dropped the one running";
  map->Leave();
  map.reset();
  ClearGameEffects();
}

}  // namespace
