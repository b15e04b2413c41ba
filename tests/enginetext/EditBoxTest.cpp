#include <gtest/gtest.h>

#include <string>

#include "engine/text/DXLEdit.h"
#include "platform/headless/Session.h"

namespace {

// A box that measures every character as 10 pixels and finds the caret
// index nearest the mouse, like a subclass with a fixed-width font.
class TestEdit : public DXLEditW {
 public:
  explicit TestEdit(const wchar* allowed) : DXLEditW(allowed) { SetBox(DXLRECT{100, 50, 300, 70}); }
  u32 GetTextWidth(u32 first, u32 count) override {
    EXPECT_EQ(first, 0u);
    return 10 * count;
  }
  u32 GetCharIndexAtMouse() override {
    const i32 offset = GetMouseX() - GetBox().left;
    const i32 index = offset < 0 ? 0 : (offset + 5) / 10;
    return static_cast<u32>(index) > GetLength() ? GetLength() : static_cast<u32>(index);
  }
  void OnTextChanged() override { ++changes; }
  std::u16string Text() const { return GetText(); }

  int changes = 0;
};

constexpr const wchar* kLetters = u"abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

class EditBox : public ::testing::Test {
 protected:
  EditBox() : session_(plat::DesktopSettings{}, 1000) {}

  // A box holding `text`, active, caret at the end.
  void Fill(TestEdit& e, const wchar* text) {
    e.SetActive(true);
    e.SetTextFrom(0, text, kEditCountAll);
    e.NotifyTextChanged();
    e.SetCaret(e.GetLength());
  }
  void Type(TestEdit& e, std::u16string_view text) {
    for (wchar c : text) e.OnChar(c);
  }
  std::u16string Clip() {
    plat::Clipboard& c = plat::GetClipboard();
    c.Open(1);
    auto text = c.GetText();
    c.Close();
    return text ? *text : u"";
  }
  void SetClip(std::u16string_view text) {
    plat::Clipboard& c = plat::GetClipboard();
    c.Open(1);
    c.Empty();
    c.SetText(text);
    c.Close();
  }

