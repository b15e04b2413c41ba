// A picture for a person, from the built data set alone: a farm dialog
// drawn through the window toolkit over the world's grass and a path, with
// the interface pictures, the language and its fonts as the builder wrote
// them. Its "OK" button is hovered and shows its hint, "Cancel" is held
// down, a check box is ticked, the farm's name stands in an edit box, the
// season's combo box has its list open and a scroll bar runs down the
// right; a narrow button of the level sheet stands in the corner. It is
// written as "ui_built_dialog.png".
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "../ui/UiRig.h"
#include "SkinPictures.h"
#include "base/datafile/DataFileReader.h"
#include "engine/DXLTexture.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/TextServices.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/PngFile.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "ui/BaseDialogWindow.h"
#include "ui/CaptionHintWindow.h"
#include "ui/CheckBox.h"
#include "ui/DialogAnswers.h"
#include "ui/GameComboBox.h"
#include "ui/GameComboBoxList.h"
#include "ui/GameEdit.h"
#include "ui/GameScrollbar.h"
#include "ui/ImageButton.h"
#include "ui/NarrowButton.h"
#include "ui/UiServices.h"

namespace {

const std::string kData = TM_SAMPLE_DATA_DIR;

std::u16string Answer(u32 id) {
  wchar text[kDialogCaptionSize];
  GetAnswerCaption(id, text);
  return text;
}

// A dialog of the game's make: the top row with its caption, a body for the
// question's controls, the bottom with its two answers.
class FarmDialog : public SpritesWindow {
 public:
  FarmDialog() : SpritesWindow(0x4661726Du, false, false) {
    AddTopRow(440);
    SetCaption(u"Evening on the farm");
    AddFrame(0, kBelow, -1, 170, SkinOf(skins::kDialogMessage, kInterfaceImage));
    AddBodyFrame(1);
    Show(0, false);
    // The combo box is the window's first control, drawn right after the
    // frame: its face must not take its label's glyph texture.
    season = CreateComboBox(this, 2, 40, 92, 120, u"Season");
    music = CreateCheckBox(this, &Controls(), 1, 40, 140, u"Music in the fields");
    for (const char16_t* s : {u"Spring", u"Summer", u"Autumn", u"Winter", u"Harvest", u"Long night"})
      season->AddItem(s, 0, true);
    season->SetSelection(1, false);
    name = new GameEdit(this, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ", 40, 185, 230, 215);
    name->SetText(u"Sunny Meadow");
    bar = new GameScrollbar(this, width_ - 58, 84, 140);
    bar->SetRange(0, 12, 4, 5);
    const i32 x = (width_ - 2 * 168) / 2;
    ok = CreateButton(this, &Controls(), kAnswerOk, x, height_ - 84, nullptr, 166, Answer(kAnswerOk).c_str());
    cancel = CreateButton(this, &Controls(), kAnswerCancel, x + 168, height_ - 84, nullptr, 166,
                          Answer(kAnswerCancel).c_str());
  }
  CheckBox* music = nullptr;
  GameComboBox* season = nullptr;
  GameEdit* name = nullptr;  // the window's
  GameScrollbar* bar = nullptr;
  ImageButton* ok = nullptr;
  ImageButton* cancel = nullptr;
};

// The screen's top left corner, as a level keeps it: a narrow button of the
// level sheet.
class CornerWindow : public GameWindow {
 public:
  CornerWindow() : GameWindow(0x436F726Eu, false) {
    rect_ = DXLRECT{0, 0, 160, 50};
    tips = new NarrowButton(this, 3, 144, u"Close the tips", false);
    tips->SetPosition(3, 3);
  }
  void Draw() override { DrawControls(); }
  NarrowButton* tips = nullptr;
};

// Grass tiles of 256 x 128 from the ground set's "grass" atlas (four cells,
// 260 x 132 apart, 2 pixels in), and over the fourth row the path running
// across, as a level lays its layers.
void DrawGround(u32 width, u32 height) {
  Sprite* grass = GetSpriteByName(4, u"grass");
  Sprite* path = GetSpriteByName(4, u"path");
  ASSERT_TRUE(grass && path);
  grass->Init();
  path->Init();
  auto tile = [](DXLTexture* t, u32 column, u32 row, i32 sx, i32 sy) {
    DXLQUAD quad;
    t->MakeQuadPartInt(&quad, static_cast<i32>(column) * 256, static_cast<i32>(row) * 128, sx, sy, 256, 128,
                       0xFFFFFFFFu);
    BindDrawTexture(t);
    DrawQuad(&quad);
  };
  for (u32 row = 0; row * 128 < height; ++row)
    for (u32 column = 0; column * 256 < width; ++column) {
      const u32 cell = (row * 3 + column * 5) % 4;
      tile(grass->GetTexture(), column, row, 2 + static_cast<i32>(cell % 2) * 260, 2 + static_cast<i32>(cell / 2) * 132);
      if (row == 3) tile(path->GetTexture(), column, row, 2, 2);
    }
  UnbindDrawTexture();
}

TEST(InterfacePicture, AFarmDialogFromTheBuiltDataOverTheGrass) {
  uitest::UiRig ui(800, 600);
  // The built sprite sets replace the rig's empty ones.
  const std::unique_ptr<kis::DataFileReaderW, void (*)(kis::DataFileReaderW*)> reader(
      kis::OpenDataFileReaderW(plat::Utf8ToUtf16(kData + "/Sprites.dat").c_str(), kSpriteArchiveSignature1,
                               kSpriteArchiveSignature2, kSpriteArchiveVersion),
      [](kis::DataFileReaderW* r) { kis::CloseDataFile(r); });
  ASSERT_NE(reader, nullptr);
  using Reader = i32 (SpriteSet::*)(kis::BaseDataFileReader*, SectionCursor*, float, float);
  const std::pair<std::pair<u32, u32>, Reader> kinds[] = {
      {{kSpriteImagesId, kSpriteImagesSubId}, &SpriteSet::ReadImages},
      {{kSpritesId, kSpritesSubId}, &SpriteSet::ReadSprites},
      {{kMapSpritesId, kMapSpritesSubId}, &SpriteSet::ReadMapSprites}};
  for (const auto& [dir, read] : kinds) {
    ASSERT_TRUE(reader->EnterDirectory(dir.first, dir.second));
    for (u32 set = 0; set < kSpriteSetCount; ++set) {
      SectionCursor cursor;
      while ((ui.sets[set].get()->*read)(reader.get(), &cursor, 0.0f, 1.0f) == 0) {
      }
      ASSERT_EQ(cursor.error, 0u) << set;
    }
    ASSERT_TRUE(reader->LeaveDirectory());
  }
  Sprite* interface = GetSpriteByName(kSkinSpriteSet, u"interface");
  ASSERT_NE(interface, nullptr);
  interface->Init();
  GetResourceServices().interfaceImage = interface->GetTexture();
  GetTextServices().languageViewer = ui.rig.viewer.get();
  auto language = std::make_unique<GameLanguage>(plat::Utf8ToUtf16(kData + "/language.dat").c_str());
  language->Acquire();
  SetGameLanguage(language.get());

  auto* corner = new CornerWindow;
  auto* dialog = new FarmDialog;
  ui.AdvanceClock(10);
  ui.manager->Update();
  dialog->music->SetFlag(true, true, 0);
  dialog->cancel->SetState(3, true, 0);
  auto* hint = new CaptionHintWindow(dialog->ok, Answer(kAnswerOk).c_str(), true,
                                     u"Close the barn for the night and keep these settings.", 0, 0, nullptr, 1, 2, 240);
  const DXLRECT& r = dialog->ok->GetRect();
  const DXLRECT& at = dialog->GetRect();
  ui.manager->OnMouseMove(at.left + (r.left + r.right) / 2, at.top + (r.top + r.bottom) / 2, 0, 0);
  for (int i = 0; i < 5; ++i) {
    ui.AdvanceClock(200);
    ui.manager->Update();
  }
  ASSERT_TRUE(hint->IsShown());
  // The open list takes the pointer (it is modal): it opens once the hint shows.
  dialog->season->OpenList();
  ASSERT_TRUE(dialog->season->IsOpen());
  for (int i = 0; i < 3; ++i) {
    ui.AdvanceClock(200);
    ui.manager->Update();
  }

  DXLViewer& v = ui.V();
  ASSERT_EQ(v.BeginFrame(), 0);
  v.ClearEx(plat::gfx::D3DCLEAR_TARGET | plat::gfx::D3DCLEAR_STENCIL, 0xFF000000u, 0);
  const DXLMATRIX identity = plat::gfx::IdentityMatrix();
  v.SetTransform(&identity);
  v.ApplyTransform(nullptr);
  DrawGround(800, 600);
  ui.manager->Draw();
  ASSERT_EQ(v.Present(), 0);
  ASSERT_TRUE(plat::WritePng("ui_built_dialog.png", ui.rig.Soft()->Frame(), 800, 600, nullptr));

  // The hovered answer is lighter than the held one; both are green.
  auto green = [&](const DXLRECT& b) {
    const u32 c = ui.Pixel(static_cast<u32>(at.left + b.left + 20), static_cast<u32>(at.top + b.top + 40));
    return std::pair<int, int>(static_cast<int>(c >> 8 & 0xFF), static_cast<int>(c >> 16 & 0xFF));
  };
  const auto [okGreen, okRed] = green(dialog->ok->GetRect());
  const auto [cancelGreen, cancelRed] = green(dialog->cancel->GetRect());
  EXPECT_GT(okGreen, okRed);
  EXPECT_GT(cancelGreen, cancelRed);
  EXPECT_GT(okGreen, cancelGreen + 20);
  // The combo box's field and its open list's rows are dark wood under
  // their light texts.
  const DXLRECT& box = dialog->season->GetRect();
  const DXLRECT& list = dialog->season->GetList()->GetRect();
  for (const auto& [x, y] : {std::pair{at.left + box.left + 6, at.top + box.top + 18},
                             std::pair{list.left + 14, list.bottom - 16}}) {
    const u32 c = ui.Pixel(static_cast<u32>(x), static_cast<u32>(y));
    EXPECT_LT(std::max({c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF}), 0x80u) << x << ", " << y;
  }
  // The narrow button is the level sheet's blue.
  const DXLRECT& tips = corner->tips->GetRect();
  const u32 blue = ui.Pixel(static_cast<u32>(tips.left + 12), static_cast<u32>(tips.top + 12));
  EXPECT_GT(blue & 0xFF, blue >> 16 & 0xFF);

  delete ui.manager;  // the windows go before the language and the pictures
  ui.manager = nullptr;
  GetUiServices().windowManager = nullptr;
  SetGameLanguage(nullptr);
  language->Release();
  language.reset();
  GetTextServices().languageViewer = nullptr;
}

}  // namespace
