#include "DemoScene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/DXLCursors.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "platform/audio/AudioOutput.h"
#include "platform/gfx/GfxTypes.h"
#include "platform/input/KeyCodes.h"

namespace demo {

namespace {

constexpr uint32_t kBackground = 0xFF203050u;
constexpr uint32_t kStrip = 0xFF7A5230u;      // where the level's panel goes
constexpr uint32_t kStripEdge = 0xFFC08A4Eu;  // its lit top edge
constexpr int32_t kStripEdgeHeight = 4;

void ColorQuad(DXLViewer* viewer, const DXLRECT& r, uint32_t color) {
  const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
  const float rt = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
  const DXLCOLORVERTEX v[4] = {{l, t, 0, color}, {rt, t, 0, color}, {rt, b, 0, color}, {l, b, 0, color}};
  viewer->DrawColorQuad(v);
}

}  // namespace

bool Scene::Build(DXLViewer* viewer, DXLTextures* textures, const plat::PlatformServices& window,
                  const std::string& dataFolder, std::unique_ptr<plat::audio::Output> sound, std::string* error) {
  if (!world_.Load(viewer, window, dataFolder, std::move(sound), error)) return false;
  // An arrow-like cursor: a white triangle with a black edge, its tip the hotspot.
  cursor_ = textures->NewTexture();
  cursor_->Create(16, 16, plat::gfx::D3DFMT_A8R8G8B8, true);
  u8* bits = cursor_->Lock(0);
  if (!bits) return (*error = "the cursor's texture cannot be made", false);
  for (int32_t y = 0; y < 16; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bits + y * cursor_->GetLockPitch());
    for (int32_t x = 0; x < 16; ++x) row[x] = x > y ? 0 : (x == 0 || x == y || y == 15) ? 0xFF000000u : 0xFFFFFFFFu;
  }
  cursor_->Unlock();
  DXLDRAWSTATE state;
  DXLMakeSimpleDrawState(&state, 0, 3, 1, 4);  // point filter, clamp, blend mode 1, modulate
  cursor_->SetDrawState(state);
  DXLCURSORDATA record{kCursorTexture, kCursorSlot, 0, 0, reinterpret_cast<uintptr_t>(cursor_)};
  DXLAddCursor(&record);
  return true;
}

void Scene::Key(uint16_t key) {
  if (key == plat::DIK_SPACE) world_.ToggleWalk();
}

void Scene::Draw(DXLViewer* viewer, uint32_t pauseLevel) {
  ++frames_;
  viewer->Clear(kBackground);
  world_.Draw(viewer);
  viewer->ResetWorldTransform();
  viewer->SetBlendMode(0);
  ColorQuad(viewer, DXLRECT{0, kStripTop, static_cast<int32_t>(kWidth), static_cast<int32_t>(kHeight)}, kStrip);
  ColorQuad(viewer, DXLRECT{0, kStripTop, static_cast<int32_t>(kWidth), kStripTop + kStripEdgeHeight}, kStripEdge);
  ColorQuad(viewer, DXLRECT{click_.x - 8, click_.y - 1, click_.x + 9, click_.y + 2}, 0xFFFFFFFFu);
  ColorQuad(viewer, DXLRECT{click_.x - 1, click_.y - 8, click_.x + 2, click_.y + 9}, 0xFFFFFFFFu);
  if (pauseLevel != 0) {
    viewer->SetBlendMode(1);
    ColorQuad(viewer, DXLRECT{0, 0, static_cast<int32_t>(kWidth), 16}, 0xA0808080u);
    viewer->SetBlendMode(0);
  }
}

// --- The check ----------------------------------------------------------------------------

namespace {

struct Rgb {
  int r, g, b;
};
Rgb Split(uint32_t c) {
  return Rgb{static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)};
}
bool Near(uint32_t a, uint32_t b) {
  const Rgb x = Split(a), y = Split(b);
  return std::abs(x.r - y.r) <= 3 && std::abs(x.g - y.g) <= 3 && std::abs(x.b - y.b) <= 3;
}
bool Grassy(Rgb c) { return c.g > c.r + 15 && c.g > c.b + 40; }
bool Dirt(Rgb c) { return c.r > 170 && c.r > c.g + 15 && c.g > c.b + 25; }
bool ShirtRed(Rgb c) { return c.r > 180 && c.g < 110 && c.b < 100; }
bool Denim(Rgb c) { return c.b > 150 && c.b > c.r + 60 && c.b > c.g + 30; }
bool Sky(Rgb c) { return c.b > 170 && c.b > c.r + 50 && c.g > c.r + 30; }

