// A picture for a person: a yes/no dialog over a meadow the size of the game
// screen, with "Yes" hovered and its hint shown, drawn through the toolkit on
// the software device with skins painted here (rounded, shaded pieces inside
// the rectangles the toolkit cuts) and the test fonts. It is written as
// "ui_dialog.png" in the test folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ToolkitRig.h"
#include "gametext/KGEWinFont.h"
#include "platform/font/FontResolver.h"
#include "platform/gfx/PngFile.h"
#include "resources/GameDraw.h"
#include "testsupport/FontTables.h"
#include "ui/BaseDialogWindow.h"
#include "ui/CaptionHintWindow.h"
#include "ui/ImageButton.h"

namespace {

// A picture in memory, painted with anti-aliased rounded rectangles.
struct Canvas {
  Canvas(i32 width, i32 height, u32 fill = 0) : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}
  i32 w, h;
  std::vector<u32> px;

  // Source-over of a colour with an extra coverage.
  void Blend(i32 x, i32 y, u32 c, float cover) {
    if (x < 0 || y < 0 || x >= w || y >= h || cover <= 0.0f) return;
    u32& d = px[static_cast<size_t>(y) * w + x];
    const float a = (c >> 24) / 255.0f * std::min(cover, 1.0f);
    const float da = (d >> 24) / 255.0f;
    const float oa = a + da * (1.0f - a);
    u32 out = static_cast<u32>(std::lround(oa * 255.0f)) << 24;
    for (int s = 0; s < 24; s += 8) {
      const float sc = (c >> s & 0xFF) / 255.0f, dc = (d >> s & 0xFF) / 255.0f;
      const float oc = oa > 0.0f ? (sc * a + dc * da * (1.0f - a)) / oa : 0.0f;
      out |= static_cast<u32>(std::lround(std::clamp(oc, 0.0f, 1.0f) * 255.0f)) << s;
    }
    d = out;
  }
  // A rounded rectangle [l, r) x [t, b), its colour running from top to
  // bottom, with a border of `bw` pixels; only the corners listed round.
  void RoundRect(float l, float t, float r, float b, float radius, u32 top, u32 bottom, u32 border, float bw,
                 bool roundTop = true, bool roundBottom = true) {
    for (i32 y = static_cast<i32>(t); y < static_cast<i32>(std::ceil(b)); ++y)
      for (i32 x = static_cast<i32>(l); x < static_cast<i32>(std::ceil(r)); ++x) {
        const float cx = x + 0.5f, cy = y + 0.5f;
        const bool upper = cy < (t + b) / 2;
        const float rad = (upper ? roundTop : roundBottom) ? radius : 0.0f;
        const float qx = std::max({l + rad - cx, cx - (r - rad), 0.0f});
        const float qy = std::max({t + rad - cy, cy - (b - rad), 0.0f});
        // The distance inside the shape: from the rounded outline, or from
        // the straight edges where the corners are square.
        const float d = rad > 0.0f ? rad - std::sqrt(qx * qx + qy * qy) : std::min({cx - l, r - cx, cy - t, b - cy});
        const float cover = std::clamp(d + 0.5f, 0.0f, 1.0f);
        if (cover <= 0.0f) continue;
        const float k = (cy - t) / std::max(b - t, 1.0f);
        u32 c = kis::LerpColor(top, bottom, k);
        if (d < bw) c = border;
        Blend(x, y, c, cover);
      }
  }
};

void Upload(DXLTexture* t, const Canvas& c, i32 atX, i32 atY) {
  u8* bits = t->Lock(0);
  ASSERT_NE(bits, nullptr);
  for (i32 y = 0; y < c.h; ++y)
    for (i32 x = 0; x < c.w; ++x)
      *reinterpret_cast<u32*>(bits + static_cast<size_t>(atY + y) * t->GetLockPitch() + static_cast<size_t>(atX + x) * 4) =
          c.px[static_cast<size_t>(y) * c.w + x];
  t->Unlock();
}

constexpr u32 kWoodTop = 0xFFC08A4Cu, kWoodBottom = 0xFF9A6630u, kWoodEdge = 0xFF4A2C10u;

