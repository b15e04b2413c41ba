// The level-selection map over a real profile store (no pictures, no fonts):
// the screen fit, the hex hit test and the draw order; a node's decorations,
// glow and medal through state changes at once and animated; the result
// animation after a level; hover, cursor and clicks with a tutorial that
// refuses; starting a level kept or afresh; Escape and the wheel's zoom;
// the order the pending tutorials start in; the progress kept while the
// current profile is deleted; the developers' Shift-click result.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "MapCharacterRig.h"
#include "ProfileRig.h"
#include "app/AppServices.h"
#include "app/GameWorld.h"
#include "app/LevelSelectMap.h"
#include "engine/DXLKeyboard.h"
#include "engine/DXLMouse.h"
#include "resources/GEffects.h"
#include "resources/GameEffect.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteEffect.h"
#include "testsupport/FakeTutorialFactory.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelWindow.h"
#include "windows/MapInterface.h"

namespace profiletest {
namespace {

// Level i on cell i (column i mod 7, row i div 7) unless moved.
struct SelectMapHost : LevelSelectMapHost {
  bool HasKeptLevel(i32 level, u32 regime) const override { return level == keptLevel && regime == keptRegime; }
  void DeleteLevel() override { log.push_back("delete"); }
  bool MakeLevel(i32 level) override {
    log.push_back("make " + std::to_string(level));
    return true;
  }
  i32 keptLevel = -1;
  u32 keptRegime = 0;
  std::vector<std::string> log;
};

// A tutorial that refuses to let the pointer rest on one level and records
// what it is told.
struct SelectMapTutorial : TutorialHooks {
  bool AllowAction(u32 action, uintptr_t parameter, const void*) override {
    return !(action == kTutorialActionMapLevel && static_cast<i32>(parameter) == refused);
  }
  void Notify(u32 event, uintptr_t parameter, const void*) override { told.emplace_back(event, parameter); }
  i32 refused = -1;
  std::vector<std::pair<u32, uintptr_t>> told;
};

MAPNODEITEM SelectMapItem(u32 kind, u32 mask) {
  MAPNODEITEM item;
  item.kind = kind;
  item.stateMask = mask;
  item.emitterScale = 1.0f;
  return item;
}

// Every node: an open item, a finished item, one shown in both, a sign.
MAPNODE SelectMapNode() {
  MAPNODE node;
  node.itemCount = 4;
  node.items[0] = SelectMapItem(kMapItemSpot, kMapMaskOpen);
  node.items[1] = SelectMapItem(kMapItemSpot, kMapMaskFinished);
  node.items[2] = SelectMapItem(kMapItemSprite, kMapMaskOpen | kMapMaskFinished);
  node.items[3] = SelectMapItem(kMapItemSign, kMapMaskClosed | kMapMaskOpen);
  return node;
}

struct NodeOwner : MapNodeOwner {
  u32 GetLevelState(i32) const override { return state; }
  const MapNodePictures& GetNodePictures() const override { return pictures; }
  u32 state = 0;
  MapNodePictures pictures;  // none: no pictures in these tests
};

class SelectMap : public ::testing::Test {
 protected:
  SelectMap() : rig(dir) {
    ResourceServices& s = GetResourceServices();
    s.screen.width = 800;
    s.screen.height = 600;
    s.screen.rect = DXLRECT{0, 0, 800, 600};
    s.clock = 1000;
    s.tutorialFactory = &factory;
    for (u32 i = 0; i < kLevelCount; ++i) levels.table.SetGridCell(i, static_cast<i32>(i));
    manager = CreateGameWindowManager();
    GetUiServices().windowManager = manager;
    map = std::make_unique<LevelSelectMap>(&rig.store, &host);
    GetAppServices().levelSelectMap = map.get();  // as the game installs the map it makes
    rig.store.SetResultListener(map.get());
    MapSectionData data;
    for (MAPNODE& n : data.nodes) n = SelectMapNode();
    map->Load(std::move(data));
    profile = rig.Create(u"Ann");
    rig.store.SelectProfile(profile);
  }
  ~SelectMap() override {
    ClearGameEffects();
    map.reset();
    GetAppServices().levelSelectMap = nullptr;
    delete manager;
    ResetAllServices();
  }
  // The node's screen point at 800 x 600 (scale 0.78125).
  DXLPOINT At(i32 level) const {
    const MapLevelSprite* n = map->GetNode(level);
    return map->ToScreen(n->GetX(), n->GetY());
  }
  const GEffect_Regime* Regime() const { return dynamic_cast<const GEffect_Regime*>(GetGameEffect()); }