int ScreenX(float levelX) { return static_cast<int>(std::lround(levelX * kViewScale - kViewScrollX)); }
int ScreenY(float levelY) { return static_cast<int>(std::lround(levelY * kViewScale)); }

class Shot {
 public:
  Shot(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height)
      : pixels_(pixels), width_(static_cast<int>(width)), height_(static_cast<int>(height)) {}
  uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x] | 0xFF000000u; }
  // How many pixels of the box (screen pixels, clipped) pass the test.
  template <class Test>
  int Count(int left, int top, int right, int bottom, Test test) const {
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
      for (int x = std::max(left, 0); x < std::min(right, width_); ++x) n += test(Split(At(x, y))) ? 1 : 0;
    return n;
  }
  int Area(int left, int top, int right, int bottom) const {
    return std::max(0, std::min(right, width_) - std::max(left, 0)) * std::max(0, std::min(bottom, height_) - std::max(top, 0));
  }

 private:
  const std::vector<uint32_t>& pixels_;
  int width_, height_;
};

}  // namespace

std::string CheckShot(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height, const SceneLayout& layout,
                      const DXLPOINT* cursor) {
  if (width != kWidth || height != kHeight || pixels.size() != static_cast<size_t>(width) * height)
    return "the screenshot is not " + std::to_string(kWidth) + " x " + std::to_string(kHeight) + "\n";
  const Shot shot(pixels, width, height);
  std::string report;
  auto fail = [&](const std::string& what) { report += what + "\n"; };

  // The strip, at a spot the cursor and the click never reach.
  if (!Near(shot.At(700, 560), kStrip)) fail("the panel's strip is missing at (700, 560)");
  if (!Near(shot.At(700, kStripTop + 1), kStripEdge)) fail("the strip's lit edge is missing");
  // Grass over most of the level, and the dirt of the crossing at its middle.
  const int grass = shot.Count(0, 0, kWidth, kStripTop, Grassy);
  if (grass * 2 < shot.Area(0, 0, kWidth, kStripTop)) fail("less than half the level is grass");
  const int cx = ScreenX(layout.crossing.x), cy = ScreenY(layout.crossing.y);
  if (shot.Count(cx - 8, cy - 6, cx + 8, cy + 6, Dirt) < 150) fail("the crossing of the paths is not dirt");
  // Something that is not grass stands on each garbage place.
  for (const Place& p : layout.garbage) {
    const int x = ScreenX(p.x), y = ScreenY(p.y) - 14;
    const int box = shot.Area(x - 24, y - 14, x + 24, y + 14);
    if (shot.Count(x - 24, y - 14, x + 24, y + 14, Grassy) * 2 > box) fail("nothing stands on the garbage place at " + std::to_string(static_cast<int>(p.x)) + ", " + std::to_string(static_cast<int>(p.y)));
  }
  // The girl: red shirt and blue overalls together somewhere on her ellipse.
  bool girl = false;
  for (int k = 0; k < 96 && !girl; ++k) {
    const float a = static_cast<float>(k) * 2.0f * 3.14159265f / 96;
    const int x = ScreenX(kWalkX + kWalkRadiusX * std::cos(a)), y = ScreenY(kWalkY + kWalkRadiusY * std::sin(a));
    girl = shot.Count(x - 20, y - 60, x + 20, y, ShirtRed) >= 12 && shot.Count(x - 20, y - 60, x + 20, y, Denim) >= 12;
  }
  if (!girl) fail("the character is nowhere on her walk");
  // Butterflies (sky-blue wings) about the level's emitters.
  int wings = 0;
  for (const Place& e : layout.emitters)
    wings += shot.Count(ScreenX(e.x - 240), ScreenY(e.y - 160), ScreenX(e.x + 240), ScreenY(e.y + 160), Sky);
  if (wings < 6) fail("no particles (butterflies) about the level's emitters");

  if (cursor) {
    const int x = cursor->x, y = cursor->y;
    if (!Near(shot.At(x + 3, y + 10), 0xFFFFFFFFu)) fail("the cursor's inside is not white");
    if (!Near(shot.At(x, y + 10), 0xFF000000u)) fail("the cursor's edge is not black");
    if (!Near(shot.At(x + 10, y + 3), shot.At(x + 20, y + 3))) fail("the cursor is wider than its edge");
  }
  return report;
}

}  // namespace demo
