#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ToolkitRig.h"
#include "content/LevelIntro.h"
#include "gametext/KGEBaseTextSprite.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "ui/InfoWindow.h"
#include "ui/InfoWindowSources.h"
#include "testsupport/KindTables.h"
#include "testsupport/WindowDoor.h"
#include "ui/UiServices.h"

using uitest::ToolkitRig;

namespace {

class FakePanel : public LevelPanelArea {
 public:
  bool IsPointOver(i32 x, i32 y) const override { return y >= 500 && x >= 0; }
};

template <size_t N>
void Put(wchar (&field)[32], const char16_t (&text)[N]) {
  static_assert(N <= 33);
  for (size_t i = 0; i < 32; ++i) field[i] = i + 1 < N ? text[i] : 0;
}

INFOENTRY Entry(u32 block, u32 item, i32 before, i32 after) {
  INFOENTRY e{};
  e.blockKind = block;
  e.itemKind = item;
  e.spaceBefore = before;
  e.spaceAfter = after;
  return e;
}

class InfoWindows : public ::testing::Test {
 protected:
  InfoWindows() {
    rig_.AddPicture(u"info", 256, 128, [](i32 x, i32 y) { return 0xFF000000u | static_cast<u32>(x ^ y); });
    rig_.folder.Put("info.txt",
                    "Language {\n\tIdent = info\n"
                    "\tfonts {\n\t\tbuttons_font = \"f1.txt\"\n\t\tcaption_font = \"f2.txt\"\n"
                    "\t\tmain_font = \"f3.txt\"\n\t\tmain_big_font = \"f4.txt\"\n\t}\n"
                    "\tinfo_panel {\n\t\tlevel = Level\n\t\twheat_info = Grows fast\n\t\tfarm_name = Old farm\n"
                    "\t\tfarm_text = Fields by the river\n\t}\n"
                    "\tplants {\n\t\twheat = Wheat\n\t}\n\tbuildings {\n\t\tmill = Mill\n\t}\n}\n");
    language_ = std::make_unique<uitest::UiLanguage>(rig_.folder.Wide("info.txt").c_str());
    SetGameLanguage(language_.get());
    // Wheat at level 2, beta at 0 (no row), the mill at 3; their icons
    // are the rig's pictures.
    EXPECT_TRUE(kinds_.Load({testsupport::KindPlant(u"wheat"), testsupport::KindPlant(u"beta")},
                            {testsupport::KindBuilding(u"mill", kBuildingFactory)}));
    kinds_.plants.UsePlant(kinds_.Plant(u"wheat"), 2);
    kinds_.plants.UsePlant(kinds_.Plant(u"beta"), 0);
    kinds_.Building(u"mill")->EnableForLevel(3);
    kinds_.Plant(u"wheat")->icon = rig_.balloon;
    kinds_.Building(u"mill")->levels[0].icon = rig_.hintLine;
    GetUiServices().levelPanel = &panel_;
  }
  ~InfoWindows() override {
    GetUiServices().levelPanel = nullptr;
  }