  TempFolder dir;
  Store rig;
  GameLevels levels;
  tutorialtest::FakeTutorialFactory factory;
  SelectMapHost host;
  WindowManager* manager = nullptr;
  std::unique_ptr<LevelSelectMap> map;
  Profile* profile = nullptr;
};

TEST_F(SelectMap, ScreenFitHitTestAndDrawOrder) {
  struct Fit {
    i32 w, h;
    float scale;
    i32 x, y;
  };
  // The picture (the side pieces from -128 to 1151, 768 high) covers the
  // game area: fitted, and zoomed out and in as far as the wheel goes. A
  // height of 768 to 800, kept at scale 1, is scaled up to leave no band
  // (800 high: 800 / 768), and so is a width beyond the side pieces.
  const auto covers = [&](i32 w, i32 h, const char* when) {
    const DXLPOINT topLeft = map->ToScreen(-128, 0), bottomRight = map->ToScreen(1151, 768);
    EXPECT_TRUE(topLeft.x <= 0 && topLeft.y <= 0 && bottomRight.x >= w && bottomRight.y >= h)
        << w << "x" << h << " " << when << ": the picture spans " << topLeft.x << "," << topLeft.y << " to "
        << bottomRight.x << "," << bottomRight.y;
    const bool centreCovers = map->ToScreen(0, 0).x <= 0 && map->ToScreen(1024, 0).x >= w;
    if (!centreCovers) {
      EXPECT_EQ(map->GetBackgroundPieces(), 3u) << w << "x" << h << " " << when;
    }
  };
  for (const Fit& f : {Fit{800, 600, 0.78125f, 0, 0}, Fit{1024, 768, 1.0f, 0, 0}, Fit{1024, 800, 800.0f / 768.0f, -21, 0},
                       Fit{1280, 800, 800.0f / 768.0f, 106, 0}, Fit{1200, 900, 900.0f / 768.0f, 0, 0},
                       Fit{1728, 1080, 1.40625f, 144, 0}, Fit{1920, 1080, 1920.0f / 1279.0f, 192, 0}}) {
    map->FitScreen(f.w, f.h);
    EXPECT_FLOAT_EQ(map->GetScale(), f.scale) << f.w << "x" << f.h;
    EXPECT_EQ(map->GetOffsetX(), f.x) << f.w << "x" << f.h;
    EXPECT_EQ(map->GetOffsetY(), f.y) << f.w << "x" << f.h;
    covers(f.w, f.h, "fitted");
    for (int i = 0; i < 20; ++i) map->OnMouseWheel(f.w / 2, f.h / 2, 120, 0, 2);
    EXPECT_FLOAT_EQ(map->GetScale(), f.scale) << f.w << "x" << f.h << ": no further out than the fit";
    covers(f.w, f.h, "zoomed out");
    for (int i = 0; i < 20; ++i) map->OnMouseWheel(f.w / 2, f.h / 2, -120, 0, 2);
    covers(f.w, f.h, "zoomed in");
  }
  map->FitScreen(1024, 768);
  EXPECT_EQ(map->GetBackgroundPieces(), 1u);
  EXPECT_EQ(map->ToMap(512, 384).y, 384);

  // Node centres, the cell below, the seams, outside.
  EXPECT_EQ(map->HitTest(143, 146), 0);
  EXPECT_EQ(map->HitTest(266, 99), 1);
  EXPECT_EQ(map->HitTest(143, 146 + 94), 7);
  EXPECT_EQ(map->HitTest(266 + 123, 146), 2);
  // Cell 1's slanted left band at y = 130: the seam with cell 0 (its lower
  // left, same row for an odd column) lies between x = 210 and 211 (no
  // integer point is equally far from both); level with its centre it stays.
  EXPECT_EQ(map->HitTest(210, 130), 0);
  EXPECT_EQ(map->HitTest(211, 130), 1);
  EXPECT_EQ(map->HitTest(223, 130), 1);
  EXPECT_EQ(map->HitTest(216, 99), 1);
  // Cell 2's band (even column) above its centre: the upper left is cell 1.
  EXPECT_EQ(map->HitTest(329, 106), 1);
  EXPECT_EQ(map->HitTest(346, 140), 2);
  EXPECT_EQ(map->HitTest(-400, 300), -1);
  EXPECT_EQ(map->HitTest(143, -200), -1);
  EXPECT_EQ(map->HitTest(143 + 123 * 7, 146), -1);
  levels.table.SetGridCell(0, -1);
  EXPECT_EQ(map->HitTest(143, 146), -1);

  // Row 0: the odd columns (cells 1, 3, 5) in slots 0 to 2, the even ones after.
  const i32 want[] = {1, 3, 5, 0, 2, 4, 6};
  for (u32 slot = 0; slot < 7; ++slot) EXPECT_EQ(map->GetDrawSlot(slot)->GetLevel(), want[slot]) << slot;
  EXPECT_EQ(map->GetDrawSlot(7)->GetLevel(), 8);
  EXPECT_EQ(map->GetDrawSlot(41), nullptr);  // no level on cells 41 to 48
}

TEST_F(SelectMap, NodeStatesAtOnceAnimatedAndFinished) {
  NodeOwner owner;
  const MAPNODE data = SelectMapNode();
  MapLevelSprite node(&owner, 4, 100, 100, &data);
  node.SetState(2, false, 0);
  BaseMLS* both = node.GetChild(2);
  ASSERT_TRUE(node.GetChild(0) && both && node.GetChild(3));
  EXPECT_EQ(node.GetChild(1), nullptr);
  EXPECT_TRUE(node.GetChild(0)->begun);
  EXPECT_TRUE(node.IsGlowOn());
  EXPECT_EQ(node.GetGlowEffects(), nullptr);

  // 2 -> 4 at once: the open items go, the finished one comes begun, the
  // shared one is the same object, no glow, medal frame 0.
  owner.state = 4;
  node.SetState(4, false, 0);
  EXPECT_EQ(node.GetChild(0), nullptr);
  ASSERT_NE(node.GetChild(1), nullptr);
  EXPECT_TRUE(node.GetChild(1)->begun);
  EXPECT_EQ(node.GetChild(2), both);
  EXPECT_EQ(both->GetEffects(), nullptr);
  EXPECT_EQ(node.GetChild(3), nullptr);
  EXPECT_FALSE(node.IsGlowOn());
  EXPECT_EQ(node.GetMedalFrame(), 0);
  // 3: finished without a medal; a grade past gold is kept at gold.
  owner.state = 3;
  node.SetState(3, false, 0);
  EXPECT_EQ(node.GetMedalFrame(), -1);
  owner.state = 9;
  node.SetState(9, false, 0);
  EXPECT_EQ(node.GetState(), 6u);
  EXPECT_EQ(node.GetMedalFrame(), 2);

  // 1 -> 2 animated with delay 200: the sign (closed and open) untouched,
  // the open items shown from 500, the glow too; then 2 -> 4 hides from 200.
  MapLevelSprite fresh(&owner, 5, 0, 0, &data);
  fresh.SetState(1, false, 0);
  BaseMLS* sign = fresh.GetChild(3);
  ASSERT_NE(sign, nullptr);
  fresh.SetState(2, true, 200);
  EXPECT_EQ(fresh.GetChild(3), sign);
  EXPECT_EQ(sign->GetEffects(), nullptr);
  ASSERT_TRUE(fresh.GetChild(0) && fresh.GetChild(0)->GetEffects());
  EXPECT_EQ(fresh.GetChild(0)->GetEffects()->Get(0)->GetDelay(), 500u);
  EXPECT_FALSE(fresh.GetChild(0)->begun);
  ASSERT_NE(fresh.GetGlowEffects(), nullptr);
  EXPECT_EQ(fresh.GetGlowEffects()->Get(0)->GetDelay(), 500u);
  owner.state = 5;
  fresh.SetState(5, true, 200);
  BaseMLS* leaving = fresh.GetChild(0);
  ASSERT_TRUE(leaving && leaving->hiding);
  EXPECT_EQ(leaving->GetEffects()->Get(leaving->GetEffects()->GetCount() - 1)->GetDelay(), 200u);
  EXPECT_EQ(fresh.GetMedalFrame(), 1);
  ASSERT_NE(fresh.GetResultEffects(), nullptr);
  EXPECT_EQ(fresh.GetResultEffects()->Get(0)->GetDelay(), 500u);
  // Finished at once: no fades left, the new item begun; the hiding one
  // goes at the next draw.
  fresh.FinishEffects();
  EXPECT_EQ(fresh.GetResultEffects(), nullptr);
  EXPECT_EQ(fresh.GetGlowEffects(), nullptr);
  ASSERT_NE(fresh.GetChild(1), nullptr);
  EXPECT_TRUE(fresh.GetChild(1)->begun);
  EXPECT_EQ(fresh.GetChild(1)->GetEffects(), nullptr);
  fresh.Draw(DXLMATRIX{});  // no viewer: nothing drawn, nothing deleted
  EXPECT_NE(fresh.GetChild(0), nullptr);
  // A state change without animation drops a hiding decoration at once.
  fresh.SetState(5, false, 0);
  EXPECT_EQ(fresh.GetChild(0), nullptr);
}

TEST_F(SelectMap, ResultAnimationOpensLevelsAndQueuesTutorials) {
  map->Enter();
  ASSERT_NE(map->GetInterface(), nullptr);
  EXPECT_EQ(map->GetNode(0)->GetState(), 2u);
  EXPECT_EQ(map->GetNode(1)->GetState(), 0u);
  ClearGameEffects();

  // Level 1 won (bronze, unplayed): the map kept the states before.
  LEVELRESULT r;
  profile->RecordUnplayedResult(0, &r);
  EXPECT_EQ(map->GetPlayedLevel(), 0);
  EXPECT_EQ(map->GetResultLevel(), 0);
  map->Refresh();  // while waiting, the nodes show the states before
  EXPECT_EQ(map->GetNode(0)->GetState(), 2u);
  map->PlayResult(200);
  // Shown as 3 with the profile's medal, level 2 opened, group 1 shown.
  EXPECT_EQ(map->GetNode(0)->GetState(), 3u);
  EXPECT_EQ(map->GetNode(0)->GetMedalFrame(), 0);
  EXPECT_EQ(map->GetNode(1)->GetState(), 2u);
  EXPECT_EQ(map->GetNode(4)->GetState(), 1u);
  EXPECT_EQ(map->GetNode(1)->GetGlowEffects()->Get(0)->GetDelay(), 800u);  // 200 + 300, then + 300 for the glow
  auto* skip = dynamic_cast<GEffect_Skip*>(GetGameEffect());
  ASSERT_NE(skip, nullptr);
  EXPECT_EQ(skip->GetDuration(), 200u + 900u);
  EXPECT_EQ(map->GetPlayedLevel(), -1);
  EXPECT_EQ(map->GetHovered(), -1);
  skip->Skip();  // every node finishes its fades
  EXPECT_EQ(map->GetNode(1)->GetGlowEffects(), nullptr);
  ClearGameEffects();

  // Finished before: not animated, only the tutorials.
  profile->RecordUnplayedResult(0, &r);
  EXPECT_EQ(map->GetPlayedLevel(), -1);
  map->PlayResult(200);
  EXPECT_EQ(GetGameEffect(), nullptr);

  // Only finishing opens: a result with one level shown adds 600 alone.
  profile->SetLevelState(2, 2);  // level 3 already open: nothing opened by level 2
  for (u32 i = 8; i < kLevelCount; ++i) profile->SetLevelState(i, 1);
  map->Refresh();
  profile->RecordUnplayedResult(1, &r);
  map->PlayResult(0);
  ASSERT_NE(GetGameEffect(), nullptr);
  EXPECT_EQ(GetGameEffect()->GetDuration(), 600u);
  ClearGameEffects();

  // Finished without a medal (state 3) counts as finished before: not
  // remembered for the animation; open (2) is.
  profile->SetLevelState(20, 3);
  map->RememberLevel(20);
  EXPECT_EQ(map->GetPlayedLevel(), -1);
  profile->SetLevelState(20, 2);
  map->RememberLevel(20);
  EXPECT_EQ(map->GetPlayedLevel(), 20);
}

// The hard regime opened by a result: the regime button stays locked while
// the result waits (the map entered, refreshed, its tutorials asked for),
// then opens with its animation (the chain's fall running).
TEST_F(SelectMap, TheHardRegimeOpensWithItsAnimationOnceTheResultHasPlayed) {
  map->Enter();
  ClearGameEffects();
  RegimeButton* regime = map->GetInterface()->GetRegimeButton();
  ASSERT_NE(regime, nullptr);
  EXPECT_FALSE(regime->IsEnabled());
  LEVELRESULT r;
  profile->RecordUnplayedResult(7, &r);  // the eighth level
  ASSERT_TRUE(profile->IsHardUnlocked());
  map->Refresh();
  map->StartTutorials();
  EXPECT_FALSE(regime->IsEnabled());
  map->PlayResult(200);
  ClearGameEffects();
  map->StartTutorials();  // the result's end
  EXPECT_TRUE(regime->IsEnabled());
  EXPECT_TRUE(regime->IsOpening());
}

TEST_F(SelectMap, HoverCursorClicksAndLevels) {
  map->Enter();
  ClearGameEffects();
  SelectMapTutorial tutorial;
  GetResourceServices().tutorial = &tutorial;
  u32 cursor = 0;

  // Hidden level 2: its cell stays dark, no hand; open level 1: the hand.
  map->OnMouseMove(At(1).x, At(1).y, 0, 0);
  EXPECT_EQ(map->GetHovered(), -1);
  EXPECT_FALSE(map->GetNode(1)->IsHovered());
  EXPECT_FALSE(map->GetCursor(&cursor));
  map->OnMouseMove(At(0).x, At(0).y, 0, 0);
  EXPECT_FALSE(map->GetNode(1)->IsHovered());
  EXPECT_TRUE(map->GetCursor(&cursor));
  EXPECT_EQ(cursor, kMapLevelCursor);
  // The tutorial refuses level 1: no hover, a click opens nothing.
  tutorial.refused = 0;
  map->OnMouseMove(At(0).x + 1, At(0).y, 0, 0);
  EXPECT_EQ(map->GetHovered(), -1);
  map->OnMouseDown(At(0).x, At(0).y, kMouseLeft, 0);
  EXPECT_EQ(FindWindowOf<LevelWindow>(), nullptr);
  tutorial.refused = -1;

  // Without its file (its record not loaded) level 1 is hovered, drawn,
  // and not opened.
  levels.table.Get(0).loaded = false;
  map->OnMouseDown(At(0).x + 1, At(0).y + 1, kMouseLeft, 0);
  EXPECT_EQ(map->GetHovered(), 0);
  EXPECT_EQ(FindWindowOf<LevelWindow>(), nullptr);
  EXPECT_FALSE(map->GetCursor(&cursor));
  levels.table.Get(0).loaded = true;
  // A click (Shift without the developers' switch is a plain one): the
  // tutorial told, the level window (from the map), the hover gone, no result.
  map->OnMouseDown(At(0).x, At(0).y, kMouseLeft, kModShift);
  EXPECT_EQ(profile->GetLevelState(0, 0), 2u);
  ASSERT_NE(FindWindowOf<LevelWindow>(), nullptr);
  EXPECT_EQ(FindWindowOf<LevelWindow>()->GetKind(), kLevelWindowFromMap);
  ASSERT_EQ(tutorial.told.size(), 1u);
  EXPECT_EQ(tutorial.told[0].first, kTutorialEventMapLevel);
  EXPECT_EQ(tutorial.told[0].second, 0u);
  EXPECT_EQ(map->GetHovered(), -1);
  // The (modal) window takes the pointer: a move, release and double click
  // each store their place, the hover stays as it was.
  profile->SetLevelState(1, 1);  // shown closed: hovered
  map->UpdateHover(At(1).x, At(1).y);
  ASSERT_EQ(map->GetHovered(), 1);
  map->OnMouseMove(At(2).x, At(2).y, 0, 0);
  EXPECT_EQ(map->GetHovered(), 1);
  EXPECT_TRUE(map->GetNode(1)->IsHovered());
  EXPECT_EQ(map->GetPointer().x, At(2).x);
  map->OnMouseUp(At(3).x, At(3).y, kMouseLeft, 0);
  EXPECT_EQ(map->GetPointer().x, At(3).x);
  map->OnDoubleClick(At(4).x, At(4).y, 0);
  EXPECT_EQ(map->GetPointer().x, At(4).x);
  EXPECT_EQ(map->GetPointer().y, At(4).y);
  EXPECT_EQ(map->GetHovered(), 1);
  delete FindWindowOf<LevelWindow>();
  map->OnMouseMove(At(0).x, At(0).y, 0, 0);  // no window: the map's hover again
  EXPECT_EQ(map->GetHovered(), 0);

  // Started: a kept level of the regime again, else a new one (afresh: its
  // saved state dropped).
  host.keptLevel = 0;
  map->StartLevel(0, false);
  ASSERT_NE(Regime(), nullptr);
  EXPECT_EQ(Regime()->GetTarget(), kGameStateLevel);
  EXPECT_TRUE(host.log.empty());
  ClearGameEffects();
  *profile->Slot(0, 0) = SavedState(0, 0, 7);
  ASSERT_TRUE(profile->HasSavedLevel(0));
  map->StartLevel(0, true);
  EXPECT_FALSE(profile->HasSavedLevel(0));
  EXPECT_EQ(host.log, (std::vector<std::string>{"delete", "make 0"}));
  ASSERT_NE(Regime(), nullptr);
  EXPECT_EQ(Regime()->GetTarget(), kGameStateLevelLoading);
  ClearGameEffects();

  // Escape: the main screen.
  map->OnKeyDown(27, 0);
  ASSERT_NE(Regime(), nullptr);
  EXPECT_EQ(Regime()->GetTarget(), kGameStateMainScreen);
  ClearGameEffects();

  // Shift with the switch on: bronze at once, its result played.
  map->SetCheats(true);
  map->OnMouseDown(At(1).x, At(1).y, kMouseLeft, kModShift);
  EXPECT_EQ(profile->GetLevelState(0, 1), 4u);
  EXPECT_NE(dynamic_cast<GEffect_Skip*>(GetGameEffect()), nullptr);
  GetResourceServices().tutorial = nullptr;
}

TEST_F(SelectMap, WheelZoomSnapsToTheHomeScale) {
  map->FitScreen(1024, 768);
  map->OnMouseWheel(500, 400, 120, 0, 0);  // mode 0: only the home scale taken
  EXPECT_FLOAT_EQ(map->GetScale(), 1.0f);
  map->OnMouseWheel(500, 400, -120, 0, 1);
  EXPECT_FLOAT_EQ(map->GetScale(), 1.01f);
  map->OnMouseWheel(500, 400, 120, 0, 2);  // 0.91 would cross 1.0: snapped
  EXPECT_FLOAT_EQ(map->GetScale(), 1.0f);
  map->OnMouseWheel(500, 400, 120, 0, 2);  // out past the fit: the picture would not cover the screen
  EXPECT_FLOAT_EQ(map->GetScale(), 1.0f);
  for (int i = 0; i < 3; ++i) map->OnMouseWheel(500, 400, -120, 0, 2);
  map->OnMouseWheel(500, 400, -120, 0, 1);
  EXPECT_FLOAT_EQ(map->GetScale(), 1.31f);
  for (int i = 0; i < 8; ++i) map->OnMouseWheel(500, 400, -120, 0, 2);
  EXPECT_FLOAT_EQ(map->GetScale(), 1.5f);
  EXPECT_EQ(map->GetOffsetX(), 0);  // offsets stay
  EXPECT_EQ(map->GetOffsetY(), 0);
  for (int i = 0; i < 6; ++i) map->OnMouseWheel(500, 400, 120, 0, 2);  // back to the fit, and no further
  EXPECT_FLOAT_EQ(map->GetScale(), 1.0f);
  // A new size: a new fit, and a new home scale.
  map->FitScreen(800, 600);
  map->OnMouseWheel(400, 300, -120, 0, 2);
  map->OnMouseWheel(400, 300, 120, 0, 2);  // back across 0.78125: snapped to it
  EXPECT_FLOAT_EQ(map->GetScale(), 0.78125f);
}

TEST_F(SelectMap, PendingTutorialsInOrderAndTheKeptProgress) {
  profile->SetTutorials(true);
  map->Enter();  // refresh: the first tutorial's check; a fresh profile sees it once
  EXPECT_EQ(factory.asked, (std::vector<std::string>{"map 0"}));
  EXPECT_TRUE(profile->HasFlags(kProfileShownFirstMap));
  map->AddTutorialFlags(kMapTutorialRegime | kMapNoticeAward | kMapNoticeFinal);
  map->StartTutorials();  // the first's check clears, the regime tutorial starts
  EXPECT_EQ(factory.asked.back(), "map 1");
  EXPECT_EQ(map->GetTutorialFlags(), kMapNoticeAward | kMapNoticeFinal);
  map->StartTutorials();  // then both award notices
  EXPECT_EQ(map->GetTutorialFlags(), 0u);
  ASSERT_NE(GetAwardNotices(), nullptr);
  EXPECT_EQ(GetAwardNotices()->GetCount(), 2);
  // The hard regime's first visit, once.
  profile->SetRegime(1);
  map->OnRegimeSwitched();
  EXPECT_EQ(factory.asked.back(), "map 2");
  map->OnRegimeSwitched();
  EXPECT_EQ(factory.asked.size(), 3u);
  // A villains' attack due on a fresh regime-0 profile starts its tutorial;
  // without the villains' descriptions no villain is made.
  profile->SetRegime(0);
  map->Refresh();
  map->AddTutorialFlags(kMapVillainsAttack);
  map->StartTutorials();
  EXPECT_EQ(map->GetTutorialFlags() & kMapVillainsAttack, 0u);
  EXPECT_EQ(factory.asked.back(), "map 3");
  EXPECT_EQ(map->GetVillains().GetCount(), 0);
  EXPECT_EQ(map->GetNode(0)->GetState(), 0u);

  // The current profile deleted: the map shows its copy until refreshed.
  profile->SetLevelState(3, 5);
  map->KeepProfileCopy();
  EXPECT_TRUE(map->OwnsProgressCopy());
  ASSERT_EQ(rig.store.DeleteProfile(profile), 0);
  profile = nullptr;
  EXPECT_EQ(map->GetLevelState(3), 5u);  // read from the copy (ASan: not the freed profile)
  map->Draw();
  map->Refresh();
  EXPECT_FALSE(map->OwnsProgressCopy());
  EXPECT_EQ(map->GetLevelState(3), 0u);
  map->Leave();
  EXPECT_EQ(map->GetInterface(), nullptr);
  EXPECT_EQ(map->GetTutorialFlags(), 0u);
}

}  // namespace
}  // namespace profiletest

