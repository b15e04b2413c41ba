#include "windows/CreditsWindow.h"

#include <algorithm>
#include <cmath>

#include "engine/DXLMouse.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/KGEFont.h"
#include "gametext/KGETextParams.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "ui/ControlState.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/PanelSkins.h"

namespace {

constexpr u32 kCreditsFont = 4;
constexpr u32 kShadowColor = 0x80000000u;
constexpr float kPressedSpeed = 4.0f;
constexpr u32 kLineChars = 128;  // a line's characters, mark-up counted

const wchar* WindowText(const wchar* key) { return SectionText(u"credits_window", key); }

// The part of a textured rectangle (u0, v0)-(u1, v1) at (x, y, w, h) that
// lies between the rows top and bottom, drawn with the texture.
void DrawCut(DXLTexture* texture, float x, float y, float w, float h, float u0, float v0, float u1, float v1,
             float top, float bottom) {
  const float y0 = std::max(y, top), y1 = std::min(y + h, bottom);
  if (!texture || h <= 0 || y1 <= y0) return;
  const float va = v0 + (v1 - v0) * (y0 - y) / h, vb = v0 + (v1 - v0) * (y1 - y) / h;
  DXLQUAD q{};
  const float xs[4] = {x, x + w, x + w, x}, ys[4] = {y0, y0, y1, y1};
  const float us[4] = {u0, u1, u1, u0}, vs[4] = {va, va, vb, vb};
  for (i32 i = 0; i < 4; ++i) q.v[i] = DXLVERTEX{xs[i], ys[i], 0.0f, 0xFFFFFFFFu, us[i], vs[i]};
  BindDrawTexture(texture);
  DrawQuad(&q);
}

i32 LineHeight() {
  KGEFont* font = GetGameFont(kCreditsFont);
  return font ? font->GetHeight() : 16;
}

}  // namespace

// The frame: the list's side columns (the profiles list's skin piece) 406
// high below the top row, the viewport 7 pixels into them.
CreditsWindow::CreditsWindow() : SpritesWindow(kCreditsWindowId, true, true) {
  AddTopRow(kWidth);
  i32 w = 0, clientTop = 0;
  GetSize(&w, &clientTop);
  viewTop_ = clientTop + kViewInset;
  AddStretchedFrame(0, clientTop, kWidth, kFrameHeight, SkinOf(skins::kProfilesFrame, kInterfaceImage));
  AddBodyFrame(1);
  SetCaption(WindowText(u"caption"));
  AddButton(kCreditsClose, WindowText(u"btn_close"), 1, 1, 0);

  const GameLanguage* language = GetGameLanguage();
  const u32 count = language ? language->GetCreditCount() : 0;
  i32 y = 0;
  for (u32 i = 0; i < count; ++i) {
    const CREDITITEM* c = language->GetCredit(i);
    if (!c || (c->kind != kCreditText && c->kind != kCreditImage)) continue;
    Item item;
    item.kind = c->kind;
    item.source = c;
    item.y = y;
    item.height = c->kind == kCreditText ? LineHeight() : c->image ? std::max(c->image->GetImageHeight(), 0) : 0;
    y = item.y + item.height + kGap;
    items_.push_back(std::move(item));
  }
  total_ = items_.empty() ? 0 : items_.back().y + items_.back().height;
  if (total_ > kStillHeight) {
    scrolling_ = true;
    total_ += kGap;
    offset_ = static_cast<float>(kViewHeight);
    ComputeRange();
  } else {
    offset_ = static_cast<float>((kViewHeight - total_) / 2);
    for (Item& item : items_) Build(item);
    first_ = 0;
    end_ = items_.size();
  }
  Show(0, true);
}

CreditsWindow::~CreditsWindow() = default;

void CreditsWindow::Build(Item& item) {
  if (item.built) return;
  if (item.kind == kCreditText) {
    item.text.reset(MakePanelText(item.source->text, kCreditsFont, nullptr, kKGEMarkup, 0xFFFFFFFFu, kLineChars));
    item.shadow.reset(MakePanelText(item.source->text, kCreditsFont, nullptr, kKGEMarkup | kKGEFixedColor, kShadowColor,
                                    kLineChars));
    item.x = item.text ? -std::floor(static_cast<float>(item.text->GetWidth()) / 2) : 0.0f;
  } else {
    DXLTexture* image = item.source->image;
    if (!image || !image->IsReady()) return;  // built once its texture is
    item.x = -std::floor(static_cast<float>(image->GetImageWidth()) / 2);
  }
  item.built = true;
  ++builds_;
}

