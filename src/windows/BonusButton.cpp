#include "windows/BonusButton.h"

#include <algorithm>
#include <cmath>

#include "content/GameBonuses.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "level/rules/LevelBonuses.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/ColorEffects.h"
#include "resources/GameDraw.h"
#include "resources/MotionEffects.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "ui/CaptionHintWindow.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

namespace {

constexpr i32 kRaise = 12;
constexpr u32 kMoveTime = 130;
constexpr i32 kChargedFrame = 0;
constexpr i32 kActiveFrame = 4;
constexpr i32 kEmptyFrame = 5;
constexpr i32 kLineWidth = 48, kLineX = 27, kLineY = 40;

i32 Nearest(float v) { return static_cast<i32>(std::floor(v + 0.5f)); }

DXLTexture* Sheet() {
  Sprite* sheet = GetLevelSheet();
  return sheet ? sheet->GetTexture() : nullptr;
}

// Rows [top, top + h) of a skin frame at (x, y + top) of the button.
void FaceRows(DXLQUAD* q, i32 frame, i32 top, i32 h, u32 colour) {
  const SkinPiece& p = skins::kBonusButton;
  if (DXLTexture* t = Sheet())
    t->MakeQuadPartInt(q, 0, top, p.x + frame * p.stepX, p.y + frame * p.stepY + top, p.frameWidth, h, colour);
  else
    *q = DXLQUAD{};
}

}  // namespace

// The button's data is its bonus record; it takes the panel's slot at once.
BonusButton::BonusButton(LevelPanel& panel, u32 slot)
    : ActiveButton(&panel, &panel.Controls(), kCommandBonus), panel_(panel), slot_(slot) {
  rect_ = DXLRECT{0, 0, kBonusButtonWidth, kBonusButtonHeight};
  panel_.SetBonusSlot(slot_, this);
  const GameBonuses* bonuses = GetGameBonuses();
  if (bonuses && slot < kBonusCount) {
    const BONUS& bonus = bonuses->Get(slot);
    SetData(reinterpret_cast<uintptr_t>(&bonus));
    icon_ = bonus.icon;
    if (icon_) icon_->Init();
    auto* hint = new CaptionHintWindow(this);
    hint->SetText(SectionText(u"bonuses", bonus.nameKey));
  }
  DXLMakeDrawState(&flashState_, 1, 1, plat::gfx::D3DTADDRESS_CLAMP, plat::gfx::D3DTADDRESS_CLAMP, kBlendAlpha,
                   plat::gfx::D3DTOP_ADD, plat::gfx::D3DTOP_SELECTARG1);
}

BonusButton::~BonusButton() {
  panel_.ClearBonusSlot(slot_, this);
  DeleteSpriteEffects(&move_);
  DeleteSpriteEffects(&pop_);
  DeleteSpriteEffects(&flash_);
}

void BonusButton::SetPosition(i32 x, i32 y) {
  baseX_ = x;
  baseY_ = y;
  offset_ = bonusState_ == kBonusActive ? -kRaise : 0;
  rect_ = DXLRECT{x, y + offset_, x + kBonusButtonWidth, y + kBonusButtonHeight};
}

// The slot's record decides the state; the button follows with its
// animations. The record keeps the share of time left: the effect's while
// active, the charge's while recharging (so the charge is the rest).
void BonusButton::UpdateState(const BONUSSLOT& slot, bool animate) {
  const float left = std::clamp(slot.fraction, 0.0f, 1.0f);
  u32 state = kBonusReady;
  if (slot.active) {
    state = kBonusActive;
    line_ = left;
  } else if (slot.timeLeft) {
    state = kBonusRecharging;
    SetFill(1.0f - left);
  }
  if (state == bonusState_) return;
  const u32 old = bonusState_;
  if (state == kBonusActive) {
    DeleteSpriteEffects(&move_);
    DeleteSpriteEffects(&pop_);
    if (animate) {
      AttachSpriteEffect(&move_, new SEffect_Pos(0, kRaise, 0, 0, kMoveTime, true, 0));
      AttachSpriteEffect(&pop_, new SEffect_Scale(0.5f, 1.0f, kMoveTime, true, 0));
      AttachSpriteEffect(&pop_, new SEffect_Alpha(0.0f, 1.0f, kMoveTime / 2, true, 0));
    }
  } else if (state == kBonusRecharging && old == kBonusActive) {
    DeleteSpriteEffects(&move_);
    DeleteSpriteEffects(&pop_);
    if (animate) {
      AttachSpriteEffect(&move_, new SEffect_Pos(0, -kRaise, 0, 0, kMoveTime, true, 0));
      AttachSpriteEffect(&pop_, new SEffect_Scale(1.0f, 0.5f, kMoveTime / 2, true, 0));
      AttachSpriteEffect(&pop_, new SEffect_Alpha(1.0f, 0.0f, kMoveTime / 2, true, 0));
    }
  } else if (state == kBonusReady) {
    SetFill(0.0f);
    if (old == kBonusRecharging && animate) {
      static constexpr u32 kFlash[8] = {0xFF000000u, 0, 0xFF808080u, 200, 0xFF808080u, 100, 0xFF000000u, 200};
      DeleteSpriteEffects(&flash_);
      AttachSpriteEffect(&flash_, new SEffect_Gradient(true, 0, 4, kFlash));
    }
  }
  bonusState_ = state;
  SetPosition(baseX_, baseY_);
}

