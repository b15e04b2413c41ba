#include "hud/ScreenLabel.h"

#include <algorithm>
#include <string>

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "engine/image/GlyphEffects.h"
#include "gametext/KGEBaseText.h"
#include "gametext/KGEBaseTextSprite.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/GameDraw.h"
#include "resources/MotionEffects.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/CurrentLevel.h"
#include "hud/ScreenSpriteOwner.h"
#include "hud/ScreenSpriteList.h"

namespace {

constexpr u32 kLabelTextFlags = kKGESingleLine | kKGEFixedColor | kKGEAlpha;
constexpr u32 kLabelShadowColor = 0x80000000u;

// A scale that waits without marking the scale as changed.
class QuietScale : public SEffect_Scale {
 public:
  QuietScale(float from, float to, u32 duration, u32 delay) : SEffect_Scale(from, to, duration, true, delay) {
    delayFlags_ = 0;
  }
};

KGETEXTPARAMS LabelParams(u32 maxChars, u32 color, u32 alpha) {
  KGETEXTPARAMS p = KGEDefaultTextParams();
  p.flags = kLabelTextFlags;
  p.maxChars = maxChars;
  p.color = color;
  p.alpha = alpha;
  return p;
}

}  // namespace

ScreenLabel::ScreenLabel(ScreenSpriteList* owner, float x, float y) : owner_(owner), x_(x), y_(y) {
  if (owner_) owner_->AddLabel(this);
}

ScreenLabel::~ScreenLabel() {
  DeleteSpriteEffects(&effects_);
  text_.reset();
  if (owner_) owner_->RemoveLabel(this);
}

void ScreenLabel::SetIcon(Sprite* sprite, i32 frame, bool shadow, i32 iconWidth) {
  icon_ = nullptr;
  shadow_ = nullptr;
  iconWidth_ = 0;
  const DXLQUAD* quad = sprite && sprite->IsLoaded() ? sprite->GetQuad(frame, false) : nullptr;
  if (!quad) return;
  icon_ = sprite;
  iconWidth_ = iconWidth < 0 ? sprite->GetFrameWidth() : iconWidth;
  iconQuad_ = *quad;
  if (shadow) {
    shadowQuad_ = iconQuad_;
    for (DXLVERTEX& v : shadowQuad_.v) {
      v.x += 2.0f;
      v.y += 2.0f;
    }
    shadow_ = &shadowQuad_;
  }
  // A new shadow is half-transparent black; once the label's alpha moves it
  // takes half of that alpha (ColorQuads).
  for (DXLVERTEX& v : iconQuad_.v) v.color = color_ | 0x00FFFFFFu;
  for (DXLVERTEX& v : shadowQuad_.v) v.color = kLabelShadowColor;
}

void ScreenLabel::ColorQuads() {
  for (DXLVERTEX& v : iconQuad_.v) v.color = color_ | 0x00FFFFFFu;
  const u32 half = (color_ >> 25) << 24;
  if (shadow_)
    for (DXLVERTEX& v : shadowQuad_.v) v.color = half;
}

void ScreenLabel::SetText(u32 font, i32 value, i32 gap, u32 color) {
  text_.reset();
  gap_ = gap;
  value_ = value;
  std::u16string digits;
  for (char c : std::to_string(value)) digits.push_back(static_cast<char16_t>(c));
  if (value >= 1) digits.insert(digits.begin(), u'+');
  const KGETEXTPARAMS params = LabelParams(16, color, color_);
  KGETextW* text = nullptr;
  KGECreateTextW(GetGameViewer(), GetGameFont(font), &params, digits.c_str(), kKGEWholeText, nullptr, &text);
  text_.reset(text);
}

