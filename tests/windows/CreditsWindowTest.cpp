// The credits window over a language's credits: a short list stands still
// in the middle with every item built; a long one scrolls 50 pixels a
// second, four times as fast while the window is pressed,
// builds and frees items as they enter and leave, and comes round with its
// first item 8 pixels below the viewport.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "PanelRig.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "platform/encoding/Utf.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WindowDoor.h"
#include "ui/ControlState.h"
#include "windows/CreditsWindow.h"

namespace windowstest {
namespace {

class CreditsTest : public ::testing::Test {
 protected:
  void Language(u32 lines) {
    std::string body = "Language {\n\tcredits {\n";
    for (u32 i = 0; i < lines; ++i) body += "\t\tlines = \"line " + std::to_string(i) + "\"\n";
    body += "\t}\n}\n";
    std::ofstream(folder.File("lang.txt")) << body;
    const std::u16string path = folder.Wide("lang.txt");
    language = std::make_unique<GameLanguage>(path.c_str());
    SetGameLanguage(language.get());
  }
  ~CreditsTest() override { SetGameLanguage(nullptr); }

  TempFolder folder;
  PanelRig rig{1024, 768};
  testsupport::InterfacePicture picture;
  std::unique_ptr<GameLanguage> language;
};

TEST_F(CreditsTest, AShortListStandsStillInTheMiddleWithEveryItemBuilt) {
  Language(5);
  auto* w = new CreditsWindow;
  ASSERT_EQ(w->Items().size(), 5u);
  const i32 line = w->Items()[1].y - 8;
  EXPECT_EQ(w->GetTotalHeight(), 5 * line + 4 * 8);
  EXPECT_FALSE(w->IsScrolling());
  EXPECT_FLOAT_EQ(w->GetOffset(), static_cast<float>((400 - w->GetTotalHeight()) / 2));
  for (const auto& item : w->Items()) EXPECT_TRUE(item.built);
  w->Scroll(1000);
  EXPECT_FLOAT_EQ(w->GetOffset(), static_cast<float>((400 - w->GetTotalHeight()) / 2));
  EXPECT_TRUE(w->OnKeyDown(13, 0));
  EXPECT_TRUE(w->IsClosing());
}

TEST_F(CreditsTest, ALongListScrollsBuildsAndFreesAndComesRound) {
  Language(40);
  auto* w = new CreditsWindow;
  const i32 pitch = w->Items()[1].y;
  ASSERT_TRUE(w->IsScrolling());
  EXPECT_EQ(w->GetTotalHeight(), 40 * pitch);  // the last gap added
  EXPECT_FLOAT_EQ(w->GetOffset(), 400.0f);
  EXPECT_EQ(w->GetBuilds(), 0u);  // the list starts below the viewport
  w->Scroll(200);                 // 10 pixels
  EXPECT_FLOAT_EQ(w->GetOffset(), 390.0f);
  EXPECT_EQ(w->GetFirst(), 0u);
  EXPECT_EQ(w->GetEnd(), 1u);
  EXPECT_TRUE(w->Items()[0].built);
  // Held on the window: four times as fast; held on the close button (and
  // released off it: not closed): not. Pressed through the window manager,
  // the window away from the screen's corner.
  testsupport::PlaceWindow(*w);
  testsupport::Settle(*w);
  WindowManager& m = *rig.manager;
  const kis::IntPoint body = testsupport::OnScreen(*w, 30, w->GetHeight() / 2);
  const kis::IntPoint close = testsupport::MiddleOf(*w->FindControl(kCreditsClose, 0));
  for (const kis::IntPoint& at : {body, close}) {
    m.OnMouseMove(at.x, at.y, 0, 0);
    m.OnMouseDown(at.x, at.y, kMouseLeft, 0);
    w->Scroll(100);
    m.OnMouseUp(body.x, body.y, kMouseLeft, 0);
  }
  EXPECT_FLOAT_EQ(w->GetOffset(), 365.0f);
  EXPECT_FALSE(w->IsClosing());
  w->Scroll(100);
  EXPECT_FLOAT_EQ(w->GetOffset(), 360.0f);
  // Scrolled on until item 0 has left the top: it is freed, the range moves.
  while (w->GetOffset() > -static_cast<float>(pitch + 1)) w->Scroll(20);
  EXPECT_FALSE(w->Items()[0].built);
  EXPECT_EQ(w->GetFirst(), 1u);
  for (size_t i = w->GetFirst(); i < w->GetEnd(); ++i) EXPECT_TRUE(w->Items()[i].built);
  EXPECT_LE(w->GetEnd() - w->GetFirst(), static_cast<size_t>(400 / pitch + 2));
  // Round again: once the end has left, the first item is 8 below the viewport.
  float before = w->GetOffset();
  while (w->GetOffset() <= before) {
    before = w->GetOffset();
    w->Scroll(20);
  }
  EXPECT_FLOAT_EQ(w->GetOffset(), before - 1.0f + static_cast<float>(w->GetTotalHeight() + 408));
  EXPECT_GT(w->GetOffset(), 400.0f);
  EXPECT_LE(w->GetOffset(), 408.0f);
  EXPECT_EQ(w->GetEnd(), 0u);  // nothing in view yet
}

}  // namespace
}  // namespace windowstest