// The charged rows reach down to exact = 42 x value + 3 of the 48; the row
// the edge crosses is drawn twice, the second time empty and as transparent
// as the edge is near its bottom.
void BonusButton::SetFill(float value) {
  fill_ = std::clamp(value, 0.0f, 1.0f);
  if (fill_ <= 0.0f || fill_ >= 1.0f) {
    fillExact_ = 0.0f;
    fillRows_ = 0;
    return;
  }
  fillExact_ = 42.0f * fill_ + 3.0f;
  fillRows_ = static_cast<i32>(std::ceil(fillExact_));
}

void BonusButton::DrawFace(i32 frame, i32 iconFrame, u32 colour) {
  DXLQUAD q;
  FaceRows(&q, frame, 0, kBonusButtonHeight, colour);
  BindDrawTexture(Sheet());
  DrawQuad(&q);
  if (iconFrame < 0 || !icon_ || !icon_->IsLoaded() || !icon_->GetTexture()) return;
  DXLRECT r{};
  if (!icon_->GetFrameRect(std::min(iconFrame, icon_->GetFrameCount() - 1), &r)) return;
  const i32 w = r.right - r.left, h = r.bottom - r.top;
  icon_->GetTexture()->MakeQuadPartInt(&q, (kBonusButtonWidth - w) / 2, (kBonusButtonHeight - h) / 2, r.left, r.top, w,
                                       h, colour);
  BindDrawTexture(icon_->GetTexture());
  DrawQuad(&q);
}

// The face rows above the edge from the charged face, below it from the
// empty one; the icon split the same way (its uncharged part from its
// second frame; an icon of one frame shows its charged part only).
void BonusButton::DrawFill(u32 colour) {
  if (fill_ <= 0.0f) return;  // nothing built yet
  if (fill_ >= 1.0f) {
    DrawFace(kChargedFrame, 0, colour);
    return;
  }
  const i32 k = fillRows_;
  const u32 edge = static_cast<u32>(std::clamp(Nearest((static_cast<float>(k) - fillExact_) * 255.0f), 0, 255)) << 24;
  DXLQUAD q[3];
  const u32 rgb = colour & 0x00FFFFFFu;
  FaceRows(&q[0], kChargedFrame, 0, k, colour);
  FaceRows(&q[1], kEmptyFrame, k, kBonusButtonHeight - k, colour);
  FaceRows(&q[2], kEmptyFrame, k - 1, 1, edge | rgb);
  BindDrawTexture(Sheet());
  for (const DXLQUAD& each : q) DrawQuad(&each);
  if (!icon_ || !icon_->IsLoaded() || !icon_->GetTexture()) return;
  DXLRECT full{}, empty{};
  const bool two = icon_->GetFrameCount() > 1;
  if (!icon_->GetFrameRect(0, &full) || !icon_->GetFrameRect(two ? 1 : 0, &empty)) return;
  const i32 w = full.right - full.left, h = full.bottom - full.top;
  const i32 ix = (kBonusButtonWidth - w) / 2, iy = (kBonusButtonHeight - h) / 2;
  const i32 split = std::clamp(k - iy, 0, h);
  DXLTexture* t = icon_->GetTexture();
  i32 n = 0;
  if (split > 0) t->MakeQuadPartInt(&q[n++], ix, iy, full.left, full.top, w, split, colour);
  if (two && split < h)
    t->MakeQuadPartInt(&q[n++], ix, iy + split, empty.left, empty.top + split, w, h - split, colour);
  if (two && split > 0 && split <= h)
    t->MakeQuadPartInt(&q[n++], ix, iy + split - 1, empty.left, empty.top + split - 1, w, 1, edge | rgb);
  BindDrawTexture(t);
  for (i32 i = 0; i < n; ++i) DrawQuad(&q[i]);
}

