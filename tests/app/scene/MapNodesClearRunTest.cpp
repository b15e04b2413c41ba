// Every level's node on the campaign map can be reached at every window
// size the game offers (800 x 600, 1,024 x 768, 1,280 x 800): in the running
// game on the sample data set, no node's middle or the inner part of its
// cell lies under the map interface (its bands, "back", "options",
// "awards", the greeting, the regime switch, the medals' click area and the
// plate drawn round them), nor does any part of its sign or of its medal
// with the number as the map places them; the pointer moved onto each
// node's middle hovers that level (what a click opens), unless the level is
// still hidden (its cell stays dark). With every level finished, no
// chimney's smoke drifts over another level's sign.
#include <gtest/gtest.h>

#include <memory>
#include <map>
#include <string>
#include <vector>

#include "RunningGame.h"
#include "app/LevelSelectMap.h"
#include "app/MapNodes.h"
#include "resources/GPSParticle.h"
#include "resources/GPSSpace.h"
#include "resources/ImageSprite.h"
#include "resources/Sprite.h"
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
    // Levels hidden, shown closed and finished in turn.
    Profile* profile = run.game.Profiles()->GetCurrent();
    for (u32 i = 1; i < kLevelCount; ++i) profile->SetLevelState(i, i % 3 == 0 ? 0 : i % 3 == 1 ? 1 : 4);
    map->Refresh();

    for (i32 level = 0; level < static_cast<i32>(kLevelCount); ++level) {
      const MapLevelSprite* node = map->GetNode(level);
      ASSERT_NE(node, nullptr) << level;
      const i32 x = node->GetX(), y = node->GetY();
      // The middle and the inner part of its cell (the hex is 123 wide and
      // 94 high).
      const std::pair<std::string, DXLPOINT> spots[] = {
          {"middle", {x, y}},          {"cell's left", {x - 30, y}}, {"cell's right", {x + 30, y}},
          {"cell's top", {x, y - 24}}, {"cell's foot", {x, y + 24}}};
      std::vector<std::pair<std::string, DXLRECT>> parts;
      for (const auto& [what, at] : spots) {
        const DXLPOINT p = map->ToScreen(at.x, at.y);
        parts.push_back({what, DXLRECT{p.x, p.y, p.x + 1, p.y + 1}});
      }
      DXLRECT sign{}, medal{};
      ASSERT_TRUE(map->GetNodeLabels(level, &sign, &medal)) << level;
      parts.push_back({"sign", sign});
      parts.push_back({"medal", medal});
      for (const auto& [what, r] : parts) {
        for (const DXLPOINT c : {DXLPOINT{r.left, r.top}, DXLPOINT{r.right - 1, r.top}, DXLPOINT{r.left, r.bottom - 1},
                                 DXLPOINT{r.right - 1, r.bottom - 1}})
          EXPECT_FALSE(ui.HitTest(c.x, c.y)) << "level " << level + 1 << "'s " << what << " under a band";
        for (const CoveredRect& c : covered)
          EXPECT_FALSE(r.left < c.rect.right && r.right > c.rect.left && r.top < c.rect.bottom && r.bottom > c.rect.top)
              << "level " << level + 1 << "'s " << what << " at " << r.left << ", " << r.top << " to " << r.right
              << ", " << r.bottom << " under " << c.name;
      }
      // The pointer moved onto the node's middle: the map hovers that level
      // (the level a click there opens), a hidden one not. Checked before
      // the next frame: the headless session's own pointer comes with it.
      const DXLPOINT middle = map->ToScreen(x, y);
      run.game.MouseMove(middle.x, middle.y, 0, 0);
      const bool shown = node->GetState() > 0;
      EXPECT_EQ(map->GetHovered(), shown ? level : -1) << "level " << level + 1 << " at " << middle.x << ", "
                                                      << middle.y;
      EXPECT_EQ(node->IsHovered(), shown) << "level " << level + 1;
    }

    // Every level finished: each particle of a chimney's smoke, while it
    // shows, stays off the other levels' signs.
    for (u32 i = 0; i < kLevelCount; ++i) profile->SetLevelState(i, 4);
    map->Refresh();
    run.drawEvery = 1000;
    std::map<std::string, std::string> smoky;  // the first particle of each
    for (u32 frame = 0; frame < 200; ++frame) {
      run.Frame();
      for (i32 level = 0; level < static_cast<i32>(kLevelCount); ++level) {
        const MapLevelSprite* node = map->GetNode(level);
        for (u32 slot = 0; slot < kMapNodeItemSlots; ++slot) {
          const auto* smoke = dynamic_cast<const MLSParticles*>(node->GetChild(slot));
          if (!smoke) continue;
          const float k = nodes->nodes[level].items[slot].emitterScale;
          smoke->GetSpace()->Particles().ForEach([&](const GPSParticle* p) {
            if ((p->GetColor() >> 24) < 16 || !p->GetImage() || !p->GetImage()->GetSprite()) return;
            const GPSPARTICLESTATE& s = p->GetState();
            const float cx = static_cast<float>(node->GetX()) + s.x * k;
            const float cy = static_cast<float>(node->GetY()) + s.y * k;
            const float half = static_cast<float>(p->GetImage()->GetSprite()->GetFrameWidth()) * s.scale * k / 2;
            for (i32 other = 0; other < static_cast<i32>(kLevelCount); ++other) {
              DXLRECT b{};
              if (other == level || !map->GetNode(other)->GetSignBounds(&b)) continue;
              if (cx + half > static_cast<float>(b.left) && cx - half < static_cast<float>(b.right) &&
                  cy + half > static_cast<float>(b.top) && cy - half < static_cast<float>(b.bottom))
                smoky.emplace(std::to_string(level + 1) + "'s over level " + std::to_string(other + 1),
                              std::to_string(cx) + ", " + std::to_string(cy) + " (" + std::to_string(half) + " round)");
            }
          });
        }
      }
    }
    for (const auto& [which, at] : smoky) ADD_FAILURE() << "smoke of level " << which << "'s sign, at " << at;
  }
}

}  // namespace
