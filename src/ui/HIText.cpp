#include "ui/HIText.h"

#include <algorithm>

#include "base/Strings.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseText.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/BaseHintWindow.h"

HIText::HIText(BaseHintWindow* window, KGEFont* font, const KGETEXTPARAMS* params, const KGESPRITEPARAMS* box,
               const wchar* text, bool keepSource, KGETEXTCALLBACK callback)
    : HintItem(window), keepSource_(keepSource ? 1 : 0) {
  KGESPRITEPARAMS made{};
  if (!box) {
    made.flags = kKGESpriteMaxSize;
    made.maxWidth = made.maxHeight = kMaxBox;
    if (params && (params->flags & kKGERect)) {
      made.maxWidth = std::clamp(params->right - params->left, kMinBox, kMaxBox);
      made.maxHeight = std::clamp(params->bottom - params->top, kMinBox, kMaxBox);
    }
    box = &made;
  }
  Build(font, params, box, text, callback);
}

HIText::HIText(BaseHintWindow* window, KGEFont* font, const KGETEXTPARAMS* params, const wchar* text,
               bool keepSource, KGETEXTCALLBACK callback, Plain)
    : HintItem(window), sprite_(0), keepSource_(keepSource ? 1 : 0) {
  Build(font, params, nullptr, text, callback);
}

HIText* HIText::HITextPlain(BaseHintWindow* window, KGEFont* font, const KGETEXTPARAMS* params, const wchar* text,
                            bool keepSource, KGETEXTCALLBACK callback) {
  return new HIText(window, font, params, text, keepSource, callback, Plain{});
}

HIText::~HIText() = default;

void HIText::Build(KGEFont* font, const KGETEXTPARAMS* params, const KGESPRITEPARAMS* box, const wchar* text,
                   KGETEXTCALLBACK callback) {
  if (keepSource_ && text) {
    source_ = text;
    text = source_.c_str();
  }
  if (params) {
    context1_ = params->context1;
    context2_ = params->context2;
  }
  DXLViewer* viewer = GetGameViewer();
  if (sprite_) {
    KGETextSpriteW* sprite = nullptr;
    KGECreateTextSpriteW(viewer, font, params, box, text, kKGEWholeText, callback, &sprite);
    text_.reset(sprite);
  } else {
    KGETextW* plain = nullptr;
    KGECreateTextW(viewer, font, params, text, kKGEWholeText, callback, &plain);
    text_.reset(plain);
  }
  SetSize(-1, -1);
  SetAlpha(owner_ ? owner_->GetColor() : 0xFF000000u);
}

void HIText::SetRect(i32 x, i32 y, i32 width, i32 height) {
  if (width == -1) width = text_ ? text_->GetWidth() : 0;
  if (height == -1) height = text_ ? text_->GetHeight() : 0;
  HintItem::SetRect(x, y, width, height);
}

void HIText::SetAlpha(u32 alpha) {
  if (text_) text_->SetAlpha(alpha);
}

void HIText::Draw() {
  if (!text_) return;
  UnbindDrawTexture();
  MoveToPlace();
  if (DXLViewer* viewer = GetGameViewer()) viewer->ApplyTransform(nullptr);
  text_->Draw();
}

void HIText::SetTextEx(const wchar* text, uintptr_t context1, uintptr_t context2, KGETEXTCALLBACK callback) {
  if (keepSource_ && text != source_.c_str()) {
    source_ = text ? text : u"";
    text = source_.c_str();
  }
  context1_ = context1;
  context2_ = context2;
  if (text_) text_->SetTextEx(text, kKGEWholeText, context1, context2, callback);
  SetSize(-1, -1);
}

void HIText::Refresh(KGETEXTCALLBACK callback) {
  if (text_ && keepSource_) SetText(source_.c_str(), callback);
}