// The border 48 wide centred at (27, 40), the indicator 44 long inside it
// filled to floor(44 x value), one more column as transparent as the rest.
void BonusButton::DrawLine() {
  Sprite* border = FindHudSprite(u"progress_line_border");
  Sprite* indicator = FindHudSprite(u"progress_line_indicator");
  DXLViewer* viewer = GetGameViewer();
  u32 colour = 0xFFFFFFFFu;
  if (pop_ && viewer) {
    viewer->Translate(static_cast<float>(kLineX), static_cast<float>(kLineY));
    if (UpdateSpriteEffects(&pop_)) colour = GetEffectColor(pop_, colour);
    viewer->Translate(-static_cast<float>(kLineX), -static_cast<float>(kLineY));
    viewer->ApplyTransform(nullptr);
  }
  const float left = static_cast<float>(kLineX - kLineWidth / 2), top = static_cast<float>(kLineY - 5);
  if (border && PictureWidth(border) > 0) {
    const SkinPiece& b = skins::kProgressBorder;
    const i32 bw = PictureWidth(border), bh = PictureHeight(border);
    DXLQUAD q[3];
    MakePieceQuad(border, &q[0], left, top, left + b.left, top + bh, DXLRECT{0, 0, b.left, bh}, colour);
    MakePieceQuad(border, &q[1], left + b.left, top, left + kLineWidth - b.right, top + bh,
                  DXLRECT{b.left, 0, bw - b.right, bh}, colour);
    MakePieceQuad(border, &q[2], left + kLineWidth - b.right, top, left + kLineWidth, top + bh,
                  DXLRECT{bw - b.right, 0, bw, bh}, colour);
    DrawPieceQuads(border, q, 3);
  }
  if (!indicator || PictureWidth(indicator) <= 0) return;
  const float length = static_cast<float>(kLineWidth - 4) * std::clamp(line_, 0.0f, 1.0f);
  const i32 f = static_cast<i32>(std::floor(length));
  const SkinPiece& p = skins::kProgressIndicator;
  const i32 iw = PictureWidth(indicator), ih = PictureHeight(indicator);
  const float x0 = left + 2.0f, y0 = top + 2.0f;
  DXLQUAD q[4];
  i32 n = 0;
  if (f >= p.left + p.right) {
    MakePieceQuad(indicator, &q[n++], x0, y0, x0 + p.left, y0 + ih, DXLRECT{0, 0, p.left, ih}, colour);
    MakePieceQuad(indicator, &q[n++], x0 + p.left, y0, x0 + f - p.right, y0 + ih, DXLRECT{p.left, 0, iw - p.right, ih},
                  colour);
    MakePieceQuad(indicator, &q[n++], x0 + f - p.right, y0, x0 + f, y0 + ih, DXLRECT{iw - p.right, 0, iw, ih}, colour);
  } else if (f > 0) {
    MakePieceQuad(indicator, &q[n++], x0, y0, x0 + f, y0 + ih, DXLRECT{0, 0, iw, ih}, colour);
  }
  const u32 alpha = static_cast<u32>((length - static_cast<float>(f)) * static_cast<float>(colour >> 24));
  if (alpha > 0 && f < kLineWidth - 4)
    MakePieceQuad(indicator, &q[n++], x0 + f, y0, x0 + f + 1, y0 + ih, DXLRECT{iw - p.right, 0, iw - p.right + 1, ih},
                  alpha << 24 | (colour & 0x00FFFFFFu));
  DrawPieceQuads(indicator, q, n);
}

void BonusButton::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  viewer->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
  if (move_) UpdateSpriteEffects(&move_);
  viewer->ApplyTransform(nullptr);
  const u32 visual = std::max<u32>(state_.GetState() & kStateBaseMask, 1);
  u32 colour = 0xFFFFFFFFu;
  const DXLDRAWSTATE* previous = nullptr;
  const bool flashing = flash_ && UpdateSpriteEffects(&flash_);
  if (flashing) {
    colour = GetEffectColor(flash_, 0xFF000000u);
    UnbindDrawTexture();
    previous = SetBlendState(&flashState_);
  }
  // Recharging, the fill stands in for the icon over the state's frame.
  if (bonusState_ == kBonusRecharging) {
    DrawFace(static_cast<i32>(visual), -1, colour);
    DrawFill(colour);
  } else {
    DrawFace(bonusState_ == kBonusActive ? kActiveFrame : static_cast<i32>(visual),
             bonusState_ == kBonusActive ? 1 : static_cast<i32>(std::min<u32>(visual, 2)), colour);
  }
  UnbindDrawTexture();
  if (flashing) SetBlendState(previous);
  if (bonusState_ == kBonusActive || pop_) DrawLine();
  UnbindDrawTexture();
  viewer->SetTransform(&base);
  viewer->ApplyTransform(nullptr);
}
