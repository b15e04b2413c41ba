#include "ui/BaseHintWindow.h"

#include <algorithm>

#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "ui/HIText.h"
#include "ui/HintItem.h"
#include "ui/HintTextParams.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"

namespace {

constexpr u32 kBodyFont = 3;

}  // namespace

BaseHintWindow::BaseHintWindow() = default;

BaseHintWindow::~BaseHintWindow() {
  while (items_.GetCount() > 0) {
    HintItem* item = items_.Last();
    items_.Delete(items_.GetCount() - 1);
    delete item;
  }
  ClearQuads();
}

void BaseHintWindow::GetSize(i32* width, i32* height) const {
  if (width) *width = width_;
  if (height) *height = height_;
}

void BaseHintWindow::SetColor(u32 color) {
  const u32 alpha = color & 0xFF000000u;
  if (alpha == colour_) return;
  colour_ = alpha;
  for (i32 i = 0; i < items_.GetCount(); ++i) items_.Get(i)->SetAlpha(alpha);
  SetAlpha(alpha);
}

void BaseHintWindow::GetItemsBoundsRange(DXLRECT* out, bool keep, i32 first, i32 last) {
  if (!out) return;
  if (!keep) *out = DXLRECT{0, 0, 0, 0};
  if (last < 0 || last > items_.GetCount()) last = items_.GetCount();
  for (i32 i = std::max(first, 0); i < last; ++i) items_.Get(i)->UniteBounds(out);
}

void BaseHintWindow::GetItemsBounds(DXLRECT* out) { GetItemsBoundsRange(out, false, 0, -1); }

void BaseHintWindow::Measure() {
  DXLRECT r{0, 0, 0, 0};
  GetItemsBounds(&r);
  const i32 contentWidth = std::clamp(r.right - r.left, 0, kMaxContent);
  const i32 contentHeight = std::clamp(r.bottom - r.top, 0, kMaxContent);
  width_ = contentWidth + margins_.left + margins_.right;
  height_ = contentHeight + margins_.top + margins_.bottom;
  const i32 x = margins_.left - std::min(r.left, 0);
  const i32 y = margins_.top - std::min(r.top, 0);
  content_ = DXLRECT{x, y, x + contentWidth, y + contentHeight};
  originX_ = static_cast<float>(x);
  originY_ = static_cast<float>(y);
  BuildFrame();
}

void BaseHintWindow::BuildFrame() {
  ClearQuads();
  WindowManager* manager = GetWindowManager();
  Sprite* balloon = manager ? manager->GetInterfaceSprite(u"balloon") : nullptr;
  if (!balloon || !balloon->GetTexture()) return;
  AddStretchedFrame(0, 0, width_ + 3, height_ + 4, SkinOf(skins::kBalloon, balloon->GetTexture()));
  SetAlpha(colour_);
}

bool BaseHintWindow::BeginDraw() {
  if (DXLViewer* viewer = GetGameViewer()) viewer->Translate(posX_, posY_);
  return true;
}

void BaseHintWindow::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !BeginDraw()) return;
  viewer->GetTransform(&transform_);
  viewer->ApplyTransform(nullptr);
  DrawPieces();
  if (items_.GetCount() == 0) return;
  viewer->Translate(originX_, originY_);
  viewer->GetTransform(&transform_);
  for (i32 i = 0; i < items_.GetCount(); ++i) {
    if (i > 0) viewer->SetTransform(&transform_);
    items_.Get(i)->Draw();
  }
}

HIText* BaseHintWindow::AddTextItem(const KGETEXTPARAMS* params, const wchar* text, bool keepSource) {
  if (!text) return nullptr;
  KGETEXTPARAMS defaults;
  if (!params) params = InitBodyTextParams(&defaults, kKGEMarkup, 0, 0, 0);
  return new HIText(this, GetGameFont(kBodyFont), params, nullptr, text, keepSource,
                    GetResourceServices().itemDescription);
}