// The pieces the dialog cuts from the interface image, each in its rectangle.
void PaintInterface(DXLTexture* image) {
  Canvas top(52, 77);  // the window's top row: caps of 22 and 26 (4 of them shadow)
  top.RoundRect(0, 0, 48, 77 + 30, 16, kWoodTop, kWoodTop, kWoodEdge, 3, true, false);
  Upload(image, top, 971, 513);
  Canvas message(52, 85);  // the message's body: parchment inside the wood
  message.RoundRect(0, -30, 48, 85 + 30, 0, kWoodTop, kWoodTop, kWoodEdge, 3);
  message.RoundRect(12, 6, 38, 79, 8, 0xFFFBF1D6u, 0xFFEFDDB0u, 0xFF8A6A3Au, 1);
  Upload(image, message, 971, 684);
  Canvas body(227, 163);  // the body frame: wood with rounded bottom corners
  body.RoundRect(0, -40, 223, 163, 18, kWoodTop, kWoodBottom, kWoodEdge, 3, false, true);
  Upload(image, body, 489, 0);
  Canvas plate(256, 60);  // the caption plate: a glossy green bar
  plate.RoundRect(8, 6, 248, 54, 22, 0xFF3F8A3Au, 0xFF1C4A1Au, 0xFF0E2A0Cu, 2);
  plate.RoundRect(20, 9, 236, 28, 10, 0x50FFFFFFu, 0x10FFFFFFu, 0x00000000u, 0);
  Upload(image, plate, 709, 178);
  const u32 faces[4][3] = {{0xFF9A9A9Au, 0xFF6E6E6Eu, 0xFF4A4A4Au},
                           {0xFF5CA844u, 0xFF2F6E22u, 0xFF1C4212u},
                           {0xFF86D062u, 0xFF4A9436u, 0xFF1C4212u},
                           {0xFF2A6020u, 0xFF4E9A3Au, 0xFF10300Au}};
  Canvas buttons(128, 258);  // four frames of 128 x 63, 2 apart
  for (int i = 0; i < 4; ++i) {
    const float y = i * 65.0f;
    buttons.RoundRect(4, y + 8, 124, y + 62, 22, 0x50000000u, 0x50000000u, 0x50000000u, 0);  // shadow
    buttons.RoundRect(3, y + 4, 125, y + 58, 22, faces[i][0], faces[i][1], faces[i][2], 2);
    buttons.RoundRect(14, y + 7, 114, y + 26, 10, 0x48FFFFFFu, 0x08FFFFFFu, 0, 0);  // gloss
  }
  Upload(image, buttons, 433, 406);
}

// Grass with mown rows and a dirt path: the size of the game screen.
void PaintMeadow(Canvas& c) {
  for (i32 y = 0; y < c.h; ++y)
    for (i32 x = 0; x < c.w; ++x) {
      u32 n = static_cast<u32>(x) * 374761393u + static_cast<u32>(y) * 668265263u;
      n = (n ^ (n >> 13)) * 1274126177u;
      const i32 grain = static_cast<i32>(n >> 28) - 8;
      const bool row = ((x + y / 3) / 24) % 2 == 0 && y > 320;
      const float path = std::fabs(static_cast<float>(x) - (400.0f + 120.0f * std::sin(y / 90.0f)));
      i32 r = 86 + grain, g = (row ? 150 : 136) + grain, b = 52 + grain / 2;
      if (path < 26.0f) {
        r = 170 + grain;
        g = 138 + grain;
        b = 90 + grain;
      }
      c.px[static_cast<size_t>(y) * c.w + x] = 0xFF000000u | static_cast<u32>(std::clamp(r, 0, 255)) << 16 |
                                               static_cast<u32>(std::clamp(g, 0, 255)) << 8 |
                                               static_cast<u32>(std::clamp(b, 0, 255));
    }
}

KGEFont* WinFont(i32 points, i32 weight, u32 colour) {
  static const std::u16string chars = [] {
    std::u16string s;
    for (char16_t c = 32; c < 127; ++c) s += c;
    return s;
  }();
  KGEWinFont* font = nullptr;
  EXPECT_EQ(KGECreateWinFont(GetGameViewer(), 0, points, weight, 0, 0, 0, 0, colour, u"Arial", KGEWinFont::kMeasureSpace,
                             chars.c_str(), static_cast<u32>(chars.size()), u'?', nullptr, nullptr, 0, 0, 0xFFFFFFFFu,
                             &font),
            0);
  if (font) {
    EXPECT_EQ(font->Acquire(), 0);
  }
  return font;
}

