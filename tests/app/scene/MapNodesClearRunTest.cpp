// Every level's node on the campaign map can be reached at every window
// size the game offers (800 x 600, 1,024 x 768, 1,280 x 800): in the running
// game on the sample data set, no node's middle, the inner part of its cell,
// its sign's number or its medal lies under the map interface (its bands,
// "back", "options", "awards", the greeting, the regime switch, the medals'
// click area and the plate drawn round them), and the pointer moved onto
// each node's middle hovers that level (what a click opens).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "RunningGame.h"
#include "app/LevelSelectMap.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/LevelTable.h"
#include "content/MapSection.h"
#include "resources/ResourceServices.h"
#include "ui/GameButton.h"
#include "ui/InvisibleButton.h"
#include "windows/MapInterface.h"

namespace {

// A screen rectangle the interface covers, named for the message.
struct CoveredRect {
  std::string name;
  DXLRECT rect;
};

// The sample data set's map nodes (their signs' places).
std::unique_ptr<MapSectionData> ReadSampleMapNodes() {
  auto out = std::make_unique<MapSectionData>();
  const std::u16string path = plat::Utf8ToUtf16(SampleDataFolder() + "/Data.dat");
  kis::DataFileReaderW* data =
      kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
  if (!data) return nullptr;
  SectionCursor cursor;
  const bool read = ReadMapSection(data, &cursor, out.get()) == 1 && cursor.error == 0;
  kis::CloseDataFile(data);
  return read ? std::move(out) : nullptr;
}

// What the interface shows over the map, on the screen.
std::vector<CoveredRect> InterfaceRects(const MapInterface& ui) {
  std::vector<CoveredRect> rects;
  const auto add = [&](const char* name, const DXLRECT& r) {
    kis::IntPoint a{}, b{};
    ui.ClientToScreen(&a, r.left, r.top);
    ui.ClientToScreen(&b, r.right, r.bottom);
    rects.push_back({name, DXLRECT{a.x, a.y, b.x, b.y}});
  };
  const std::pair<const char*, GameButton*> controls[] = {{"back", ui.GetButton(kMapBackCommand)},
                                                          {"options", ui.GetButton(kMapOptionsCommand)},
                                                          {"awards", ui.GetButton(kMapAwardsCommand)},
                                                          {"greeting", ui.GetProfileButton()},
                                                          {"regime", ui.GetRegimeButton()},
                                                          {"medals", ui.GetMedalsArea()}};
  for (const auto& [name, control] : controls) {
    EXPECT_NE(control, nullptr) << name;
    if (control) add(name, control->GetRect());
  }
  // The plate behind the medals reaches 14 pixels past their click area's
  // sides, 11 above it and 19 below.
  if (const GameButton* medals = ui.GetMedalsArea()) {
    const DXLRECT& r = medals->GetRect();
    add("medals plate", DXLRECT{r.left - 14, r.top - 11, r.right + 14, r.bottom + 19});
  }
  return rects;
}

TEST(MapNodesClearRun, EveryNodeItsSignAndMedalClearOfTheInterfaceAtEveryWindowSize) {
  if (SampleDataFolder().empty()) GTEST_SKIP() << "no sample data set";
  const std::unique_ptr<MapSectionData> nodes = ReadSampleMapNodes();
  ASSERT_NE(nodes, nullptr);
  for (const auto& [w, h] : {std::pair{800, 600}, std::pair{1024, 768}, std::pair{1280, 800}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    RunningGame run(static_cast<u32>(w), static_cast<u32>(h), true);
    ASSERT_TRUE(run.ok);
    ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
    run.NameFirstProfile(u"Nod");
    run.game.Profiles()->GetCurrent()->SetTutorials(false);
    run.game.ChooseRegime();
    ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
    // The opening comic closed by Escape, then the map left to settle.
    for (u32 i = 0, quiet = 0; quiet < 60; ++i) {
      ASSERT_LT(i, 3000u) << "the map never came quiet";
      const bool comic = run.game.State() == kGameStateComic;
      if (comic && i % 25 == 0) run.game.KeyDown(plat::DIK_ESCAPE, 0);
      quiet = run.game.State() == kGameStateLevelMap && !GetGameEffect() ? quiet + 1 : 0;
      run.Frame();
    }
    ASSERT_EQ(GetResourceServices().screen.width, w);
    ASSERT_EQ(GetResourceServices().screen.height, h);
    LevelSelectMap* map = run.game.Map();
    ASSERT_TRUE(map && map->GetInterface());
    const MapInterface& ui = *map->GetInterface();
    const std::vector<CoveredRect> covered = InterfaceRects(ui);

    for (i32 level = 0; level < static_cast<i32>(kLevelCount); ++level) {
      const MapLevelSprite* node = map->GetNode(level);
      ASSERT_NE(node, nullptr) << level;
      const i32 x = node->GetX(), y = node->GetY();
      // The middle, the inner part of its cell (the hex is 123 wide and
      // 94 high), the sign's number (the board's middle is 2 left of and
      // 28 above its item's place) and the medal (49 left, 2 up).
      std::vector<std::pair<std::string, DXLPOINT>> spots = {
          {"middle", {x, y}},          {"cell's left", {x - 30, y}}, {"cell's right", {x + 30, y}},
          {"cell's top", {x, y - 24}}, {"cell's foot", {x, y + 24}}, {"medal", {x - 49, y - 2}}};
      const MAPNODE& data = nodes->nodes[level];
      for (u32 i = 0; i < data.itemCount; ++i)
        if (data.items[i].kind == kMapItemSign)
          spots.push_back({"sign", {x + data.items[i].x - 2, y + data.items[i].y - 28}});
      for (const auto& [what, at] : spots) {
        const DXLPOINT p = map->ToScreen(at.x, at.y);
        EXPECT_FALSE(ui.HitTest(p.x, p.y)) << "level " << level + 1 << "'s " << what << " under the interface's bands";
        for (const CoveredRect& c : covered)
          EXPECT_FALSE(p.x >= c.rect.left && p.x < c.rect.right && p.y >= c.rect.top && p.y < c.rect.bottom)
              << "level " << level + 1 << "'s " << what << " at " << p.x << ", " << p.y << " under " << c.name;
      }
      // The pointer moved onto the node's middle: the map hovers that level
      // (the level a click there opens). Checked before the next frame: the
      // headless session's own pointer comes with it.
      const DXLPOINT middle = map->ToScreen(x, y);
      run.game.MouseMove(middle.x, middle.y, 0, 0);
      EXPECT_EQ(map->GetHovered(), level) << "level " << level + 1 << " at " << middle.x << ", " << middle.y;
    }
  }
}

}  // namespace