  std::unique_ptr<uitest::UiLanguage> language_;  // outlives the windows (the rig goes first)
  ToolkitRig rig_;
  testsupport::KindTables kinds_;
  FakePanel panel_;
};

TEST_F(InfoWindows, BlocksStackByTheLargerSpaceAndUnknownItemsLeaveTheirRoomEmpty) {
  std::vector<INFOENTRY> e;
  e.push_back(Entry(1, 1, 0, 10));  // wheat, level 2: a widened row with its text
  Put(e.back().itemName, u"wheat");
  Put(e.back().textKey, u"wheat_info");
  e.push_back(Entry(3, 0, 4, 0));   // a thin separator 10 below (the space after wins)
  e.push_back(Entry(1, 1, 6, 20));  // beta at level 0: empty
  Put(e.back().itemName, u"beta");
  e.push_back(Entry(1, 3, 15, 0));  // an unknown bonus: empty, 20 below (the space after wins)
  Put(e.back().itemName, u"hail");
  e.push_back(Entry(1, 2, 0, 5));   // the mill, level 3
  Put(e.back().itemName, u"mill");
  e.push_back(Entry(0, 0, 12, 40));  // a picture not loaded: its row and text still
  Put(e.back().itemName, u"farm_name");
  Put(e.back().textKey, u"farm_text");
  Put(e.back().imageName, u"farm_picture");
  e.push_back(Entry(2, 0, 0, 0));  // a wide separator 40 below
  auto* w = new InfoWindow(e.data(), static_cast<u32>(e.size()));
  EXPECT_EQ(rig_.M().GetInfoWindow(), w);
  EXPECT_EQ(w->GetBlockTops(), (std::vector<i32>{24, 82, 92, 160, 208, 268, 452}));
  EXPECT_EQ(w->GetFrameHeight(), 468 + 29);
  EXPECT_EQ(w->GetWidth(), 680);
  EXPECT_EQ(w->GetHeight(), 468 + 29 - 5);
  EXPECT_EQ(w->GetX(), 60);
  EXPECT_EQ(w->GetY(), (600 - 492) / 2 - 20);
  // Icons of the wheat and the mill, centred 28 and 24 into their rows.
  ASSERT_EQ(w->GetIcons().size(), 2u);
  EXPECT_FLOAT_EQ(w->GetIcons()[0].x, 26.0f + 28.0f);
  EXPECT_FLOAT_EQ(w->GetIcons()[0].y, 24.0f + 24.0f);
  EXPECT_FLOAT_EQ(w->GetIcons()[1].y, 208.0f + 24.0f);
  // Wheat: name, level badge, text beside the widened row (292 + 70); the
  // mill: name and badge; the picture block: its custom name and its text.
  const auto& texts = w->GetTexts();
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_FLOAT_EQ(texts[0].x, 26.0f + 70.0f);
  const i32 badgeWidth = texts[1].text->GetWidth();
  EXPECT_FLOAT_EQ(texts[1].x, static_cast<float>(26 + 362 - 70 + (70 - badgeWidth) / 2 - 6));
  EXPECT_FLOAT_EQ(texts[2].x, static_cast<float>(26 + 16 + 362));
  EXPECT_FLOAT_EQ(texts[2].y, static_cast<float>(24 + 24 - texts[2].text->GetHeight() / 2));
  EXPECT_FLOAT_EQ(texts[5].x, static_cast<float>(26 + 224 + 74));
  EXPECT_FLOAT_EQ(texts[6].x, static_cast<float>(26 + 240));
  EXPECT_FLOAT_EQ(texts[6].y, static_cast<float>(268 + 53));
  // The close button in the top-right corner; drawn without fault.
  EXPECT_EQ(w->GetCloseButton()->GetX(), 680 - 31);
  EXPECT_EQ(w->GetCloseButton()->GetWidth(), 26);
  rig_.ui.Frame();
  delete w;
  EXPECT_EQ(rig_.M().GetInfoWindow(), nullptr);
}

TEST_F(InfoWindows, AnEmptyWindowDropsInOnRealTimeCatchesClicksButThePanelsAndCloses) {
  auto* w = new InfoWindow(nullptr, 0);
  EXPECT_EQ(w->GetWidth(), 680);
  EXPECT_EQ(w->GetHeight(), 59);
  EXPECT_TRUE(w->GetIcons().empty());
  EXPECT_TRUE(w->GetTexts().empty());
  EXPECT_EQ(w->GetPieces().GetCount(), 0);
  EXPECT_EQ(w->GetY(), (600 - 59) / 2 - 20);
  // The drop-in ends by the millisecond clock while the game clock stands still.
  EXPECT_TRUE(w->IsBusy());
  rig_.ui.Frame();
  rig_.ui.AdvanceRealTime(200);
  rig_.ui.Frame();
  EXPECT_TRUE(w->IsBusy());
  rig_.ui.AdvanceRealTime(200);
  rig_.ui.Frame();
  EXPECT_FALSE(w->IsBusy());
  // In place: the frame's corner and the close button's first frame from the "info" picture.
  const i32 top = (600 - 59) / 2 - 20;
  EXPECT_EQ(rig_.ui.Pixel(60 + 7, top + 2), 0xFF000000u | (7 ^ 2));
  EXPECT_EQ(rig_.ui.Pixel(60 + 649 + 3, top + 2 + 3), 0xFF000000u | ((44 + 3) ^ (51 + 3)));
  // Every click is caught, but in a level those over the level panel.
  EXPECT_TRUE(w->HitTest(10, 550));
  GetResourceServices().appState = kGameStateLevel;
  EXPECT_FALSE(w->HitTest(10, 550));
  EXPECT_TRUE(w->HitTest(10, 20));
  EXPECT_TRUE(w->HitTest(200, 280));
  // Keys other than Enter go by; Enter closes.
  EXPECT_FALSE(w->OnKeyDown(kKeyEscape, 0));
  EXPECT_TRUE(w->OnKeyDown(kKeyEnter, 0));
  EXPECT_TRUE(w->IsClosing());
  // A click anywhere on a new one closes it; so does its button.
  auto* w2 = new InfoWindow(nullptr, 0);
  rig_.ui.Frame();
  rig_.ui.AdvanceRealTime(400);
  rig_.ui.Frame();
  EXPECT_TRUE(rig_.M().OnMouseDown(20, 20, kMouseLeft, 0));
  EXPECT_FALSE(w2->IsClosing());
  rig_.M().OnMouseUp(20, 20, kMouseLeft, 0);
  EXPECT_TRUE(w2->IsClosing());
  // Its close button, with the window away from the screen's corner (on a
  // wider screen, where it fits there): the pointer over it, pressed and
  // released on it through the manager.
  auto* w3 = new InfoWindow(nullptr, 0);
  EXPECT_EQ(rig_.M().GetInfoWindow(), w3);
  GetResourceServices().screen.width = 1024;
  testsupport::PlaceWindow(*w3);
  ASSERT_EQ(w3->GetRect().left, testsupport::kAwayX);
  rig_.ui.Frame();
  rig_.ui.AdvanceRealTime(400);
  rig_.ui.Frame();
  IWCloseButton& close = *w3->GetCloseButton();
  EXPECT_TRUE(testsupport::HoversAt(rig_.M(), close));
  const kis::IntPoint onClose = testsupport::MiddleOf(close);
  EXPECT_TRUE(rig_.M().OnMouseDown(onClose.x, onClose.y, kMouseLeft, 0));
  EXPECT_EQ(close.State().GetEnableBits(), kStatePressed);
  rig_.M().OnMouseUp(onClose.x, onClose.y, kMouseLeft, 0);
  EXPECT_EQ(rig_.M().GetEventControl(), &close) << "released on the button";
  EXPECT_EQ(close.State().GetEnableBits(), kStateNormal);  // its command lets it go at once
  EXPECT_TRUE(w3->IsClosing());
  rig_.ui.AdvanceRealTime(400);
  rig_.ui.Frame();  // closed windows go once their lift-out has ended
  rig_.ui.AdvanceRealTime(400);
  rig_.ui.AdvanceClock(400);
  rig_.ui.Frame();
  EXPECT_EQ(rig_.M().GetStack().GetCount(), 0);
  EXPECT_EQ(rig_.M().GetInfoWindow(), nullptr);
}

TEST_F(InfoWindows, NamesFillingTheirWholeFieldAreReadToTheirEndOnly) {
  INFOENTRY e[2] = {Entry(1, 1, 0, 0), Entry(1, 0, 0, 0)};
  for (wchar& c : e[0].itemName) c = u'p';  // no terminator in any field
  for (wchar& c : e[0].textKey) c = u't';
  for (wchar& c : e[1].itemName) c = u'n';
  for (wchar& c : e[1].spriteName) c = u's';
  for (wchar& c : e[1].imageName) c = u'i';
  auto* w = new InfoWindow(e, 2);
  EXPECT_EQ(w->GetBlockTops(), (std::vector<i32>{24, 72}));
  InfoWindow::LoadEntryImages(e, 2);  // no picture of those names: nothing happens
  InfoWindow::UnloadEntryImages(e, 2);
  rig_.ui.Frame();
}

}  // namespace