TEST(DialogPicture, AYesNoDialogWithItsHintOverTheMeadow) {
  plat::FontResolver& resolver = plat::DefaultFontResolver();
  resolver.SetFolder(plat::Utf8ToUtf16(testsupport::FontDir()));
  resolver.SetUseSystemFonts(false);
  uitest::ToolkitRig rig;
  rig.language->PutFont(0, WinFont(13, 700, 0xFFFFFF));   // buttons
  rig.language->PutFont(1, WinFont(16, 700, 0xFFF4E0));   // titles
  rig.language->PutFont(2, WinFont(12, 400, 0x3A2410));   // messages and hint texts
  rig.language->PutFont(3, WinFont(13, 700, 0xFFFFFF));   // hint captions
  PaintInterface(rig.ui.interfaceImage.get());
  rig.ui.interfaceImage->SetFilter(1);
  Canvas balloon(31, 32);
  balloon.RoundRect(3, 4, 31, 32, 9, 0x40000000u, 0x40000000u, 0x40000000u, 0);
  balloon.RoundRect(0, 0, 28, 28, 9, 0xFFFFF8E4u, 0xFFF3E2B8u, 0xFF6A4A22u, 1.5f);
  Upload(rig.balloon->GetTexture(), balloon, 0, 0);
  Canvas line(64, 4);
  line.RoundRect(2, 1, 62, 3, 1, 0xFFB08850u, 0xFFB08850u, 0xFFB08850u, 0);
  Upload(rig.hintLine->GetTexture(), line, 0, 0);
  Canvas meadow(800, 600);
  PaintMeadow(meadow);
  DXLTexture ground(rig.ui.rig.viewer.get());
  ground.Create(800, 600, plat::gfx::D3DFMT_A8R8G8B8, true);
  Upload(&ground, meadow, 0, 0);

  auto* d = new DialogWindow(u"Evening", u"Leave the farm for today? The hens will wait for you until morning.",
                             false, false, MakeDialogDesc(kAnswerYes, kAnswerNo, nullptr, nullptr), nullptr, 0, 0, 0,
                             0);
  rig.Step(10);
  rig.Step(300);
  auto* yes = static_cast<ImageButton*>(d->FindControl(kAnswerYes, 0));
  auto* hint = new CaptionHintWindow(yes, u"Yes", true, u"Save the day and walk back to the valley map.", 0, 0,
                                     nullptr, 1, 2, 220);
  const DXLRECT& r = yes->GetRect();
  rig.M().OnMouseMove(d->GetRect().left + (r.left + r.right) / 2, d->GetRect().top + (r.top + r.bottom) / 2, 0, 0);
  rig.Step(401);
  ASSERT_TRUE(hint->IsShown());

  DXLViewer& v = rig.ui.V();
  ASSERT_EQ(v.BeginFrame(), 0);
  v.ClearEx(plat::gfx::D3DCLEAR_TARGET | plat::gfx::D3DCLEAR_STENCIL, 0xFF000000u, 0);
  const DXLMATRIX identity = plat::gfx::IdentityMatrix();
  v.SetTransform(&identity);
  v.ApplyTransform(nullptr);
  DXLQUAD quad;
  ground.MakeQuad(&quad, 0.0f, 0.0f, 0xFFFFFFFFu, false, false);
  BindDrawTexture(&ground);
  DrawQuad(&quad);
  UnbindDrawTexture();
  rig.M().Draw();
  ASSERT_EQ(v.Present(), 0);
  const std::vector<u32>& frame = rig.ui.rig.Soft()->Frame();
  ASSERT_TRUE(plat::WritePng("ui_dialog.png", frame, 800, 600, nullptr));
  // The window stands over the meadow, the hint over the window.
  EXPECT_NE(rig.ui.Pixel(d->GetRect().left + 100, d->GetRect().top + 100), meadow.px[100 + 800 * 100]);
  const i32 hx = static_cast<i32>(hint->GetPosX()) + hint->GetWidth() / 2;
  const i32 hy = static_cast<i32>(hint->GetPosY()) + hint->GetHeight() - 6;
  EXPECT_NEAR(static_cast<int>(rig.ui.Pixel(static_cast<u32>(hx), static_cast<u32>(hy)) >> 16 & 0xFF), 0xF3, 4);
}

}  // namespace
