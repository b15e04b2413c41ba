// The game windows drawn by the software renderer on the toolkit's rig
// (bitmap fonts, the interface image), their pixels read back: the
// profiles window's rows (whole frames), its paper in place under a header
// that scrolls away, a name's colour blended through a fade and a long
// name drawn smaller, whole, in its box; the options window's labels in
// their boxes; the credits' long lines, viewport and pictures cut to it;
// the bonuses window cut from its sheet.
// Each picture of set 1 marks its texels: (x, y) in red and green, its own
// mark in blue.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../ui/ToolkitRig.h"
#include "FakeMapProfile.h"
#include "FakeRoster.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/KGEBaseTextSprite.h"
#include "ui/GameScrollbar.h"
#include "windows/BonusesSheet.h"
#include "windows/BonusesWindow.h"
#include "windows/CreditsWindow.h"
#include "windows/OptionsWindow.h"
#include "windows/ProfilesWindow.h"
#include "windows/WindowServices.h"

namespace windowstest {
namespace {

constexpr u32 kProfilesMark = 0x22, kPaperMark = 0x33, kBonusesMark = 0x44;

u32 Texel(i32 x, i32 y, u32 mark) {
  return 0xFF000000u | static_cast<u32>(x & 0xFF) << 16 | static_cast<u32>(y & 0xFF) << 8 | mark;
}
u32 Green(u32 c) { return c >> 8 & 0xFF; }
u32 Blue(u32 c) { return c & 0xFF; }

class WindowPictures : public ::testing::Test {
 protected:
  WindowPictures() {
    rig.AddPicture(u"profiles", 256, 256, [](i32 x, i32 y) { return Texel(x, y, kProfilesMark); });
    rig.AddPicture(u"profiles_back", 256, 256, [](i32 x, i32 y) { return Texel(x, y, kPaperMark); });
    rig.AddPicture(u"bonuses_wnd", bonuses_sheet::kWidth, bonuses_sheet::kHeight,
                   [](i32 x, i32 y) { return Texel(x, y, kBonusesMark); });
  }
  // Frames until the windows have dropped in.
  void Settle() {
    for (i32 i = 0; i < 4; ++i) rig.Step(100);
  }
  u32 At(const GameWindow* w, i32 x, i32 y) {
    kis::IntPoint p{};
    w->ClientToScreen(&p, x, y);
    return rig.ui.Pixel(static_cast<u32>(p.x), static_cast<u32>(p.y));
  }

