#include "gametext/KGECustomText.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gametext/KGEFont.h"
#include "gametext/KGELayout.h"
#include "gametext/TextServices.h"

KGECustomText::KGECustomText(DXLViewer* viewer, u32 charWidth)
    : viewer_(viewer), params_(KGEDefaultTextParams()), charWidth_(charWidth) {
  params_.maxChars = kKGEMaxChars;
  params_.alpha = 0xFF000000u;
  DXLMakeSimpleDrawState(&drawState_, 1, 3, 1, 4);
}

KGECustomText::~KGECustomText() = default;

void KGECustomText::Clear() {
  laidOut_ = 0;
  width_ = 0;
  height_ = 0;
  color_ = 0xFFFFFFFFu;
}

void KGECustomText::SetFont(KGEFont* font, const KGETEXTPARAMS* params) {
  font_ = font;
  params_ = params ? *params : KGEDefaultTextParams();
  if (params_.maxChars > kKGEMaxChars) params_.maxChars = kKGEMaxChars;
  if (params_.flags & kKGEFixedColor) params_.color |= 0xFF000000u;
  params_.alpha = (params_.flags & kKGEAlpha) ? (params_.alpha & 0xFF000000u) : 0xFF000000u;
  if (!(params_.flags & kKGERect)) params_.left = params_.top = params_.right = params_.bottom = 0;
  if (!(params_.flags & kKGEKeepExtra)) params_.extra = 0;
}

i32 KGECustomText::NormalizeLength(const wchar* text, u32* length) {
  if (*length == kKGEWholeText || *length == 0xFFFFFFFFu) {
    u32 n = 0;
    while (text && n < kKGEMaxChars && text[n] != 0) ++n;
    *length = n;
    return KGE_S_OK;
  }
  if (*length > kKGEMaxChars) *length = kKGEMaxChars;
  if (!text && *length != 0) return KGE_E_NULLTEXT;
  return KGE_S_OK;
}

i32 KGECustomText::SetText(const wchar* text, u32 length, KGETEXTCALLBACK callback) {
  const i32 hr = PrepareText(&text, &length, callback);
  if (hr < 0) {
    Clear();
    return hr;
  }
  return SetText(text, length);
}

i32 KGECustomText::SetTextEx(const wchar* text, u32 length, uintptr_t context1, uintptr_t context2,
                             KGETEXTCALLBACK callback) {
  params_.context1 = context1;
  params_.context2 = context2;
  return SetText(text, length, callback);
}

i32 KGECustomText::PrepareText(const wchar** text, u32* length, KGETEXTCALLBACK callback) {
  const i32 hr = NormalizeLength(*text, length);
  if (hr < 0 || !callback) return hr;
  return GetTextServices().layout.ExpandNames(*text, *length, params_.maxChars, callback, params_.context1,
                                    params_.context2, text, length);
}

const wchar* KGECustomText::LayoutText(const wchar* text) const {
  return (params_.flags & kKGEOwnCopy) ? text_.get() : text;
}

u32 KGECustomText::LayoutLength(u32 length) const {
  return (params_.flags & kKGEOwnCopy) ? std::min(length, length_) : length;
}

i32 KGECustomText::SetText(const wchar* text, u32 length) {
  if (text && text == text_.get()) return KGE_S_OK;
  if (!(params_.flags & kKGEOwnCopy)) {
    length_ = 0;
    return KGE_S_OK;
  }
  if (length + 1 > capacity_) {
    // The first copy fits exactly; later ones grow in steps of 128.
    const u32 capacity = capacity_ == 0 ? length + 1 : (length / 128 + 1) * 128;
    std::unique_ptr<wchar[]> grown = KGEAllocArray<wchar>(capacity);
    if (!grown) return KGE_E_OUTOFMEMORY;
    text_ = std::move(grown);
    capacity_ = capacity;
  }
  if (length != 0) std::memcpy(text_.get(), text, sizeof(wchar) * length);
  text_[length] = 0;
  length_ = length;
  return KGE_S_OK;
}

void InflateRectBy(DXLRECT* rect, i32 d) {
  if (!rect) return;
  rect->left -= d;
  rect->top -= d;
  rect->right += d;
  rect->bottom += d;
}
