#include <gtest/gtest.h>

#include "HudRig.h"
#include "content/ProductList.h"
#include "engine/text/DigitalFont.h"
#include "resources/ImageSprite.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "hud/ASSProductionButton.h"
#include "hud/ASSProductionSlot.h"
#include "ui/CaptionHintWindow.h"
#include "ui/GameDigitalText.h"
#include "ui/HIText.h"
#include "hud/SSColorIcon.h"
#include "hud/SSProgressLine.h"
#include "hud/SSStars.h"

using uitest::HudRig;

namespace {

using Box = std::vector<float>;

// A quad's rectangle (left, top, right, bottom) as laid out, before the
// half-pixel shift every quad carries.
Box Place(const DXLQUAD& q) { return {q.v[0].x + 0.5f, q.v[0].y + 0.5f, q.v[2].x + 0.5f, q.v[2].y + 0.5f}; }
// The picture's part a quad shows, in pixels of its texture.
Box Source(const DXLQUAD& q, const Sprite* picture) {
  const auto w = static_cast<float>(picture->GetTexture()->GetWidth());
  const auto h = static_cast<float>(picture->GetTexture()->GetHeight());
  return {q.v[0].u * w, q.v[0].v * h, q.v[2].u * w, q.v[2].v * h};
}

class Kinds : public ::testing::Test {
 protected:
  void SetUp() override {
    stars_ = r_.Picture(1, u"stars", 104, 112);
    border_ = r_.Picture(1, u"progress_line_border", 40, 10);
    indicator_ = r_.Picture(1, u"progress_line_indicator", 20, 6);
    r_.Picture(1, u"progress_line_indicator_red", 20, 6);
    glow_ = r_.Picture(1, u"progress_glow", 16, 16);
    r_.Picture(1, u"progress_glow_red", 16, 16);
    iconBtn_ = r_.Picture(1, u"icon_btn", 40, 40, 4);
    arrow_ = r_.Picture(1, u"button_arrow", 12, 10);
    priceSkin_ = r_.Picture(1, u"price_button", 280, 40);
    prodButton_ = r_.Picture(1, u"prod_button", 132, 136);
    prodSlot_ = r_.Picture(1, u"prod_slot", 245, 40);
    plate_ = r_.Picture(1, u"level_ico_back", 30, 30);
    ring_ = r_.Picture(1, u"level_ico_border", 32, 32);
    icon_ = r_.Picture(2, u"wheat", 24, 24, 3);
  }

  // Every quad drawn with the picture's texture, placed on the screen.
  std::vector<Box> Drawn(const Sprite* picture) {
    std::vector<Box> out;
    const int id = r_.tk.ui.TextureId(picture->GetTexture());
    for (const auto& p : r_.tk.ui.calls.Primitives()) {
      if (p.texture != id) continue;
      const auto& m = p.world.m;
      const auto at = [&](size_t i, bool y) {
        const auto& v = p.vertices[i];
        return (y ? v.x * m[0][1] + v.y * m[1][1] + m[3][1] : v.x * m[0][0] + v.y * m[1][0] + m[3][0]) + 0.5f;
      };
      out.push_back({at(0, false), at(0, true), at(2, false), at(2, true)});
    }
    return out;
  }
  void ShowAll() {
    for (i32 i = 0; i < r_.list->Sprites().GetCount(); ++i) r_.list->Sprites().Get(i)->Show(true, 0, 0, 0);
  }
  void DrawAll() {
    r_.tk.ui.calls.Clear();
    r_.Draw();
  }