void ScreenLabel::SetSpriteText(u32 font, const wchar* text, u32 color) {
  text_.reset();
  gap_ = 0;
  value_ = 0;
  // The text may show pictures: its bracket tags go through the game's
  // item descriptions ("[icon NAME]", as the easter egg's text has), whose
  // pictures are long image tags; so it takes mark-up, the descriptions and
  // room for 512 characters (64 would cut the first image tag short).
  KGETEXTPARAMS params = LabelParams(512, color, color_);
  params.flags |= kKGEMarkup;
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteOutline;
  DXLMakeOutline(&box.outline, 1, 1.5f, 0xFF000000u, 32, 0);
  KGETextSpriteW* made = nullptr;
  KGECreateTextSpriteW(GetGameViewer(), GetGameFont(font), &params, &box, text ? text : u"", kKGEWholeText,
                       GetResourceServices().itemDescription, &made);
  text_.reset(made);
}

void ScreenLabel::Layout() {
  i32 width = 0, height = 0;
  const i32 spriteW = icon_ ? icon_->GetFrameWidth() : 0;
  const i32 spriteH = icon_ ? icon_->GetFrameHeight() : 0;
  if (icon_) {
    width = iconWidth_;
    height = spriteH + (shadow_ ? 2 : 0);
  }
  if (text_) {
    width += gap_ + text_->GetWidth();
    height = std::max(height, text_->GetHeight());
  }
  layout_ = DXLRECT{-width / 2, -height / 2, width, height};
  iconX_ = static_cast<float>(layout_.left + (iconWidth_ - spriteW) / 2);
  iconY_ = static_cast<float>(-spriteH / 2);
  textX_ = static_cast<float>(layout_.left + iconWidth_ + gap_);
  textY_ = static_cast<float>(text_ ? -text_->GetHeight() / 2 : 0);
}

void ScreenLabel::StartFly(bool rising, u32 delay, float endOffset) {
  rising_ = rising ? 1 : 0;
  delay_ = delay;
  endOffset_ = endOffset;
  Layout();
  if (rising) {
    AttachSpriteEffect(&effects_, new SEffect_Pos(0.0f, 0.0f, 0.0f, endOffset - 100.0f, 2000, true, delay));
    AttachSpriteEffect(&effects_, new SEffect_Alpha(1.0f, 0.0f, 500, true, delay + 1500));
    AttachSpriteEffect(&effects_, new SEffect_Build(200, delay));
  } else {
    AttachSpriteEffect(&effects_, new SEffect_Alpha(0.0f, 1.0f, 200, true, delay));
    AttachSpriteEffect(&effects_, new SEffect_Pos(0.0f, endOffset - 50.0f, 0.0f, 0.0f, 1000, true, delay));
    AttachSpriteEffect(&effects_, new QuietScale(1.0f, 0.0f, 200, delay + 800));
  }
}

bool ScreenLabel::Update() {
  if (dead_) return false;
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return false;
  const CurrentLevel* host = GetCurrentLevel();
  DXLMATRIX view = host ? host->GetLevelTransform() : plat::gfx::IdentityMatrix();
  viewer->SetTransform(&view);
  viewer->Translate(x_, y_);
  viewer->SetScale(GetResourceServices().screen.scale);
  viewer->RoundTranslation();
  if (!UpdateSpriteEffects(&effects_)) {
    dead_ = 1;
    return false;
  }
  viewer->GetTransform(&drawTransform_);
  const u32 alpha = effects_->color & 0xFF000000u;
  if (alpha != (color_ & 0xFF000000u)) {
    color_ = (color_ & 0x00FFFFFFu) | alpha;
    if (text_) text_->SetAlpha(color_);
    ColorQuads();
  }
  return true;
}

void ScreenLabel::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  if (icon_) {
    viewer->Translate(iconX_, iconY_);
    viewer->ApplyTransform(nullptr);
    BindDrawTexture(icon_->GetTexture());
    if (shadow_) DrawQuad(shadow_);
    DrawQuad(&iconQuad_);
    if (text_) viewer->SetTransform(&drawTransform_);
  }
  if (text_) {
    UnbindDrawTexture();
    viewer->Translate(textX_, textY_);
    viewer->ApplyTransform(nullptr);
    text_->Draw();
  }
}