void CreditsWindow::Release(Item& item) {
  item.text.reset();
  item.shadow.reset();
  item.built = false;
}

void CreditsWindow::ComputeRange() {
  const float o = offset_;
  size_t first = items_.size(), end = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    const Item& item = items_[i];
    if (static_cast<float>(item.y) < kViewHeight - o && static_cast<float>(item.y + item.height) > -o) {
      first = std::min(first, i);
      end = i + 1;
    }
  }
  if (first > end) first = end = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i >= first && i < end)
      Build(items_[i]);
    else if (items_[i].built)
      Release(items_[i]);
  }
  first_ = first;
  end_ = end;
}

void CreditsWindow::Scroll(u32 ms) {
  if (!scrolling_ || closing_) return;
  float step = static_cast<float>(ms) / kStepDivisor;
  WindowManager* manager = GetWindowManager();
  if (state_.GetState() == kStatePressed && !(manager && manager->GetHoverControl())) step *= kPressedSpeed;
  offset_ -= step;
  if (offset_ < -static_cast<float>(total_)) offset_ += static_cast<float>(total_ + kViewHeight + kGap);
  ComputeRange();
  paper_ += step;
}

bool CreditsWindow::Update() {
  Scroll(GetResourceServices().frameElapsed);
  return SpritesWindow::Update();
}

bool CreditsWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == 13 || key == 27) {
    Close();
    return true;
  }
  return SpritesWindow::OnKeyDown(key, extra);
}

u32 CreditsWindow::OnCommand(GameButton* control) {
  if (control && control->GetId() == kCreditsClose) {
    Close();
    return 2;
  }
  return SpritesWindow::OnCommand(control);
}

void CreditsWindow::DrawBackground() {
  SpritesWindow::DrawBackground();
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  viewer->ApplyTransform(nullptr);
  const float top = static_cast<float>(viewTop_), bottom = top + kViewHeight;
  // The paper, tiled downwards and moving up with the list.
  Sprite* paper = manager_ ? manager_->GetInterfaceSprite(u"profiles_back") : nullptr;
  const DXLQUAD* q = paper ? paper->GetQuad(0, false) : nullptr;
  const float ph = paper ? static_cast<float>(paper->GetFrameHeight()) : 0.0f;
  if (q && ph > 0) {
    const float shift = std::fmod(paper_, ph);
    for (float y = top - shift; y < bottom; y += ph)
      DrawCut(paper->GetTexture(), kViewX, y, kViewWidth, ph, q->v[0].u, q->v[0].v, q->v[2].u, q->v[2].v, top, bottom);
  }
  UnbindDrawTexture();
  for (size_t i = first_; i < end_ && i < items_.size(); ++i) {
    Item& item = items_[i];
    if (!item.built) continue;
    const float x = item.x + kWidth / 2.0f, y = top + offset_ + static_cast<float>(item.y);
    if (item.kind == kCreditText) {
      for (KGETextSpriteW* t : {item.shadow.get(), item.text.get()}) {
        if (!t) continue;
        const float d = t == item.shadow.get() ? 2.0f : 0.0f;
        viewer->SetTransform(&base);
        viewer->Translate(x + d, y + d);
        viewer->ApplyTransform(nullptr);
        t->Draw();
      }
    } else if (DXLTexture* image = item.source->image) {
      viewer->SetTransform(&base);
      viewer->ApplyTransform(nullptr);
      const float iw = static_cast<float>(image->GetImageWidth()), tw = static_cast<float>(image->GetWidth());
      const float ih = static_cast<float>(image->GetImageHeight()), th = static_cast<float>(image->GetHeight());
      if (tw > 0 && th > 0) DrawCut(image, x, y, iw, ih, 0.0f, 0.0f, iw / tw, ih / th, top, bottom);
      UnbindDrawTexture();
    }
  }
  viewer->SetTransform(&base);
}
