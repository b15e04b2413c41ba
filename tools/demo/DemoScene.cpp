#include "DemoScene.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "engine/DXLCursors.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "platform/gfx/GfxTypes.h"
#include "platform/input/KeyCodes.h"

namespace demo {

namespace {

constexpr uint32_t kBackground = 0xFF203050u;
constexpr uint32_t kCheckerLight = 0xFFFFFFFFu;
constexpr uint32_t kCheckerDark = 0xFF404040u;
constexpr uint32_t kHalfRed = 0x80FF0000u;
constexpr uint32_t kGreen = 0xFF30C030u;
constexpr uint32_t kMagenta = 0xFFC020C0u;
constexpr uint32_t kYellow = 0xFFFFD020u;
constexpr int32_t kCheckerX = 40, kCheckerY = 40, kCheckerSide = 128;  // 8 x 8 cells of 16 pixels
constexpr int32_t kBlendX = 120, kBlendY = 100, kBlendW = 120, kBlendH = 80;
constexpr int32_t kSpinX = 600, kSpinY = 150, kSpinSide = 80;
constexpr DXLRECT kClip{300, 350, 500, 450};
constexpr DXLRECT kClipped{250, 300, 550, 500};

// A texture of the list filled by a function of (x, y).
template <typename Fill>
DXLTexture* MakeTexture(DXLTextures* list, int32_t w, int32_t h, Fill fill) {
  DXLTexture* t = list->NewTexture();
  t->Create(w, h, plat::gfx::D3DFMT_A8R8G8B8, true);
  u8* bits = t->Lock(0);
  if (!bits) return nullptr;
  for (int32_t y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bits + y * t->GetLockPitch());
    for (int32_t x = 0; x < w; ++x) row[x] = fill(x, y);
  }
  t->Unlock();
  DXLDRAWSTATE state;
  DXLMakeSimpleDrawState(&state, 0, 3, 1, 4);  // point filter, clamp, blend mode 1, modulate
  t->SetDrawState(state);
  return t;
}

void ColorQuad(DXLViewer* viewer, const DXLRECT& r, uint32_t color) {
  const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
  const float rt = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
  const DXLCOLORVERTEX v[4] = {{l, t, 0, color}, {rt, t, 0, color}, {rt, b, 0, color}, {l, b, 0, color}};
  viewer->DrawColorQuad(v);
}

}  // namespace

bool Scene::Build(DXLTextures* textures) {
  checker_ = MakeTexture(textures, 64, 64, [](int32_t x, int32_t y) {
    return ((x / 8 + y / 8) % 2 == 0) ? kCheckerLight : kCheckerDark;
  });
  red_ = MakeTexture(textures, 8, 8, [](int32_t, int32_t) { return kHalfRed; });
  green_ = MakeTexture(textures, 8, 8, [](int32_t, int32_t) { return kGreen; });
  // An arrow-like cursor: a white triangle with a black edge, its tip the hotspot.
  cursor_ = MakeTexture(textures, 16, 16, [](int32_t x, int32_t y) -> uint32_t {
    if (x > y) return 0;
    return (x == 0 || x == y || y == 15) ? 0xFF000000u : 0xFFFFFFFFu;
  });
  if (!checker_ || !red_ || !green_ || !cursor_) return false;
  DXLCURSORDATA record{kCursorTexture, kCursorSlot, 0, 0, reinterpret_cast<uintptr_t>(cursor_)};
  DXLAddCursor(&record);
  return true;
}

void Scene::Key(uint16_t key) {
  switch (key) {
    case plat::DIK_LEFT:
      squareX_ -= 8;
      break;
    case plat::DIK_RIGHT:
      squareX_ += 8;
      break;
    case plat::DIK_UP:
      squareY_ -= 8;
      break;
    case plat::DIK_DOWN:
      squareY_ += 8;
      break;
    case plat::DIK_SPACE:
      spin_ = !spin_;
      break;
    default:
      break;
  }
}

