#include "ui/NarrowButton.h"

#include "engine/DXLDrawTypes.h"
#include "engine/image/GlyphEffects.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "ui/GameWindow.h"
#include "ui/SkinTable.h"
#include "ui/WindowEffects.h"
#include "ui/WindowManager.h"

namespace {

SKINRECT NarrowSkin() {
  WindowManager* manager = GetWindowManager();
  Sprite* sheet = manager ? manager->GetInterfaceSprite(u"level") : nullptr;
  return SkinOf(skins::kNarrowButton, sheet ? sheet->GetTexture() : nullptr);
}

DXLOUTLINE NarrowOutline() {
  DXLOUTLINE outline;
  DXLMakeOutline(&outline, 1, 1.5f, 0xFF405C7Fu, 32, 0);
  return outline;
}

}  // namespace

NarrowButton::NarrowButton(GameWindow* parent, u32 id, i32 width, const wchar* text, bool plain)
    : ImageButton(parent, parent ? &parent->Controls() : nullptr, id, NarrowSkin(), width,
                  skins::kNarrowButton.Vertical(), static_cast<i32>(skins::kNarrowButton.frames),
                  skins::kNarrowButton.Gap(), 0, 0, nullptr) {
  if (plain) {
    SetCaptionPlain(text, 1, 2);
    SetTextLayout(0, 0, 0, true, 0, 0);
  } else {
    const DXLOUTLINE outline = NarrowOutline();
    SetCaption(text, 3, nullptr, &outline, 0);
    SetTextLayout(0, -1, 0, true, 0, 0);
  }
}

NarrowButton::~NarrowButton() { DeleteSpriteEffects(&effects_); }

void NarrowButton::Show(float distance, u32 duration, u32 delay) {
  if (hiding_) return;
  showDistance_ = distance;
  showDuration_ = duration;
  locked_ = 1;
  DeleteSpriteEffects(&effects_);
  AttachSpriteEffect(&effects_, new SEffect_ShowWindow(distance, duration, delay));
}

void NarrowButton::Hide() {
  if (hiding_) return;
  locked_ = 1;
  hiding_ = 1;
  DeleteSpriteEffects(&effects_);
  AttachSpriteEffect(&effects_, new SEffect_HideWindow(showDistance_, showDuration_, 0));
}

// The effects move the button from its place; when they end a hiding
// button goes and a showing one takes the mouse again.
bool NarrowButton::BeginDraw() {
  if (hiding_ && !effects_) return false;
  ImageButton::BeginDraw();
  if (!effects_) return true;
  if (UpdateSpriteEffects(&effects_)) return true;
  if (hiding_) return false;
  locked_ = 0;
  return true;
}