  uitest::ToolkitRig rig;
};

TEST_F(WindowPictures, ProfilesRowsPaperHeaderAndNames) {
  FakeRoster roster({u"Ann", u"Bob", u"Cid", u"Dan", u"Eve",
                      u"Bartholomew Longfellow Smythe of the Eastern Orchards and the Mill"});
  auto* w = new ProfilesWindow(&roster, nullptr, nullptr);
  Settle();
  const i32 top = w->GetListTop();
  GameScrollbar* bar = w->GetScrollbar();
  ASSERT_NE(bar, nullptr);
  // The paper stays in place while the list scrolls (right of the crosses).
  const u32 paper = At(w, 426, top + 200);
  EXPECT_EQ(Blue(paper), kPaperMark);
  // The header under the new-profile button, below it at its place.
  EXPECT_EQ(Green(At(w, 200, top + 72)), (188u + 61) % 256);
  bar->ScrollTo(20);
  rig.Step(0);
  EXPECT_EQ(At(w, 426, top + 200), paper);
  // Shifted up by the offset, with the list.
  EXPECT_EQ(Green(At(w, 200, top + 52)), (188u + 61) % 256);
  bar->ScrollTo(bar->GetMaximum());
  rig.Step(0);
  EXPECT_EQ(At(w, 426, top + 200), paper);
  EXPECT_EQ(Blue(At(w, 426, top + 12)), kPaperMark) << "the header has gone with the new-profile button";
  // The last row's frame drawn whole: its rows 48 to 50 too.
  const ProfilePanel* last = w->GetRow(5);
  const i32 rowTop = last->GetRect().top - bar->GetPosition();
  for (i32 row : {47, 49, 50}) {
    const u32 c = At(w, 12 + 100, rowTop + row);
    EXPECT_EQ(Blue(c), kProfilesMark) << row;
    EXPECT_EQ(Green(c), static_cast<u32>(row)) << row;
  }
  // A name wider than its 278 x 32 box is laid out whole and drawn
  // smaller, ending 6 pixels before the box's end.
  KGETextSpriteW* name = last->GetNameText();
  ASSERT_NE(name, nullptr);
  EXPECT_GT(name->GetWidth(), 278);
  EXPECT_GE(name->GetTextureRect().right, name->GetWidth() - 1) << "cut";
  EXPECT_NEAR(static_cast<float>(name->GetWidth()) * last->GetNameScale(), 272.0f, 0.5f);
  EXPECT_LE(name->GetTextureRect().bottom, 32);
  EXPECT_GE(name->GetTextureRect().left, 0);
  EXPECT_EQ(w->GetRow(0)->GetNameScale(), 1.0f);  // "Ann" as it is
  // Hovered through a fade, the name's colour blends from black to the
  // hover's 0xFF303030: half way, 0x181818.
  ProfilePanel* first = w->GetRow(0);
  bar->ScrollTo(0);
  first->State().SetState(kStateHover, false, 100);
  rig.Step(50);
  bool blended = false;
  const i32 y0 = first->GetRect().top;
  for (i32 y = y0 + 9; y < y0 + 41 && !blended; ++y)
    for (i32 x = 12 + 80; x < 12 + 80 + 40 && !blended; ++x) {
      const u32 c = At(w, x, y);
      blended = Blue(c) >= 0x16 && Blue(c) <= 0x1A && Green(c) >= 0x16 && Green(c) <= 0x1A;
    }
  EXPECT_TRUE(blended);
  delete w;
}

TEST_F(WindowPictures, OptionsLabelsInTheirBoxes) {
  auto* w = new OptionsWindow(nullptr);
  for (u32 channel : {0u, 1u}) {
    KGETextSpriteW* label = w->GetLabel(channel);
    ASSERT_NE(label, nullptr);
    const DXLRECT& r = label->GetTextureRect();
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, 224);
    EXPECT_NEAR(r.left + r.right, 224, 2) << "centred in its box";
    EXPECT_NEAR(r.top + r.bottom, 32, 2);
  }
  EXPECT_FLOAT_EQ(w->GetLabelX(0), 13.0f + 120 - 112);
  EXPECT_FLOAT_EQ(w->GetLabelX(1), 263.0f + 120 - 112);
  delete w;
}

// The credits of a language of their own: a line of 100 characters, then
// a picture 60 high of its own mark.
TEST_F(WindowPictures, CreditsLongLinesTheViewportAndPicturesCutToIt) {
  const std::vector<u32> pixels(40 * 60, 0xFF0000AAu);
  const std::vector<u8> tga = DXLEncodeTGA32(40, 60, pixels.data());
  rig.folder.Put("pic.tga", std::string(tga.begin(), tga.end()));
  std::string lines;
  for (i32 i = 0; i < 30; ++i) lines += "\t\tlines = \"" + std::string(i == 0 ? 100 : 5, 'A') + "\"\n";
  rig.folder.Put("credits.txt",
                 "Language {\n\tIdent = test\n\tfonts {\n\t\tbuttons_font = \"f1.txt\"\n\t\tcaption_font = \"f2.txt\"\n"
                 "\t\tmain_font = \"f3.txt\"\n\t\tmain_big_font = \"f4.txt\"\n\t}\n\tcredits {\n" +
                     lines + "\t\timage = \"pic.tga\"\n\t}\n}\n");
  auto language = std::make_unique<GameLanguage>(rig.folder.Wide("credits.txt").c_str());
  SetGameLanguage(language.get());
  auto* w = new CreditsWindow;
  i32 width = 0, height = 0;
  w->GetSize(&width, &height);
  ASSERT_GE(w->Items().size(), 31u);
  EXPECT_EQ(w->GetViewTop(), 77 + 7) << "7 below the client top";
  const CreditsWindow::Item& picture = w->Items().back();
  ASSERT_EQ(picture.kind, kCreditImage);
  // Scrolled until the picture stands across the viewport's top.
  ASSERT_TRUE(w->IsScrolling());
  while (w->GetOffset() + static_cast<float>(picture.y) > -30.0f) w->Scroll(20);
  Settle();
  EXPECT_TRUE(picture.built);
  EXPECT_FLOAT_EQ(picture.x, -20.0f);
  const float shown = w->GetOffset() + static_cast<float>(picture.y);  // its top, from the viewport's
  ASSERT_LT(shown, 0.0f);
  ASSERT_GT(shown + 60.0f, 4.0f);
  EXPECT_EQ(At(w, 300, w->GetViewTop() + 1), 0xFF0000AAu) << "inside the viewport";
  EXPECT_NE(At(w, 300, w->GetViewTop() - 2), 0xFF0000AAu) << "cut at its top";
  // The first line is not cut at 64 characters.
  w->Scroll(0);
  while (!w->Items()[0].built) w->Scroll(20);
  ASSERT_NE(w->Items()[0].text, nullptr);
  EXPECT_GT(w->Items()[0].text->GetWidth(), 90 * 7) << "a hundred cells of game font 4";
  EXPECT_EQ(w->OnCommand(w->FindControl(kCreditsClose, 0)), 2u);
  EXPECT_TRUE(w->IsClosing());
  delete w;
  SetGameLanguage(rig.language.get());
}

TEST_F(WindowPictures, BonusesWindowCutFromItsSheet) {
  FakeMapProfile profile;
  profile.owned = 2;
  GetWindowServices().mapProfile = &profile;
  BONUSSELECTION choice{1, {1, -1, -1}};
  auto* w = new BonusesWindow(0, &choice);
  Settle();
  ASSERT_EQ(w->Panels().size(), 2u);
  EXPECT_EQ(w->GetProfile(), &profile);
  // The frame, from the sheet's nine-slice at (196, 0).
  EXPECT_EQ(Blue(At(w, 4, 120)), kBonusesMark);
  // A face's state frame, tinted by the state's colour: the first panel
  // hovered (frame 2), the second checked (frame 4).
  BonusWindowPanel* hovered = w->Panels()[0];
  BonusWindowPanel* checked = w->Panels()[1];
  ASSERT_TRUE(checked->IsChecked());
  hovered->State().SetState(kStateHover, true, 0);
  EXPECT_EQ(hovered->FaceFrame(), 2);
  EXPECT_EQ(checked->FaceFrame(), 4);
  rig.Step(0);
  const auto face = [&](BonusWindowPanel* p, i32 frame, u32 tint) {
    const u32 c = At(w, p->GetX() + 260, p->GetY() + 3);
    EXPECT_NEAR(Green(c), ((bonuses_sheet::kFaceY + frame * bonuses_sheet::kFaceStep + 3) & 0xFF) * tint / 255, 2)
        << frame;
    EXPECT_NEAR(Blue(c), kBonusesMark * tint / 255, 1) << frame;
  };
  face(hovered, 2, 0xA0);
  face(checked, 4, 0x80);
  delete w;
  GetWindowServices().mapProfile = nullptr;
}

}  // namespace
}  // namespace windowstest