void Scene::Draw(DXLViewer* viewer, uint32_t pauseLevel) {
  ++frames_;
  if (spin_) angle_ = (angle_ + 3) % 360;
  viewer->Clear(kBackground);
  viewer->ResetWorldTransform();

  DXLQUAD quad;
  checker_->Select(true);
  viewer->DrawQuad(checker_->MakeQuadSized(&quad, kCheckerX, kCheckerY, kCheckerSide, kCheckerSide, 0, false, false));
  red_->Select(true);
  viewer->DrawQuad(red_->MakeQuadSized(&quad, kBlendX, kBlendY, kBlendW, kBlendH, 0xFFFFFFFFu, false, false));

  viewer->PushTransform();
  viewer->Translate(kSpinX, kSpinY);
  viewer->RotateDeg(static_cast<float>(angle_));
  viewer->ApplyTransform(nullptr);
  green_->Select(true);
  viewer->DrawQuad(green_->MakeQuadSized(&quad, -kSpinSide / 2, -kSpinSide / 2, kSpinSide, kSpinSide, 0xFFFFFFFFu,
                                         false, false));
  viewer->PopTransform();
  viewer->ResetWorldTransform();
  green_->Deselect(true);

  viewer->SetBlendMode(0);
  viewer->PushClip(kClip);
  ColorQuad(viewer, kClipped, kMagenta);
  viewer->PopClip();
  ColorQuad(viewer, DXLRECT{squareX_, squareY_, squareX_ + 20, squareY_ + 20}, kYellow);
  ColorQuad(viewer, DXLRECT{click_.x - 8, click_.y - 1, click_.x + 9, click_.y + 2}, 0xFFFFFFFFu);
  ColorQuad(viewer, DXLRECT{click_.x - 1, click_.y - 8, click_.x + 2, click_.y + 9}, 0xFFFFFFFFu);
  if (pauseLevel != 0) {
    viewer->SetBlendMode(1);
    ColorQuad(viewer, DXLRECT{0, 0, static_cast<int32_t>(kWidth), 16}, 0xA0808080u);
    viewer->SetBlendMode(0);
  }
}

namespace {

struct Probe {
  int32_t x, y;
  uint32_t color;
  const char* what;
};

bool Near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(d) > 3) return false;
  }
  return true;
}

// Half-transparent red over a colour, as blend mode 1 mixes it.
uint32_t OverRed(uint32_t under) {
  auto mix = [](uint32_t top, uint32_t bottom) { return (top * 128 + bottom * 127 + 127) / 255; };
  const uint32_t r = mix(0xFF, (under >> 16) & 0xFF), g = mix(0, (under >> 8) & 0xFF), b = mix(0, under & 0xFF);
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

}  // namespace

std::string CheckShot(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height,
                      const DXLPOINT* cursor) {
  if (width != kWidth || height != kHeight || pixels.size() != static_cast<size_t>(width) * height)
    return "the screenshot is not " + std::to_string(kWidth) + " x " + std::to_string(kHeight);
  const Probe probes[] = {
      {5, 590, kBackground, "background"},
      {kCheckerX + 8, kCheckerY + 8, kCheckerLight, "checker, first cell"},
      {kCheckerX + 24, kCheckerY + 8, kCheckerDark, "checker, second cell"},
      {kCheckerX + 8, kCheckerY + 120, kCheckerDark, "checker, last row"},
      {kCheckerX + 136, kCheckerY + 8, kBackground, "right of the checker"},
      {kBlendX + 8, kBlendY + 8, OverRed(kCheckerDark), "red over a dark cell"},
      {kBlendX + 24, kBlendY + 8, OverRed(kCheckerLight), "red over a light cell"},
      {kBlendX + 100, kBlendY + 70, OverRed(kBackground), "red over the background"},
      {kSpinX, kSpinY, kGreen, "spinning square, centre"},
      {kSpinX + 25, kSpinY + 10, kGreen, "spinning square, inside at every angle"},
      {kSpinX, kSpinY + 60, kBackground, "below the spinning square"},
      {400, 440, kMagenta, "clipped quad, inside the clip"},
      {400, 340, kBackground, "clipped quad, above the clip"},
      {275, 400, kBackground, "clipped quad, left of the clip"},
      {520, 470, kBackground, "clipped quad, below right"},
      {710, 510, kYellow, "yellow square"},
  };
  std::vector<Probe> all(std::begin(probes), std::end(probes));
  if (cursor) {
    all.push_back(Probe{cursor->x + 3, cursor->y + 10, 0xFFFFFFFFu, "cursor, inside"});
    all.push_back(Probe{cursor->x, cursor->y + 10, 0xFF000000u, "cursor, edge"});
    all.push_back(Probe{cursor->x + 10, cursor->y + 3, kBackground, "cursor, right of its edge"});
  }
  std::string report;
  for (const Probe& p : all) {
    if (p.x < 0 || p.y < 0 || p.x >= static_cast<int32_t>(width) || p.y >= static_cast<int32_t>(height)) {
      report += std::string(p.what) + " is outside the picture\n";
      continue;
    }
    const uint32_t got = pixels[static_cast<size_t>(p.y) * width + static_cast<size_t>(p.x)] | 0xFF000000u;
    if (!Near(got, p.color)) {
      char line[160];
      std::snprintf(line, sizeof(line), "%s at (%d, %d): %08X instead of %08X\n", p.what, p.x, p.y, got, p.color);
      report += line;
    }
  }
  return report;
}

}  // namespace demo
