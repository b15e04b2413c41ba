#include "ui/CaptionHintWindow.h"

#include <algorithm>

#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/HILine.h"
#include "ui/HIText.h"
#include "ui/HintTextParams.h"

namespace {

constexpr u32 kCaptionFont = 4;

}  // namespace

CaptionHintWindow::CaptionHintWindow(GameHint* owner) : HintWindow(owner) {}

CaptionHintWindow::CaptionHintWindow(GameHint* owner, const wchar* caption, bool withSeparator, const wchar* body,
                                     uintptr_t colour1, uintptr_t colour2, const DXLRECT* anchor, u32 alignX,
                                     u32 alignY, i32 width)
    : HintWindow(owner) {
  KGETEXTPARAMS params;
  InitCaptionTextParams(&params, 0, width, colour1, colour2);
  SetCaption(&params, caption, withSeparator);
  InitBodyTextParams(&params, 0, width, colour1, colour2);
  body_ = AddTextItem(&params, body, true);
  const DXLRECT at = anchor ? *anchor : anchor_;
  SetFrame(at.left, at.top, at.right, at.bottom, alignX, alignY);
}

void CaptionHintWindow::SetCaption(const KGETEXTPARAMS* params, const wchar* text, bool withSeparator) {
  delete caption_;
  caption_ = nullptr;
  if (text) {
    KGETEXTPARAMS defaults;
    if (!params) params = InitCaptionTextParams(&defaults, kKGEMarkup, 0, 0, 0);
    caption_ = new HIText(this, GetGameFont(kCaptionFont), params, nullptr, text, true,
                          GetResourceServices().itemDescription);
  }
  if (withSeparator && caption_) {
    if (!separator_) separator_ = new HILine(this, caption_->GetHeight(), 0, 0);
  } else {
    delete separator_;
    separator_ = nullptr;
  }
}

void CaptionHintWindow::SetText(const wchar* text) {
  if (caption_) {
    caption_->SetText(text, GetResourceServices().itemDescription);
  } else {
    SetCaption(nullptr, text, false);
  }
}

void CaptionHintWindow::GetItemsBounds(DXLRECT* out) {
  DXLRECT bounds = caption_ ? caption_->GetRect() : DXLRECT{0, 0, 0, 0};
  if (separator_) {
    separator_->SetRect(0, bounds.bottom, 0, -1);
    separator_->UniteBounds(&bounds);
  }
  for (i32 i = 0; i < items_.GetCount(); ++i) {
    HintItem* item = items_.Get(i);
    if (item == caption_ || item == separator_) continue;
    item->SetPos(item->GetX(), bounds.bottom);
    item->UniteBounds(&bounds);
  }
  if (!out) return;
  out->left = std::min(out->left, bounds.left);
  out->top = std::min(out->top, bounds.top);
  out->right = std::max(out->right, bounds.right);
  out->bottom = std::max(out->bottom, bounds.bottom);
  if (caption_) caption_->AlignIn(out->left, out->top, out->right, out->bottom, 1, 0);
  if (separator_) separator_->SetRect(0, caption_ ? caption_->GetRect().bottom : 0, out->right - out->left,
                                     separator_->GetHeight());
}
