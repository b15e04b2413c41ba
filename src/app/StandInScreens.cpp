#include "app/StandInScreens.h"

#include <string>

#include "content/LevelTable.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEFont.h"
#include "resources/GameDraw.h"
#include "resources/GameServices.h"

namespace {

constexpr i32 kButtonWidth = 240;
constexpr i32 kButtonHeight = 48;
constexpr u32 kButtonColour = 0xFF3C6E2Au;

bool Inside(const DXLRECT& r, i32 x, i32 y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// A flat rectangle in game coordinates.
void Fill(const DXLRECT& r, u32 colour) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  const DXLRECT& area = GetGameServices().screen.rect;
  const float l = static_cast<float>(area.left + r.left), t = static_cast<float>(area.top + r.top);
  const float rt = static_cast<float>(area.left + r.right), b = static_cast<float>(area.top + r.bottom);
  const DXLCOLORVERTEX quad[4] = {{l, t, 0.0f, colour}, {rt, t, 0.0f, colour}, {rt, b, 0.0f, colour},
                                  {l, b, 0.0f, colour}};
  UnbindDrawTexture();
  viewer->SetTexture(nullptr);
  viewer->SetBlendMode(kBlendAlpha);
  viewer->ResetWorldTransform();
  viewer->DrawColorQuad(quad);
}

// A text centred on a rectangle in game coordinates, in game font 2.
void Caption(const DXLRECT& r, const wchar* text) {
  KGEFont* font = GetGameFont(2);
  if (!font || !text) return;
  KGESIZE size{};
  font->MeasureText(&size, text, KGEFont::kWholeText);
  const DXLRECT& area = GetGameServices().screen.rect;
  const float x = static_cast<float>(area.left + (r.left + r.right - size.cx) / 2);
  const float y = static_cast<float>(area.top + (r.top + r.bottom - size.cy) / 2);
  font->DrawTextAt(x, y, text);
}

}  // namespace

DXLRECT StandInScreens::MapButton() {
  const GAMESCREENAREA& s = GetGameServices().screen;
  const i32 left = (s.width - kButtonWidth) / 2, top = (s.height - kButtonHeight) / 2;
  return DXLRECT{left, top, left + kButtonWidth, top + kButtonHeight};
}

bool StandInScreens::MapHit(i32 x, i32 y) const { return Inside(MapButton(), x, y); }

void StandInScreens::DrawMap() {
  const std::u16string level = GetLevelName(0);
  Fill(MapButton(), kButtonColour);
  Caption(MapButton(), level.c_str());
}