  HudRig r_;
  Sprite* stars_ = nullptr;
  Sprite* border_ = nullptr;
  Sprite* indicator_ = nullptr;
  Sprite* glow_ = nullptr;
  Sprite* iconBtn_ = nullptr;
  Sprite* arrow_ = nullptr;
  Sprite* priceSkin_ = nullptr;
  Sprite* prodButton_ = nullptr;
  Sprite* prodSlot_ = nullptr;
  Sprite* plate_ = nullptr;
  Sprite* ring_ = nullptr;
  Sprite* icon_ = nullptr;
};

// Stars, coloured icons and progress lines against hand-computed vertices,
// on the screen through the recording device.
TEST_F(Kinds, MarkersAndProgressLines) {
  auto* four = new SSStars(200, 100, 4, 3);
  EXPECT_EQ(Place(four->GetQuad()), (Box{-28.5f, -13.5f, 28.5f, 13.5f}));
  EXPECT_EQ(Source(four->GetQuad(), stars_), (Box{1, 57, 58, 84}));  // third row of 28
  auto* three = new SSStars(0, 0, 3, 9);
  EXPECT_EQ(three->GetCount(), 3);
  EXPECT_EQ(Source(three->GetQuad(), stars_), (Box{59, 47, 103, 69}));
  auto* two = new SSStars(0, 0, 2, 0);
  EXPECT_EQ(two->GetCount(), 1);
  EXPECT_EQ(Source(two->GetQuad(), stars_), (Box{59, 1, 81, 23}));
  auto* one = new SSStars(0, 0, 1, 1);
  EXPECT_EQ(one->GetQuadCount(), 0);

  struct Told : ScreenSpriteOwner {
    void OnScreenSpriteRemoving(ScreenSprite* s) override { gone = s; }
    ScreenSprite* gone = nullptr;
  } told;
  auto* coloured = new SSColorIcon(50, 60, icon_, 0xFF20A020u, 0xFF104010u);
  coloured->SetOwner(&told);
  EXPECT_EQ(Place(coloured->GetPlateQuad()), (Box{-15, -15, 15, 15}));
  EXPECT_EQ(Place(coloured->GetBorderQuad()), (Box{-16, -16, 16, 16}));
  EXPECT_EQ(coloured->GetPlateQuad().v[1].color, 0xFF20A020u);
  EXPECT_EQ(coloured->GetIcon()->FrameState().frame, 1);

  // A filling line 100 wide: border caps of 13 outside the width.
  auto* line = new SSProgressLine(300, 200, 100, 1);
  EXPECT_EQ(Place(line->GetQuad(0)), (Box{-63, -5, -50, 5}));
  EXPECT_EQ(Place(line->GetQuad(1)), (Box{-50, -5, 50, 5}));
  EXPECT_EQ(Source(line->GetQuad(1), border_), (Box{13, 0, 27, 10}));
  EXPECT_EQ(Place(line->GetQuad(2)), (Box{50, -5, 63, 5}));
  line->SetProgress(50);
  EXPECT_EQ(Place(line->GetQuad(3)), (Box{-53, -3, -50, 3}));
  EXPECT_EQ(Place(line->GetQuad(4)), (Box{-50, -3, 0, 3}));
  EXPECT_EQ(Place(line->GetQuad(5)), (Box{0, -3, 3, 3}));
  EXPECT_FLOAT_EQ(line->GetGlowX(), 1.0f);

  ShowAll();
  coloured->Hide(true, false, 0, kShowFade, 200);
  EXPECT_EQ(told.gone, coloured);
  DrawAll();
  EXPECT_EQ(Drawn(stars_), (std::vector<Box>{{171.5f, 86.5f, 228.5f, 113.5f}, {-22, -11, 22, 11}, {-11, -11, 11, 11}}));
  EXPECT_EQ(Drawn(border_), (std::vector<Box>{{237, 195, 250, 205}, {250, 195, 350, 205}, {350, 195, 363, 205}}));
  EXPECT_EQ(Drawn(indicator_), (std::vector<Box>{{247, 197, 250, 203}, {250, 197, 300, 203}, {300, 197, 303, 203}}));
  EXPECT_EQ(Drawn(glow_), (std::vector<Box>{{293, 192, 309, 208}}));  // centred on x 301
  EXPECT_EQ(Drawn(plate_), (std::vector<Box>{{35, 45, 65, 75}}));

  // Set to 120: shows 100 %, the glow fades out in 100 ms, later calls do nothing.
  line->SetProgress(120);
  EXPECT_TRUE(line->IsFinished());
  EXPECT_EQ(Place(line->GetQuad(4)), (Box{-50, -3, 50, 3}));
  ASSERT_NE(line->GetGlowEffects(), nullptr);
  EXPECT_EQ(line->GetGlowEffects()->GetCount(), 2);
  line->SetProgress(10);
  EXPECT_FLOAT_EQ(line->GetProgress(), 100.0f);
  r_.Draw();
  r_.tk.ui.AdvanceClock(100);
  DrawAll();
  EXPECT_EQ(line->GetGlowEffects(), nullptr);
  EXPECT_TRUE(Drawn(glow_).empty());
  EXPECT_EQ(Drawn(indicator_).size(), 3u);

  // A draining line (at least 32 wide) that reaches 0 keeps only its border.
  auto* drain = new SSProgressLine(0, 0, 10, 0);
  EXPECT_EQ(drain->GetWidth(), 32);
  EXPECT_FLOAT_EQ(drain->GetProgress(), 100.0f);
  drain->SetProgress(-5);
  EXPECT_TRUE(drain->IsFinished());
  EXPECT_EQ(drain->GetQuadsToDraw(), 3);
}

// Buttons: the icon button's round hit; the arrow and price buttons stand
// above their anchors and above the level panel; the production row joins
// seamlessly; the production slot's fill and its caption hint.
TEST_F(Kinds, ButtonsRowsAndSlots) {
  auto* round = new ASSIconButton(1, 100, 100, u"icon_btn", icon_, 20);
  EXPECT_EQ(uitest::R(round->GetRect()), (std::vector<i32>{79, 79, 121, 121}));
  round->Show(true, 0, 0, 0);
  r_.Draw();
  EXPECT_TRUE(round->HitTest(114, 114));   // 19.8 away
  EXPECT_FALSE(round->HitTest(115, 115));  // in the corner of the rectangle, 21.2 away
  EXPECT_TRUE(round->HitTest(120, 100));
  r_.host.scaling = true;
  r_.host.scale = 0.5f;
  round->SetKeepSize(true);
  EXPECT_EQ(round->GetEffectiveRadius(), 40);
  r_.host.scaling = false;
  r_.host.scale = 1.0f;
  round->SetKeepSize(false);

  // Arrow buttons stand 32 above their anchor, never above y 32.
  auto* arrow = new ASSArrowButton(2, 300, 100, icon_, nullptr, nullptr);
  EXPECT_EQ(uitest::R(arrow->GetRect()), (std::vector<i32>{281, 49, 319, 87}));
  EXPECT_EQ(arrow->GetY(), 68);
  auto* high = new ASSArrowButton(2, 400, 50, icon_, nullptr, nullptr);
  EXPECT_EQ(high->GetY(), 32);

  // The price: digits 8 wide in font 3, 12 high.
  auto* font = new DigitalFont;
  for (i32 k = 0; k < 10; ++k) font->SetGlyphWidth(k, 8);
  font->AddMode(0, 0, 12, 0);
  font->SetHeaderValue(3);
  r_.tk.M().Fonts().Add(font);
  r_.host.hasPanel = true;
  r_.host.panel = DXLRECT{0, 250, 800, 600};
  r_.host.panelLine = 250;
  auto* price = new ASSPriceButton(3, 500, 300, icon_, 250);
  ASSERT_EQ(price->GetPriceText()->GetWidth(), 24);
  EXPECT_EQ(price->GetButtonWidth(), 76);
  const DXLQUAD* normal = price->GetStateQuads(1);
  EXPECT_EQ(Place(normal[0]), (Box{-38, -20, 2, 20}));
  EXPECT_EQ(Source(normal[0], priceSkin_), (Box{70, 0, 110, 40}));
  EXPECT_EQ(Place(normal[1]), (Box{2, -20, 18, 20}));
  EXPECT_EQ(Source(normal[1], priceSkin_), (Box{110, 0, 120, 40}));
  EXPECT_EQ(Place(normal[2]), (Box{18, -20, 38, 20}));
  EXPECT_FLOAT_EQ(price->GetDigitX(), 4.0f);
  EXPECT_FLOAT_EQ(price->GetDigitY(), -5.0f);
  EXPECT_FLOAT_EQ(price->GetIconX(), -18.0f);
  // 34 above the anchor its top (246) would meet the panel: moved up to 242.
  EXPECT_EQ(uitest::R(price->GetRect()), (std::vector<i32>{462, 242, 538, 282}));
  EXPECT_EQ(price->GetY(), 262);
  EXPECT_EQ(price->GetPriceText()->GetColor(), 0xFFD4FFFFu);
  price->SetDisabled(true);
  EXPECT_EQ(price->GetPriceText()->GetColor(), 0xFFE8E8E8u);
  // Unaffordable while the level's money is below the owner's price.
  struct Seller : ScreenSpriteOwner {
    i32 GetScreenPrice() const override { return 250; }
  } seller;
  r_.host.money = 249;
  price->SetHandler(&seller, nullptr, &ActiveScreenSprite::IsPriceUnaffordable);
  EXPECT_EQ(price->GetState(), 0u);
  r_.host.money = 250;
  price->RefreshEnabled();
  EXPECT_EQ(price->GetState(), 1u);

  // A row of three product buttons: first 33, middle 32, last 33, joined.
  PRODUCT wheat{};
  wheat.icon = icon_;
  std::u16string(u"wheat").copy(wheat.name, 5);
  ASSProductionButton* row[3];
  for (i32 i = 0; i < 3; ++i) row[i] = new ASSProductionButton(&wheat, 600, 100, i, 3, icon_);
  EXPECT_EQ(Place(row[0]->GetStateQuad(1)), (Box{-49, -17, -16, 17}));
  EXPECT_EQ(Source(row[0]->GetStateQuad(1), prodButton_), (Box{34, 34, 67, 68}));
  EXPECT_EQ(Place(row[1]->GetStateQuad(1)), (Box{-16, -17, 16, 17}));
  EXPECT_EQ(Source(row[1]->GetStateQuad(3), prodButton_), (Box{67, 102, 99, 136}));
  EXPECT_EQ(Place(row[2]->GetStateQuad(1)), (Box{16, -17, 49, 17}));
  EXPECT_EQ(uitest::R(row[1]->GetRect()), (std::vector<i32>{584, 83, 616, 117}));
  auto* single = new ASSProductionButton(&wheat, 0, 0, 0, 1, icon_);
  EXPECT_EQ(Place(single->GetStateQuad(0)), (Box{-17, -17, 17, 17}));
  EXPECT_EQ(Source(single->GetStateQuad(0), prodButton_), (Box{0, 0, 34, 34}));

  // Slots: cells 32 apart; the fill of column 4 (state 1) up to row 34.
  auto* slot = new ASSProductionSlot(700, 100, 0, 3);
  auto* third = new ASSProductionSlot(700, 100, 2, 3);
  EXPECT_FLOAT_EQ(slot->GetLayoutX(), -49.0f);
  EXPECT_FLOAT_EQ(third->GetLayoutX(), 15.0f);
  EXPECT_EQ(Source(slot->GetStateQuad(2), prodSlot_), (Box{70, 0, 104, 34}));
  EXPECT_EQ(slot->GetFillColumn(), 4);
  slot->SetFill(0.5f);  // 34 - (31 x 0.5 + 1) = 17.5: rows 18 to 34, the line at 17 half lit
  EXPECT_EQ(Place(slot->GetFillQuad(0)), (Box{-49, 1, -15, 17}));
  EXPECT_EQ(Source(slot->GetFillQuad(0), prodSlot_), (Box{140, 18, 174, 34}));
  EXPECT_EQ(Place(slot->GetFillQuad(1)), (Box{-49, 0, -15, 1}));
  EXPECT_EQ(slot->GetFillQuad(1).v[0].color, 0x80FFFFFFu);
  slot->SetFill(0.0f);
  EXPECT_EQ(Place(slot->GetFillQuad(0)), (Box{-49, 17, -15, 17}));
  EXPECT_EQ(slot->GetFillQuad(1).v[0].color >> 24, 0u);
  EXPECT_FALSE(slot->IsHintEnabled());
  slot->SetSlot(&wheat);
  EXPECT_TRUE(slot->IsHintEnabled());
  EXPECT_EQ(slot->GetPendingRefresh() & kHintRefreshProduct, kHintRefreshProduct);
  ASSERT_NE(slot->GetIcon(), nullptr);
  slot->RefreshHint();
  EXPECT_EQ(slot->GetPendingRefresh(), 0u);
  auto* hint = static_cast<CaptionHintWindow*>(slot->GetHintWindow());
  ASSERT_NE(hint->GetCaption(), nullptr);
  EXPECT_EQ(hint->GetAlignX(), 1u);
  slot->SetSlot(nullptr);
  EXPECT_FALSE(slot->IsHintEnabled());

  // On the screen: the price button's skin and digits, the arrow's button.
  ShowAll();
  DrawAll();
  EXPECT_EQ(Drawn(priceSkin_), (std::vector<Box>{{462, 242, 502, 282}, {502, 242, 518, 282}, {518, 242, 538, 282}}));
  const auto buttons = Drawn(iconBtn_);
  ASSERT_EQ(buttons.size(), 3u);  // the round button and both arrow buttons
  EXPECT_EQ(buttons[1], (Box{280, 48, 320, 88}));
  EXPECT_EQ(Drawn(prodButton_).size(), 4u);
  EXPECT_EQ(Drawn(prodSlot_).size(), 6u);  // each slot: its cell, the fill and its line
}

}  // namespace