  plat::headless::Session session_;
  plat::PlatformServicesScope installed_{session_.Services()};
};

TEST_F(EditBox, StartsEmptyInactiveWithTheSystemBlinkTime) {
  TestEdit e(kLetters);
  EXPECT_EQ(e.GetLength(), 0u);
  EXPECT_EQ(e.Text(), u"");
  EXPECT_FALSE(e.IsActive());
  EXPECT_EQ(e.GetBlinkPeriod(), 530u);
  EXPECT_FALSE(e.OnChar(u'a'));
  EXPECT_FALSE(e.OnKeyDown(37, 0));
  EXPECT_EQ(e.GetLength(), 0u);
}

TEST_F(EditBox, OnlyAllowedCharactersEnterAndControlCharactersNever) {
  TestEdit e(u"0123456789\t\n");
  e.SetActive(true);
  Type(e, u"1a2\t3\n4");
  EXPECT_EQ(e.Text(), u"1234");
  EXPECT_EQ(e.GetCaret(), 4u);
  EXPECT_EQ(e.GetCaretX(), 40u);
  EXPECT_EQ(e.changes, 4);
}

TEST_F(EditBox, FullBoxTakesNothingMoreAndInsertInsideShiftsTheRest) {
  TestEdit e(kLetters);
  Fill(e, u"abcdefghijklmnopqrstuvwxyz");  // cut to 16
  EXPECT_EQ(e.Text(), u"abcdefghijklmnop");
  const int before = e.changes;
  e.OnChar(u'z');
  EXPECT_EQ(e.Text(), u"abcdefghijklmnop");
  EXPECT_EQ(e.changes, before);

  TestEdit f(kLetters);
  Fill(f, u"abcdef");
  f.SetCaret(2);
  Type(f, u"XY");
  EXPECT_EQ(f.Text(), u"abXYcdef");
  EXPECT_EQ(f.GetCaret(), 4u);
}

TEST_F(EditBox, SetTextFromReplacesTheTailAndClampsThePosition) {
  TestEdit e(kLetters);
  e.SetTextFrom(0, u"hello world", kEditCountAll);
  e.SetTextFrom(5, u"!x", 2);  // "!" is not allowed
  EXPECT_EQ(e.Text(), u"hellox");
  e.SetTextFrom(99, u"yz", kEditCountAll);  // after the end: appended
  EXPECT_EQ(e.Text(), u"helloxyz");
  const wchar counted[] = {u'a', 0, u'b', u'c'};
  e.SetTextFrom(0, counted, 4);  // a zero inside a counted text is skipped
  EXPECT_EQ(e.Text(), u"abc");
}

TEST_F(EditBox, DeleteClampsItsCountToTheText) {
  TestEdit e(kLetters);
  e.SetTextFrom(0, u"abcdef", kEditCountAll);
  e.Delete(4, 1000);
  EXPECT_EQ(e.Text(), u"abcd");
  EXPECT_EQ(e.GetLength(), 4u);
  e.Delete(1, 2);
  EXPECT_EQ(e.Text(), u"ad");
  e.Delete(2, 5);  // at the end: nothing
  e.Delete(7, 1);
  EXPECT_EQ(e.Text(), u"ad");
}

TEST_F(EditBox, ArrowsHomeEndAndShiftSelection) {
  TestEdit e(kLetters);
  Fill(e, u"abcdef");
  e.OnKeyDown(37, 0);  // left
  e.OnKeyDown(38, 0);  // up acts as left
  EXPECT_EQ(e.GetCaret(), 4u);
  EXPECT_EQ(e.GetAnchor(), 4u);
  e.SetCaret(3);
  e.OnKeyDown(36, kEditModShift);  // home with shift: back to the start
  EXPECT_EQ(e.GetAnchor(), 3u);
  EXPECT_EQ(e.GetCaret(), 0u);
  EXPECT_EQ(e.GetSelectionStartX(), 0u);
  EXPECT_EQ(e.GetSelectionWidth(), 30u);
  e.OnKeyDown(35, kEditModShift);  // end with shift keeps the anchor
  EXPECT_EQ(e.GetAnchor(), 3u);
  EXPECT_EQ(e.GetCaret(), 6u);
  EXPECT_EQ(e.GetSelectionStartX(), 30u);
  EXPECT_EQ(e.GetSelectionWidth(), 30u);
  e.OnKeyDown(39, 0);  // right at the end: nothing
  EXPECT_EQ(e.GetAnchor(), 3u);
  e.OnKeyDown(36, 0);
  EXPECT_EQ(e.GetAnchor(), 0u);
  EXPECT_EQ(e.GetCaret(), 0u);
  e.OnKeyDown(40, kEditModShift);  // down acts as right
  EXPECT_EQ(e.GetAnchor(), 0u);
  EXPECT_EQ(e.GetCaret(), 1u);
  EXPECT_TRUE(e.OnKeyDown(112, 0));  // an unknown key is taken without effect
}

TEST_F(EditBox, ControlArrowsJumpByWordsSeparatedBySpacesOnly) {
  TestEdit e(u"abcdefgh -");
  Fill(e, u"ab  cd-ef gh");
  e.OnKeyDown(37, kEditModControl);
  EXPECT_EQ(e.GetCaret(), 10u);
  e.OnKeyDown(37, kEditModControl);
  EXPECT_EQ(e.GetCaret(), 4u);  // "-" is no separator
  e.OnKeyDown(37, kEditModControl);
  EXPECT_EQ(e.GetCaret(), 0u);
  e.OnKeyDown(39, kEditModControl);
  EXPECT_EQ(e.GetCaret(), 4u);
  e.SetCaret(2);
  e.OnKeyDown(39, kEditModControl);  // from inside the spaces: skips them and the next word
  EXPECT_EQ(e.GetCaret(), 10u);
}

TEST_F(EditBox, BackspaceAndDeleteAtTheEdgesChangeNothing) {
  TestEdit e(kLetters);
  Fill(e, u"abc");
  e.SetCaret(0);
  const int before = e.changes;
  e.OnKeyDown(8, 0);
  e.SetCaret(3);
  e.OnKeyDown(46, 0);
  EXPECT_EQ(e.Text(), u"abc");
  EXPECT_EQ(e.changes, before);

  e.OnKeyDown(8, 0);
  EXPECT_EQ(e.Text(), u"ab");
  e.SetCaret(0);
  e.OnKeyDown(46, 0);
  EXPECT_EQ(e.Text(), u"b");
}

TEST_F(EditBox, ControlDeleteRemovesToTheEnd) {
  TestEdit e(kLetters);
  Fill(e, u"abcdef");
  e.SetCaret(2);
  e.OnKeyDown(46, kEditModControl);
  EXPECT_EQ(e.Text(), u"ab");
  EXPECT_EQ(e.GetCaret(), 2u);
}

TEST_F(EditBox, RightToLeftSelectionIsOvertypedAtItsLeftEnd) {
  TestEdit e(kLetters);
  Fill(e, u"abcdef");
  e.SetSelection(5, 2);
  e.OnChar(u'X');
  EXPECT_EQ(e.Text(), u"abXf");
  EXPECT_EQ(e.GetCaret(), 3u);
  EXPECT_EQ(e.GetAnchor(), 3u);
}

TEST_F(EditBox, SelectionEndsAreClampedToTheLength) {
  TestEdit e(kLetters);
  Fill(e, u"abc");
  e.SetSelection(10, 20);
  EXPECT_EQ(e.GetAnchor(), 3u);
  EXPECT_EQ(e.GetCaret(), 3u);
  EXPECT_EQ(e.GetCaretX(), 30u);
}

TEST_F(EditBox, CopyCutAndPasteGoThroughTheClipboard) {
  TestEdit e(kLetters);
  Fill(e, u"hello world");
  e.SetSelection(0, 5);
  e.OnKeyDown('C', kEditModControl);
  EXPECT_EQ(Clip(), u"hello");
  EXPECT_FALSE(plat::GetClipboard().IsOpen());
  EXPECT_EQ(e.Text(), u"hello world");

  e.SetSelection(5, 11);
  e.OnKeyDown('X', kEditModControl);
  EXPECT_EQ(Clip(), u" world");
  EXPECT_EQ(e.Text(), u"hello");

  e.SetCaret(0);
  e.OnKeyDown('V', kEditModControl);
  EXPECT_EQ(e.Text(), u" worldhello");
  EXPECT_EQ(e.GetCaret(), 6u);

  // Only the control key alone makes the shortcuts.
  e.OnKeyDown('V', kEditModControl | kEditModShift);
  EXPECT_EQ(e.Text(), u" worldhello");
}

TEST_F(EditBox, CopyOfAnEmptySelectionLeavesTheClipboard) {
  TestEdit e(kLetters);
  Fill(e, u"abc");
  SetClip(u"keep");
  e.OnKeyDown('C', kEditModControl);
  EXPECT_EQ(Clip(), u"keep");
}

TEST_F(EditBox, PasteFiltersAndCutsToWhatFits) {
  TestEdit digits(u"0123456789");
  digits.SetActive(true);
  SetClip(u"a1b2\r\nc3");
  digits.OnKeyDown('V', kEditModControl);
  EXPECT_EQ(digits.Text(), u"123");

  TestEdit e(kLetters);
  Fill(e, u"abcdefghijklmnop");  // full
  e.SetSelection(3, 6);
  SetClip(u"UVWXYZ");
  e.OnKeyDown('V', kEditModControl);
  EXPECT_EQ(e.Text(), u"abcUVWghijklmnop");
  EXPECT_EQ(e.GetCaret(), 6u);
}

TEST_F(EditBox, ClipboardThatDoesNotOpenLeavesEverything) {
  TestEdit e(kLetters);
  Fill(e, u"abc");
  SetClip(u"xyz");
  plat::GetClipboard().FailNextOpen();
  e.OnKeyDown('V', kEditModControl);
  EXPECT_EQ(e.Text(), u"abc");
  e.SelectAll();
  plat::GetClipboard().FailNextOpen();
  e.OnKeyDown('X', kEditModControl);  // the copy fails; the cut still erases
  EXPECT_EQ(Clip(), u"xyz");
  EXPECT_EQ(e.Text(), u"");
}

TEST_F(EditBox, MousePressDragReleaseSelects) {
  TestEdit e(kLetters);
  e.SetTextFrom(0, u"abcdefgh", kEditCountAll);
  EXPECT_FALSE(e.OnMouseDown(50, 60, 1, 0));  // outside
  EXPECT_FALSE(e.IsActive());
  EXPECT_TRUE(e.OnMouseDown(121, 60, 1, 0));
  EXPECT_TRUE(e.IsActive());
  EXPECT_TRUE(e.IsDragging());
  EXPECT_EQ(e.GetCaret(), 2u);
  EXPECT_EQ(e.GetAnchor(), 2u);
  e.OnMouseMove(158, 60, 1, 0);
  EXPECT_EQ(e.GetAnchor(), 2u);
  EXPECT_EQ(e.GetCaret(), 6u);
  e.OnMouseSelect(kEditMouseRelease, 0);
  EXPECT_FALSE(e.IsDragging());
  e.OnMouseMove(99, 60, 0, 0);  // no longer dragging
  EXPECT_EQ(e.GetCaret(), 6u);
  EXPECT_FALSE(e.IsMouseOver());
  e.OnMouseMove(100, 55, 0, 0);
  EXPECT_TRUE(e.IsMouseOver());

  // Shift extends from the anchor.
  EXPECT_TRUE(e.OnMouseDown(140, 60, 1, kEditModShift));
  EXPECT_EQ(e.GetAnchor(), 2u);
  EXPECT_EQ(e.GetCaret(), 4u);
  // Other buttons inside are taken without acting.
  e.OnMouseSelect(kEditMouseRelease, 0);
  EXPECT_TRUE(e.OnMouseDown(190, 60, 4, 0));
  EXPECT_EQ(e.GetCaret(), 4u);
}

TEST_F(EditBox, DoubleClickSelectsAllAndDeactivationEndsADrag) {
  TestEdit e(kLetters);
  e.SetTextFrom(0, u"abcd", kEditCountAll);
  EXPECT_FALSE(e.OnDoubleClick(10, 10, 0));
  EXPECT_TRUE(e.OnDoubleClick(150, 60, 0));
  EXPECT_TRUE(e.IsActive());
  EXPECT_EQ(e.GetAnchor(), 0u);
  EXPECT_EQ(e.GetCaret(), 4u);

  e.OnMouseDown(110, 60, 1, 0);
  EXPECT_TRUE(e.IsDragging());
  e.SetActive(false);
  EXPECT_FALSE(e.IsDragging());
  EXPECT_FALSE(e.IsActive());
}

TEST_F(EditBox, CaretBlinksFromEveryMove) {
  TestEdit e(kLetters);
  e.SetBlinkPeriod(500);
  EXPECT_FALSE(e.IsCaretVisible());  // inactive
  Fill(e, u"abc");
  EXPECT_TRUE(e.IsCaretVisible());
  session_.Clock().Advance(499);
  EXPECT_TRUE(e.IsCaretVisible());
  session_.Clock().Advance(1);
  EXPECT_FALSE(e.IsCaretVisible());
  session_.Clock().Advance(500);
  EXPECT_TRUE(e.IsCaretVisible());
  session_.Clock().Advance(700);
  EXPECT_FALSE(e.IsCaretVisible());
  e.OnKeyDown(37, 0);  // a move shows it at once
  EXPECT_TRUE(e.IsCaretVisible());
  e.SetBlinkPeriod(0);
  session_.Clock().Advance(600);
  EXPECT_TRUE(e.IsCaretVisible());
}

TEST_F(EditBox, CaretBlinkSurvivesTheTimerWrapping) {
  session_.Clock().Set(0xFFFFFF00u);
  TestEdit e(kLetters);
  e.SetBlinkPeriod(500);
  Fill(e, u"a");
  session_.Clock().Advance(0x200);  // wraps past zero; 512 ms later
  EXPECT_FALSE(e.IsCaretVisible());
  session_.Clock().Advance(490);  // 1002 ms
  EXPECT_TRUE(e.IsCaretVisible());
}

TEST(EditDrawingAids, RectanglesAndVertices) {
  DXLRECTF r;
  DXLSetRectF(&r, 10, 20, 30, 5);
  EXPECT_EQ(r.right, 40.0f);
  EXPECT_EQ(r.bottom, 25.0f);
  float v[20];
  for (float& f : v) f = 9.0f;
  DXLFillRectVertices(v, r, true, true);
  const float expect[5][2] = {{10, 20}, {40, 20}, {40, 25}, {10, 25}, {10, 20}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(v[4 * i], expect[i][0]);
    EXPECT_EQ(v[4 * i + 1], expect[i][1]);
    EXPECT_EQ(v[4 * i + 2], 0.0f);
    EXPECT_EQ(v[4 * i + 3], 9.0f);  // the fourth float is left alone
  }
  for (float& f : v) f = 9.0f;
  DXLFillRectVertices(v, r, false, false);
  EXPECT_EQ(v[2], 9.0f);
  EXPECT_EQ(v[16], 9.0f);  // no fifth vertex
}

}  // namespace
