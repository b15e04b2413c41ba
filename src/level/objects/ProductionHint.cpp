#include "level/objects/ProductionHint.h"

#include <algorithm>
#include <cstdint>

#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/GameHint.h"
#include "ui/HIText.h"
#include "ui/HintTextParams.h"
#include "ui/ItemTagKinds.h"

namespace {

constexpr u32 kLineFont = 3;
constexpr i32 kLineGap = 1;  // pixels between ingredient lines

}  // namespace

ProductionHint::ProductionHint(GameHint* owner, const wchar* text, const PRODUCT* product)
    : CaptionHintWindow(owner), product_(product) {
  const uintptr_t object = reinterpret_cast<uintptr_t>(product);
  KGETEXTPARAMS params;
  InitCaptionTextParams(&params, kKGEMarkup, 0, kItemTagRecipe, object);
  SetCaption(&params, u"[PRDCTN N]", false);
  if (owner) owner->SetRefreshMask(owner->GetRefreshMask() | kHintRefreshGlobal);
  InitBodyTextParams(&params, kKGEMarkup, 0, kItemTagRecipe, object);
  text_ = AddTextItem(&params, text, true);
  const i32 count = product ? static_cast<i32>(std::min(product->ingredientCount, kMaxIngredients)) : 0;
  for (i32 i = 0; i < count; ++i) {
    wchar tag[] = u"[PRDCTN I 0]";
    tag[10] = static_cast<wchar>(u'0' + i);  // at most four ingredients
    lines_[lineCount_++] = HIText::HITextPlain(this, GetGameFont(kLineFont), &params, tag, true,
                                               GetResourceServices().itemDescription);
  }
  SetFrame(0, 0, 0, 0, 1, 0);
}

void ProductionHint::GetItemsBounds(DXLRECT* out) {
  DXLRECT bounds = GetCaption() ? GetCaption()->GetRect() : DXLRECT{0, 0, 0, 0};
  if (text_) {
    text_->SetPos(text_->GetX(), bounds.bottom);
    text_->UniteBounds(&bounds);
  }
  i32 y = bounds.bottom;
  for (i32 i = 0; i < lineCount_; ++i) {
    lines_[i]->SetPos(lines_[i]->GetX(), y + kLineGap);
    lines_[i]->UniteBounds(&bounds);
    y = lines_[i]->GetRect().bottom;
  }
  if (!out) return;
  out->left = std::min(out->left, bounds.left);
  out->top = std::min(out->top, bounds.top);
  out->right = std::max(out->right, bounds.right);
  out->bottom = std::max(out->bottom, bounds.bottom);
}

void ProductionHint::Relayout(u32 flags) {
  if (flags & kHintRefreshGlobal) {
    for (i32 i = 0; i < lineCount_; ++i) lines_[i]->Refresh(GetResourceServices().itemDescription);
  }
  CaptionHintWindow::Relayout(flags);
}
