#include "windows/MapMedalsPanel.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "base/NumberText.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "hud/HudPieces.h"
#include "ui/WindowManager.h"
#include "windows/MapProfile.h"
#include "windows/PanelSkins.h"

namespace {

constexpr float kSignX = 39.0f;
constexpr float kSignY = 11.0f;
constexpr float kCountX = 57.0f;
constexpr float kRowMiddle = 16.0f;

Sprite* PanelSprite(const wchar* name) {
  WindowManager* manager = GetWindowManager();
  return manager ? manager->GetInterfaceSprite(name) : nullptr;
}

KGETextSpriteW* CountText(u32 n) {
  wchar text[16];
  kis::UIntToStr(text, 16, n);
  return MakePanelText(text, 4);
}

// The awards window's caption area: 170 pixels, so that the strip (517
// wide) stands inside the 545-pixel window at x 12; 195 ran 9 pixels past
// its right edge.
constexpr i32 kAwardsCaptionArea = 170;

}  // namespace

MapMedalsPanel::MapMedalsPanel(i32 left, i32 top, i32 right, i32 bottom, u32 variant) {
  panel_ = PanelSprite(u"map_medals_panel");
  const i32 s = variant == 0 ? 110 : 105;
  const SKINPIECE first{16 - left, left, top, 16 - left};
  const SKINPIECE last{20 - right, 24, top, 20 - right};
  const SKINPIECE separator{4, 20, top, 4};
  const auto fill = [top](i32 w) { return SKINPIECE{w, 16, top, 4}; };
  DXLTexture* image = panel_ && panel_->IsLoaded() ? panel_->GetTexture() : nullptr;
  const i32 h = kHeight - top - bottom;
  // The strip keeps its size without its picture (the pieces then add nothing).
  const auto add = [&](std::initializer_list<SKINPIECE> pieces) {
    AddPieces(image, 0, 0, h, nullptr, static_cast<i32>(pieces.size()), pieces.begin());
    i32 w = 0;
    for (const SKINPIECE& p : pieces) w += p.width;
    SetSize(w, h);
  };
  if (variant == 0)
    add({first, fill(s - 8), separator, fill(s - 4), separator, fill(s - 8), last});
  else
    add({first, fill(kAwardsCaptionArea), separator, fill(s - 4), separator, fill(s - 4), separator, fill(s - 8), last});
  const float x0 = static_cast<float>(variant == 0 ? 24 - left : kAwardsCaptionArea + 30 - left);
  Sprite* medals = PanelSprite(u"map_panel_medals");
  for (i32 i = 0; i < 3; ++i) {
    // Gold first, then silver, then bronze.
    medalX_[i] = x0 + static_cast<float>((2 - i) * s);
    medalY_[i] = static_cast<float>(12 - top);
    if (medals) {
      icons_[i] = MakeImage(medals, 0.0f, 0.0f);
      if (icons_[i]) icons_[i]->SetFrame(std::min(i, medals->GetFrameCount() - 1));
    }
    countTexts_[i].reset(CountText(0));
  }
  if (Sprite* sign = PanelSprite(u"map_panel_x")) sign_ = MakeImage(sign, 0.0f, 0.0f);
}

MapMedalsPanel::~MapMedalsPanel() = default;

void MapMedalsPanel::Refresh(u32 mode) {
  MapProfile* profile = GetMapProfile();
  u32 counts[3] = {};
  if (profile) profile->CountMedals(mode, counts);
  for (i32 i = 0; i < 3; ++i) {
    if (counts[i] == counts_[i]) continue;
    counts_[i] = counts[i];
    countTexts_[i].reset(CountText(counts[i]));
    ++textBuilds_;
  }
}

void MapMedalsPanel::SetCaption(const wchar* text) {
  caption_.reset();
  if (!text || !*text) return;
  caption_.reset(MakePanelText(text, 3));
  const float h = caption_ ? static_cast<float>(caption_->GetHeight()) : 0.0f;
  captionY_ = std::floor(kRowMiddle - h / 2 + medalY_[2]);
}

void MapMedalsPanel::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX saved{};
  viewer->GetTransform(&saved);
  viewer->Translate(drawX_, drawY_);
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  viewer->ApplyTransform(nullptr);
  DrawPieces();
  UnbindDrawTexture();
  for (i32 i = 0; i < 3; ++i) {
    if (icons_[i]) DrawImageAt(icons_[i].get(), medalX_[i], medalY_[i], base);
    if (sign_) DrawImageAt(sign_.get(), medalX_[i] + kSignX, medalY_[i] + kSignY, base);
  }
  const auto text = [&](KGETextSpriteW* t, float x, float y) {
    if (!t) return;
    viewer->SetTransform(&base);
    viewer->Translate(x, y);
    viewer->ApplyTransform(nullptr);
    t->Draw();
  };
  text(caption_.get(), 10.0f, captionY_);
  for (i32 i = 0; i < 3; ++i) {
    KGETextSpriteW* t = countTexts_[i].get();
    if (t) text(t, medalX_[i] + kCountX, std::floor(medalY_[i] + kRowMiddle - static_cast<float>(t->GetHeight()) / 2));
  }
  viewer->SetTransform(&saved);
}
