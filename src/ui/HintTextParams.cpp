#include "ui/HintTextParams.h"

#include <algorithm>

namespace {

constexpr i32 kDefaultBox = 512;

KGETEXTPARAMS Defaults(u32 flags, u32 color, i32 lineGap) {
  KGETEXTPARAMS p{};
  p.flags = flags;
  p.maxChars = 0x400;
  p.color = color;
  p.wrapWidth = kDefaultBox;
  p.lineGap = lineGap;
  p.right = kDefaultBox;
  p.bottom = kDefaultBox;
  p.lineSpacing = kKGEFontSpacing;
  return p;
}

KGETEXTPARAMS* Fill(KGETEXTPARAMS* params, const KGETEXTPARAMS& defaults, u32 extraFlags, i32 boxWidth,
                    uintptr_t context1, uintptr_t context2) {
  // No block to fill gives none: one shared block handed to every caller
  // without its own would be refilled under a text still laid out from it,
  // and each caller here keeps its own anyway.
  KGETEXTPARAMS* p = params;
  if (!p) return nullptr;
  *p = defaults;
  p->flags |= extraFlags;
  if (boxWidth > 0) {
    p->wrapWidth = boxWidth;
    p->right = std::min(p->right, boxWidth);
  }
  p->context1 = context1;
  p->context2 = context2;
  return p;
}

}  // namespace

KGETEXTPARAMS DefaultBodyTextParams() {
  return Defaults(kKGELineGap | kKGEFixedColor | kKGEMarkup | kKGELineSpacing | kKGEWrap, 0xFF00357Eu, 1);
}

KGETEXTPARAMS DefaultCaptionTextParams() { return Defaults(kKGEFixedColor | kKGEWrap | kKGEAlignCenter, 0xFFF05008u, 0); }

KGETEXTPARAMS* InitBodyTextParams(KGETEXTPARAMS* params, u32 extraFlags, i32 boxWidth, uintptr_t context1,
                                  uintptr_t context2) {
  return Fill(params, DefaultBodyTextParams(), extraFlags, boxWidth, context1, context2);
}

KGETEXTPARAMS* InitCaptionTextParams(KGETEXTPARAMS* params, u32 extraFlags, i32 boxWidth, uintptr_t context1,
                                     uintptr_t context2) {
  return Fill(params, DefaultCaptionTextParams(), extraFlags, boxWidth, context1, context2);
}
