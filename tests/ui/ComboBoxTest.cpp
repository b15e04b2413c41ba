#include <gtest/gtest.h>

#include <string>

#include "ToolkitRig.h"
#include "gametext/KGEFont.h"
#include "resources/GameDraw.h"
#include "ui/GameComboBox.h"
#include "ui/GameComboBoxList.h"
#include "ui/GameScrollbar.h"
#include "testsupport/WindowDoor.h"

using uitest::ToolkitRig;

namespace {

// A window away from the screen's corner (so is the list below its box: a
// point turned into list coordinates twice, or not at all, misses its row)
// that draws its controls and counts its combo's changes.
constexpr i32 kOptionsX = testsupport::kAwayX, kOptionsY = testsupport::kAwayY;
class OptionsWindow : public GameWindow {
 public:
  OptionsWindow() : GameWindow(0x4F707473u, false) {
    rect_ = DXLRECT{kOptionsX, kOptionsY, kOptionsX + 600, kOptionsY + 300};
  }
  void Draw() override {
    GetGameViewer()->Translate(static_cast<float>(kOptionsX), static_cast<float>(kOptionsY));
    GetGameViewer()->GetTransform(&transform_);
    DrawControls();
  }
  void OnControlChange(GameButton* control) override {
    ++changes;
    last = control;
  }
  int changes = 0;
  GameButton* last = nullptr;
};

class ComboBoxes : public ::testing::Test {
 protected:
  ComboBoxes() {
    rig_.AddPicture(u"profiles_back", 64, 64, [](i32, i32 y) { return 0xFF000000u | static_cast<u32>(y) << 8; });
    window_ = new OptionsWindow;
    combo_ = CreateComboBox(window_, 7, 10, 20, 150, u"Screen");
  }
  // A left click (press and release) at a screen point.
  void Click(i32 x, i32 y) {
    rig_.M().OnMouseMove(x, y, 0, 0);
    rig_.M().OnMouseDown(x, y, kMouseLeft, 0);
    rig_.M().OnMouseUp(x, y, kMouseLeft, 0);
  }
  void ClickBox() { Click(kOptionsX + combo_->GetX() + 40, kOptionsY + combo_->GetY() + 10); }
  // The screen point of a list row's middle.
  void RowPoint(i32 slot, i32* x, i32* y) {
    const DXLRECT& r = combo_->GetList()->GetRect();
    *x = r.left + 40;
    *y = r.top + 11 + slot * combo_->GetList()->GetRowHeight() + 5;
  }

