#include <gtest/gtest.h>

#include <string>

#include "ToolkitRig.h"
#include "engine/DXLApp.h"
#include "gametext/KGEFont.h"
#include "resources/GameDraw.h"
#include "ui/GameEdit.h"
#include "ui/WindowManager.h"
#include "testsupport/WindowDoor.h"

using uitest::ToolkitRig;

namespace {

constexpr const wchar* kAllowed = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ";

// The game's character handler as far as the boxes go: each typed
// character counted, then offered to the windows.
int handled = 0;
void GameCharacters(u16 character) {
  ++handled;
  if (WindowManager* windows = GetWindowManager()) windows->OnChar(character, 0);
}

// A window away from the screen's corner (a point turned into window
// coordinates twice, or not at all, misses its box) that draws its controls
// and notes its box's changes.
constexpr i32 kEditX = testsupport::kAwayX, kEditY = testsupport::kAwayY;
class EditWindow : public GameWindow {
 public:
  explicit EditWindow(u32 id) : GameWindow(id, false) { rect_ = DXLRECT{kEditX, kEditY, kEditX + 300, kEditY + 100}; }
  void Draw() override {
    GetGameViewer()->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
    GetGameViewer()->GetTransform(&transform_);
    DrawControls();
  }
  void OnEditChanged(GameEdit* edit) override {
    ++changes;
    last = edit ? std::u16string(edit->GetText()) : u"?";
  }
  int changes = 0;
  std::u16string last;
};

class Edits : public ::testing::Test {
 protected:
  Edits() {
    handled = 0;
    DXLSetCharSink(&GameCharacters);
  }
  ~Edits() override { DXLSetCharSink(nullptr); }
  i32 Width(const std::u16string& s) {
    KGESIZE size{0, 0};
    GetGameFont(4)->MeasureText(&size, s.c_str(), static_cast<u32>(s.size()));
    return size.cx;
  }
  // The frame's window procedure given typed characters (the game's handler
  // its sink).
  void Type(std::u16string_view text) {
    for (wchar c : text) DXLGameWindowProc(0, plat::WM_CHAR, c, 0);
  }
  void SetClip(std::u16string_view text) {
    plat::Clipboard& c = plat::GetClipboard();
    c.Open(plat::GetWindowSystem().MainWindow());
    c.Empty();
    c.SetText(text);
    c.Close();
  }
  // The coloured quads of the last frame with a colour, as left, top, right, bottom.
  std::vector<std::vector<float>> Quads(u32 colour) {
    std::vector<std::vector<float>> out;
    for (const auto& p : rig_.ui.calls.Primitives()) {
      if (p.texture != 0 || p.vertices.size() != 4 || p.vertices[0].color != colour) continue;
      const float dx = p.world.m[3][0], dy = p.world.m[3][1];
      out.push_back({p.vertices[0].x + dx, p.vertices[0].y + dy, p.vertices[2].x + dx, p.vertices[2].y + dy});
    }
    return out;
  }