namespace profiletest {
namespace {

// A fresh profile's map plays the villains' attack: every node hidden in its
// attack look, two villains, and each gas shot turns its node to the hidden
// look; it plays once: not again on a later visit with level 1 unplayed,
// nor for a profile with a finished level.
TEST_F(SelectMap, VillainsAttackOnAFreshProfileOnly) {
  mapchartest::MapCharacterRig characters;
  MapSectionData data;
  for (MAPNODE& node : data.nodes) {
    node.itemCount = 2;
    node.items[0] = SelectMapItem(kMapItemSpot, kMapMaskHidden);
    node.items[1] = SelectMapItem(kMapItemSprite, kMapMaskAttack);
  }
  map->Load(std::move(data));
  map->Enter();
  SelectMapTutorial attackTutorial;  // stands for the attack's tutorial, which brings the map back
  GetResourceServices().tutorial = &attackTutorial;
  map->AddTutorialFlags(kMapVillainsAttack);
  map->StartTutorials();
  ASSERT_EQ(map->GetVillains().GetCount(), 2);
  EXPECT_EQ(factory.asked.back(), "map 3");
  MapLevelSprite* target = map->GetNode(14);
  EXPECT_EQ(target->GetState(), 0u);
  EXPECT_EQ(target->GetChild(0), nullptr);
  ASSERT_NE(target->GetChild(1), nullptr);  // the attack look
  EXPECT_EQ(map->GetVillains()[0]->GetX(), static_cast<float>(-map->GetOffsetX() - 64));
  bool hit = false;
  for (u32 t = 0; t < 4000 && map->GetVillains().GetCount() > 0; ++t) {
    map->Update(10);
    if (t % 50 == 0) map->Draw();
    if (!hit && target->GetChild(0)) {
      // The shot's hit: the locked look fades in over the attack's.
      hit = true;
      EXPECT_NE(target->GetChild(0)->GetEffects(), nullptr);
      EXPECT_FALSE(target->GetChild(0)->begun);
      ASSERT_NE(target->GetChild(1), nullptr);
      EXPECT_TRUE(target->GetChild(1)->hiding);
    }
  }
  EXPECT_TRUE(hit);
  EXPECT_EQ(map->GetVillains().GetCount(), 0);
  for (i32 level : {14, 25, 35, 40}) {
    EXPECT_NE(map->GetNode(level)->GetChild(0), nullptr) << level;  // the hidden look
    ASSERT_NE(map->GetNode(level)->GetChild(1), nullptr) << level;  // gone at a draw with a viewer
    EXPECT_TRUE(map->GetNode(level)->GetChild(1)->hiding) << level;
  }
  EXPECT_NE(map->GetNode(3)->GetChild(1), nullptr);  // not a target: still the attack look
  // Without a tutorial the map comes back by itself once the villains are gone.
  GetResourceServices().tutorial = nullptr;
  map->Update(10);
  ASSERT_NE(map->GetNode(3)->GetChild(1), nullptr);
  EXPECT_TRUE(map->GetNode(3)->GetChild(1)->hiding);  // fading out

  // RefreshLevels at once ends a running attack.
  map->StartVillainsAttack();
  map->RefreshLevels(true);
  EXPECT_EQ(map->GetVillains().GetCount(), 0);

  // The map left and entered again with level 1 still unplayed, the
  // opening comic ended once more on the way from the main screen: the
  // attack played once, it does not come again.
  const auto attacks = [&] { return std::count(factory.asked.begin(), factory.asked.end(), "map 3"); };
  const auto before = attacks();
  map->Leave();
  map->Enter();
  map->AddTutorialFlags(kMapVillainsAttack);
  map->StartTutorials();
  EXPECT_EQ(map->GetVillains().GetCount(), 0);
  EXPECT_EQ(attacks(), before);

  // A finished level: the attack does not come.
  profile->SetLevelState(0, 4);
  map->Refresh();
  map->AddTutorialFlags(kMapVillainsAttack);
  map->StartTutorials();
  EXPECT_EQ(map->GetVillains().GetCount(), 0);
  map->Leave();
}

}  // namespace
}  // namespace profiletest