  ToolkitRig rig_;
  OptionsWindow* window_;
  GameComboBox* combo_;
};

TEST_F(ComboBoxes, OpensBelowTheBoxScrolledToTheSelectionAndScrollsItsRows) {
  // The box stands 212 right of its origin, its label at the origin.
  EXPECT_EQ(combo_->GetX(), 222);
  EXPECT_EQ(combo_->GetHeight(), 37);
  EXPECT_FLOAT_EQ(combo_->GetLabelX(), 10.0f);
  combo_->AddItem(u"Only", 1, true);
  ClickBox();
  EXPECT_EQ(combo_->GetList(), nullptr);  // one item: no list
  combo_->Clear();
  const uintptr_t far = uintptr_t{0x7FFF12345678u};
  for (int i = 0; i < 8; ++i)
    combo_->AddItem((u"Mode" + std::u16string(1, static_cast<wchar>(u'0' + i))).c_str(), far + i, i != 2);
  EXPECT_EQ(combo_->GetItemValue(3), far + 3);  // values keep all their bits
  EXPECT_EQ(combo_->GetItemValue(8), 0u);
  EXPECT_EQ(combo_->GetItemValue(-1), 0u);
  combo_->SetSelection(6, false);
  EXPECT_EQ(window_->changes, 0);
  ClickBox();
  GameComboBoxList* list = combo_->GetList();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(combo_->IsOpen());
  EXPECT_EQ(combo_->State().GetState(), kStateNormal | kStateFlag);
  EXPECT_EQ(window_->changes, 0);  // opening is not a command
  // Below the box's bottom-left corner moved by (-6, -5), 17 wider, five rows of 24.
  EXPECT_EQ(list->GetRect().left, kOptionsX + 222 - 6);
  EXPECT_EQ(list->GetRect().top, kOptionsY + 20 + 37 - 5);
  EXPECT_EQ(list->GetWidth(), 167);
  EXPECT_EQ(list->GetRowHeight(), 24);
  EXPECT_EQ(list->GetRowCount(), 5);
  EXPECT_EQ(list->GetHeight(), 5 * 24 + 27);
  ASSERT_NE(list->GetScrollbar(), nullptr);
  EXPECT_EQ(list->GetScrollbar()->GetTrackLength(), 57);
  // Scrolled so that the selected item is the bottom row.
  EXPECT_EQ(list->GetFirstIndex(), 2);
  EXPECT_EQ(list->GetRow(4)->index, 6);
  EXPECT_EQ(list->GetRow(4)->state.GetState(), kStateNormal | kStateFlag);
  EXPECT_EQ(list->GetRow(0)->state.GetState(), kStateHidden);  // item 2 is disabled
  // The background's source starts two rows down its picture.
  EXPECT_FLOAT_EQ(list->GetBackgroundQuad().v[0].v, 48.0f / 64.0f);
  // The wheel scrolls one item: the rows still in view keep their texts.
  const GAMECBLISTITEM* kept = list->GetRow(1);
  EXPECT_TRUE(rig_.M().OnMouseWheel(list->GetRect().left + 20, list->GetRect().top + 20, -120, 0, 0));
  EXPECT_EQ(list->GetFirstIndex(), 3);
  EXPECT_EQ(list->GetRow(0), kept);
  EXPECT_EQ(list->GetRow(4)->index, 7);
  EXPECT_EQ(list->GetRow(4)->state.GetState(), kStateNormal);
  EXPECT_FLOAT_EQ(list->GetBackgroundQuad().v[0].v, 8.0f / 64.0f);  // 72 round the 64 rows of the picture
  // Drawn: the open box's face in its pressed frame, the list's frame from
  // its skin, the open box's text in green, the rows by their states.
  rig_.ui.AdvanceClock(500);
  rig_.ui.Frame();
  EXPECT_EQ(rig_.ui.Pixel(kOptionsX + 222 + 2, kOptionsY + 20 + 2), uitest::InterfaceTexel(967 + 2, 3 * 39 + 2));
  EXPECT_EQ(rig_.ui.Pixel(kOptionsX + 216 + 2, kOptionsY + 52 + 2), uitest::InterfaceTexel(618 + 2, 165 + 2));
  EXPECT_EQ(combo_->GetLastCaptionColour(), 0xFF00FF00u);
  EXPECT_EQ(list->GetRow(3)->lastColour, 0xFF00FF00u);  // the selected item 6
  EXPECT_EQ(list->GetRow(4)->lastColour, 0xFFFFFFFFu);
}

TEST_F(ComboBoxes, ARowIsChosenByPressAndReleaseOnItAndNothingElse) {
  for (int i = 0; i < 6; ++i) combo_->AddItem(i == 1 ? u"Off" : u"On", static_cast<uintptr_t>(i), i != 1);
  combo_->SetSelection(0, false);
  ClickBox();
  GameComboBoxList* list = combo_->GetList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetFirstIndex(), 0);
  i32 x = 0, y = 0, x2 = 0, y2 = 0;
  // Hover lights the row under the pointer only.
  RowPoint(2, &x, &y);
  rig_.M().OnMouseMove(x, y, 0, 0);
  EXPECT_EQ(list->GetRow(2)->state.GetState(), kStateHover);
  RowPoint(3, &x2, &y2);
  rig_.M().OnMouseMove(x2, y2, 0, 0);
  EXPECT_EQ(list->GetRow(2)->state.GetState(), kStateNormal);
  EXPECT_EQ(list->GetRow(3)->state.GetState(), kStateHover);
  // Pressed on one row, released on another: nothing chosen, the row back to normal.
  rig_.M().OnMouseDown(x, y, kMouseLeft, 0);
  EXPECT_EQ(list->GetPressedIndex(), 2);
  EXPECT_EQ(list->GetRow(2)->state.GetState(), kStatePressed);
  rig_.M().OnMouseMove(x2, y2, 1, 0);
  rig_.M().OnMouseUp(x2, y2, kMouseLeft, 0);
  EXPECT_EQ(list->GetPressedIndex(), -1);
  EXPECT_EQ(list->GetRow(2)->state.GetState(), kStateNormal);
  EXPECT_EQ(combo_->GetSelection(), 0);
  EXPECT_EQ(window_->changes, 0);
  EXPECT_TRUE(combo_->IsOpen());
  // A disabled row takes no press.
  RowPoint(1, &x, &y);
  rig_.M().OnMouseDown(x, y, kMouseLeft, 0);
  EXPECT_EQ(list->GetPressedIndex(), -1);
  rig_.M().OnMouseUp(x, y, kMouseLeft, 0);
  EXPECT_TRUE(combo_->IsOpen());
  // Press and release on one row: chosen, the window told, the list closed.
  RowPoint(4, &x, &y);
  Click(x, y);
  EXPECT_EQ(combo_->GetSelection(), 4);
  EXPECT_EQ(window_->changes, 1);
  EXPECT_EQ(window_->last, combo_);
  EXPECT_FALSE(combo_->IsOpen());
  EXPECT_FALSE(combo_->State().GetFlag());
  EXPECT_EQ(combo_->State().GetState(), kStateNormal);  // the pointer is not over the box
  rig_.ui.Frame();  // the manager deletes the closed list
  EXPECT_EQ(combo_->GetList(), nullptr);
  EXPECT_EQ(rig_.M().OpenDialogs().GetCount(), 0);
  // A press outside an open list closes it without a change and goes no further.
  ClickBox();
  ASSERT_TRUE(combo_->IsOpen());
  rig_.M().OnMouseDown(20, 20, kMouseLeft, 0);
  EXPECT_FALSE(combo_->IsOpen());
  EXPECT_EQ(combo_->GetSelection(), 4);
  EXPECT_EQ(window_->changes, 1);
  rig_.M().OnMouseUp(20, 20, kMouseLeft, 0);
  rig_.ui.Frame();
  // Closed with the pointer over the box, the box keeps its state; with the
  // pointer elsewhere it goes back to normal.
  for (const bool over : {true, false}) {
    ClickBox();
    ASSERT_TRUE(combo_->IsOpen());
    if (!over) rig_.M().OnMouseMove(20, 20, 0, 0);
    combo_->SetState(kStateHover, true, 0);
    combo_->CloseList();
    EXPECT_FALSE(combo_->IsOpen());
    EXPECT_EQ(combo_->State().GetState(), over ? kStateHover : kStateNormal) << over;
    rig_.ui.Frame();
  }
  // Selecting with notify tells the window even when nothing changes; out of range is clamped.
  combo_->SetSelection(4, true);
  EXPECT_EQ(window_->changes, 2);
  combo_->SetSelection(99, false);
  EXPECT_EQ(combo_->GetSelection(), 5);
  combo_->Clear();
  EXPECT_EQ(combo_->GetSelection(), -1);
  // A box deleted with its list open takes the list with it.
  combo_->AddItem(u"A", 0, true);
  combo_->AddItem(u"B", 0, true);
  ClickBox();
  ASSERT_NE(combo_->GetList(), nullptr);
  delete window_;
  EXPECT_EQ(rig_.M().GetStack().GetCount(), 0);
}

}  // namespace