  ToolkitRig rig_;
};

TEST_F(Edits, TextStaysCentredAndCaretAndSelectionFollowTheFont) {
  auto* w = new EditWindow(1);
  auto* e = new GameEdit(w, kAllowed, 20, 30, 220, 70);
  EXPECT_EQ(w->GetEditBox(), e);
  EXPECT_EQ(rig_.M().EditBoxes().Get(0), e);
  const i32 lh = GetGameFont(4)->GetHeight();
  EXPECT_EQ(e->GetLineHeight(), lh);
  EXPECT_EQ(w->changes, 1);  // laid out once as it was made
  // Empty: the caret alone, 2 pixels in the middle of the box.
  EXPECT_EQ(e->GetTextOffset(), 100);
  EXPECT_FLOAT_EQ(e->GetTextX(), 120.0f);
  EXPECT_FLOAT_EQ(e->GetTextY(), static_cast<float>((70 + 30 - lh) / 2));
  e->SetText(u"Farm");
  const i32 w4 = Width(u"Farm");
  EXPECT_EQ(e->GetTextOffset(), (200 - w4) / 2);
  EXPECT_EQ(w->last, u"Farm");
  EXPECT_EQ(e->GetCaret(), 4u);
  EXPECT_FLOAT_EQ(e->GetCaretQuad()[0].x, 20.0f + (200 - w4) / 2 + w4);
  EXPECT_FLOAT_EQ(e->GetCaretQuad()[2].x - e->GetCaretQuad()[0].x, 2.0f);
  EXPECT_FLOAT_EQ(e->GetCaretQuad()[2].y - e->GetCaretQuad()[0].y, static_cast<float>(lh));
  // A press in the box (screen kEditX + x) puts the caret by the font and makes it active.
  const i32 afterF = kEditX + static_cast<i32>(e->GetTextX()) + Width(u"F") + 1, middle = kEditY + 50;
  EXPECT_TRUE(rig_.M().OnMouseDown(afterF, middle, kMouseLeft, 0));
  EXPECT_TRUE(e->IsActive());
  EXPECT_EQ(e->GetCaret(), 1u);
  u32 cursor = 0;
  rig_.M().GetCursor(&cursor);
  EXPECT_EQ(cursor, kCursorIBeam);
  rig_.M().OnMouseUp(afterF, middle, kMouseLeft, 0);
  EXPECT_FALSE(e->IsDragging());
  // Dragged from there to after "Far": selected from the press to the pointer.
  testsupport::DragFromTo(rig_.M(), {afterF, middle}, {afterF + Width(u"ar"), middle});
  EXPECT_EQ(e->GetAnchor(), 1u);
  EXPECT_EQ(e->GetCaret(), 3u);
  EXPECT_FALSE(e->IsDragging());
  testsupport::ClickAt(rig_.M(), {afterF, middle});
  EXPECT_EQ(e->GetAnchor(), 1u);
  EXPECT_EQ(e->GetCaret(), 1u);
  // Typing through the frame's character sink: each change re-centres by half the growth.
  Type(u"ancy");
  EXPECT_EQ(std::u16string(e->GetText()), u"Fancyarm");
  EXPECT_EQ(e->GetTextOffset(), (200 - Width(u"Fancyarm")) / 2);
  EXPECT_EQ(w->changes, 6);
  // Shift+Home selects back to the start: a grey rectangle under the text, the caret at its end.
  EXPECT_TRUE(rig_.M().OnKeyDown(36, kEditModShift));
  EXPECT_EQ(e->GetAnchor(), 5u);
  EXPECT_EQ(e->GetCaret(), 0u);
  rig_.ui.calls.Clear();
  rig_.ui.Frame();
  const float left = kEditX + e->GetTextX(), top = kEditY + e->GetTextY();
  const auto grey = Quads(GameEdit::kSelectionColour);
  ASSERT_EQ(grey.size(), 1u);
  EXPECT_EQ(grey[0], (std::vector<float>{left, top, left + Width(u"Fancy"), top + lh}));
  const auto caret = Quads(GameEdit::kCaretColour);
  ASSERT_EQ(caret.size(), 1u);
  EXPECT_EQ(caret[0], (std::vector<float>{left, top, left + 2, top + lh}));
  // Pasting replaces the selection with what is allowed and fits (16 characters).
  SetClip(u"Big Meadow!Lane Farm");
  EXPECT_TRUE(rig_.M().OnKeyDown('V', kEditModControl));
  EXPECT_EQ(std::u16string(e->GetText()), u"Big MeadowLanarm");
  EXPECT_EQ(w->last, u"Big MeadowLanarm");
  delete w;  // the window takes its box with it
  EXPECT_EQ(rig_.M().EditBoxes().GetCount(), 0);
}

TEST_F(Edits, CharactersReachTheFocusedBoxThroughTheGamesHandlerAndABoxWithoutFontHasItsCaret) {
  rig_.language->PutFont(3, nullptr);  // game font 4 gone
  auto* w1 = new EditWindow(1);
  auto* e1 = new GameEdit(w1, kAllowed, 0, 0, 100, 30);
  auto* w2 = new EditWindow(2);
  auto* e2 = new GameEdit(w2, kAllowed, 0, 0, 100, 30);
  EXPECT_EQ(rig_.M().EditBoxes().Get(0), e2);  // the newest at the front
  e1->SetActive(true);
  Type(u"ab");  // the front box is not active: the focused one takes them
  EXPECT_EQ(std::u16string(e1->GetText()), u"ab");
  EXPECT_EQ(e2->GetLength(), 0u);
  // A double click in the second box focuses it (all selected) and ends the first's focus.
  EXPECT_TRUE(rig_.M().OnDoubleClick(kEditX + 50, kEditY + 10, kMouseLeft));
  EXPECT_TRUE(e2->IsActive());
  EXPECT_FALSE(e1->IsActive());
  Type(u"Hay");
  EXPECT_EQ(std::u16string(e2->GetText()), u"Hay");
  EXPECT_EQ(std::u16string(e1->GetText()), u"ab");
  // Without its font every text measures 0: centred at the middle, no text drawn, the caret is.
  EXPECT_EQ(e2->GetLineHeight(), 0);
  EXPECT_EQ(e2->GetTextOffset(), 50);
  EXPECT_EQ(e2->GetTextObject(), nullptr);
  rig_.ui.calls.Clear();
  rig_.ui.Frame();
  EXPECT_EQ(Quads(GameEdit::kCaretColour).size(), 1u);
  delete e1;  // a box deleted first leaves its window and the list
  EXPECT_EQ(w1->GetEditBox(), nullptr);
  EXPECT_EQ(rig_.M().EditBoxes().GetCount(), 1);
  // Made and gone, the boxes never took the game's handler's place.
  delete w2;
  Type(u"z");
  EXPECT_EQ(handled, 6);
}

}  // namespace
